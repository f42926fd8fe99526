// Device-independent bitmaps: the preview's own image header and the
// clipboard's bitmaps, read without ever going past the bytes they came with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace gw {

inline constexpr size_t kDibHeaderSize = 40;

struct DibLayout {
  int32_t width = 0;
  int32_t height = 0;       // negative: rows top-down
  uint16_t bitCount = 0;
  size_t tableBytes = 0;    // colour table, or the three colour masks, after the header
  size_t bitsOffset = 0;    // header + table
  size_t stride = 0;        // bytes per row, a multiple of 4
  // Where red, green and blue lie in a 16- or 32-bit pixel: the bitmap's own
  // masks, or 5-5-5 and 8-8-8 when it has none.
  uint32_t masks[3] = {};
};

// The layout of a bitmap's bytes: a 40-byte header, a colour table of 64
// bytes at 4 bits per pixel, 1,024 at 8 and none otherwise (or, for 16 and
// 32 bits with colour masks, the three 4-byte masks), then the rows.
// Nullopt when it is no uncompressed bitmap or its rows do not fit the bytes.
std::optional<DibLayout> ReadDibLayout(std::span<const uint8_t> bytes);

// A header for `width` x `height` (negative height: top-down) pixels.
void WriteDibHeader(uint8_t* header, int32_t width, int32_t height, uint16_t bitCount,
                    uint32_t coloursUsed);
void SetDibSize(uint8_t* header, int32_t width, int32_t height);
int32_t DibWidth(const uint8_t* header);
int32_t DibHeight(const uint8_t* header);

// The bitmap as rows of red, green, blue from the top, for front-ends that
// draw RGB images (1, 4, 8, 16, 24 and 32 bits per pixel).
std::vector<uint8_t> DibToRgb(std::span<const uint8_t> bytes, const DibLayout& layout);

}  // namespace gw
