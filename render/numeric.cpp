#include "render/numeric.h"

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

}  // namespace gw
