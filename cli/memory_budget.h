// How much memory a piece of work needs, worked out from image headers
// before any pixel is read, against how much this machine can give.
#pragma once

#include <cstdint>
#include <string>

namespace gw {

// The memory work may use: what the machine has free now (its available
// memory, within the process's control group and address-space limit), or
// what --memory-limit says.
struct MemoryLimit {
  uint64_t bytes = 0;
  bool given = false;  // from --memory-limit
};

// The limit the option text gives ("16G", "800M", "1.5T"; K, M, G and T
// count in 1024s); the machine's free memory when the text is empty.
// Throws CommandError naming `option` on bad text.
MemoryLimit ParseMemoryLimit(const std::string& option, const std::string& text);

// What this machine has free, in bytes.
uint64_t AvailableMemory();

// "14.2 GB", "512 MB".
std::string MemoryText(uint64_t bytes);

// A picture of width x height pixels and `channels` channels held as floats.
uint64_t PlateBytes(int64_t width, int64_t height, int64_t channels);

// Throws CommandError("<what> needs about N GB; ...") when `needed` does not
// fit in the limit, saying how to change it.
void CheckFits(const std::string& what, uint64_t needed, const MemoryLimit& limit);

}  // namespace gw
