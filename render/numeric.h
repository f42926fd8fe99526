// Small numeric helpers shared by the renderers.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gw {

// The one float-to-integer conversion: truncates toward zero; NaN gives 0 and
// values beyond the int32 range saturate, so data from strangers is harmless.
constexpr int32_t TruncToInt(double v) {
  if (v != v) return 0;
  if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(v);
}

// The same for a float, with one range test on the common path.
constexpr int32_t TruncToInt(float v) {
  if (v >= -2147483648.0f && v < 2147483648.0f) return static_cast<int32_t>(v);
  if (v != v) return 0;
  return v < 0.0f ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int32_t>::max();
}

// The fast path of TruncToInt for a value already known to be a number
// strictly inside the int32 range (the caller has checked or bounded it).
inline int32_t TruncInRange(float v) { return static_cast<int32_t>(v); }

// An int32 narrowed to 16 bits, saturating.
constexpr int16_t SaturateToI16(int32_t v) {
  return static_cast<int16_t>(v < -32768 ? -32768 : (v > 32767 ? 32767 : v));
}

namespace detail {

// Square root by Newton's method, for tables built at compile time; within an
// ulp or two of the true root, which is plenty for rounding to an integer.
constexpr double ConstexprSqrt(double v) {
  double x = v > 1.0 ? v : 1.0;
  for (int i = 0; i < 64; ++i) x = 0.5 * (x + v / x);
  return x;
}

constexpr std::array<uint16_t, 257> MakeHypotTable() {
  std::array<uint16_t, 257> t{};
  for (int k = 0; k <= 256; ++k) {
    const double ratio = k / 256.0;
    t[k] = static_cast<uint16_t>(16384.0 * ConstexprSqrt(1.0 + ratio * ratio) + 0.5);
  }
  return t;
}

}  // namespace detail

// round(16384 * sqrt(1 + (k/256)^2)) for k in 0..256.
inline constexpr std::array<uint16_t, 257> kHypotTable = detail::MakeHypotTable();
inline const std::array<uint16_t, 257>& HypotTable() { return kHypotTable; }

// The magnitude of a distance component, unsigned so that |INT32_MIN| fits.
constexpr uint32_t Magnitude(int32_t v) {
  return v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
}

// The distance from the larger magnitude and the table index of the ratio.
constexpr int32_t HypotFromRatio(uint32_t big, uint32_t k) {
  const uint64_t d = (uint64_t{big} * kHypotTable[k]) >> 14;
  return d > INT32_MAX ? INT32_MAX : static_cast<int32_t>(d);
}

// Approximate distance sqrt(dx^2 + dy^2), within a fraction of a unit.
constexpr int32_t FastHypot(int32_t dx, int32_t dy) {
  const uint32_t a = Magnitude(dx), b = Magnitude(dy);
  const uint32_t big = a > b ? a : b;
  const uint32_t small = a > b ? b : a;
  if (big == 0) return 0;
  // small * 256 fits 32 bits for every distance a frame can hold.
  const uint32_t k = big < (1u << 24) ? (small << 8) / big
                                      : static_cast<uint32_t>((uint64_t{small} << 8) / big);
  return HypotFromRatio(big, k);
}

// A distance component prepared for many FastHypot calls: its magnitude and,
// below 2^16, a reciprocal that replaces the division of the ratio. For
// n <= 256 x magnitude, (n x reciprocal) >> 40 equals n / magnitude exactly:
// the reciprocal exceeds 2^40 / magnitude by less than 1 / magnitude, which
// adds less than n x magnitude / 2^40 < 1 / magnitude to the quotient.
struct HypotComponent {
  uint32_t magnitude;
  uint64_t reciprocal;  // floor(2^40 / magnitude) + 1; 0 when not usable
};

constexpr HypotComponent PrepareHypot(int32_t v) {
  const uint32_t m = Magnitude(v);
  const bool usable = m > 0 && m < (1u << 16);
  return {m, usable ? (uint64_t{1} << 40) / m + 1 : 0};
}

// FastHypot of two prepared components, bit for bit.
constexpr int32_t FastHypot(const HypotComponent& x, const HypotComponent& y) {
  const bool xBigger = x.magnitude > y.magnitude;
  const HypotComponent& big = xBigger ? x : y;
  const uint32_t small = xBigger ? y.magnitude : x.magnitude;
  if (big.magnitude == 0) return 0;
  const uint32_t k =
      big.reciprocal != 0
          ? static_cast<uint32_t>((uint64_t{small} * 256u * big.reciprocal) >> 40)
          : static_cast<uint32_t>((uint64_t{small} << 8) / big.magnitude);
  return HypotFromRatio(big.magnitude, k);
}

// Below 2^16 a prepared component always has its reciprocal.
inline constexpr uint32_t kShortHypotLimit = 1u << 16;

