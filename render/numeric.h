// Small numeric helpers shared by the renderers.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

namespace gw {

// The one float-to-integer conversion: truncates toward zero; NaN gives 0 and
// values beyond the int32 range saturate, so data from strangers is harmless.
constexpr int32_t TruncToInt(double v) {
  if (v != v) return 0;
  if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(v);
}

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

// Approximate distance sqrt(dx^2 + dy^2), within a fraction of a unit.
int32_t FastHypot(int32_t dx, int32_t dy);

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

inline constexpr float kTwoPi = 6.2831855f;

// Degrees as the renderers convert them: degrees / 360 x 6.2831855.
inline float DegreesToRadians(float degrees) { return degrees / 360.0f * kTwoPi; }

}  // namespace gw
