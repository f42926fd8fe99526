// The streak primitive: an anti-aliased line about two pixels thick whose
// brightness falls off linearly from an anchor. Every spike, ray and fan line
// of a flare is one streak.
#pragma once

#include <cstdint>
#include <functional>

#include "render/target.h"

namespace gw {

// Where a streak is brightest; its brightness falls off linearly from there.
enum class StreakAnchor : int16_t {
  Start = 1,   // at the first end point
  Middle = 2,  // halfway between the end points
};

struct Streak {
  float x0, y0;     // first end point (frame pixels)
  float x1, y1;     // second end point
  float red;        // intensity at the anchor, 0..1 (more saturates)
  float thickness;  // cross-section in pixels; every caller passes 1.8
  float green;
  float blue;
  StreakAnchor anchor;
};

inline constexpr float kStreakThickness = 1.8f;

// Screens the streak into the target's pixels inside the clip rectangle.
void DrawStreak(const Streak& streak, const RenderTarget& target);

// Receives the streaks of an element one at a time, in drawing order: the
// renderers pass a sink that draws them, tests one that records them.
using StreakSink = std::function<void(const Streak&)>;

// A sink that draws every streak into the target.
StreakSink DrawStreaksInto(const RenderTarget& target);

}  // namespace gw
