// The streak walk four steps at a time: each lane of a vector works out one
// step (its distance from the anchor, fade and cross-section) with the same
// float operations in the same order as the step-by-step walk, so every
// pixel gets the same bytes.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "render/streak_walk.h"

namespace gw::streak_walk {

#if defined(__SSE2__)

namespace {

__m128 Abs(__m128 v) { return _mm_and_ps(v, _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff))); }

// a where the mask is set, b elsewhere.
__m128 Select(__m128 mask, __m128 a, __m128 b) {
  return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b));
}

// ClampUnit in each lane (max(v, 0) gives 0 for NaN, and +0 for -0).
__m128 ClampUnit4(__m128 v) {
  return _mm_min_ps(_mm_max_ps(v, _mm_setzero_ps()), _mm_set1_ps(1.0f));
}

// FracNear in each lane.
__m128 FracNear4(__m128 v) {
  const __m128 whole = _mm_cvtepi32_ps(_mm_cvttps_epi32(v));
  const __m128 lower = _mm_and_ps(_mm_cmpgt_ps(whole, v), _mm_set1_ps(1.0f));
  return _mm_sub_ps(v, _mm_sub_ps(whole, lower));
}

// ChannelValues of the coverage in each lane and the colours of the lanes.
__m128i Values4(__m128 k, __m128 red, __m128 green, __m128 blue) {
  const __m128 k255 = _mm_mul_ps(k, _mm_set1_ps(255.0f));
  const auto channel = [k255](__m128 intensity) {
    const __m128 v = _mm_mul_ps(k255, intensity);
    return _mm_cvttps_epi32(_mm_min_ps(_mm_max_ps(v, _mm_setzero_ps()), _mm_set1_ps(255.0f)));
  };
  return _mm_or_si128(channel(red), _mm_or_si128(_mm_slli_epi32(channel(green), 8),
                                                 _mm_slli_epi32(channel(blue), 16)));
}

// What the walk needs in every lane, set up once.
struct Lanes {
  __m128 minorLo, minorHi;
  __m128i anchorMajor, anchorMinor;
  __m128 length, red, green, blue, halfThickness;
  __m128i clipMinorLo, clipMinorHi;
};

Lanes SetUp(const Walk& w) {
  return {_mm_set1_ps(static_cast<float>(w.clipMinorLo) - kMinorMargin),
          _mm_set1_ps(static_cast<float>(w.clipMinorHi) + kMinorMargin),
          _mm_set1_epi32(w.anchorMajor),
          _mm_set1_epi32(w.anchorMinor),
          _mm_set1_ps(w.length),
          _mm_set1_ps(w.red),
          _mm_set1_ps(w.green),
          _mm_set1_ps(w.blue),
          _mm_set1_ps(w.halfThickness),
          _mm_set1_epi32(w.clipMinorLo),
          _mm_set1_epi32(w.clipMinorHi)};
}

// Four steps worked out: the packed values of the pixels one before, at and
// one after the truncated minor coordinate (0 for none), for the lanes in
// `fast`; the lanes in `slow` show but lie at the clip rectangle's edge
// across the walk (or next to coordinate 0, where the pixel before is the
// pixel at), and are drawn step by step.
struct FourSteps {
  alignas(16) uint32_t values[3][4];
  alignas(16) int32_t across[4];
  int fast, slow;
};

