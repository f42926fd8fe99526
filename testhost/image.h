// Images as the host hands them to a plug-in: 8-bit PF_Pixel rows.
#pragma once

#include <cstdint>
#include <vector>

#include "host/sdk/pf_api.h"

namespace gw::testhost {

struct Image {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<PF_Pixel> pixels;  // row after row, no padding

  Image() = default;
  Image(int32_t w, int32_t h, PF_Pixel fill = PF_Pixel{255, 0, 0, 0})
      : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
  PF_Pixel& at(int32_t x, int32_t y) { return pixels[static_cast<size_t>(y) * width + x]; }
  const PF_Pixel& at(int32_t x, int32_t y) const {
    return pixels[static_cast<size_t>(y) * width + x];
  }
};

// The size a host renders at 1/factor: trunc(size / factor).
int32_t DownsampledSize(int32_t size, int32_t factor);

// Each pixel the average of its factor x factor block (blocks at the right
// and bottom edge may be cut short). A factor of 1 copies.
Image Downsample(const Image& image, int32_t factor);

}  // namespace gw::testhost
