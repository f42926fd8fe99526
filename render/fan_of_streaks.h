// One fan of fine streaks from a common point, spread over a small angle and
// fading towards its edges; its streaks shimmer with the target's anglePhase.
#pragma once

#include <cstdint>

#include "render/streak_helpers.h"
#include "render/target.h"

namespace gw {

// Widths beyond this are drawn as this (4 streaks per unit of width).
inline constexpr int32_t kMaxFanWidth = 1024;

// Hands the fan's streaks to the sink. fanTarget's colorR, colorG and colorB
// carry the fan's colour; the fan points along (sin a, cos a) for a =
// angleDeg in radians; `variant` changes the noise pattern.
void FanOfStreaks(const RenderTarget& fanTarget, float length, int32_t width, float intensity,
                  float cx, float cy, float angleDeg, int32_t variant, const StreakSink& sink);

}  // namespace gw
