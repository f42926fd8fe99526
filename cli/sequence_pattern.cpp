#include "cli/sequence_pattern.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <filesystem>

namespace gw {
namespace {

struct Found {
  size_t at = std::string::npos;
  size_t length = 0;
  int digits = 0;
};

// The first "%d", "%0Nd" or run of '#' from `from` on; "%%" is a percent
// sign of the name.
Found FindPattern(const std::string& name, size_t from = 0) {
  for (size_t i = from; i < name.size(); ++i) {
    if (name[i] == '#') {
      size_t j = i;
      while (j < name.size() && name[j] == '#') ++j;
      return {i, j - i, static_cast<int>(j - i)};
    }
    if (name[i] == '%') {
      if (i + 1 < name.size() && name[i + 1] == '%') {
        ++i;
        continue;
      }
      size_t j = i + 1;
      int digits = 0;
      if (j < name.size() && name[j] == '0') ++j;
      while (j < name.size() && std::isdigit(static_cast<unsigned char>(name[j]))) {
        digits = digits * 10 + (name[j] - '0');
        ++j;
        if (digits > 12) break;
      }
      if (j < name.size() && name[j] == 'd' && digits <= 12) return {i, j + 1 - i, digits};
    }
  }
  return {};
}

// "%%" as the percent sign it stands for.
std::string WithPercentSigns(std::string text) {
  for (size_t at = text.find("%%"); at != std::string::npos; at = text.find("%%", at + 1)) {
    text.erase(at, 1);
  }
  return text;
}

bool ParseInt(const std::string& text, int& value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end;
}

}  // namespace

bool IsSequencePattern(const std::string& name) {
  return FindPattern(name).at != std::string::npos;
}

std::string FrameFileName(const std::string& pattern, int frame) {
  const Found f = FindPattern(pattern);
  if (f.at == std::string::npos) return WithPercentSigns(pattern);
  char number[32];
  std::snprintf(number, sizeof number, "%0*d", f.digits > 1 ? f.digits : 1, frame);
  return WithPercentSigns(pattern.substr(0, f.at)) + number +
         WithPercentSigns(pattern.substr(f.at + f.length));
}

std::string PatternProblem(const std::string& name) {
  const Found first = FindPattern(name);
  if (first.at != std::string::npos) {
    const Found second = FindPattern(name, first.at + first.length);
    if (second.at != std::string::npos) {
      return "holds two frame numbers (" + name.substr(first.at, first.length) + " and " +
             name.substr(second.at, second.length) + "); a name holds one";
    }
  }
  for (size_t i = 0; i < name.size(); ++i) {
    if (name[i] != '%') continue;
    if (i + 1 < name.size() && name[i + 1] == '%') {
      ++i;
      continue;
    }
    const Found here = FindPattern(name, i);
    if (here.at != i) {
      std::string form = name.substr(i, 2);
      form.insert(0, 1, '\'');
      return form + "' is no frame number: write %d, %04d or ####, and %% for a percent sign";
    }
    i += here.length - 1;
  }
  return {};
}

std::optional<FrameRange> ParseFrameRange(const std::string& text) {
  const size_t dash = text.find('-', 1);
  FrameRange range{};
  if (dash == std::string::npos) {
    if (!ParseInt(text, range.first)) return std::nullopt;
    range.last = range.first;
  } else if (!ParseInt(text.substr(0, dash), range.first) ||
             !ParseInt(text.substr(dash + 1), range.last)) {
    return std::nullopt;
  }
  if (range.first < 0 || range.last < range.first || range.last > kLastFrameNumber) {
    return std::nullopt;
  }
  return range;
}

std::string FrameRangeProblem(const std::string& text) {
  const size_t dash = text.find('-', 1);
  FrameRange range{};
  if (dash != std::string::npos && ParseInt(text.substr(0, dash), range.first) &&
      ParseInt(text.substr(dash + 1), range.last) && range.first >= 0 &&
      range.last < range.first) {
    return "'" + text + "' is reversed: write " + std::to_string(range.last) + "-" +
           std::to_string(range.first);
  }
  if (ParseInt(text.substr(0, text.find('-', 1)), range.first) && range.first < 0) {
    return "'" + text + "': frames are not negative";
  }
  // Digits, or digits-digits, that are neither negative nor reversed: a number is too high.
  const auto isNumber = [](std::string_view part) {
    return !part.empty() && part.find_first_not_of("0123456789") == std::string_view::npos;
  };
  const auto tooHigh = [](std::string_view part) {
    int frame = 0;
    return !ParseInt(std::string(part), frame) || frame > kLastFrameNumber;
  };
  const std::string_view first = std::string_view(text).substr(0, dash);
  const std::string_view last =
      dash == std::string::npos ? first : std::string_view(text).substr(dash + 1);
  if (isNumber(first) && isNumber(last) && (tooHigh(first) || tooHigh(last))) {
    return std::string(tooHigh(first) ? first : last) + " lies outside 0.." +
           std::to_string(kLastFrameNumber);
  }
  return "'" + text + "' is not A-B or N";
}

std::optional<FrameRange> FramesOnDisk(const std::string& pattern) {
  const Found f = FindPattern(pattern);
  if (f.at == std::string::npos) return std::nullopt;
  const size_t slash = pattern.rfind('/', f.at);
  const std::string folder =
      slash == std::string::npos ? "." : WithPercentSigns(pattern.substr(0, slash + 1));
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::string before = WithPercentSigns(pattern.substr(nameStart, f.at - nameStart));
  const std::string after = WithPercentSigns(pattern.substr(f.at + f.length));
  if (after.find('/') != std::string::npos) return std::nullopt;
  std::optional<FrameRange> found;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name.size() <= before.size() + after.size() || !name.starts_with(before) ||
        !name.ends_with(after)) {
      continue;
    }
    const std::string digits = name.substr(before.size(), name.size() - before.size() - after.size());
    int frame = 0;
    if (!std::isdigit(static_cast<unsigned char>(digits[0])) || !ParseInt(digits, frame) ||
        frame > kLastFrameNumber || FrameFileName(pattern, frame) != (slash == std::string::npos ? "" : folder) + name) {
      continue;
    }
    if (!found) found = FrameRange{frame, frame};
    found->first = std::min(found->first, frame);
    found->last = std::max(found->last, frame);
  }
  return found;
}

}  // namespace gw
