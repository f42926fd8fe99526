// The options of `glarewright render` as the user writes them, and their
// checking: VALUE or VALUE@FRAME, repeatable, turned into the host's values;
// every other option turned into one checked plan before any work starts.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/compositing.h"
#include "cli/image_io.h"
#include "cli/memory_budget.h"
#include "cli/sequence_pattern.h"
#include "host/edition.h"
#include "testhost/tracks.h"

namespace gw {

struct RenderOptions {
  std::string input;   // an image, a numbered pattern, or empty for the built-in frame
  std::string output;  // an image or a numbered pattern
  std::string edition; // full | showcase | quick; empty: quick with --preset, else full
  std::string lens;    // a .gwr file (full and Showcase)
  std::string preset;  // a name or 1..39 (Quick)
  std::vector<std::string> light, brightness, scale, color, angle, locationLayer,
      obscurationLayer, obscurationType, sourceSize;
  std::string lightTrack;               // a file of "frame x y" lines
  std::string trackOrigin = "top-left"; // or bottom-left
  std::string fps = "24";
  std::string shutterAngle = "0";
  std::string quality = "high";
  std::string downsample = "1";
  std::string frames;
  std::string chunk;                    // K/N: only the K-th of N chunks of --frames
  bool skipExisting = false;            // frames whose output reads back whole are kept
  std::string size = "1920x1080";
  std::string blend = "screen";
  std::string depth;                    // empty: the input's own
  bool flareOnly = false;
  std::string jobs;                     // empty: one per core
  std::string format;                   // the output's format by extension (for -o -)
  bool force = false;                   // replace read-only outputs
  std::string memoryLimit;              // empty: what the machine has free
  bool quiet = false;
  std::string pluginDir;
  std::string api = "legacy";  // or ofx: the OpenFX edition
};

struct FrameDimensions {
  int width, height;
};

// One keyframe as written: the value text and its frame (0 without @FRAME).
struct KeyText {
  std::string value;
  int frame = 0;
};

// Everything but the effect parameters, checked and converted.
struct RenderPlan {
  std::string edition;  // full | showcase | quick
  FrameRange sequence{0, 0};  // the frames of the whole run
  FrameRange range{0, 0};     // the frames this run renders: the sequence or one chunk of it
  int frameCount = 1;         // in `range`
  double fps = 24.0;
  double shutterAngle = 0.0;
  bool highQuality = true;
  int downsample = 1;
  int jobs = 1;
  MemoryLimit memory;
  FrameDimensions builtInSize{1920, 1080};
  Blend blend = Blend::Screen;
  std::optional<SampleType> depth;
  bool flareOnly = false;
  bool trackFromBottom = false;
  OutputTarget output;  // the format's name (--format) and --force
  bool ofx = false;     // through the OpenFX edition instead of the legacy modules
};

// The table of an edition by its name: full, showcase or quick.
const EditionTable& EditionNamed(const std::string& name);

// Throws CommandError("--option: ...") for the first option that is wrong.
RenderPlan CheckRenderOptions(const RenderOptions& options);

// The output's format from --format (an image extension: png, exr, tif ...):
// the name WritePlate chooses the format by. Refuses a format that the
// output's own extension contradicts.
OutputTarget CheckOutputFormat(const std::string& output, const std::string& format);

// Worker processes when none are asked for: one per core.
int DefaultJobs();

// Refuses a frame that downsampling would leave without pixels.
void CheckDownsampledSize(int width, int height, int downsample);

// Splits "VALUE@FRAME" forms; throws CommandError naming the option when a
// frame is malformed or two values share a frame.
std::vector<KeyText> ParseKeys(const std::string& option, const std::vector<std::string>& texts);

// Value readers; each throws CommandError("--option: ...") on bad text.
double ParseNumber(const std::string& option, const std::string& text);
int32_t ParseInteger(const std::string& option, const std::string& text);
// A number within low..high.
double ParseNumberWithin(const std::string& option, const std::string& text, double low,
                         double high);
// A whole number within low..high.
int32_t ParseIntegerWithin(const std::string& option, const std::string& text, int32_t low,
                           int32_t high);
// A 16.16 fixed value.
int32_t ToFixed(const std::string& option, double value);
// "<value> lies outside <low>..<high>" for 16.16 bounds, each printed with
// enough decimals to be true.
std::string FixedRangeMessage(double value, int32_t low, int32_t high);
// "X,Y": pixels, or percentages of the frame ("30%,30%"); 16.16 pixels.
testhost::ParamValue ParseLight(const std::string& option, const std::string& text, int width,
                                int height);
// "RRGGBB" (a leading # is allowed).
testhost::ParamValue ParseColour(const std::string& option, const std::string& text);
// "WxH", each side within smallest..largest.
FrameDimensions ParseFrameSize(const std::string& option, const std::string& text, int smallest,
                               int largest);
// rgb | alpha | rgb+alpha | inverse-alpha → 1..4.
int32_t ParseObscurationType(const std::string& option, const std::string& text);

// Light positions from a tracker: "frame x y" per line (blanks, commas or
// semicolons between), '#' starts a comment, an optional heading line.
// Pixels from the top-left of a frame `height` high, or from the bottom-left.
// Throws CommandError naming the file and line of the first bad line.
std::vector<std::pair<int, testhost::ParamValue>> ParseLightTrack(const std::string& path,
                                                                  const std::string& text,
                                                                  int height, bool fromBottom);

}  // namespace gw
