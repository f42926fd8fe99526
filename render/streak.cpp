#include "render/streak.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "render/numeric.h"
#include "render/pixels.h"
#include "render/streak_walk.h"

namespace gw {

namespace {

using namespace streak_walk;

// A walk that would first pass more columns (or rows) than this before it
// reaches the clip rectangle jumps straight to it instead of stepping there.
// Streaks of real flares start far closer than this (frames are at most 32767
// pixels wide), so their accumulated positions, and their pixels, are those of
// the full walk; only absurd end points (a scale of 1e30) take the jump.
constexpr int64_t kLongestLeadIn = int64_t{1} << 16;

// The distance from the anchor from which on no step shows, when that is at
// most `farthest`; -1 when steps farther than `farthest` still show, or when
// there is no such distance. Every operation of StepShows keeps or turns the
// order of its operand, so with no negative channel a step shows exactly when
// its distance lies below a threshold, found by bisection; only thresholds up
// to `farthest` (the farthest the clip rectangle lies along the walk) can
// shorten the drawing, so larger ones are not looked for.
int64_t DarkDistance(const Walk& w, int64_t farthest) {
  if (w.red < 0.0f || w.green < 0.0f || w.blue < 0.0f) return -1;
  const auto top = static_cast<int32_t>(std::clamp<int64_t>(farthest, 0, INT32_MAX));
  StepColour c;
  if (StepShows(w, top, c)) return -1;
  int32_t lo = 0, hi = top;  // the threshold lies in [lo, hi]
  while (lo < hi) {
    const int32_t mid = lo + (hi - lo) / 2;
    if (StepShows(w, mid, c)) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return lo;
}

// True when no step in first..end-1 (the minor coordinate at `minor` before
// the first advance) can show because every channel is 0 or less: then
// StepShows never turns false again once true as the distance grows (the
// fade must go negative for anything to show), so if even the largest
// distance these steps can have shows nothing, none does. A step's distance
// is at most the true one of its offsets plus the table's rounding (under
// 2^-15 of it), so at most that of the largest offsets along and across the
// walk; the minor coordinates are stepped through once to find the latter.
bool NothingShows(const Walk& w, int64_t first, int64_t end, float minor) {
  if (w.red > 0.0f || w.green > 0.0f || w.blue > 0.0f) return false;
  float lowest = minor + w.slope, highest = lowest;
  for (int64_t m = first; m < end; ++m) {
    minor = minor + w.slope;
    lowest = std::min(lowest, minor);
    highest = std::max(highest, minor);
  }
  const auto farther = [](int64_t anchor, int64_t a, int64_t b) {
    return static_cast<double>(std::max(std::llabs(anchor - a), std::llabs(anchor - b)));
  };
  const double along = farther(w.anchorMajor, first, end - 1);
  const double across = farther(w.anchorMinor, TruncToInt(lowest), TruncToInt(highest));
  const double farthest =
      std::sqrt(along * along + across * across) * (1.0 + 1.0 / 32768.0) + 2.0;
  const int32_t d = farthest >= 2147483647.0 ? INT32_MAX : static_cast<int32_t>(farthest);
  StepColour colour;
  return !StepShows(w, d, colour);
}

// Draws the steps first..end-1 of the walk (all inside the clip rectangle),
// the minor coordinate at `minor` before the first advance. The walk is a
// copy: the pixel writes below cannot change it, so nothing is read again.
template <bool kNarrow>
void WalkSteps(const Walk w, const RenderTarget& target, int32_t first, int32_t end, float minor) {
  uint8_t* const origin = ColourBytes(target, target.clip.left, target.clip.top);
  for (int32_t m = first; m < end; ++m) {
    minor = minor + w.slope;
    if (MinorNearClip(w, minor)) DrawStep<kNarrow>(w, target.screenTable, origin, m, minor);
  }
}

// The steps of a level walk (x-major, slope 0): the minor coordinate, and
// with it the pixels across, stay as they are after the first advance, so
// each row across is one run of pixels, filled a batch of steps at a time.
// Each pixel is screened by the same values in the same order as step by
// step; only the order between pixels changes.
template <bool kNarrow>
void WalkLevel(const Walk w, const RenderTarget& target, int32_t first, int32_t end, float minor) {
  minor = minor + w.slope;  // +0 from here on
  // Off the clip rectangle across the walk: nothing to write.
  if (!MinorNearClip(w, minor)) return;
  const int32_t across = TruncInRange(minor);
  const CrossSection s = CoverAcross<kNarrow>(minor, w.halfThickness, w.xMajor);
  uint32_t values[3][kLevelBatch];
  for (int32_t from = first; from < end; from += kLevelBatch) {
    const int32_t n = std::min(kLevelBatch, end - from);
    // A narrow walk's steps are worked out four at a time where they can be.
    const int32_t worked = kNarrow ? LevelValuesFourAtATime(w, across, s, from, n, values) : 0;
    for (int32_t i = worked; i < n; ++i) {
      const int32_t m = from + i;
      const int32_t d = kNarrow ? FastHypot(w.anchorMinor - across, w.anchorMajor - m)
                                : FastHypot(SaturatingDifference(w.anchorMinor, across),
                                            SaturatingDifference(w.anchorMajor, m));
      StepColour colour;
      const bool shows = StepShows(w, d, colour);
      for (int c = 0; c < s.count; ++c) values[c][i] = shows ? ChannelValues(s.cover[c].k, colour) : 0;
    }
    for (int c = 0; c < s.count; ++c) {
      const int32_t row = s.cover[c].across;
      // Rows outside the clip rectangle are left alone.
      if (row < w.clipMinorLo || row >= w.clipMinorHi) continue;
      ScreenRow(target.screenTable, ColourBytes(target, from, row), target.bytesPerPixel,
                values[c], n);
    }
  }
}

void RunWalk(const Walk& w, const RenderTarget& target, StreakPositions* positions) {
  // A walk whose steps all lie before or after the clip rectangle along its
  // major axis draws nothing: it is not measured.
  if (static_cast<float>(w.clipMajorLo) > w.endMajor ||
      TruncToInt(w.startMajor + 1.0f) >= w.clipMajorHi) {
    return;
  }
  // A step's distance from the anchor is never below its distance along the
  // walk, so steps whose major coordinate lies that far from the anchor's
  // show nothing: the drawing stops short of them.
  int64_t drawLo = w.clipMajorLo, drawHi = w.clipMajorHi;
  // A threshold beyond both of these leaves drawLo and drawHi as they are.
  const int64_t dark = DarkDistance(
      w, std::max(int64_t{w.anchorMajor} - drawLo, drawHi - int64_t{w.anchorMajor} - 1));
  if (dark >= 0) {
    drawLo = std::max(drawLo, int64_t{w.anchorMajor} - dark + 1);
    drawHi = std::min(drawHi, int64_t{w.anchorMajor} + dark);
  }
  int64_t major = TruncToInt(w.startMajor + 1.0f);
  float minor = w.startMinor;
  // Steps before the clip rectangle draw nothing but move the minor
  // coordinate; an absurdly long lead-in is crossed in one jump.
  const int64_t leadIn = int64_t{w.clipMajorLo} - major;
  const StreakPositions::Start start{w.startMajor, w.startMinor, w.slope};
  const bool stepped = leadIn <= kLongestLeadIn;
  if (!stepped) {
    minor = static_cast<float>(static_cast<double>(minor) +
                               static_cast<double>(w.slope) * static_cast<double>(leadIn));
    major = w.clipMajorLo;
  } else if (positions != nullptr) {
    // Taken up where an earlier walk of this streak got to, never beyond
    // where this one stops stepping.
    int64_t at = 0;
    float reached = 0.0f;
    if (positions->Furthest(start, major, std::min(drawLo, drawHi), at, reached)) {
      major = at;
      minor = reached;
    }
  }
  // The advance comes before each step is drawn, also before the steps
  // that draw nothing: one for each major coordinate below drawLo (and
  // drawHi) up to the end point. Below drawLo the major coordinate lies
  // within kLongestLeadIn of the clip rectangle, so it converts to float
  // exactly.
  const int64_t before = std::min(drawLo, drawHi);
  if (major < before && static_cast<float>(major) <= w.endMajor) {
    const int64_t stop = w.endMajor >= static_cast<float>(before)
                             ? before
                             : int64_t{TruncToInt(std::floor(w.endMajor))} + 1;
    minor = AddRepeatedly(minor, w.slope, stop - major);
    major = stop;
  }
  if (stepped && positions != nullptr) positions->Note(start, major, minor);
  if (major >= drawHi || static_cast<float>(major) > w.endMajor) return;
  // From here on the major coordinate lies in the clip rectangle, where it
  // converts to float exactly: the walk ends at the end point's floor.
  const int64_t end = w.endMajor >= static_cast<float>(drawHi)
                          ? drawHi
                          : static_cast<int64_t>(std::floor(w.endMajor)) + 1;
  if (NothingShows(w, major, end, minor)) return;
  constexpr int32_t kNearAnchor = 1 << 30;
  const bool narrow = NarrowCrossSection(w.halfThickness) &&
                      Magnitude(w.anchorMajor) <= kNearAnchor &&
                      Magnitude(w.anchorMinor) <= kNearAnchor;
  // Short level walks gain nothing from runs.
  constexpr int64_t kShortestLevelRun = 32;
  if (w.xMajor && w.slope == 0.0f && end - major >= kShortestLevelRun) {
    if (narrow) {
      WalkLevel<true>(w, target, static_cast<int32_t>(major), static_cast<int32_t>(end), minor);
    } else {
      WalkLevel<false>(w, target, static_cast<int32_t>(major), static_cast<int32_t>(end), minor);
    }
    return;
  }
  if (narrow) {
    if (WalkFourAtATime(w, target, static_cast<int32_t>(major), static_cast<int32_t>(end), minor)) {
      return;
    }
    WalkSteps<true>(w, target, static_cast<int32_t>(major), static_cast<int32_t>(end), minor);
  } else {
    WalkSteps<false>(w, target, static_cast<int32_t>(major), static_cast<int32_t>(end), minor);
  }
}

bool Finite(const Streak& s) {
  return std::isfinite(s.x0) && std::isfinite(s.y0) && std::isfinite(s.x1) &&
         std::isfinite(s.y1);
}

// True when no pixel of the streak can reach the clip rectangle.
bool MissesClip(const Streak& s, const RenderTarget& t) {
  const float margin = 3.0f;
  const float left = std::fmin(s.x0, s.x1) - margin, right = std::fmax(s.x0, s.x1) + margin;
  const float top = std::fmin(s.y0, s.y1) - margin, bottom = std::fmax(s.y0, s.y1) + margin;
  return right < t.clip.left || left >= t.clip.right || bottom < t.clip.top ||
         top >= t.clip.bottom || t.clip.left >= t.clip.right || t.clip.top >= t.clip.bottom;
}

}  // namespace

void DrawStreak(const Streak& streak, const RenderTarget& target, StreakPositions* positions) {
  // End points that are not numbers (or infinitely far) give no line at all.
  if (!Finite(streak) || MissesClip(streak, target)) return;

  // Anchor and fade length.
  int32_t ax = TruncToInt(streak.x0);
  int32_t ay = TruncToInt(streak.y0);
  float dx = streak.x1 - streak.x0;
  float dy = streak.y1 - streak.y0;
  float length = static_cast<float>(
      FastHypot(TruncToInt(std::fabs(dy)), TruncToInt(std::fabs(dx))));
  if (length == 0.0f) length = 0.1f;
  if (streak.anchor == StreakAnchor::Middle) {
    ax = TruncToInt((streak.x1 + streak.x0) * 0.5f);
    ay = TruncToInt((streak.y1 + streak.y0) * 0.5f);
    length = length * 0.5f;
  }

  // Order the end points so that the major coordinate increases.
  const bool xMajor = std::fabs(dx) > std::fabs(dy);
  float sx0 = streak.x0, sy0 = streak.y0, sx1 = streak.x1, sy1 = streak.y1;
  if (xMajor ? sx0 > sx1 : sy0 > sy1) {
    std::swap(sx0, sx1);
    std::swap(sy0, sy1);
  }
  dx = sx1 - sx0;
  dy = sy1 - sy0;

  Walk w{};
  w.length = length;
  w.halfThickness = streak.thickness * 0.5f;
  w.red = streak.red;
  w.green = streak.green;
  w.blue = streak.blue;
  w.xMajor = xMajor;
  if (xMajor) {
    w.startMajor = sx0;
    w.startMinor = sy0;
    w.endMajor = sx1;
    w.slope = dx != 0.0f ? dy / dx : 0.0f;
    w.anchorMajor = ax;
    w.anchorMinor = ay;
    w.clipMajorLo = target.clip.left;
    w.clipMajorHi = target.clip.right;
    w.clipMinorLo = target.clip.top;
    w.clipMinorHi = target.clip.bottom;
    w.majorStride = target.bytesPerPixel;
    w.acrossStride = target.rowBytes;
  } else {
    w.startMajor = sy0;
    w.startMinor = sx0;
    w.endMajor = sy1;
    w.slope = dy != 0.0f ? dx / dy : 0.0f;
    w.anchorMajor = ay;
    w.anchorMinor = ax;
    w.clipMajorLo = target.clip.top;
    w.clipMajorHi = target.clip.bottom;
    w.clipMinorLo = target.clip.left;
    w.clipMinorHi = target.clip.right;
    w.majorStride = target.rowBytes;
    w.acrossStride = target.bytesPerPixel;
  }
  RunWalk(w, target, positions);
}

StreakPositions::Key StreakPositions::KeyOf(const Start& start) {
  Key key{};
  std::memcpy(&key.major, &start.major, sizeof key.major);
  std::memcpy(&key.minor, &start.minor, sizeof key.minor);
  std::memcpy(&key.slope, &start.slope, sizeof key.slope);
  return key;
}

bool StreakPositions::Furthest(const Start& start, int64_t from, int64_t limit, int64_t& major,
                               float& minor) const {
  const auto it = positions_.find(KeyOf(start));
  if (it == positions_.end()) return false;
  bool found = false;
  for (const auto& [at, reached] : it->second) {
    if (at < from || at > limit || (found && at <= major)) continue;
    major = at;
    minor = reached;
    found = true;
  }
  return found;
}

void StreakPositions::Note(const Start& start, int64_t major, float minor) {
  if (count_ >= kMaxPositions) return;
  try {
    std::vector<std::pair<int64_t, float>>& noted = positions_[KeyOf(start)];
    for (const auto& position : noted) {
      if (position.first == major) return;
    }
    noted.emplace_back(major, minor);
    ++count_;
  } catch (const std::bad_alloc&) {
    // Not noted: the walk is stepped from its start again next time.
  }
}

StreakSink DrawStreaksInto(const RenderTarget& target, StreakPositions* positions) {
  return [&target, positions](const Streak& streak) { DrawStreak(streak, target, positions); };
}

}  // namespace gw
