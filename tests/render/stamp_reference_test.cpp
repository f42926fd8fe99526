// The round stamps against a plain per-pixel stamp: every pixel of the box
// works out its distance with FastHypot and screens the profile sample
// there. The stamps skip rows, columns and pixels that cannot show and read
// a packed copy of the profile; the pictures must be the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "render/numeric.h"
#include "render/pixels.h"
#include "render/round_stamps.h"
#include "tests/support/test_frame.h"

namespace gw {
namespace {

// A stamp as the simplest loop draws it: `columnSamples` profile samples a
// pixel across, four down, every sample at or past the length reading 0.
void PlainStamp(float cx, float cy, float halfWidth, float halfHeight, int32_t columnSamples,
                const RenderTarget& t) {
  const int32_t x0 = std::max(TruncToInt(cx - halfWidth), int32_t{t.clip.left});
  const int32_t x1 = std::min(TruncToInt(cx + halfWidth), int32_t{t.clip.right});
  const int32_t y0 = std::max(TruncToInt(cy - halfHeight), int32_t{t.clip.top});
  const int32_t y1 = std::min(TruncToInt(cy + halfHeight), int32_t{t.clip.bottom});
  const float fx = (cx - static_cast<float>(x0)) * static_cast<float>(columnSamples);
  const float fy = (cy - static_cast<float>(y0)) * 4.0f;
  const ProfileStore& p = *t.profile;
  for (int32_t y = y0; y < y1; ++y) {
    const int32_t dy = TruncToInt(fy - static_cast<float>(4 * (y - y0)));
    for (int32_t x = x0; x < x1; ++x) {
      const int32_t dx = TruncToInt(fx - static_cast<float>(columnSamples * (x - x0)));
      const int32_t d = FastHypot(dx, dy);
      if (d >= p.length()) continue;
      ScreenPixel(t, x, y, p.red()[d], p.green()[d], p.blue()[d]);
    }
  }
}

// A small deterministic generator.
struct Lcg {
  uint32_t state;
  uint32_t Next() { return state = state * 1664525u + 1013904223u; }
  float Uniform(float lo, float hi) {
    return lo + (hi - lo) * static_cast<float>(Next() >> 8) / 16777216.0f;
  }
};

// A profile with runs of zeros inside it and a tail of zeros before the
// usable length, made as a shape makes it (so that the reach is trimmed).
void FillRunsProfile(ProfileStore& p, Lcg& rng) {
  p.BeginShape();
  const int32_t lit = static_cast<int32_t>(rng.Next() % static_cast<uint32_t>(p.length()));
  for (int32_t i = 0; i < p.length(); ++i) {
    const bool gap = (i / 37) % 3 == 1;
    const bool on = i < lit && !gap;
    p.red()[i] = on ? static_cast<uint8_t>(rng.Next() >> 24) : 0;
    p.green()[i] = on ? static_cast<uint8_t>(rng.Next() >> 24) : 0;
    p.blue()[i] = on && i % 5 != 0 ? static_cast<uint8_t>(rng.Next() >> 24) : 0;
  }
  p.ExtendToLength();
}

TEST(RoundStampReference, EveryStampEqualsThePlainLoop) {
  Lcg rng{99};
  int drawn = 0;
  for (int round = 0; round < 120; ++round) {
    TestFrame fast(160, 120, 80, 60, 0.5f, static_cast<uint8_t>(rng.Next() >> 24));
    if (round % 3 == 0) {
      fast.SetClip(static_cast<int>(rng.Next() % 60), 60 + static_cast<int>(rng.Next() % 60),
                   static_cast<int>(rng.Next() % 80), 80 + static_cast<int>(rng.Next() % 80));
    }
    FillRunsProfile(*fast.target().profile, rng);
    TestFrame plain(fast);
    const std::vector<uint8_t> before = fast.bytes();
    const float cx = rng.Uniform(-100.0f, 260.0f), cy = rng.Uniform(-100.0f, 220.0f);
    const float radius = rng.Uniform(0.0f, 400.0f);
    const bool wide = round % 2 == 1;
    if (wide) {
      WideRoundStamp(cx, cy, radius, fast.target());
      PlainStamp(cx, cy, 2.0f * (radius + 2.0f), radius + 2.0f, 2, plain.target());
    } else {
      RoundStamp(cx, cy, radius, fast.target());
      PlainStamp(cx, cy, radius + 2.0f, radius + 2.0f, 4, plain.target());
    }
    ASSERT_EQ(fast.bytes(), plain.bytes()) << "round " << round << " at " << cx << ", " << cy
                                           << " radius " << radius;
    drawn += fast.bytes() != before;
  }
  EXPECT_GE(drawn, 60);  // most stamps reach the frame
}

// A profile longer than 2^16 samples (a wide frame) is stamped by the
// general distance, not the short form: the same pictures there too.
TEST(RoundStampReference, LongProfilesEqualThePlainLoop) {
  Lcg rng{7};
  for (int round = 0; round < 6; ++round) {
    TestFrame fast(1200, 24, 600, 12);
    ASSERT_GT(fast.target().profile->length(), 1 << 16);
    ProfileStore& p = *fast.target().profile;
    FillRunsProfile(p, rng);
    p.red()[p.length() - 1] = 9;  // lit to the end: the reach stays above 2^16
    TestFrame plain(fast);
    const float cx = rng.Uniform(-15000.0f, 16000.0f), cy = rng.Uniform(-30.0f, 50.0f);
    RoundStamp(cx, cy, 17000.0f, fast.target());
    PlainStamp(cx, cy, 17002.0f, 17002.0f, 4, plain.target());
    ASSERT_EQ(fast.bytes(), plain.bytes()) << "round " << round << " at " << cx << ", " << cy;
  }
}

TEST(ProfileStoreReach, AStampSeesTheReachEndJustPastTheLastLitSample) {
  ProfileStore p(200);
  p.BeginShape();
  p.ClearFrom(0);
  p.red()[40] = 3;
  p.blue()[70] = 1;
  p.Extend(150);
  EXPECT_EQ(p.reach(), 150);
  EXPECT_EQ(p.ForStamp().reach, 71);
  // Channels written directly without a new shape keep the reach they are given.
  p.green()[120] = 9;
  p.ExtendToLength();
  EXPECT_EQ(p.ForStamp().reach, p.length());
  // An empty shape leaves nothing to stamp.
  p.BeginShape();
  p.ClearFrom(0);
  EXPECT_EQ(p.ForStamp().reach, 0);
}

TEST(TruncToIntOfFloat, EqualsTheConversionThroughDouble) {
  for (uint64_t bits = 0; bits <= 0xffffffffu; bits += 65521) {
    float v;
    const auto b32 = static_cast<uint32_t>(bits);
    std::memcpy(&v, &b32, sizeof v);
    ASSERT_EQ(TruncToInt(v), TruncToInt(static_cast<double>(v))) << v;
  }
  for (const float v : {2147483520.0f, 2147483648.0f, -2147483648.0f, -2147483904.0f, -0.99f,
                        0.99f}) {
    EXPECT_EQ(TruncToInt(v), TruncToInt(static_cast<double>(v))) << v;
  }
}

}  // namespace
}  // namespace gw
