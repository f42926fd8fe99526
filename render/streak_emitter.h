// What the streak elements emit their streaks with: streak records of the
// usual thickness, their colours, the fans they are built of, handed to a
// sink in drawing order (the renderers draw them; tests record them). The
// elements' own streak functions are in render/elements/streak_elements.h.
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
inline Streak StreakBetween(PointF from, PointF to, StreakColour colour, StreakAnchor anchor) {
  return StreakBetween(from.x, from.y, to.x, to.y, colour, anchor);
}

// v, lowered to 1 when above (NaN passes through and draws nothing).
inline float AtMostOne(float v) { return v > 1.0f ? 1.0f : v; }

// Point arithmetic, one operation each, in single precision.
inline PointF PointPlus(PointF a, PointF b) { return {a.x + b.x, a.y + b.y}; }
inline PointF PointMinus(PointF a, PointF b) { return {a.x - b.x, a.y - b.y}; }
inline PointF PointTimes(PointF a, float s) { return {a.x * s, a.y * s}; }
inline PointF PointOver(PointF a, float s) { return {a.x / s, a.y / s}; }

// Noise smoothed between integers: with i = trunc(v) and f = v - i,
// (1 - f) Noise(i) + f Noise(i + 1). NaN and values beyond the 32-bit range
// give Noise(TruncToInt(v)).
float SmoothNoise(float v);

// One fan of `count` streaks from `origin` toward directionDeg (a ray at
// angle a runs along (-sin a, cos a)), side by side over spacing x reach / 2
// pixels, longest and brightest in the middle.
struct StreakFanShape {
  float length;
  int16_t count;
  float lengthFactor;  // lengthens the streaks and scales their strength
  PointF origin;
  float directionDeg;
  float jitter;   // how much noise lengthens and turns each streak
  float spacing;
  float reach;
};
// Only the target's width is read.
void StreakFan(const StreakFanShape& fan, StreakColour colour, const RenderTarget& target,
               const StreakSink& sink);

// One wedge of `count` streaks from `origin`, the first toward `turns` (1.0
// = a full circle, along (sin, cos)), opening by one radian per 255 streaks.
struct PhotonFanShape {
  float length;
  int16_t count;
  float strength;
  PointF origin;
  float turns;
};
void PhotonFan(const PhotonFanShape& fan, StreakColour colour, const StreakSink& sink);

// Widths beyond this are drawn as this (4 streaks per unit of width).
inline constexpr int32_t kMaxFanWidth = 1024;

// One fan of fine streaks from a common point, spread over a small angle and
// fading towards its edges; its streaks shimmer with the target's
// anglePhase. fanTarget's colorR, colorG and colorB carry the fan's colour;
// the fan points along (sin a, cos a) for a = angleDeg in radians; `variant`
// changes the noise pattern.
void FanOfStreaks(const RenderTarget& fanTarget, float length, int32_t width, float intensity,
                  float cx, float cy, float angleDeg, int32_t variant, const StreakSink& sink);

}  // namespace gw
