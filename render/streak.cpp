#include "render/streak.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "render/numeric.h"
#include "render/pixels.h"

namespace gw {

namespace {

// A walk that would first pass more columns (or rows) than this before it
// reaches the clip rectangle jumps straight to it instead of stepping there.
// Streaks of real flares start far closer than this (frames are at most 32767
// pixels wide), so their accumulated positions, and their pixels, are those of
// the full walk; only absurd end points (a scale of 1e30) take the jump.
constexpr int64_t kLongestLeadIn = int64_t{1} << 16;

// One pixel across the walk and the share of it that the streak covers.
struct Cover {
  int32_t across;  // row of an x-major walk, column of a y-major one
  float k;         // 0..1
};

// The two or three pixels that one step of the walk touches across it.
struct CrossSection {
  Cover cover[3];
  int count;
};

float ClampUnit(float v) {
  if (!(v > 0.0f)) return 0.0f;  // NaN too
  return v > 1.0f ? 1.0f : v;
}

// The part of v above its floor: 0 or more, also left of or above the frame.
float Frac(float v) { return v - std::floor(v); }

// Frac for |v| below 2^22, where truncation is exact and the floor is the
// truncation or one less (at -0 it gives -0 where Frac gives +0, which no
// coverage tells apart).
float FracNear(float v) {
  const auto whole = static_cast<float>(TruncInRange(v));
  return v - (whole > v ? whole - 1.0f : whole);
}

// A walk is narrow when the cross-section is at most 2^20 pixels across: its
// minor coordinates (within a few pixels of the clip rectangle) and the
// edges of its cross-section are then far inside the range where
// truncation is exact and needs no checks.
bool NarrowCrossSection(float h) { return std::fabs(h) <= 1048576.0f; }

// The coverage of the pixels across the walk at minor coordinate m (y of an
// x-major walk, x of a y-major one). The two orientations write the first
// coverage differently and are kept apart so each computes exactly as before.
// Inlined into the step loops, where it runs once a step.
template <bool kNarrow>
[[gnu::always_inline]] inline CrossSection CoverAcross(float m, float h, bool xMajor) {
  const auto trunc = [](float v) { return kNarrow ? TruncInRange(v) : TruncToInt(v); };
  const auto frac = [](float v) { return kNarrow ? FracNear(v) : Frac(v); };
  const float lo = m - h;
  const float hi = m + h;
  const int32_t tm = trunc(m);
  CrossSection s{};
  if (trunc(lo) != tm) {
    const float first =
        xMajor ? static_cast<float>(trunc(m + 1.0f)) - (lo + 1.0f) : static_cast<float>(tm) - lo;
    s.cover[s.count++] = {trunc(m - 1.0f), ClampUnit(first)};
    if (trunc(hi) != tm) {
      s.cover[s.count++] = {tm, 1.0f};
      s.cover[s.count++] = {tm + 1, frac(hi)};
    } else {
      s.cover[s.count++] = {tm, frac(hi)};
    }
  } else {
    s.cover[s.count++] = {tm, ClampUnit(static_cast<float>(tm + 1) - lo)};
    s.cover[s.count++] = {tm + 1, frac(hi)};
  }
  return s;
}

// a - b, saturated to the int32 range (anchors of absurd streaks saturate).
int32_t SaturatingDifference(int32_t a, int32_t b) {
  const int64_t d = int64_t{a} - int64_t{b};
  if (d > INT32_MAX) return INT32_MAX;
  if (d < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(d);
}

// The channel intensities of a step, 0 or more each.
#if defined(__SSE2__)
struct StepColour {
  __m128 rgb;  // red, green, blue, 0
};
#else
struct StepColour {
  float red, green, blue;
};
#endif

// For each channel, k x 255 x intensity truncated and held in 0..255 (NaN
// gives 0): what ClampToByte(TruncToInt(v)) gives, without its range
// checks. Red in the low byte, then green and blue.
uint32_t ChannelValues(float k, const StepColour& c) {
#if defined(__SSE2__)
  // The three channels side by side; each lane computes exactly as alone.
  const __m128 v = _mm_mul_ps(_mm_set1_ps(k * 255.0f), c.rgb);
  // max(v, 0) gives 0 for NaN.
  const __m128 held = _mm_min_ps(_mm_max_ps(v, _mm_setzero_ps()), _mm_set1_ps(255.0f));
  const __m128i whole = _mm_cvttps_epi32(held);
  const __m128i halves = _mm_packs_epi32(whole, whole);
  const __m128i bytes = _mm_packus_epi16(halves, halves);
  return static_cast<uint32_t>(_mm_cvtsi128_si32(bytes)) & 0xffffffu;
#else
  const auto value = [k](float intensity) {
    const float v = k * 255.0f * intensity;
    const float held = v > 0.0f ? (v < 255.0f ? v : 255.0f) : 0.0f;  // NaN: 0
    return static_cast<uint32_t>(TruncInRange(held));
  };
  return value(c.red) | value(c.green) << 8 | value(c.blue) << 16;
#endif
}

// The walk along the major axis, in the streak's own terms: `major` and
// `minor` are x and y of an x-major streak, y and x of a y-major one.
struct Walk {
  float startMajor, startMinor;
  float endMajor;
  float slope;                // minor advance per major step
  int32_t anchorMajor, anchorMinor;
  float length;               // L: distance at which the fade reaches 0
  float halfThickness;
  float red, green, blue;
  bool xMajor;
  int32_t clipMajorLo, clipMajorHi;  // [lo, hi)
  int32_t clipMinorLo, clipMinorHi;
  ptrdiff_t majorStride, acrossStride;  // bytes from one pixel to the next
};

// The channel intensities at distance d from the anchor, each at least 0;
// false when even the strongest gives less than one step of 255 at full
// coverage (a coverage is at most 1), so that the step shows nothing.
bool StepShows(const Walk& w, int32_t d, StepColour& c) {
  const float t = (w.length - static_cast<float>(d)) / w.length;
#if defined(__SSE2__)
  // max(v, 0) turns a NaN intensity into 0: neither shows nor gives a byte.
  c.rgb = _mm_max_ps(_mm_mul_ps(_mm_set1_ps(t), _mm_setr_ps(w.red, w.green, w.blue, 0.0f)),
                     _mm_setzero_ps());
  const __m128 full = _mm_mul_ps(c.rgb, _mm_set1_ps(255.0f));
  return _mm_movemask_ps(_mm_cmpge_ps(full, _mm_set1_ps(1.0f))) != 0;
#else
  c = {t * w.red, t * w.green, t * w.blue};
  if (c.red < 0.0f) c.red = 0.0f;
  if (c.green < 0.0f) c.green = 0.0f;
  if (c.blue < 0.0f) c.blue = 0.0f;
  return c.red * 255.0f >= 1.0f || c.green * 255.0f >= 1.0f ||
         c.blue * 255.0f >= 1.0f;  // false for NaN
#endif
}

// The distance from the anchor from which on no step shows, or -1 when
// there is none. Every operation of StepShows keeps or turns the order of
// its operand, so with no negative channel a step shows exactly when its
// distance lies below a threshold, found by bisection.
int64_t DarkDistance(const Walk& w) {
  if (w.red < 0.0f || w.green < 0.0f || w.blue < 0.0f) return -1;
  StepColour c;
  if (StepShows(w, INT32_MAX, c)) return -1;
  int32_t lo = 0, hi = INT32_MAX;  // the threshold lies in [lo, hi]
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
// kNarrow: the cross-section is narrow and the anchor within 2^30 of the
// frame, so no truncation or difference needs a check.
template <bool kNarrow>
void WalkSteps(const Walk w, const RenderTarget& target, int32_t first, int32_t end, float minor) {
  const uint8_t* const table = target.screenTable;
  uint8_t* const origin = ColourBytes(target, target.clip.left, target.clip.top);
  const float minorLo = static_cast<float>(w.clipMinorLo) - 3.0f;
  const float minorHi = static_cast<float>(w.clipMinorHi) + 3.0f;
  for (int32_t m = first; m < end; ++m) {
    minor = minor + w.slope;
    // Far off the clip rectangle across the walk: nothing to write.
    if (minor < minorLo || minor > minorHi) continue;
    // The minor coordinate is within a few pixels of the clip rectangle, so
    // well inside 16 bits.
    const int32_t across = TruncInRange(minor);
    const int32_t d = kNarrow ? FastHypot(w.anchorMinor - across, w.anchorMajor - m)
                              : FastHypot(SaturatingDifference(w.anchorMinor, across),
                                          SaturatingDifference(w.anchorMajor, m));
    StepColour colour;
    if (!StepShows(w, d, colour)) continue;
    const CrossSection s = CoverAcross<kNarrow>(minor, w.halfThickness, w.xMajor);
    uint8_t* const step = origin + (m - w.clipMajorLo) * w.majorStride;
    // A narrow cross-section covers the pixel of the minor coordinate and at
    // most one on either side: when those lie in the clip rectangle, every
    // cover does.
    const bool inside = kNarrow && across > w.clipMinorLo && across + 1 < w.clipMinorHi;
    for (int i = 0; i < s.count; ++i) {
      const Cover& c = s.cover[i];
      const uint32_t rgb = ChannelValues(c.k, colour);
      // Screening 0 changes nothing; pixels outside the clip rectangle
      // across the walk are left alone.
      if (rgb == 0) continue;
      if (!inside && (c.across < w.clipMinorLo || c.across >= w.clipMinorHi)) continue;
      uint8_t* const p = step + (c.across - w.clipMinorLo) * w.acrossStride;
      p[0] = Screen(table, p[0], static_cast<uint8_t>(rgb));
      p[1] = Screen(table, p[1], static_cast<uint8_t>(rgb >> 8));
      p[2] = Screen(table, p[2], static_cast<uint8_t>(rgb >> 16));
    }
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
  if (minor < static_cast<float>(w.clipMinorLo) - 3.0f ||
      minor > static_cast<float>(w.clipMinorHi) + 3.0f) {
    return;
  }
  const int32_t across = TruncInRange(minor);
  const CrossSection s = CoverAcross<kNarrow>(minor, w.halfThickness, w.xMajor);
  constexpr int32_t kBatch = 256;
  uint32_t values[3][kBatch];
  for (int32_t from = first; from < end; from += kBatch) {
    const int32_t n = std::min(kBatch, end - from);
    for (int32_t i = 0; i < n; ++i) {
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

void RunWalk(const Walk& w, const RenderTarget& target) {
  // A step's distance from the anchor is never below its distance along the
  // walk, so steps whose major coordinate lies that far from the anchor's
  // show nothing: the drawing stops short of them.
  int64_t drawLo = w.clipMajorLo, drawHi = w.clipMajorHi;
  const int64_t dark = DarkDistance(w);
  if (dark >= 0) {
    drawLo = std::max(drawLo, int64_t{w.anchorMajor} - dark + 1);
    drawHi = std::min(drawHi, int64_t{w.anchorMajor} + dark);
  }
  int64_t major = TruncToInt(w.startMajor + 1.0f);
  float minor = w.startMinor;
  // Steps before the clip rectangle draw nothing but move the minor
  // coordinate; an absurdly long lead-in is crossed in one jump.
  const int64_t leadIn = int64_t{w.clipMajorLo} - major;
  if (leadIn > kLongestLeadIn) {
    minor = static_cast<float>(static_cast<double>(minor) +
                               static_cast<double>(w.slope) * static_cast<double>(leadIn));
    major = w.clipMajorLo;
  }
  // The advance comes before each step is drawn, also before the steps
  // that draw nothing.
  for (; major < drawLo && major < drawHi && static_cast<float>(major) <= w.endMajor; ++major) {
    minor = minor + w.slope;
  }
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

void DrawStreak(const Streak& streak, const RenderTarget& target) {
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
  RunWalk(w, target);
}

StreakSink DrawStreaksInto(const RenderTarget& target) {
  return [&target](const Streak& streak) { DrawStreak(streak, target); };
}

}  // namespace gw
