// Layers as the frame logic reads them: 8-bit pixels of four bytes (alpha,
// red, green, blue), rows from the top, handed over by a binding whatever
// its host gave it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gw {

// One layer pixel, its bytes in the order they are stored.
struct LayerPixel {
  uint8_t alpha;
  uint8_t red;
  uint8_t green;
  uint8_t blue;
};
static_assert(sizeof(LayerPixel) == 4);

// Byte offsets of the channels within a pixel.
inline constexpr int32_t kLayerAlpha = 0, kLayerRed = 1, kLayerGreen = 2, kLayerBlue = 3;
inline constexpr int32_t kLayerBytesPerPixel = 4;

// A view of a layer's pixels; it owns nothing. Rows are `rowBytes` apart and
// may run upwards in memory (a negative `rowBytes`).
struct LayerView {
  const uint8_t* data = nullptr;  // the first pixel of the top row
  int32_t width = 0;
  int32_t height = 0;
  ptrdiff_t rowBytes = 0;

  // Pixels to read: data, a positive size and rows that do not overlap.
  bool HasPixels() const {
    const ptrdiff_t stride = rowBytes < 0 ? -rowBytes : rowBytes;
    return data != nullptr && width > 0 && height > 0 &&
           stride >= static_cast<ptrdiff_t>(width) * kLayerBytesPerPixel;
  }
  // Row y, for a layer that HasPixels.
  const uint8_t* Row(int32_t y) const { return data + static_cast<ptrdiff_t>(y) * rowBytes; }
  uint8_t Alpha(int32_t x, int32_t y) const {
    return Row(y)[static_cast<ptrdiff_t>(x) * kLayerBytesPerPixel + kLayerAlpha];
  }
  LayerPixel At(int32_t x, int32_t y) const {
    const uint8_t* p = Row(y) + static_cast<ptrdiff_t>(x) * kLayerBytesPerPixel;
    return LayerPixel{p[kLayerAlpha], p[kLayerRed], p[kLayerGreen], p[kLayerBlue]};
  }
};

}  // namespace gw
