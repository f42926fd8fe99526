#include "render/numeric.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>

namespace gw {

float Noise(int32_t n) {
  // Wrapping 32-bit arithmetic, done unsigned so that it is defined.
  uint32_t m = static_cast<uint32_t>(n);
  m = (m << 13) ^ m;
  const uint32_t v = (m * (m * m * 15731u + 789221u) + 1376312589u) & 0x7fffffffu;
  return static_cast<float>(1.0 - v / 1073741824.0);
}

float TriangleWave(float x) {
  const float f = x - std::trunc(x) - 0.5f;
  return (0.5f - std::fabs(f)) * 2.0f;
}

float CentreRamp(int32_t i, int32_t n) {
  const float h = static_cast<float>(n) / 2.0f;
  const float t = 1.0f - std::fabs((h - static_cast<float>(i)) / h);
  if (!(t > 0.0f)) return 0.0f;  // also NaN when n is 0
  return t > 1.0f ? 1.0f : t;
}

// Between two powers of two the floats are the whole multiples of one unit
// (2^-23 of the lower power), so a value there is a whole number K of units,
// 2^23 <= |K| < 2^24. When the exact sum K + step / unit lies between the
// same powers, the addition rounds it to the nearest whole number of units
// (a tie to the even one): the value moves by a number of units d that
// depends only on the step, and on the parity of K for a tie, after which K
// is even. So, once K is even or the step no tie, every addition whose
// result stays at least one unit inside the powers moves the value by the
// same d, and a run of them is K + n x d, worked out exactly in double.
// Everything else (a value at zero, subnormal or not finite, a run that
// would come near a power of two, a tie from an odd K) is added one float
// addition at a time.
float AddRepeatedly(float value, float step, int64_t times) {
  constexpr double kLow = 8388608.0;    // 2^23 units: the lower power of two
  constexpr double kHigh = 16777216.0;  // 2^24 units: the upper one
  constexpr int64_t kShortestRun = 4;
  while (times > 0) {
    int64_t run = 0;
    double units = 0.0, move = 0.0, unit = 0.0;
    if (std::isnormal(value) && std::isfinite(step)) {
      // 2^(exponent - 23) as a double: the value's biased exponent is 1..254.
      const uint32_t biased = (std::bit_cast<uint32_t>(value) >> 23) & 0xffu;
      unit = std::bit_cast<double>(static_cast<uint64_t>(biased - 150u + 1023u) << 52);
      units = static_cast<double>(value) / unit;  // whole and exact
      const double share = static_cast<double>(step) / unit;  // exact
      if (std::fabs(share) < kHigh) {
        const double whole = std::floor(share);
        const double part = share - whole;
        const bool tie = part == 0.5;
        // Both are whole numbers below 2^24.
        const auto even = [](double n) { return (TruncToInt(n) & 1) == 0; };
        const bool evenValue = even(units);
        if (!tie || evenValue) {
          move = part < 0.5 || (tie && even(whole)) ? whole : whole + 1.0;
          if (move == 0.0) {
            // Every addition rounds back to the value, unless its sum lies
            // within half a unit of a power of two, where the floats below
            // are finer.
            if (std::fabs(units) >= kLow + 1.0 && std::fabs(units) <= kHigh - 1.0) return value;
          }
          // Additions left before a result would come within a unit of either power.
          const double inner = kLow + 1.0, outer = kHigh - 1.0;
          const double room = move > 0.0 ? (units > 0.0 ? outer - units : -inner - units)
                                         : (units > 0.0 ? units - inner : units + outer);
          if (move != 0.0 && room >= std::fabs(move)) {
            run = std::min<int64_t>(times, TruncToInt(std::floor(room / std::fabs(move))));
          }
        }
      }
    }
    if (run >= kShortestRun) {
      value = static_cast<float>((units + static_cast<double>(run) * move) * unit);
      times -= run;
      continue;
    }
    const int64_t single = std::min(times, kShortestRun);
    for (int64_t i = 0; i < single; ++i) value = value + step;
    times -= single;
  }
  return value;
}

}  // namespace gw
