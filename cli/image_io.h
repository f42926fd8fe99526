// Reading and writing pictures through the image module, loaded on first
// use: plates kept whole, and 8-bit ARGB frames for the plug-ins.
#pragma once

#include <string>

#include "cli/image_module.h"
#include "testhost/image.h"

namespace gw {

// The largest frame side the program accepts.
inline constexpr int kMaxImageSide = 30000;

struct Frame {
  testhost::Image argb;    // 8-bit alpha, red, green, blue
  bool hasAlpha = false;   // the file had an alpha channel (else alpha is 255)
};

// The image module, loaded on the first call; throws CommandError when it
// cannot be found or loaded.
const ImageModuleTable& Images();

// Reads any image the module knows, whole, with its header; throws
// CommandError naming the file (a file that is not an image, a folder, a
// damaged or incomplete file say so).
Plate ReadPlate(const std::string& path);

// The header alone, samples left empty: for the checks before any work.
Plate ReadPlateHeader(const std::string& path);

// What the format the name's extension chooses can hold; throws when no
// format has that extension.
OutputFormat DescribeOutputFormat(const std::string& path);

// How an image is written besides its name: the name whose extension
// chooses the format (empty: the path's own; standard output needs one),
// and whether a read-only file may be replaced (--force).
struct OutputTarget {
  std::string formatName;
  bool replaceReadOnly = false;
};

// Writes the plate in `type`, whole or not at all (see WriteFileOrThrow).
void WritePlate(const std::string& path, const Plate& plate, SampleType type,
                const OutputTarget& target = {});

// The plate's colour channels: red, green, blue (one channel thrice for grey).
struct ColourChannels {
  int32_t red, green, blue;
};
ColourChannels FindColourChannels(const Plate& plate);

// 8-bit ARGB from a plate (alpha 255 without one) and back.
Frame PlateToFrame(const Plate& plate);
Plate FrameToPlate(const Frame& frame);

// Reads any image as 8-bit ARGB over its frame window (see
// plate_windows.h); throws CommandError naming the file.
Frame ReadFrame(const std::string& path);

// Writes the frame whole or not at all, in 8 bits. Alpha is written when
// the frame has it and the format can hold it.
void WriteFrame(const std::string& path, const Frame& frame);

// The built-in frame: a dark gradient.
Frame BuiltInFrame(int width, int height);

}  // namespace gw