template <bool kXMajor>
void WorkOut(const Lanes& l, __m128 minor, __m128i major, FourSteps& out) {
  const __m128 zero = _mm_setzero_ps();
  const __m128 one = _mm_set1_ps(1.0f);
  const __m128 full = _mm_set1_ps(255.0f);
  const __m128 near = _mm_and_ps(_mm_cmpge_ps(minor, l.minorLo), _mm_cmple_ps(minor, l.minorHi));
  const __m128i across = _mm_cvttps_epi32(minor);
  const __m128i d = FastHypotLanes(Abs(_mm_cvtepi32_ps(_mm_sub_epi32(l.anchorMinor, across))),
                                   Abs(_mm_cvtepi32_ps(_mm_sub_epi32(l.anchorMajor, major))));
  const __m128 t = _mm_div_ps(_mm_sub_ps(l.length, _mm_cvtepi32_ps(d)), l.length);
  const __m128 red = _mm_max_ps(_mm_mul_ps(t, l.red), zero);
  const __m128 green = _mm_max_ps(_mm_mul_ps(t, l.green), zero);
  const __m128 blue = _mm_max_ps(_mm_mul_ps(t, l.blue), zero);
  const __m128 shows = _mm_or_ps(_mm_cmpge_ps(_mm_mul_ps(red, full), one),
                                 _mm_or_ps(_mm_cmpge_ps(_mm_mul_ps(green, full), one),
                                           _mm_cmpge_ps(_mm_mul_ps(blue, full), one)));
  const int drawn = _mm_movemask_ps(_mm_and_ps(near, shows));
  out.fast = out.slow = 0;
  if (drawn == 0) return;

  // The cross-section, as CoverAcross<true> works it out, laid out by pixel.
  const __m128 lo = _mm_sub_ps(minor, l.halfThickness);
  const __m128 hi = _mm_add_ps(minor, l.halfThickness);
  const __m128 acrossF = _mm_cvtepi32_ps(across);
  const __m128i one32 = _mm_set1_epi32(1);
  const __m128 loApart = _mm_castsi128_ps(
      _mm_xor_si128(_mm_cmpeq_epi32(_mm_cvttps_epi32(lo), across), _mm_set1_epi32(-1)));
  const __m128 hiApart = _mm_castsi128_ps(
      _mm_xor_si128(_mm_cmpeq_epi32(_mm_cvttps_epi32(hi), across), _mm_set1_epi32(-1)));
  const __m128 first = kXMajor
                           ? _mm_sub_ps(_mm_cvtepi32_ps(_mm_cvttps_epi32(_mm_add_ps(minor, one))),
                                        _mm_add_ps(lo, one))
                           : _mm_sub_ps(acrossF, lo);
  const __m128 firstK = ClampUnit4(first);
  const __m128 fracHi = FracNear4(hi);
  const __m128 soleK = ClampUnit4(_mm_sub_ps(_mm_cvtepi32_ps(_mm_add_epi32(across, one32)), lo));
  const __m128 before = _mm_and_ps(loApart, firstK);
  const __m128 at = Select(loApart, Select(hiApart, one, fracHi), soleK);
  const __m128 after = Select(loApart, _mm_and_ps(hiApart, fracHi), fracHi);
  _mm_store_si128(reinterpret_cast<__m128i*>(out.values[0]), Values4(before, red, green, blue));
  _mm_store_si128(reinterpret_cast<__m128i*>(out.values[1]), Values4(at, red, green, blue));
  _mm_store_si128(reinterpret_cast<__m128i*>(out.values[2]), Values4(after, red, green, blue));
  _mm_store_si128(reinterpret_cast<__m128i*>(out.across), across);
  // The three pixels lie in the clip rectangle, and the pixel before is
  // across - 1 (next to 0 the truncation of minor - 1 is across itself).
  const __m128i inside =
      _mm_and_si128(_mm_and_si128(_mm_cmpgt_epi32(across, l.clipMinorLo),
                                  _mm_cmplt_epi32(_mm_add_epi32(across, one32), l.clipMinorHi)),
                    _mm_cmpgt_epi32(across, _mm_setzero_si128()));
  const int fast = _mm_movemask_ps(_mm_castsi128_ps(inside));
  out.fast = drawn & fast;
  out.slow = drawn & ~fast;
}

// Where a walk's pixels are: the red byte of the clip rectangle's first
// pixel and the steps along and across the walk.
struct Pixels {
  const uint8_t* table;
  uint8_t* origin;
  int32_t clipMajorLo, clipMinorLo;
  ptrdiff_t majorStride, acrossStride;

  uint8_t* At(int32_t major, int32_t across) const {
    return origin + (major - clipMajorLo) * majorStride + (across - clipMinorLo) * acrossStride;
  }
};

// The fast lanes through the screen table, pixel by pixel.
void ScreenLanes(const Pixels& px, int32_t m, const FourSteps& s) {
  for (int bits = s.fast; bits != 0; bits &= bits - 1) {
    const int i = __builtin_ctz(static_cast<unsigned>(bits));
    uint8_t* const p = px.At(m + i, s.across[i]);
    ScreenPacked(px.table, p - px.acrossStride, s.values[0][i]);
    ScreenPacked(px.table, p, s.values[1][i]);
    ScreenPacked(px.table, p + px.acrossStride, s.values[2][i]);
  }
}

__m128i Load32(const uint8_t* p) {
  int32_t v;
  std::memcpy(&v, p, sizeof v);
  return _mm_cvtsi32_si128(v);
}

void Store32(uint8_t* p, __m128i v) {
  const int32_t lane = _mm_cvtsi128_si32(v);
  std::memcpy(p, &lane, sizeof lane);
}

