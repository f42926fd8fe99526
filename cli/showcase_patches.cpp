#include "cli/showcase_patches.h"

#include <vector>

namespace gw {

int32_t CountOpaquePatches(const testhost::Image& layer) {
  const int32_t w = layer.width, h = layer.height;
  std::vector<uint8_t> seen(static_cast<size_t>(w) * h, 0);
  std::vector<int32_t> stack;
  int32_t patches = 0;
  const auto opaque = [&](int32_t i) { return layer.pixels[static_cast<size_t>(i)].alpha != 0; };
  for (int32_t start = 0; start < w * h; ++start) {
    if (seen[static_cast<size_t>(start)] || !opaque(start)) continue;
    ++patches;
    seen[static_cast<size_t>(start)] = 1;
    stack.push_back(start);
    while (!stack.empty()) {
      const int32_t i = stack.back();
      stack.pop_back();
      const int32_t x = i % w, y = i / w;
      const int32_t neighbours[4] = {x > 0 ? i - 1 : -1, x + 1 < w ? i + 1 : -1,
                                     y > 0 ? i - w : -1, y + 1 < h ? i + w : -1};
      for (const int32_t n : neighbours) {
        if (n < 0 || seen[static_cast<size_t>(n)] || !opaque(n)) continue;
        seen[static_cast<size_t>(n)] = 1;
        stack.push_back(n);
      }
    }
  }
  return patches;
}

}  // namespace gw
