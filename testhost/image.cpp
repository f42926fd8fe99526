#include "testhost/image.h"

#include <algorithm>

namespace gw::testhost {

int32_t DownsampledSize(int32_t size, int32_t factor) {
  return factor > 1 ? size / factor : size;
}

Image Downsample(const Image& image, int32_t factor) {
  if (factor <= 1) return image;
  Image out(DownsampledSize(image.width, factor), DownsampledSize(image.height, factor));
  for (int32_t y = 0; y < out.height; ++y) {
    for (int32_t x = 0; x < out.width; ++x) {
      uint32_t a = 0, r = 0, g = 0, b = 0, n = 0;
      const int32_t y1 = std::min(image.height, (y + 1) * factor);
      const int32_t x1 = std::min(image.width, (x + 1) * factor);
      for (int32_t sy = y * factor; sy < y1; ++sy) {
        for (int32_t sx = x * factor; sx < x1; ++sx) {
          const PF_Pixel& p = image.at(sx, sy);
          a += p.alpha;
          r += p.red;
          g += p.green;
          b += p.blue;
          ++n;
        }
      }
      const auto avg = [n](uint32_t sum) { return static_cast<uint8_t>((sum + n / 2) / n); };
      out.at(x, y) = PF_Pixel{avg(a), avg(r), avg(g), avg(b)};
    }
  }
  return out;
}

}  // namespace gw::testhost
