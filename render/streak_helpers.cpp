#include "render/streak_helpers.h"

namespace gw {

float StreakWidthBase(int32_t width) {
  return (static_cast<float>(width) / 320.0f + 1.0f) / 2.0f;
}

StreakColour ElementStreakColour(float factor, float elementBrightness,
                                 const RenderTarget& target, Rgb colour) {
  const float f = factor * elementBrightness;
  return {f * target.gainR * static_cast<float>(colour.r) / 255.0f,
          f * target.gainG * static_cast<float>(colour.g) / 255.0f,
          f * target.gainB * static_cast<float>(colour.b) / 255.0f};
}

Streak StreakBetween(float x0, float y0, float x1, float y1, StreakColour colour,
                     StreakAnchor anchor) {
  return Streak{x0, y0, x1, y1, colour.red, kStreakThickness, colour.green, colour.blue,
                anchor};
}

}  // namespace gw
