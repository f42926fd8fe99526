// What the streak elements share: the width factor they grow by, their colour
// from the element and the target's gains, and streak records of the usual
// thickness handed to a sink (the renderers draw them; tests record them).
#pragma once

#include <cstdint>

#include "lens/lens.h"
#include "render/streak.h"
#include "render/target.h"

namespace gw {

// (W / 320 + 1) / 2: 1 on a 320-pixel-wide frame, half as much again for
// every further 320 pixels.
float StreakWidthBase(int32_t width);

struct StreakColour {
  float red, green, blue;
};

// factor x element brightness x gain x colour / 255, per channel.
StreakColour ElementStreakColour(float factor, float elementBrightness,
                                 const RenderTarget& target, Rgb colour);

// A streak of the usual thickness from (x0, y0) to (x1, y1).
Streak StreakBetween(float x0, float y0, float x1, float y1, StreakColour colour,
                     StreakAnchor anchor);

// v, lowered to 1 when above (NaN passes through and draws nothing).
inline float AtMostOne(float v) { return v > 1.0f ? 1.0f : v; }

}  // namespace gw
