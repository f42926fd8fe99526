// The image module: reading, writing, resizing and lettering pictures,
// built as a shared library of its own around OpenImageIO so that only the
// commands that touch images load it (and the hundreds of libraries behind
// it). The program reaches it through one table of plain functions; no
// exception crosses between the two.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace gw {

// The sample types an output may be written in.
enum class SampleType : uint8_t { UInt8, UInt16, Half, Float };

// A rectangle of a file's pixel coordinates (x right, y down).
struct ImageWindow {
  int32_t x = 0, y = 0;
  int32_t width = 0, height = 0;  // 0: none given
};

// Everything a file's header says beyond the pixels: its other attributes
// (custom ones too), compression, tiling. Only the image module looks inside.
struct ImageHeader;

// A picture as its file holds it: every channel, each sample as a float
// (exact for 8- and 16-bit integers, half and float files), in rows from
// the top, channels interleaved.
struct Plate {
  int32_t width = 0;
  int32_t height = 0;
  int32_t channels = 0;
  int32_t alphaChannel = -1;      // -1: none
  bool premultiplied = false;     // colours already multiplied by alpha
  SampleType type = SampleType::UInt8;
  std::vector<std::string> channelNames;
  std::vector<float> samples;
  // Where the pixels lie: their origin in the file's coordinates (the data
  // window is x, y, width, height), and the picture they belong to (the
  // display window; none given: the data window itself).
  int32_t x = 0, y = 0;
  ImageWindow display;
  std::string format;  // the format it was read from ("openexr", "png"); empty when made here
  std::shared_ptr<const ImageHeader> header;  // written back with the plate

  ImageWindow DataWindow() const { return {x, y, width, height}; }
  ImageWindow DisplayWindow() const { return display.width > 0 ? display : DataWindow(); }

  float& at(int32_t x, int32_t y, int32_t c) {
    return samples[(static_cast<size_t>(y) * width + x) * channels + c];
  }
  float at(int32_t x, int32_t y, int32_t c) const {
    return samples[(static_cast<size_t>(y) * width + x) * channels + c];
  }
};

// What a format can hold, for choosing an output before any work.
struct OutputFormat {
  std::string name;        // "openexr", "png", ...
  bool alpha = false;      // holds an alpha channel
  bool anyChannels = false;  // holds channels beyond colour and alpha
  uint8_t types = 0;       // bit (1 << SampleType) for each sample type it holds
};

inline bool Holds(const OutputFormat& format, SampleType type) {
  return (format.types >> static_cast<int>(type)) & 1u;
}

// Bumped whenever the table below changes.
inline constexpr uint32_t kImageModuleVersion = 2;

struct ImageModuleTable {
  uint32_t version;
  // Reads the first subimage whole; false with a reason on failure, also
  // when the image library reports the file damaged or cut short.
  bool (*read)(const std::string& path, Plate& plate, std::string& reason);
  // Reads the header alone: everything but the samples.
  bool (*readHeader)(const std::string& path, Plate& plate, std::string& reason);
  // Writes `plate` in `type` into `file`, in the format that `formatName`'s
  // extension names, with the plate's header and windows. Alpha is written
  // as premultiplied or not as the plate says.
  bool (*write)(const std::string& formatName, const std::string& file, const Plate& plate,
                SampleType type, std::string& reason);
  // What the format that `formatName`'s extension names can hold.
  bool (*describeOutput)(const std::string& formatName, OutputFormat& format,
                         std::string& reason);
  // Resizes with a good filter.
  bool (*resize)(const Plate& in, int32_t width, int32_t height, Plate& out, std::string& reason);
  // Letters `text` onto the plate's colour channels with its baseline at (x, y).
  bool (*drawText)(Plate& plate, int32_t x, int32_t y, const std::string& text, int32_t size,
                   const float colour[3], std::string& reason);
};

}  // namespace gw

// The module's one exported symbol.
extern "C" const gw::ImageModuleTable* GlarewrightImageModule();
