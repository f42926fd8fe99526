#include "cli/memory_budget.h"

#include <sys/resource.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <sstream>

#include "cli/errors.h"

namespace gw {
namespace {

constexpr uint64_t kUnlimited = std::numeric_limits<uint64_t>::max();

// The first number in a file of the kernel's, or nothing.
uint64_t NumberInFile(const char* path) {
  std::ifstream in(path);
  uint64_t value = kUnlimited;
  if (!(in >> value)) return kUnlimited;  // "max", or no such file
  return value;
}

// What the control group still allows: its limit less its usage.
uint64_t ControlGroupRoom() {
  const struct {
    const char* limit;
    const char* usage;
  } kFiles[] = {{"/sys/fs/cgroup/memory.max", "/sys/fs/cgroup/memory.current"},
                {"/sys/fs/cgroup/memory/memory.limit_in_bytes",
                 "/sys/fs/cgroup/memory/memory.usage_in_bytes"}};
  for (const auto& files : kFiles) {
    const uint64_t limit = NumberInFile(files.limit);
    if (limit == kUnlimited || limit >= (uint64_t{1} << 60)) continue;
    const uint64_t usage = NumberInFile(files.usage);
    return usage == kUnlimited || usage >= limit ? 0 : limit - usage;
  }
  return kUnlimited;
}

uint64_t MemAvailable() {
  std::ifstream in("/proc/meminfo");
  std::string line;
  while (std::getline(in, line)) {
    if (!line.starts_with("MemAvailable:")) continue;
    std::istringstream fields(line.substr(13));
    uint64_t kilobytes = 0;
    if (fields >> kilobytes) return kilobytes * 1024;
  }
  return kUnlimited;
}

}  // namespace

uint64_t AvailableMemory() {
  uint64_t room = std::min(MemAvailable(), ControlGroupRoom());
  struct rlimit limit {};
  if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
    room = std::min<uint64_t>(room, limit.rlim_cur);
  }
  return room;
}

MemoryLimit ParseMemoryLimit(const std::string& option, const std::string& text) {
  if (text.empty()) return {AvailableMemory(), false};
  double number = 0.0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, number);
  std::string unit(stop, end);
  if (unit.ends_with("iB")) unit.erase(unit.size() - 2);
  if (unit.ends_with("B")) unit.pop_back();
  const std::string units = "KMGT";
  const size_t power = unit.size() == 1 ? units.find(static_cast<char>(std::toupper(unit[0])))
                                        : std::string::npos;
  if (error != std::errc() || stop == text.data() || power == std::string::npos ||
      !(number > 0.0) || !std::isfinite(number)) {
    throw CommandError(option + ": '" + text + "' is not a size such as 16G or 800M");
  }
  const double bytes = number * std::pow(1024.0, static_cast<double>(power + 1));
  if (!(bytes < 1.8e19)) throw CommandError(option + ": '" + text + "' is too large");
  return {static_cast<uint64_t>(bytes), true};
}

std::string MemoryText(uint64_t bytes) {
  char text[32];
  const double gigabytes = static_cast<double>(bytes) / (1024.0 * 1024.0 * 1024.0);
  if (gigabytes >= 1.0) {
    std::snprintf(text, sizeof text, "%.1f GB", gigabytes);
  } else {
    std::snprintf(text, sizeof text, "%.0f MB", std::ceil(static_cast<double>(bytes) / 1048576.0));
  }
  return text;
}

uint64_t PlateBytes(int64_t width, int64_t height, int64_t channels) {
  return static_cast<uint64_t>(width) * static_cast<uint64_t>(height) *
         static_cast<uint64_t>(channels) * sizeof(float);
}

void CheckFits(const std::string& what, uint64_t needed, const MemoryLimit& limit) {
  if (needed <= limit.bytes) return;
  throw CommandError(what + " needs about " + MemoryText(needed) + "; " +
                     (limit.given ? "--memory-limit allows " + MemoryText(limit.bytes)
                                  : "this machine has " + MemoryText(limit.bytes) +
                                        " free (--memory-limit SIZE sets another limit)"));
}

}  // namespace gw
