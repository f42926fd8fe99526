// The prepared FastHypot (a reciprocal instead of a division) against the
// plain one, which the renderers' pictures were made with.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "render/numeric.h"
#include "render/streak_walk.h"

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

#if defined(__SSE2__)
// The streak walk's four-lane FastHypot divides in float. For every larger
// magnitude below 2^16 it is checked where the ratio's index changes: at the
// smallest smaller magnitude of each index and the one before it, where a
// rounded quotient would fall on the wrong side.
TEST(PreparedFastHypot, LanesEqualThePlainOneBelowTheLimit) {
  alignas(16) int32_t got[4];
  std::vector<float> a, b;
  const auto check = [&]() {
    for (size_t i = 0; i + 4 <= a.size(); i += 4) {
      const __m128i d = FastHypotLanes(_mm_loadu_ps(&a[i]), _mm_loadu_ps(&b[i]));
      _mm_store_si128(reinterpret_cast<__m128i*>(got), d);
      for (size_t j = 0; j < 4; ++j) {
        const auto x = static_cast<int32_t>(a[i + j]), y = static_cast<int32_t>(b[i + j]);
        ASSERT_EQ(got[j], FastHypot(x, y)) << x << ", " << y;
      }
    }
    a.clear();
    b.clear();
  };
  for (int32_t big = 0; big < static_cast<int32_t>(kShortHypotLimit); ++big) {
    for (int32_t k = 0; k <= 256; ++k) {
      // The smallest small with (small x 256) / big >= k.
      const int32_t edge = (k * big + 255) / 256;
      for (int32_t small : {edge - 1, edge}) {
        if (small < 0 || small > big) continue;
        a.push_back(static_cast<float>(k % 2 ? big : small));  // either order
        b.push_back(static_cast<float>(k % 2 ? small : big));
      }
    }
    while (a.size() % 4 != 0) {
      a.push_back(0.0f);
      b.push_back(0.0f);
    }
    check();
  }
}
#endif

}  // namespace
}  // namespace gw
