#include "cli/render_options.h"

#include <charconv>
#include <cmath>
#include <set>

#include "cli/errors.h"

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

}  // namespace

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
  const std::string t = Trim(text);
  int32_t value = 0;
  const char* end = t.data() + t.size();
  auto [ptr, ec] = std::from_chars(t.data(), end, value);
  if (t.empty() || ec != std::errc() || ptr != end) {
    throw OptionError(option, "'" + text + "' is not a whole number");
  }
  return value;
}

FrameDimensions ParseFrameSize(const std::string& option, const std::string& text, int smallest,
                               int largest) {
  const size_t x = text.find_first_of("xX");
  if (x == std::string::npos) throw OptionError(option, "'" + text + "' is not WxH");
  const FrameDimensions size{ParseInteger(option, text.substr(0, x)),
                             ParseInteger(option, text.substr(x + 1))};
  if (size.width < smallest || size.height < smallest || size.width > largest ||
      size.height > largest) {
    throw OptionError(option, text + " must lie within " + std::to_string(smallest) + ".." +
                                  std::to_string(largest) + " on each side");
  }
  return size;
}

int32_t ToFixed(const std::string& option, double value) {
  const double fixed = std::round(value * 65536.0);
  if (!(fixed >= -2147483648.0 && fixed <= 2147483647.0)) {
    throw OptionError(option, "value out of range");
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
  if (t == "rgb") return 1;
  if (t == "alpha") return 2;
  if (t == "rgb+alpha") return 3;
  if (t == "inverse-alpha") return 4;
  throw OptionError(option, "'" + text + "' is not one of rgb, alpha, rgb+alpha, inverse-alpha");
}

}  // namespace gw