// The values of one position across the walk, moved up to a four-byte
// pixel's red, green and blue bytes.
__m128i PixelValues(const uint32_t (&lanes)[4]) {
  return _mm_slli_epi32(_mm_load_si128(reinterpret_cast<const __m128i*>(lanes)), 8);
}

// The fast lanes of a y-major walk on four-byte pixels: a step's three
// pixels lie side by side in its row and are screened together.
void ScreenRowsOfFour(const Pixels& px, int32_t m, const FourSteps& s) {
  // One vector a step: its values before, at and after, then 0.
  const __m128i zero = _mm_setzero_si128();
  const __m128i before = PixelValues(s.values[0]);
  const __m128i at = PixelValues(s.values[1]);
  const __m128i after = PixelValues(s.values[2]);
  const __m128i low = _mm_unpacklo_epi32(before, at), high = _mm_unpackhi_epi32(before, at);
  const __m128i lowAfter = _mm_unpacklo_epi32(after, zero);
  const __m128i highAfter = _mm_unpackhi_epi32(after, zero);
  const __m128i step[4] = {_mm_unpacklo_epi64(low, lowAfter), _mm_unpackhi_epi64(low, lowAfter),
                           _mm_unpacklo_epi64(high, highAfter),
                           _mm_unpackhi_epi64(high, highAfter)};
  for (int bits = s.fast; bits != 0; bits &= bits - 1) {
    const int i = __builtin_ctz(static_cast<unsigned>(bits));
    // The alpha byte of the pixel before; the three pixels are 12 bytes.
    uint8_t* const p = px.At(m + i, s.across[i]) - 5;
    const __m128i old =
        _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), Load32(p + 8));
    const __m128i screened = ScreenBytes(old, step[i]);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), screened);
    Store32(p + 8, _mm_srli_si128(screened, 8));
  }
}

// An x-major walk on four-byte pixels whose four steps are all fast: the
// steps are four columns side by side, and each row they touch is screened
// as one run of four pixels (pixels that a step does not touch get 0).
void ScreenColumnsOfFour(const Pixels& px, int32_t m, const FourSteps& s) {
  const __m128i across = _mm_load_si128(reinterpret_cast<const __m128i*>(s.across));
  const __m128i one = _mm_set1_epi32(1);
  const __m128i beforeRow = _mm_sub_epi32(across, one), afterRow = _mm_add_epi32(across, one);
  const __m128i before = PixelValues(s.values[0]);
  const __m128i at = PixelValues(s.values[1]);
  const __m128i after = PixelValues(s.values[2]);
  // The minor coordinate moves one way along the walk.
  const int32_t low = std::min(s.across[0], s.across[3]);
  const int32_t high = std::max(s.across[0], s.across[3]);
  for (int32_t row = low - 1; row <= high + 1; ++row) {
    const __m128i r = _mm_set1_epi32(row);
    const __m128i values =
        _mm_or_si128(_mm_and_si128(_mm_cmpeq_epi32(beforeRow, r), before),
                     _mm_or_si128(_mm_and_si128(_mm_cmpeq_epi32(across, r), at),
                                  _mm_and_si128(_mm_cmpeq_epi32(afterRow, r), after)));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(values, _mm_setzero_si128())) == 0xffff) continue;
    auto* const p = reinterpret_cast<__m128i*>(px.At(m, row) - 1);
    _mm_storeu_si128(p, ScreenBytes(_mm_loadu_si128(p), values));
  }
}

// Screens the fast lanes of four steps.
template <bool kXMajor>
void ScreenFast(const Pixels& px, int32_t m, const FourSteps& s, bool fourBytes) {
  if (fourBytes && !kXMajor) {
    ScreenRowsOfFour(px, m, s);
  } else if (fourBytes && s.fast == 0xf) {
    ScreenColumnsOfFour(px, m, s);
  } else {
    ScreenLanes(px, m, s);
  }
}

