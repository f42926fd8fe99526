#include "editor/dib.h"

#include <cstring>

namespace gw {
namespace {

uint32_t Read32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}
uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
void Write32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
void Write16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

constexpr uint32_t kUncompressed = 0;
constexpr uint32_t kBitFields = 3;
constexpr size_t kMaskBytes = 12;

// A channel of a 16- or 32-bit pixel through its mask, scaled to 0..255.
uint8_t Channel(uint32_t pixel, uint32_t mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1u) == 0) ++shift;
  const uint32_t largest = mask >> shift;
  return static_cast<uint8_t>(uint64_t{(pixel & mask) >> shift} * 255 / largest);
}
constexpr int64_t kLargestSide = 1 << 16;

}  // namespace

std::optional<DibLayout> ReadDibLayout(std::span<const uint8_t> bytes) {
  if (bytes.size() < kDibHeaderSize) return std::nullopt;
  const uint8_t* h = bytes.data();
  DibLayout d;
  d.width = static_cast<int32_t>(Read32(h + 4));
  d.height = static_cast<int32_t>(Read32(h + 8));
  d.bitCount = Read16(h + 14);
  const uint32_t compression = Read32(h + 16);
  if (compression != kUncompressed && compression != kBitFields) return std::nullopt;
  switch (d.bitCount) {
    case 4: d.tableBytes = 64; break;
    case 8: d.tableBytes = 1024; break;
    case 1:
    case 24: d.tableBytes = 0; break;
    case 16: d.masks[0] = 0x7c00, d.masks[1] = 0x03e0, d.masks[2] = 0x001f; break;
    case 32: d.masks[0] = 0xff0000, d.masks[1] = 0x00ff00, d.masks[2] = 0x0000ff; break;
    default: return std::nullopt;
  }
  if (compression == kBitFields) {
    // Red, green and blue masks follow the header, before the rows.
    if (d.bitCount != 16 && d.bitCount != 32) return std::nullopt;
    if (bytes.size() < kDibHeaderSize + kMaskBytes) return std::nullopt;
    for (int c = 0; c < 3; ++c) d.masks[c] = Read32(h + kDibHeaderSize + 4 * c);
    d.tableBytes = kMaskBytes;
  }
  const int64_t width = d.width;
  const int64_t rows = d.height < 0 ? -int64_t{d.height} : d.height;
  if (width <= 0 || rows == 0 || width > kLargestSide || rows > kLargestSide) return std::nullopt;
  d.stride = static_cast<size_t>((width * d.bitCount + 31) / 32 * 4);
  d.bitsOffset = kDibHeaderSize + d.tableBytes;
  const uint64_t needed = d.bitsOffset + uint64_t{d.stride} * static_cast<uint64_t>(rows);
  if (needed > bytes.size()) return std::nullopt;
  return d;
}

void WriteDibHeader(uint8_t* h, int32_t width, int32_t height, uint16_t bitCount,
                    uint32_t coloursUsed) {
  std::memset(h, 0, kDibHeaderSize);
  Write32(h, kDibHeaderSize);
  SetDibSize(h, width, height);
  Write16(h + 12, 1);  // planes
  Write16(h + 14, bitCount);
  Write32(h + 32, coloursUsed);
}

void SetDibSize(uint8_t* h, int32_t width, int32_t height) {
  Write32(h + 4, static_cast<uint32_t>(width));
  Write32(h + 8, static_cast<uint32_t>(height));
}

int32_t DibWidth(const uint8_t* h) { return static_cast<int32_t>(Read32(h + 4)); }
int32_t DibHeight(const uint8_t* h) { return static_cast<int32_t>(Read32(h + 8)); }

std::vector<uint8_t> DibToRgb(std::span<const uint8_t> bytes, const DibLayout& d) {
  const int32_t rows = d.height < 0 ? -d.height : d.height;
  std::vector<uint8_t> rgb(static_cast<size_t>(d.width) * static_cast<size_t>(rows) * 3);
  const uint8_t* table = bytes.data() + kDibHeaderSize;
  for (int32_t y = 0; y < rows; ++y) {
    // Rows run from the bottom unless the height is negative.
    const int32_t source = d.height < 0 ? y : rows - 1 - y;
    const uint8_t* row = bytes.data() + d.bitsOffset + d.stride * static_cast<size_t>(source);
    uint8_t* out = rgb.data() + static_cast<size_t>(y) * static_cast<size_t>(d.width) * 3;
    for (int32_t x = 0; x < d.width; ++x, out += 3) {
      uint8_t b = 0, g = 0, r = 0;
      if (d.bitCount == 24) {
        const uint8_t* p = row + static_cast<size_t>(x) * 3;
        b = p[0];
        g = p[1];
        r = p[2];
      } else if (d.bitCount == 16 || d.bitCount == 32) {
        const uint32_t v = d.bitCount == 16 ? Read16(row + static_cast<size_t>(x) * 2)
                                            : Read32(row + static_cast<size_t>(x) * 4);
        r = Channel(v, d.masks[0]);
        g = Channel(v, d.masks[1]);
        b = Channel(v, d.masks[2]);
      } else if (d.bitCount == 1) {  // no colour table is carried: black and white
        r = g = b = ((row[x / 8] >> (7 - x % 8)) & 1) ? 255 : 0;
      } else {
        const int perByte = 8 / d.bitCount;
        const int shift = (perByte - 1 - x % perByte) * d.bitCount;
        const int index = (row[x / perByte] >> shift) & ((1 << d.bitCount) - 1);
        const uint8_t* entry = table + static_cast<size_t>(index) * 4;
        b = entry[0];
        g = entry[1];
        r = entry[2];
      }
      out[0] = r;
      out[1] = g;
      out[2] = b;
    }
  }
  return rgb;
}

}  // namespace gw
