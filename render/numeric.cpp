#include "render/numeric.h"

#include <cmath>
#include <cstdlib>

namespace gw {

int32_t FastHypot(int32_t dx, int32_t dy) {
  // Magnitudes as unsigned values: |INT32_MIN| fits.
  const uint32_t a = dx < 0 ? 0u - static_cast<uint32_t>(dx) : static_cast<uint32_t>(dx);
  const uint32_t b = dy < 0 ? 0u - static_cast<uint32_t>(dy) : static_cast<uint32_t>(dy);
  const uint32_t big = a > b ? a : b;
  const uint32_t small = a > b ? b : a;
  if (big == 0) return 0;
  // small * 256 fits 32 bits for every distance a frame can hold.
  const uint32_t k = big < (1u << 24) ? (small << 8) / big
                                      : static_cast<uint32_t>((uint64_t{small} << 8) / big);
  const uint64_t d = (uint64_t{big} * kHypotTable[k]) >> 14;
  return d > INT32_MAX ? INT32_MAX : static_cast<int32_t>(d);
}

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