// True when every pixel that four steps can touch on four-byte pixels lies
// in the clip rectangle and is saturated: the steps would change nothing.
// The minor coordinates are those after each step's advance.
template <bool kXMajor>
bool StepsSaturated(const Pixels& px, const Lanes& l, int32_t m, const float (&minors)[4]) {
  alignas(16) int32_t across[4];
  const __m128i a = _mm_cvttps_epi32(_mm_load_ps(minors));
  const __m128i inside =
      _mm_and_si128(_mm_and_si128(_mm_cmpgt_epi32(a, l.clipMinorLo),
                                  _mm_cmplt_epi32(_mm_add_epi32(a, _mm_set1_epi32(1)),
                                                  l.clipMinorHi)),
                    _mm_cmpgt_epi32(a, _mm_setzero_si128()));
  if (_mm_movemask_epi8(inside) != 0xffff) return false;
  _mm_store_si128(reinterpret_cast<__m128i*>(across), a);
  const __m128i alpha = _mm_set1_epi32(0xff);
  __m128i all = _mm_set1_epi8(-1);
  if (kXMajor) {
    // Four columns side by side, over every row the steps touch.
    const int32_t low = std::min(across[0], across[3]);
    const int32_t high = std::max(across[0], across[3]);
    for (int32_t row = low - 1; row <= high + 1; ++row) {
      all = _mm_and_si128(
          all, _mm_loadu_si128(reinterpret_cast<const __m128i*>(px.At(m, row) - 1)));
    }
  } else {
    // Three pixels side by side in each step's row.
    for (int i = 0; i < 4; ++i) {
      const uint8_t* p = px.At(m + i, across[i]) - 5;
      all = _mm_and_si128(all, _mm_unpacklo_epi64(
                                   _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)),
                                   _mm_or_si128(Load32(p + 8), _mm_set_epi32(-1, -1, -1, 0))));
    }
  }
  return _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(all, alpha), _mm_set1_epi8(-1))) ==
         0xffff;
}

// True when every step's offsets from the anchor, along and across the walk,
// stay below 2^16 (the minor coordinates of drawn steps truncate to within
// kMinorMargin of the clip rectangle).
bool ShortOffsets(const Walk& w, int32_t first, int32_t end) {
  const auto below = [](int64_t anchor, int64_t lo, int64_t hi) {
    return anchor - lo < int64_t{kShortHypotLimit} && hi - anchor < int64_t{kShortHypotLimit};
  };
  const auto margin = static_cast<int64_t>(kMinorMargin);
  return below(w.anchorMajor, first, end - 1) &&
         below(w.anchorMinor, int64_t{w.clipMinorLo} - margin, int64_t{w.clipMinorHi} + margin);
}

// While four steps are worked out, the pixels of steps this far ahead are
// fetched into the cache: a y-major walk reaches a new row, far from the last,
// at every step; an x-major one runs along three rows.
constexpr int32_t kRowsAhead = 12;
constexpr int32_t kColumnsAhead = 32;

// Fetches the pixels near where the walk will be; `minor` is the minor
// coordinate of step m + 3, and the slope carries it to the steps ahead (a
// steep x-major walk is rows away from its current ones 32 columns on). A
// prefetch never faults, so only the guessed minor coordinate is held in the
// clip rectangle, to keep the arithmetic in range.
template <bool kXMajor>
[[gnu::always_inline]] inline void FetchAhead(const Pixels& px, const Walk& w, int32_t m,
                                              int32_t end, float minor) {
  const int32_t ahead = kXMajor ? kColumnsAhead : kRowsAhead;
  if (end - m < 4 + ahead) return;
  const float guess = minor + w.slope * static_cast<float>(ahead);
  const int32_t across = std::max(w.clipMinorLo, std::min(TruncToInt(guess), w.clipMinorHi - 1));
  const auto at = reinterpret_cast<uintptr_t>(px.At(m + ahead, across));
  const auto fetch = [](uintptr_t p) { __builtin_prefetch(reinterpret_cast<const void*>(p)); };
  if (kXMajor) {
    // The rows before, at and after.
    fetch(at - static_cast<uintptr_t>(px.acrossStride));
    fetch(at);
    fetch(at + static_cast<uintptr_t>(px.acrossStride));
  } else {
    // A step's three pixels (12 bytes from the alpha byte of the pixel
    // before) may straddle two cache lines: both are fetched.
    for (int i = 0; i < 4; ++i) {
      const uintptr_t row = at + static_cast<uintptr_t>(i * px.majorStride);
      fetch(row - 5);
      fetch(row + 6);
    }
  }
}