// FastHypot of two prepared components whose magnitudes are both below
// kShortHypotLimit, bit for bit, without branches: a zero magnitude has a zero
// reciprocal, which gives k = 0 and a distance of 0 when both are zero, and
// the distance, below 2^17, needs no clamp.
constexpr uint32_t ShortFastHypot(const HypotComponent& x, const HypotComponent& y) {
  const bool xBigger = x.magnitude > y.magnitude;
  const uint32_t big = xBigger ? x.magnitude : y.magnitude;
  const uint32_t small = xBigger ? y.magnitude : x.magnitude;
  const uint64_t reciprocal = xBigger ? x.reciprocal : y.reciprocal;
  const auto k = static_cast<uint32_t>((uint64_t{small} * 256u * reciprocal) >> 40);
  return (big * kHypotTable[k]) >> 14;
}

#if defined(__SSE2__)
// a x b >> 14 in each lane, for products below 2^32.
inline __m128i ProductShifted14(__m128i a, __m128i b) {
  const __m128i even = _mm_srli_epi64(_mm_mul_epu32(a, b), 14);
  const __m128i odd =
      _mm_srli_epi64(_mm_mul_epu32(_mm_srli_epi64(a, 32), _mm_srli_epi64(b, 32)), 14);
  return _mm_or_si128(_mm_and_si128(even, _mm_set_epi32(0, -1, 0, -1)), _mm_slli_epi64(odd, 32));
}

// FastHypot of four pairs of magnitudes below 2^16, held exactly as floats,
// bit for bit.
// The ratio's index floor(small x 256 / big) comes from a float division:
// small x 256 and big are exact, the quotient is at most 256, and when it is
// not a whole number it lies at least 1 / big > 2^-16 from the next one, more
// than half a float step of any number below 512, so rounding can neither
// reach that whole number nor fall below the one beneath. A big of 0 comes
// with a small of 0 and gives 0 / 1. Lanes holding larger magnitudes give
// some number and read the table at an index of at most 256.
inline __m128i FastHypotLanes(__m128 a, __m128 b) {
  const __m128 big = _mm_max_ps(a, b);
  const __m128 small = _mm_min_ps(a, b);
  const __m128 ratio =
      _mm_div_ps(_mm_mul_ps(small, _mm_set1_ps(256.0f)), _mm_max_ps(big, _mm_set1_ps(1.0f)));
  alignas(16) int32_t k[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(k), _mm_cvttps_epi32(ratio));
  const __m128i entry = _mm_setr_epi32(kHypotTable[static_cast<uint32_t>(k[0])],
                                       kHypotTable[static_cast<uint32_t>(k[1])],
                                       kHypotTable[static_cast<uint32_t>(k[2])],
                                       kHypotTable[static_cast<uint32_t>(k[3])]);
  return ProductShifted14(_mm_cvttps_epi32(big), entry);
}
#endif

// `value` after `times` additions of `step`, one float addition after
// another, exactly as
//   for (int64_t i = 0; i < times; ++i) value = value + step;
// leaves it, but taking runs of additions at once (see numeric.cpp).
float AddRepeatedly(float value, float step, int64_t times);

// Hash noise in -1..1: the only source of randomness of the renderers.
float Noise(int32_t n);
inline float AbsNoise(int32_t n) {
  const float v = Noise(n);
  return v < 0.0f ? -v : v;
}

// 0 at integers, 1 halfway between them (for x >= 0).
float TriangleWave(float x);

// 1 at the middle of 0..n, falling linearly to 0 at both ends.
float CentreRamp(int32_t i, int32_t n);

// Sine, cosine and arc tangent of floats, computed in double and rounded to
// float: the C libraries' float versions differ in the last bit between
// platforms, the rounded double results do not.
inline float SinF(float a) { return static_cast<float>(std::sin(static_cast<double>(a))); }
inline float CosF(float a) { return static_cast<float>(std::cos(static_cast<double>(a))); }
inline float Atan2F(float y, float x) {
  return static_cast<float>(std::atan2(static_cast<double>(y), static_cast<double>(x)));
}

// v clamped to 0..1; NaN gives 0.
inline float ClampUnit(float v) {
  if (!(v > 0.0f)) return 0.0f;
  return v > 1.0f ? 1.0f : v;
}

inline constexpr float kTwoPi = 6.2831855f;

// The degree conversions the renderers have always used. They differ on
// purpose: each element turns exactly as it always has.
// 180 / pi as a float (57.29577951 rounds to the same bits).
inline constexpr float kDegreesPerRadian = 57.29578f;
// The shorter factor the caustics and the ellipse stamps turn with.
inline constexpr float kShortDegreesPerRadian = 57.2f;
// pi / 180 cut to five digits, as the spike ball turns its first spike.
inline constexpr float kShortRadiansPerDegree = 0.017453f;

// Degrees to radians as the star filter converts them: degrees / 360 x 2 pi.
inline float DegreesToRadians(float degrees) { return degrees / 360.0f * kTwoPi; }

}  // namespace gw
