// A frame with a different colour in every pixel and varied alpha: the plate
// of the frames rendered to compare two builds or two bindings.
#pragma once

#include <cstdint>

#include "testhost/image.h"

namespace gw::testing {

inline testhost::Image PatternPlate(int32_t width, int32_t height) {
  testhost::Image image(width, height);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      image.at(x, y) = PF_Pixel{
          static_cast<uint8_t>(128 + (x + y) % 128), static_cast<uint8_t>(x * 90 / width),
          static_cast<uint8_t>(y * 90 / height), static_cast<uint8_t>((x * 3 + y * 5) % 64)};
    }
  }
  return image;
}

}  // namespace gw::testing
