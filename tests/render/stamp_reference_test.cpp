// The round and ellipse stamps against plain per-pixel stamps: every pixel
// of the box works out its distance with FastHypot and screens the profile
// sample there. The stamps skip rows, columns and pixels that cannot show,
// read a packed copy of the profile and work out several pixels at once;
// the pictures must be the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "render/numeric.h"
#include "render/pixels.h"
#include "render/ellipse_stamps.h"
#include "render/round_stamps.h"
#include "tests/support/test_frame.h"

namespace gw {
namespace {

// A stamp as the simplest loop draws it: `columnSamples` profile samples a
// pixel across, four down, every sample at or past the length reading 0.
void PlainStamp(float cx, float cy, float halfWidth, float halfHeight, int32_t columnSamples,
                const RenderTarget& t, const ProfileStore& p) {
  const int32_t x0 = std::max(TruncToInt(cx - halfWidth), int32_t{t.clip.left});
  const int32_t x1 = std::min(TruncToInt(cx + halfWidth), int32_t{t.clip.right});
  const int32_t y0 = std::max(TruncToInt(cy - halfHeight), int32_t{t.clip.top});
  const int32_t y1 = std::min(TruncToInt(cy + halfHeight), int32_t{t.clip.bottom});
  const float fx = (cx - static_cast<float>(x0)) * static_cast<float>(columnSamples);
  const float fy = (cy - static_cast<float>(y0)) * 4.0f;
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
    FillRunsProfile(fast.profile(), rng);
    TestFrame plain(fast);
    const std::vector<uint8_t> before = fast.bytes();
    const float cx = rng.Uniform(-100.0f, 260.0f), cy = rng.Uniform(-100.0f, 220.0f);
    const float radius = rng.Uniform(0.0f, 400.0f);
    const bool wide = round % 2 == 1;
    if (wide) {
      WideRoundStamp(cx, cy, radius, fast.target(), fast.profile());
      PlainStamp(cx, cy, 2.0f * (radius + 2.0f), radius + 2.0f, 2, plain.target(), plain.profile());
    } else {
      RoundStamp(cx, cy, radius, fast.target(), fast.profile());
      PlainStamp(cx, cy, radius + 2.0f, radius + 2.0f, 4, plain.target(), plain.profile());
    }
    ASSERT_EQ(fast.bytes(), plain.bytes()) << "round " << round << " at " << cx << ", " << cy
                                           << " radius " << radius;
    drawn += fast.bytes() != before;
  }
  EXPECT_GE(drawn, 60);  // most stamps reach the frame
}

// Centres well above or below a wide, low frame: along its rows the row's
// offset is the larger over hundreds of columns, which read a table of the
// row's values.
TEST(RoundStampReference, LongRowsEqualThePlainLoop) {
  Lcg rng{31337};
  for (int round = 0; round < 16; ++round) {
    TestFrame fast(900, 70, 450, 35, 0.5f, static_cast<uint8_t>(rng.Next() >> 24));
    FillRunsProfile(fast.profile(), rng);
    TestFrame plain(fast);
    const float cx = rng.Uniform(-200.0f, 1100.0f);
    const float cy = round % 2 ? rng.Uniform(-700.0f, -150.0f) : rng.Uniform(220.0f, 700.0f);
    const float radius = rng.Uniform(300.0f, 3000.0f);
    if (round % 4 < 2) {
      RoundStamp(cx, cy, radius, fast.target(), fast.profile());
      PlainStamp(cx, cy, radius + 2.0f, radius + 2.0f, 4, plain.target(), plain.profile());
    } else {
      WideRoundStamp(cx, cy, radius, fast.target(), fast.profile());
      PlainStamp(cx, cy, 2.0f * (radius + 2.0f), radius + 2.0f, 2, plain.target(), plain.profile());
    }
    ASSERT_EQ(fast.bytes(), plain.bytes()) << "round " << round << " at " << cx << ", " << cy;
  }
}

// A profile longer than 2^16 samples (a wide frame) is stamped by the
// general distance, not the short form: the same pictures there too.
TEST(RoundStampReference, LongProfilesEqualThePlainLoop) {
  Lcg rng{7};
  for (int round = 0; round < 6; ++round) {
    TestFrame fast(1200, 24, 600, 12);
    ASSERT_GT(fast.profile().length(), 1 << 16);
    ProfileStore& p = fast.profile();
    FillRunsProfile(p, rng);
    p.red()[p.length() - 1] = 9;  // lit to the end: the reach stays above 2^16
    TestFrame plain(fast);
    const float cx = rng.Uniform(-15000.0f, 16000.0f), cy = rng.Uniform(-30.0f, 50.0f);
    RoundStamp(cx, cy, 17000.0f, fast.target(), fast.profile());
    PlainStamp(cx, cy, 17002.0f, 17002.0f, 4, plain.target(), plain.profile());
    ASSERT_EQ(fast.bytes(), plain.bytes()) << "round " << round << " at " << cx << ", " << cy;
  }
}

// An ellipse stamp as the simplest loop draws it: every pixel of the box
// turns its offset from the centre, flattens it, looks up FastHypot of the
// two and screens the profile there, dimmed by the taper when there is one.
void PlainEllipse(float cx, float cy, float radius, float aspect, float rotationDeg,
                  const float* taper, float taperStart, bool anamorphic, const RenderTarget& t,
                  const ProfileStore& p) {
  if (radius < 4.0f) radius = 4.0f;
  const int32_t h = TruncToInt(1.5f * radius);
  const int32_t ix = TruncToInt(cx), iy = TruncToInt(cy);
  const float fx = -(cx - static_cast<float>(ix)), fy = -(cy - static_cast<float>(iy));
  const float alpha = rotationDeg / -57.2f;
  const float sn = SinF(alpha), cs = CosF(alpha);
  const float m = anamorphic ? 2.0f : 4.0f;
  const int32_t colHalf = anamorphic ? 2 * h : h;
  for (int32_t i = -h; i < h; ++i) {
    for (int32_t j = -colHalf; j < colHalf; ++j) {
      if (!InClip(t, ix + j, iy + i)) continue;
      const float column = static_cast<float>(j) + fx;
      const float u = column * m * cs - (static_cast<float>(i) + fy) * 4.0f * sn;
      const float v = (static_cast<float>(i) + fy) * 4.0f * cs + column * m * sn;
      const int32_t d = FastHypot(TruncToInt(u), TruncToInt(v / aspect));
      if (d >= p.length()) continue;
      uint32_t r = p.red()[d], g = p.green()[d], b = p.blue()[d];
      if (taper != nullptr) {
        // 255 at the bright end, falling by taper x 255 across the 4h places.
        float slope = *taper;
        const bool flipped = slope < 0.0f;
        if (flipped) slope = -slope;
        const float start = taperStart == 1.0f ? 0.0f : taperStart;
        int32_t q = std::clamp(TruncToInt(v), -2 * h, 2 * h - 1);
        if (TruncToInt(v) >= 2 * h) q = 2 * h - 2;
        float along = static_cast<float>(q + 2 * h) / static_cast<float>(4 * h);
        if (flipped) along = 1.0f - along;
        const auto dim = static_cast<uint32_t>(ClampToByte(TruncToInt(
            255.0f - (1.0f / (1.0f - start)) * (along - start) * slope * 255.0f)));
        r = (dim * r) >> 8;
        g = (dim * g) >> 8;
        b = (dim * b) >> 8;
      }
      ScreenPixel(t, ix + j, iy + i, static_cast<uint8_t>(r), static_cast<uint8_t>(g),
                  static_cast<uint8_t>(b));
    }
  }
}

// Ellipses of every size, flattening, angle and taper, some far flatter
// than any element asks for, against the plain loop.
TEST(EllipseStampReference, EveryStampEqualsThePlainLoop) {
  Lcg rng{1234};
  int drawn = 0;
  for (int round = 0; round < 160; ++round) {
    TestFrame fast(150, 100, 75, 50, 0.4f, static_cast<uint8_t>(rng.Next() >> 24));
    if (round % 3 == 0) fast.SetClip(5, 90, 12, 140);
    FillRunsProfile(fast.profile(), rng);
    TestFrame plain(fast);
    const std::vector<uint8_t> before = fast.bytes();
    const float cx = rng.Uniform(-40.0f, 190.0f), cy = rng.Uniform(-40.0f, 140.0f);
    const float radius = rng.Uniform(0.0f, 120.0f);
    const float aspect = round % 7 == 0 ? rng.Uniform(0.01f, 0.1f) : rng.Uniform(0.2f, 1.5f);
    const float angle = rng.Uniform(-400.0f, 400.0f);
    const bool anamorphic = round % 2 == 1;
    if (round % 4 < 2) {
      const float taper = rng.Uniform(-1.5f, 1.5f), start = round % 8 == 0 ? 1.0f : 0.3f;
      TaperedEllipseStamp(fast.target(), fast.profile(), cx, cy, radius, aspect, angle, taper,
                          start, anamorphic);
      PlainEllipse(cx, cy, radius, aspect, angle, &taper, start, anamorphic, plain.target(),
                   plain.profile());
    } else {
      EllipseStamp(fast.target(), fast.profile(), cx, cy, radius, aspect, angle, anamorphic);
      PlainEllipse(cx, cy, radius, aspect, angle, nullptr, 0.0f, anamorphic, plain.target(),
                   plain.profile());
    }
    ASSERT_EQ(fast.bytes(), plain.bytes()) << "round " << round << " at " << cx << ", " << cy
                                           << " radius " << radius << " aspect " << aspect;
    drawn += fast.bytes() != before;
  }
  EXPECT_GE(drawn, 80);
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
