// Writes 24-bit pictures as PNG files with no library: stored (uncompressed)
// deflate blocks, as every PNG reader accepts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gw::testing {

// `rgb` holds width x height pixels, three bytes each, row after row.
bool WritePng(const std::string& path, int32_t width, int32_t height,
              const std::vector<uint8_t>& rgb);

}  // namespace gw::testing
