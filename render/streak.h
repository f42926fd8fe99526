// The streak primitive: an anti-aliased line about two pixels thick whose
// brightness falls off linearly from an anchor. Every spike, ray and fan line
// of a flare is one streak.
#pragma once

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <utility>
#include <vector>

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

// Screens the streak into the target's pixels inside the clip rectangle;
// with `positions`, takes its walk up where an earlier one got to.
void DrawStreak(const Streak& streak, const RenderTarget& target, StreakPositions* positions);

// Where the walks of a frame's streaks have got to. A streak walks from its
// start, one whole step along its major axis at a time, adding its slope to
// the minor coordinate at every step; the tiles of a blurred draw walk the
// same streaks again, each from the start up to where its own clip
// rectangle begins. With these positions a later tile takes the walk up
// from the furthest point an earlier one reached before its own, and adds
// the same slopes to the same numbers from there. A position depends on
// nothing but the walk's start, its slope and the steps taken, which are
// its key, so it never serves another streak.
class StreakPositions {
 public:
  // The start of a walk: its major and minor coordinates and its slope,
  // compared bit for bit.
  struct Start {
    float major, minor, slope;
  };

  // The furthest position noted for the walk from `start` whose major
  // coordinate lies in [from, limit]: true, with `major` and `minor` set
  // to it, when there is one.
  bool Furthest(const Start& start, int64_t from, int64_t limit, int64_t& major,
                float& minor) const;
  // Notes that the walk from `start` has its minor coordinate at `minor`
  // after the advances of all steps before `major`. Nothing is noted past
  // a bound on the memory held.
  void Note(const Start& start, int64_t major, float minor);

 private:
  struct Key {
    uint32_t major, minor, slope;
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    size_t operator()(const Key& k) const {
      return (size_t{k.major} * 0x9E3779B1u) ^ (size_t{k.minor} * 0x85EBCA77u) ^ k.slope;
    }
  };
  static Key KeyOf(const Start& start);

  static constexpr size_t kMaxPositions = size_t{1} << 16;
  std::unordered_map<Key, std::vector<std::pair<int64_t, float>>, KeyHash> positions_;
  size_t count_ = 0;
};

// Receives the streaks of an element one at a time, in drawing order: the
// renderers pass a sink that draws them, tests one that records them.
using StreakSink = std::function<void(const Streak&)>;

// A sink that draws every streak into the target (`positions` as DrawStreak
// takes them).
StreakSink DrawStreaksInto(const RenderTarget& target, StreakPositions* positions);

}  // namespace gw
