// The prepared FastHypot (a reciprocal instead of a division) against the
// plain one, which the renderers' pictures were made with.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "render/numeric.h"

namespace gw {
namespace {

void ExpectSame(int32_t dx, int32_t dy) {
  const HypotComponent x = PrepareHypot(dx), y = PrepareHypot(dy);
  ASSERT_EQ(FastHypot(x, y), FastHypot(dx, dy)) << dx << ", " << dy;
  if (x.magnitude < kShortHypotLimit && y.magnitude < kShortHypotLimit) {
    ASSERT_EQ(static_cast<int32_t>(ShortFastHypot(x, y)), FastHypot(dx, dy)) << dx << ", " << dy;
  }
}

TEST(PreparedFastHypot, EqualsThePlainOneOverEveryQuarterPixelOfAFrame) {
  for (int32_t dy = -1200; dy <= 1200; ++dy) {
    for (int32_t dx = -1200; dx <= 1200; dx += 3) ExpectSame(dx, dy);
  }
}

TEST(PreparedFastHypot, EqualsThePlainOneWhereTheReciprocalIsTightest) {
  // The reciprocal's error is largest relative to the quotient just below
  // 2^16; from 2^16 on the division is kept.
  const std::vector<int32_t> bigs = {65535, 65534, 65533, 65536, 65537, 49151, 32768,
                                     32767, 40000, 131071, 1 << 24, (1 << 24) + 1};
  for (int32_t big : bigs) {
    for (int32_t small = 0; small <= big; small += 1 + big / 5000) {
      ExpectSame(big, small);
      ExpectSame(-small, big);
    }
    ExpectSame(big, big - 1);
    ExpectSame(big - 1, big);
  }
}

TEST(PreparedFastHypot, ShortFormEqualsThePlainOneUpToItsLimit) {
  // Every pair of magnitudes whose larger one lies in the last stretch below
  // the limit, where the reciprocals are tightest, and zero with everything.
  for (int32_t big = 65535; big >= 65535 - 40; --big) {
    for (int32_t small = 0; small <= big; ++small) ExpectSame(big, -small);
  }
  for (int32_t v = -65535; v <= 65535; ++v) ExpectSame(0, v);
}

TEST(PreparedFastHypot, EqualsThePlainOneAtTheExtremes) {
  const int32_t lo = std::numeric_limits<int32_t>::min();
  const int32_t hi = std::numeric_limits<int32_t>::max();
  for (int32_t a : {lo, lo + 1, -1, 0, 1, hi - 1, hi}) {
    for (int32_t b : {lo, lo + 1, -1, 0, 1, 255, 65535, hi - 1, hi}) ExpectSame(a, b);
  }
  uint32_t seed = 2024;
  for (int i = 0; i < 200000; ++i) {
    seed = seed * 1664525u + 1013904223u;
    const auto a = static_cast<int32_t>(seed) >> (seed % 24);
    seed = seed * 1664525u + 1013904223u;
    const auto b = static_cast<int32_t>(seed) >> (seed % 24);
    ExpectSame(a, b);
  }
}

}  // namespace
}  // namespace gw