template <bool kXMajor>
void Walk4(const Walk w, const RenderTarget& target, int32_t first, int32_t end, float minor) {
  const Pixels px{target.screenTable, ColourBytes(target, target.clip.left, target.clip.top),
                  w.clipMajorLo,      w.clipMinorLo,
                  w.majorStride,      w.acrossStride};
  const bool fourBytes = target.bytesPerPixel == 4;
  const Lanes lanes = SetUp(w);
  FourSteps steps;
  // Steps over white pixels change nothing. Whether four steps are all
  // over white is asked every eighth time, and every time after a yes.
  constexpr int32_t kAskEvery = 8;
  int32_t untilAsked = 0;
  int32_t m = first;
  for (; end - m >= 4; m += 4) {
    alignas(16) float minors[4];
    for (float& v : minors) v = minor = minor + w.slope;
    // Steps whose minor coordinates all lie off the clip rectangle across
    // the walk draw nothing: a streak whose box meets a tile but whose line
    // passes beside it only moves its minor coordinate there.
    const __m128 minorLanes = _mm_load_ps(minors);
    if (_mm_movemask_ps(_mm_and_ps(_mm_cmpge_ps(minorLanes, lanes.minorLo),
                                   _mm_cmple_ps(minorLanes, lanes.minorHi))) == 0) {
      continue;
    }
    FetchAhead<kXMajor>(px, w, m, end, minor);
    if (fourBytes && untilAsked-- == 0) {
      if (StepsSaturated<kXMajor>(px, lanes, m, minors)) {
        untilAsked = 0;
        continue;
      }
      untilAsked = kAskEvery - 1;
    }
    const __m128i major = _mm_add_epi32(_mm_set1_epi32(m), _mm_setr_epi32(0, 1, 2, 3));
    WorkOut<kXMajor>(lanes, minorLanes, major, steps);
    // Steps that draw nothing may leave their values unwritten.
    if (steps.fast != 0) ScreenFast<kXMajor>(px, m, steps, fourBytes);
    for (int bits = steps.slow; bits != 0; bits &= bits - 1) {
      const int i = __builtin_ctz(static_cast<unsigned>(bits));
      DrawStep<true>(w, px.table, px.origin, m + i, minors[i]);
    }
  }
  for (; m < end; ++m) {
    minor = minor + w.slope;
    if (MinorNearClip(w, minor)) DrawStep<true>(w, px.table, px.origin, m, minor);
  }
}

}  // namespace

int32_t LevelValuesFourAtATime(const Walk& w, int32_t across, const CrossSection& s,
                               int32_t from, int32_t n, uint32_t (&values)[3][kLevelBatch]) {
  if (!ShortOffsets(w, from, from + n)) return 0;
  const Lanes l = SetUp(w);
  const __m128 zero = _mm_setzero_ps();
  const __m128 one = _mm_set1_ps(1.0f);
  const __m128 full = _mm_set1_ps(255.0f);
  const __m128 offAcross = Abs(_mm_cvtepi32_ps(_mm_sub_epi32(l.anchorMinor, _mm_set1_epi32(across))));
  __m128 k[3];
  for (int c = 0; c < s.count; ++c) k[c] = _mm_set1_ps(s.cover[c].k);
  int32_t i = 0;
  for (; n - i >= 4; i += 4) {
    const __m128i major = _mm_add_epi32(_mm_set1_epi32(from + i), _mm_setr_epi32(0, 1, 2, 3));
    const __m128i d =
        FastHypotLanes(offAcross, Abs(_mm_cvtepi32_ps(_mm_sub_epi32(l.anchorMajor, major))));
    const __m128 t = _mm_div_ps(_mm_sub_ps(l.length, _mm_cvtepi32_ps(d)), l.length);
    const __m128 red = _mm_max_ps(_mm_mul_ps(t, l.red), zero);
    const __m128 green = _mm_max_ps(_mm_mul_ps(t, l.green), zero);
    const __m128 blue = _mm_max_ps(_mm_mul_ps(t, l.blue), zero);
    const __m128i shows = _mm_castps_si128(
        _mm_or_ps(_mm_cmpge_ps(_mm_mul_ps(red, full), one),
                  _mm_or_ps(_mm_cmpge_ps(_mm_mul_ps(green, full), one),
                            _mm_cmpge_ps(_mm_mul_ps(blue, full), one))));
    for (int c = 0; c < s.count; ++c) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(values[c] + i),
                       _mm_and_si128(Values4(k[c], red, green, blue), shows));
    }
  }
  return i;
}

bool WalkFourAtATime(const Walk& w, const RenderTarget& target, int32_t first, int32_t end,
                     float minor) {
  if (!ShortOffsets(w, first, end)) return false;
  if (w.xMajor) {
    Walk4<true>(w, target, first, end, minor);
  } else {
    Walk4<false>(w, target, first, end, minor);
  }
  return true;
}

#else

bool WalkFourAtATime(const Walk&, const RenderTarget&, int32_t, int32_t, float) { return false; }

int32_t LevelValuesFourAtATime(const Walk&, int32_t, const CrossSection&, int32_t, int32_t,
                               uint32_t (&)[3][kLevelBatch]) {
  return 0;
}

#endif

}  // namespace gw::streak_walk
