#include "cli/render_options.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <sstream>

#include "cli/chunks.h"
#include "cli/errors.h"
#include "cli/files.h"
#include "cli/image_io.h"
#include "frame/light.h"

namespace gw {
namespace {

CommandError OptionError(const std::string& option, const std::string& reason) {
  return CommandError(option + ": " + reason);
}

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A number as the user would write it: the shortest text that reads back.
std::string ShortNumber(double value) {
  if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
    char whole[32];
    std::snprintf(whole, sizeof whole, "%.0f", value);
    return whole;
  }
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return std::string(text, end);
}

// `value` with at most `decimals` decimals, rounded up or down.
std::string Decimals(double value, int decimals, bool up) {
  const double scale = std::pow(10.0, decimals);
  // + 0.0 turns a rounded -0 into 0.
  const double rounded =
      (up ? std::ceil(value * scale - 1e-9) : std::floor(value * scale + 1e-9)) / scale + 0.0;
  char text[48];
  std::snprintf(text, sizeof text, "%.*f", decimals, rounded);
  std::string out = text;  // "0.10" -> "0.1", "300.00" -> "300"
  if (out.find('.') != std::string::npos) {
    out.erase(out.find_last_not_of('0') + 1);
    if (out.back() == '.') out.pop_back();
  }
  return out;
}

// Options with a fixed set of words.
template <typename T>
T OneOf(const std::string& option, const std::string& text,
        std::initializer_list<std::pair<const char*, T>> words) {
  std::string list;
  for (const auto& [word, value] : words) {
    if (text == word) return value;
    list += (list.empty() ? "" : ", ") + std::string(word);
  }
  throw OptionError(option, "'" + text + "' is not one of " + list);
}

// The lower-case extension of a file name, without its dot; empty for none.
std::string ExtensionOf(const std::string& name) {
  const size_t slash = name.find_last_of('/');
  const size_t dot = name.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string extension = name.substr(dot + 1);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

}  // namespace

OutputTarget CheckOutputFormat(const std::string& output, const std::string& format) {
  OutputTarget target;
  if (format.empty()) return target;
  std::string wanted = format;
  if (wanted.starts_with('.')) wanted.erase(0, 1);
  for (char& c : wanted) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::string named = ExtensionOf(output);
  if (!named.empty() && named != wanted) {
    throw OptionError("--format", format + ": " + output + " names another format (." + named + ")");
  }
  target.formatName = "output." + wanted;
  return target;
}

const EditionTable& EditionNamed(const std::string& name) {
  if (name == "showcase") return ShowcaseEdition();
  if (name == "quick") return QuickEdition();
  return FullEdition();
}

int DefaultJobs() {
  const long cores = sysconf(_SC_NPROCESSORS_ONLN);
  return cores > 0 ? static_cast<int>(std::min<long>(cores, 64)) : 1;
}

RenderPlan CheckRenderOptions(const RenderOptions& o) {
  RenderPlan plan;
  plan.edition = o.edition.empty() ? (o.preset.empty() ? "full" : "quick") : o.edition;
  if (plan.edition != "full" && plan.edition != "showcase" && plan.edition != "quick") {
    throw OptionError("--edition", "'" + plan.edition + "' is not one of full, showcase, quick");
  }
  if (!o.lens.empty() && plan.edition == "quick") {
    throw OptionError("--lens", "the quick edition draws presets, not lens files");
  }
  if (!o.preset.empty() && plan.edition != "quick") {
    throw OptionError("--preset", "only the quick edition has presets");
  }
  if (!o.frames.empty()) {
    const std::optional<FrameRange> range = ParseFrameRange(o.frames);
    if (!range) throw OptionError("--frames", FrameRangeProblem(o.frames));
    plan.range = *range;
  }
  plan.sequence = plan.range;
  if (!o.chunk.empty()) plan.range = ChunkFrames("--chunk", plan.sequence, ParseChunk("--chunk", o.chunk));
  plan.frameCount = plan.range.last - plan.range.first + 1;
  plan.builtInSize = ParseFrameSize("--size", o.size, 1, kMaxImageSide);
  for (const std::string* name : {&o.input, &o.output}) {
    if (const std::string problem = PatternProblem(*name); !problem.empty()) {
      throw CommandError(*name + ": " + problem);
    }
  }
  for (const auto& [option, texts] : {std::pair{"--location-layer", &o.locationLayer},
                                      {"--obscuration-layer", &o.obscurationLayer}}) {
    for (const KeyText& key : ParseKeys(option, *texts)) {
      if (const std::string problem = PatternProblem(key.value); !problem.empty()) {
        throw OptionError(option, key.value + ": " + problem);
      }
    }
  }
  plan.output = CheckOutputFormat(o.output, o.format);
  plan.output.replaceReadOnly = o.force;
  CheckStandardOutputTakes(o.output, "an image");
  if (IsSequencePattern(o.input) && o.frames.empty()) {
    throw CommandError(o.input + ": a numbered sequence needs --frames A-B");
  }
  if (plan.sequence.last > plan.sequence.first && !IsSequencePattern(o.output)) {
    throw CommandError(o.output + ": several frames need a numbered output such as out.%04d.png");
  }
  // The host counts time in thousandths of a frame.
  plan.fps = ParseNumberWithin("--fps", o.fps, 0.001, 1000.0);
  plan.ofx = OneOf<bool>("--api", o.api, {{"legacy", false}, {"ofx", true}});
  // The OpenFX edition's "Shutter Angle" goes to 360 degrees.
  plan.shutterAngle =
      ParseNumberWithin("--shutter-angle", o.shutterAngle, 0.0, plan.ofx ? 360.0 : 720.0);
  plan.highQuality = OneOf<bool>("--quality", o.quality, {{"high", true}, {"draft", false}});
  plan.downsample = ParseIntegerWithin("--downsample", o.downsample, 1, 64);
  plan.blend = OneOf<Blend>("--blend", o.blend, {{"screen", Blend::Screen}, {"add", Blend::Add}});
  if (!o.depth.empty()) {
    plan.depth = OneOf<SampleType>("--depth", o.depth,
                                   {{"uint8", SampleType::UInt8}, {"uint16", SampleType::UInt16},
                                    {"half", SampleType::Half}, {"float", SampleType::Float}});
  }
  plan.flareOnly = o.flareOnly;
  plan.trackFromBottom =
      OneOf<bool>("--track-origin", o.trackOrigin, {{"top-left", false}, {"bottom-left", true}});
  if (!o.lightTrack.empty() && !o.light.empty()) {
    throw OptionError("--light-track", "give either --light or --light-track, not both");
  }
  plan.jobs = o.jobs.empty() ? DefaultJobs() : ParseIntegerWithin("--jobs", o.jobs, 1, 64);
  plan.jobs = std::min(plan.jobs, plan.frameCount);
  plan.memory = ParseMemoryLimit("--memory-limit", o.memoryLimit);
  return plan;
}

void CheckDownsampledSize(int width, int height, int downsample) {
  if (width / downsample >= 1 && height / downsample >= 1) return;
  throw OptionError("--downsample", std::to_string(downsample) + " would leave the " +
                                        std::to_string(width) + " x " + std::to_string(height) +
                                        " frame without pixels (at most " +
                                        std::to_string(std::min(width, height)) + " here)");
}

std::string FixedRangeMessage(double value, int32_t low, int32_t high) {
  // Bounds rounded inwards to two decimals stay true: every value between
  // them is accepted, and a refused value always lies outside them.
  return OutsideRange(ShortNumber(value), Decimals(low / 65536.0, 2, true),
                      Decimals(high / 65536.0, 2, false));
}

std::vector<std::pair<int, testhost::ParamValue>> ParseLightTrack(const std::string& path,
                                                                  const std::string& text,
                                                                  int height, bool fromBottom) {
  std::vector<std::pair<int, testhost::ParamValue>> keys;
  std::set<int> frames;
  std::istringstream lines(text);
  std::string line;
  bool headingAllowed = true;
  for (int number = 1; std::getline(lines, line); ++number) {
    const auto fail = [&](const std::string& why) {
      return FileError(path, "line " + std::to_string(number) + ": " + why);
    };
    line = line.substr(0, line.find('#'));
    // A CSV export may quote every field: the quotes go with the separators.
    for (char& c : line) {
      if (c == ',' || c == ';' || c == '\t' || c == '\r' || c == '"') c = ' ';
    }
    std::istringstream fields(line);
    std::vector<std::string> parts;
    for (std::string part; fields >> part;) parts.push_back(part);
    if (parts.empty()) continue;
    const bool heading = headingAllowed && !std::isdigit(static_cast<unsigned char>(parts[0][0])) &&
                         parts[0][0] != '-' && parts[0][0] != '+';
    headingAllowed = false;
    if (heading) continue;
    if (parts.size() != 3) {
      throw fail("expected \"frame x y\", found " + std::to_string(parts.size()) + " field" +
                 (parts.size() == 1 ? "" : "s"));
    }
    int frame = 0;
    double x = 0.0, y = 0.0;
    try {
      frame = ParseInteger("frame", parts[0]);
      x = ParseNumber("x", parts[1]);
      y = ParseNumber("y", parts[2]);
    } catch (const CommandError& e) {
      throw fail(e.what());
    }
    if (frame < 0) throw fail("frame " + parts[0] + " is negative");
    if (!frames.insert(frame).second) throw fail("frame " + parts[0] + " appears twice");
    if (fromBottom) y = height - y;
    testhost::ParamValue v;
    try {
      v.value = ToFixed("x", x);
      v.y = ToFixed("y", y);
    } catch (const CommandError& e) {
      throw fail(e.what());
    }
    keys.emplace_back(frame, v);
  }
  if (keys.empty()) throw FileError(path, "holds no \"frame x y\" line");
  return keys;
}

std::vector<KeyText> ParseKeys(const std::string& option, const std::vector<std::string>& texts) {
  std::vector<KeyText> keys;
  std::set<int> frames;
  for (const std::string& text : texts) {
    KeyText key{text, 0};
    const size_t at = text.rfind('@');
    if (at != std::string::npos) {
      key.value = text.substr(0, at);
      key.frame = ParseInteger(option, text.substr(at + 1));
      if (key.frame < 0) throw OptionError(option, "frame " + text.substr(at + 1) + " is negative");
    }
    if (!frames.insert(key.frame).second) {
      throw OptionError(option, "two values at frame " + std::to_string(key.frame) +
                                    " (write VALUE@FRAME for each keyframe)");
    }
    keys.push_back(key);
  }
  return keys;
}

double ParseNumber(const std::string& option, const std::string& text) {
  const std::string t = Trim(text);
  double value = 0.0;
  const char* end = t.data() + t.size();
  auto [ptr, ec] = std::from_chars(t.data(), end, value);
  if (t.empty() || ec != std::errc() || ptr != end || !std::isfinite(value)) {
    throw OptionError(option, "'" + text + "' is not a number");
  }
  return value;
}

int32_t ParseInteger(const std::string& option, const std::string& text) {
  return ParseIntegerWithin(option, text, std::numeric_limits<int32_t>::min(),
                            std::numeric_limits<int32_t>::max());
}

int32_t ParseIntegerWithin(const std::string& option, const std::string& text, int32_t low,
                           int32_t high) {
  const std::string t = Trim(text);
  int32_t value = 0;
  const char* end = t.data() + t.size();
  auto [ptr, ec] = std::from_chars(t.data(), end, value);
  const bool whole = !t.empty() && ptr == end;
  if (whole && (ec == std::errc::result_out_of_range || value < low || value > high)) {
    throw OptionError(option, OutsideRange(t, std::to_string(low), std::to_string(high)));
  }
  if (!whole || ec != std::errc()) {
    throw OptionError(option, "'" + text + "' is not a whole number");
  }
  return value;
}

double ParseNumberWithin(const std::string& option, const std::string& text, double low,
                         double high) {
  const double value = ParseNumber(option, text);
  if (!(value >= low && value <= high)) {
    throw OptionError(option, OutsideRange(ShortNumber(value), ShortNumber(low), ShortNumber(high)));
  }
  return value;
}

FrameDimensions ParseFrameSize(const std::string& option, const std::string& text, int smallest,
                               int largest) {
  const size_t x = text.find_first_of("xX");
  if (x == std::string::npos) throw OptionError(option, "'" + text + "' is not WxH");
  return {ParseIntegerWithin(option + " (width)", text.substr(0, x), smallest, largest),
          ParseIntegerWithin(option + " (height)", text.substr(x + 1), smallest, largest)};
}

int32_t ToFixed(const std::string& option, double value) {
  const double fixed = std::round(value * 65536.0);
  if (!(fixed >= -2147483648.0 && fixed <= 2147483647.0)) {
    throw OptionError(option, OutsideRange(ShortNumber(value), "-32768", "32767"));
  }
  return static_cast<int32_t>(fixed);
}

testhost::ParamValue ParseLight(const std::string& option, const std::string& text, int width,
                                int height) {
  const size_t comma = text.find(',');
  if (comma == std::string::npos) throw OptionError(option, "'" + text + "' is not X,Y");
  const auto coordinate = [&](std::string part, int size) {
    part = Trim(part);
    if (!part.empty() && part.back() == '%') {
      part.pop_back();
      return ParseNumber(option, part) * size / 100.0;
    }
    return ParseNumber(option, part);
  };
  testhost::ParamValue v;
  v.value = ToFixed(option, coordinate(text.substr(0, comma), width));
  v.y = ToFixed(option, coordinate(text.substr(comma + 1), height));
  return v;
}

testhost::ParamValue ParseColour(const std::string& option, const std::string& text) {
  std::string hex = Trim(text);
  if (!hex.empty() && hex[0] == '#') hex.erase(0, 1);
  unsigned value = 0;
  const char* end = hex.data() + hex.size();
  auto [ptr, ec] = std::from_chars(hex.data(), end, value, 16);
  if (hex.size() != 6 || ec != std::errc() || ptr != end) {
    throw OptionError(option, "'" + text + "' is not a colour RRGGBB");
  }
  testhost::ParamValue v;
  v.colour = PF_Pixel{255, static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
                      static_cast<uint8_t>(value)};
  return v;
}

int32_t ParseObscurationType(const std::string& option, const std::string& text) {
  const std::string t = Trim(text);
  ObscurationType type = ObscurationType::None;
  if (t == "rgb") type = ObscurationType::Rgb;
  if (t == "alpha") type = ObscurationType::Alpha;
  if (t == "rgb+alpha") type = ObscurationType::RgbAndAlpha;
  if (t == "inverse-alpha") type = ObscurationType::InverseAlpha;
  if (type != ObscurationType::None) return static_cast<int32_t>(type);
  throw OptionError(option, "'" + text + "' is not one of rgb, alpha, rgb+alpha, inverse-alpha");
}

}  // namespace gw
