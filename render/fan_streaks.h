// The streak elements that build their shapes from many streaks: Aperture
// Reflection, Chroma Hoop, PhotonSpikeBall and ChromaFan. Each element is
// split into a function that computes its streaks, in drawing order, and hands
// them to a sink, and a renderer (render/elements/) that passes a sink which
// draws them. Tests pass a sink that records them.
#pragma once

#include <cstdint>

#include "lens/lens.h"
#include "render/streak.h"
#include "render/target.h"

namespace gw {

// Point arithmetic, one operation each, in single precision.
inline PointF PointPlus(PointF a, PointF b) { return {a.x + b.x, a.y + b.y}; }
inline PointF PointMinus(PointF a, PointF b) { return {a.x - b.x, a.y - b.y}; }
inline PointF PointTimes(PointF a, float s) { return {a.x * s, a.y * s}; }
inline PointF PointOver(PointF a, float s) { return {a.x / s, a.y / s}; }

// A streak with thickness 1.8 between two points.
Streak MakeStreak(PointF from, PointF to, float red, float green, float blue, StreakAnchor anchor);

// v clamped to 0..1; NaN gives 0.
float ClampToUnit(float v);

// Noise smoothed between integers: with i = trunc(v) and f = v - i,
// (1 - f) Noise(i) + f Noise(i + 1). NaN and values beyond the 32-bit range
// give Noise(TruncToInt(v)).
float SmoothNoise(float v);

// One fan of n streaks from (px, py) toward directionDeg (a ray at angle a
// runs along (-sin a, cos a)), side by side over spacing x reach / 2 pixels,
// longest and brightest in the middle. Only the target's width is read.
void StreakFan(float len, int16_t n, float lengthFactor, float px, float py, float directionDeg,
               const RenderTarget& target, float R, float G, float B, float jitter, float spacing,
               float reach, const StreakSink& sink);

// One wedge of n streaks from (px, py), the first toward `turns` (1.0 = a full
// circle, along (sin, cos)), opening by one radian per 255 streaks.
void PhotonFan(float len, int16_t n, float strength, float px, float py, float turns,
               const RenderTarget& target, float R, float G, float B, const StreakSink& sink);

void ApertureReflectionStreaks(const LensElement& element, const RenderTarget& target,
                               const StreakSink& sink);
void ChromaHoopStreaks(const LensElement& element, const RenderTarget& target,
                       const StreakSink& sink);
void PhotonSpikeBallStreaks(const LensElement& element, const RenderTarget& target,
                            const StreakSink& sink);
void ChromaFanStreaks(const LensElement& element, const RenderTarget& target,
                      const StreakSink& sink);

}  // namespace gw
