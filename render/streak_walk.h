// The walk of one streak along its major axis, as the step-by-step walk and
// the walk that works out four steps at once share it: the walk's record,
// the fade and the cross-section of one step, and one whole step.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "render/numeric.h"
#include "render/pixels.h"
#include "render/target.h"

namespace gw::streak_walk {

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

// A step's minor coordinate is drawn when it lies within this much of the
// clip rectangle across the walk (a NaN never is); farther off, none of the
// pixels of its cross-section can be in the clip rectangle.
inline constexpr float kMinorMargin = 3.0f;

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

// The part of v above its floor: 0 or more, also left of or above the frame.
inline float Frac(float v) { return v - std::floor(v); }

// Frac for |v| below 2^22, where truncation is exact and the floor is the
// truncation or one less (at -0 it gives -0 where Frac gives +0, which no
// coverage tells apart).
inline float FracNear(float v) {
  const auto whole = static_cast<float>(TruncInRange(v));
  return v - (whole > v ? whole - 1.0f : whole);
}

// A walk is narrow when the cross-section is at most 2^20 pixels across: its
// minor coordinates (within a few pixels of the clip rectangle) and the
// edges of its cross-section are then far inside the range where
// truncation is exact and needs no checks.
inline bool NarrowCrossSection(float h) { return std::fabs(h) <= 1048576.0f; }

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
inline int32_t SaturatingDifference(int32_t a, int32_t b) {
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
inline uint32_t ChannelValues(float k, const StepColour& c) {
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

// The channel intensities at distance d from the anchor, each at least 0;
// false when even the strongest gives less than one step of 255 at full
// coverage (a coverage is at most 1), so that the step shows nothing.
inline bool StepShows(const Walk& w, int32_t d, StepColour& c) {
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

// Draws step m of the walk, its minor coordinate (after the advance) within
// kMinorMargin of the clip rectangle across the walk and m inside it.
// `origin` is the red byte of the clip rectangle's first pixel. kNarrow: the
// cross-section is narrow and the anchor within 2^30 of the frame, so no
// truncation or difference needs a check.
template <bool kNarrow>
[[gnu::always_inline]] inline void DrawStep(const Walk& w, const uint8_t* table, uint8_t* origin,
                                            int32_t m, float minor) {
  // The minor coordinate is within a few pixels of the clip rectangle, so
  // well inside 16 bits.
  const int32_t across = TruncInRange(minor);
  const int32_t d = kNarrow ? FastHypot(w.anchorMinor - across, w.anchorMajor - m)
                            : FastHypot(SaturatingDifference(w.anchorMinor, across),
                                        SaturatingDifference(w.anchorMajor, m));
  StepColour colour;
  if (!StepShows(w, d, colour)) return;
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
    ScreenPacked(table, step + (c.across - w.clipMinorLo) * w.acrossStride, rgb);
  }
}

// True when the minor coordinate is to be drawn (see kMinorMargin).
inline bool MinorNearClip(const Walk& w, float minor) {
  return minor >= static_cast<float>(w.clipMinorLo) - kMinorMargin &&
         minor <= static_cast<float>(w.clipMinorHi) + kMinorMargin;
}

// Draws the steps first..end-1 of a narrow walk (all inside the clip
// rectangle), the minor coordinate at `minor` before the first advance,
// working out four steps at a time with vector instructions; each pixel gets
// the bytes the step-by-step walk gives it. Draws nothing and returns false
// when the walk does not qualify: without SSE2, or when a step's offsets
// from the anchor could reach 2^16.
bool WalkFourAtATime(const Walk& w, const RenderTarget& target, int32_t first, int32_t end,
                     float minor);

// A level walk works out the values of this many steps at a time.
inline constexpr int32_t kLevelBatch = 256;

// The packed values of the steps from..from+n-1 (n at most kLevelBatch) of a
// narrow level walk whose pixels across are those of `s` at row `across`
// (within kMinorMargin of the clip rectangle), worked out four at a time:
// values[c][i] for cover c of step from + i, 0 where the step shows nothing,
// as the step-by-step walk gives them. Returns how many steps it worked out
// from the first (a multiple of four; 0 without SSE2, or when a step's
// offsets from the anchor could reach 2^16): the caller works out the rest.
int32_t LevelValuesFourAtATime(const Walk& w, int32_t across, const CrossSection& s,
                               int32_t from, int32_t n, uint32_t (&values)[3][kLevelBatch]);

}  // namespace gw::streak_walk
