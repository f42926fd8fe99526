// The streak primitive: anchor and fade, ordering, slope, cross-section
// coverage, saturation, and its behaviour on bad end points.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "render/numeric.h"
#include "render/streak.h"
#include "tests/support/test_frame.h"

namespace gw {
namespace {

Streak MakeStreak(float x0, float y0, float x1, float y1, float intensity = 1.0f,
                  StreakAnchor anchor = StreakAnchor::Start) {
  return Streak{x0, y0, x1, y1, intensity, kStreakThickness, intensity, intensity, anchor};
}


TEST(StreakTest, CoincidentEndPointsDrawNothing) {
  for (const float v : {10.0f, 10.5f, 0.0f, -0.5f, 63.9f}) {
    TestFrame frame(64, 64, 32, 32);
    DrawStreak(MakeStreak(v, v, v, v), frame.target(), nullptr);
    DrawStreak(MakeStreak(v, v, v, v, 1.0f, StreakAnchor::Middle), frame.target(), nullptr);
    EXPECT_EQ(frame.ColourSum(), 0u) << v;
  }
}

TEST(StreakTest, HorizontalStreakCoversTwoRowsFromTheColumnAfterItsStart) {
  TestFrame frame(64, 40, 32, 20);
  DrawStreak(MakeStreak(10.0f, 20.0f, 50.0f, 20.0f), frame.target(), nullptr);
  // y = 20: rows 19 and 20 each get 0.9 of the streak, rows 18 and 21 none.
  // L = 40; at column 11, d = 1: trunc(0.9 x 255 x 39/40) = 223.
  EXPECT_EQ(Red(frame, 11, 19), 223);
  EXPECT_EQ(Red(frame, 11, 20), 223);
  // Column 10 (the start column itself) is not drawn: the walk advances first.
  EXPECT_EQ(Red(frame, 10, 19), 0);
  EXPECT_EQ(Red(frame, 10, 20), 0);
  // Halfway: d = 20, t = 0.5: trunc(0.9 x 255 x 0.5) = 114.
  EXPECT_EQ(Red(frame, 30, 20), 114);
  // The fade reaches 0 at distance L.
  EXPECT_EQ(Red(frame, 50, 20), 0);
  for (int x = 0; x < 64; ++x) {
    EXPECT_EQ(Red(frame, x, 18), 0);
    EXPECT_EQ(Red(frame, x, 21), 0);
  }
}

TEST(StreakTest, AnchorOneFadesFromItsStart) {
  TestFrame frame(100, 60, 50, 30);
  DrawStreak(MakeStreak(10.0f, 30.3f, 90.0f, 30.3f), frame.target(), nullptr);
  int previous = 256;
  for (int x = 11; x <= 90; ++x) {
    const int v = Red(frame, x, 30);
    EXPECT_LE(v, previous) << x;
    previous = v;
  }
  EXPECT_GT(Red(frame, 11, 30), 200);
  EXPECT_EQ(Red(frame, 90, 30), 0);
}

TEST(StreakTest, AnchorTwoIsBrightestInTheMiddleAndFadesAtBothEnds) {
  TestFrame frame(100, 60, 50, 30);
  DrawStreak(MakeStreak(10.0f, 30.0f, 90.0f, 30.0f, 1.0f, StreakAnchor::Middle), frame.target(),
             nullptr);
  // Anchor at x = 50, L = 40.
  int brightest = 0, brightestX = -1;
  for (int x = 0; x < 100; ++x) {
    if (Red(frame, x, 30) > brightest) brightest = Red(frame, x, 30), brightestX = x;
  }
  EXPECT_EQ(brightestX, 50);
  EXPECT_EQ(brightest, 229);  // trunc(0.9 x 255): full intensity at the anchor
  EXPECT_EQ(Red(frame, 40, 30), Red(frame, 60, 30));
  EXPECT_EQ(Red(frame, 90, 30), 0);
  EXPECT_EQ(Red(frame, 11, 30), 5);  // d = 39: trunc(229.5 x 1/40)
}

TEST(StreakTest, RightToLeftEqualsLeftToRightExceptTheFade) {
  const float a[2] = {3.3f, 7.7f}, b[2] = {60.2f, 25.1f};
  // Anchored in the middle the fade is the same both ways: identical pixels.
  TestFrame forwardMid(64, 40, 0, 0), backwardMid(64, 40, 0, 0);
  DrawStreak(MakeStreak(a[0], a[1], b[0], b[1], 1.0f, StreakAnchor::Middle), forwardMid.target(),
             nullptr);
  DrawStreak(MakeStreak(b[0], b[1], a[0], a[1], 1.0f, StreakAnchor::Middle), backwardMid.target(),
             nullptr);
  EXPECT_EQ(forwardMid.bytes(), backwardMid.bytes());
  EXPECT_GT(forwardMid.ColourSum(), 0u);

  // Anchored at the first point, each is brightest at its own first point...
  TestFrame forward(64, 40, 0, 0), backward(64, 40, 0, 0);
  DrawStreak(MakeStreak(a[0], a[1], b[0], b[1]), forward.target(), nullptr);
  DrawStreak(MakeStreak(b[0], b[1], a[0], a[1]), backward.target(), nullptr);
  EXPECT_GT(Red(forward, 4, 7), Red(forward, 59, 24));
  EXPECT_LT(Red(backward, 4, 7), Red(backward, 59, 24));
  // ...and saturated, both cover the same pixels away from the faded ends.
  TestFrame forwardFull(64, 40, 0, 0), backwardFull(64, 40, 0, 0);
  DrawStreak(MakeStreak(a[0], a[1], b[0], b[1], 1e6f), forwardFull.target(), nullptr);
  DrawStreak(MakeStreak(b[0], b[1], a[0], a[1], 1e6f), backwardFull.target(), nullptr);
  for (int y = 0; y < 40; ++y) {
    for (int x = 8; x < 56; ++x) {
      EXPECT_EQ(Red(forwardFull, x, y), Red(backwardFull, x, y)) << x << "," << y;
    }
  }
}

TEST(StreakTest, PerfectDiagonalIsDrawnRowByRow) {
  TestFrame frame(40, 40, 0, 0);
  DrawStreak(MakeStreak(10.0f, 10.0f, 30.0f, 30.0f, 1.0f, StreakAnchor::Middle), frame.target(),
             nullptr);
  // Row-by-row (y-major): row r covers columns r - 1 and r; a column-by-column
  // walk would light (r, r - 1) instead of (r - 1, r).
  for (int r = 12; r < 28; ++r) {
    EXPECT_GT(Red(frame, r - 1, r), 0) << r;
    EXPECT_GT(Red(frame, r, r), 0) << r;
    EXPECT_EQ(Red(frame, r, r - 1), 0) << r;
    EXPECT_EQ(Red(frame, r + 1, r), 0) << r;
  }
}

TEST(StreakTest, SlopeAdvancesBeforeEachColumn) {
  TestFrame frame(64, 64, 0, 0);
  // Slope 0.5 from (10, 10): column 11 at y = 10.5, column 12 at y = 11.
  DrawStreak(MakeStreak(10.0f, 10.0f, 50.0f, 30.0f, 1.0f, StreakAnchor::Middle), frame.target(),
             nullptr);
  // y = 10.5: lo = 9.6, hi = 11.4; trunc(lo) = 9 differs from 10, so row 9
  // gets 10 - 9.6 = 0.4, row 10 full and row 11 frac(11.4) = 0.4.
  EXPECT_GT(Red(frame, 11, 9), 0);
  EXPECT_GT(Red(frame, 11, 10), Red(frame, 11, 9));
  EXPECT_GT(Red(frame, 11, 11), 0);
  EXPECT_EQ(Red(frame, 11, 12), 0);
  EXPECT_EQ(Red(frame, 11, 8), 0);
  // y = 11: rows 10 and 11 get 0.9 each.
  EXPECT_EQ(Red(frame, 12, 10), Red(frame, 12, 11));
  EXPECT_EQ(Red(frame, 12, 12), 0);
}

TEST(StreakTest, IntensitiesAboveOneSaturate) {
  TestFrame frame(64, 40, 0, 0);
  DrawStreak(MakeStreak(10.0f, 20.0f, 50.0f, 20.0f, 5.0f), frame.target(), nullptr);
  // 0.9 x 255 x 5 x 39/40 is far above 255.
  EXPECT_EQ(Red(frame, 11, 20), 255);
  EXPECT_EQ(Red(frame, 20, 19), 255);
  EXPECT_EQ(Red(frame, 50, 20), 0);
}

TEST(StreakTest, ChannelsAreIndependentAndNegativeIntensityDrawsNothing) {
  TestFrame frame(64, 40, 0, 0);
  Streak s = MakeStreak(10.0f, 20.0f, 50.0f, 20.0f);
  s.red = 1.0f;
  s.green = 0.5f;
  s.blue = -1.0f;
  DrawStreak(s, frame.target(), nullptr);
  const uint8_t* p = frame.Pixel(30, 20);
  EXPECT_EQ(p[1], 114);  // trunc(0.9 x 255 x 0.5)
  EXPECT_EQ(p[2], 57);   // trunc(0.9 x 255 x 0.25)
  EXPECT_EQ(p[3], 0);
}

// A spread of streaks of every orientation, partly outside the frame.
std::vector<Streak> StreakFan(float cx, float cy, float reach) {
  std::vector<Streak> streaks;
  for (int i = 0; i < 90; ++i) {
    const float a = i * 0.0698f;
    const float len = reach * (0.3f + 0.7f * AbsNoise(i));
    streaks.push_back(Streak{cx + 2.0f * Noise(i + 7), cy + 2.0f * Noise(i + 9),
                             cx - len * std::sin(a), cy + len * std::cos(a), 0.8f,
                             kStreakThickness, 0.6f, 0.4f,
                             i % 2 == 0 ? StreakAnchor::Start : StreakAnchor::Middle});
  }
  return streaks;
}

TEST(StreakPropertyTest, NothingOutsideTheClipRectangle) {
  for (const int bpp : {4, 3}) {
    TestFrame frame(80, 60, 0, 0, 1.0f, 17, 99);
    frame.SetClip(13, 41, 21, 57);
    RenderTarget t = frame.target();
    std::vector<uint8_t> packed;
    if (bpp == 3) {
      // A packed RGB tile the size of the clip rectangle, framed by guard bytes.
      packed.assign(36 * 28 * 3 + 64, 0xAB);
      t.bytesPerPixel = 3;
      t.rowBytes = 36 * 3;
      t.pixels = packed.data() + 32;
      for (int i = 32; i < 32 + 36 * 28 * 3; ++i) packed[i] = 0;
    }
    const std::vector<uint8_t> before = frame.bytes();
    for (const Streak& s : StreakFan(40.0f, 30.0f, 60.0f)) DrawStreak(s, t, nullptr);
    for (const Streak& s : StreakFan(20.0f, 20.0f, 40.0f)) DrawStreak(s, t, nullptr);
    if (bpp == 4) {
      uint64_t inside = 0;
      for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 80; ++x) {
          const bool in = x >= 21 && x < 57 && y >= 13 && y < 41;
          for (int c = 0; c < 4; ++c) {
            const size_t i = (size_t(y) * 80 + x) * 4 + c;
            if (!in || c == 0) {  // outside the clip, or alpha
              ASSERT_EQ(frame.bytes()[i], before[i]) << x << "," << y << " c" << c;
            } else {
              ASSERT_GE(frame.bytes()[i], before[i]);  // never darkens
              inside += frame.bytes()[i] - before[i];
            }
          }
        }
      }
      EXPECT_GT(inside, 0u);
    } else {
      for (int i = 0; i < 32; ++i) EXPECT_EQ(packed[i], 0xAB);
      for (size_t i = 32 + 36 * 28 * 3; i < packed.size(); ++i) EXPECT_EQ(packed[i], 0xAB);
      EXPECT_EQ(frame.bytes(), before);
    }
  }
}

TEST(StreakPropertyTest, OneRowClipLeavesEveryOtherRowUntouched) {
  TestFrame frame(80, 60, 0, 0);
  frame.SetClip(30, 31, 0, 80);
  for (const Streak& s : StreakFan(40.0f, 30.0f, 60.0f)) DrawStreak(s, frame.target(), nullptr);
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 80; ++x) {
      if (y != 30) {
        ASSERT_EQ(Red(frame, x, y), 0) << x << "," << y;
      }
    }
  }
  EXPECT_GT(frame.ColourSum(), 0u);
}

TEST(StreakGuardTest, AbsurdEndPointsAreClippedNotWalked) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  TestFrame frame(64, 48, 0, 0);
  frame.SetClip(8, 40, 8, 56);
  const std::vector<uint8_t> before = frame.bytes();
  // Non-finite end points draw nothing.
  for (const Streak& s : {MakeStreak(nan, 10, 30, 30), MakeStreak(10, 10, inf, 30),
                          MakeStreak(-inf, 20, inf, 20), MakeStreak(10, nan, 20, 20),
                          MakeStreak(10, 10, 20, -inf)}) {
    DrawStreak(s, frame.target(), nullptr);
  }
  EXPECT_EQ(frame.bytes(), before);
  // End points 1e30 apart cross the frame and are drawn only inside the clip
  // rectangle, without walking 2^31 columns or rows.
  DrawStreak(MakeStreak(-1e30f, 20.0f, 1e30f, 20.5f, 1.0f, StreakAnchor::Middle), frame.target(),
             nullptr);
  DrawStreak(MakeStreak(30.0f, 1e30f, 31.0f, -1e30f, 1.0f, StreakAnchor::Middle), frame.target(),
             nullptr);
  DrawStreak(MakeStreak(1e30f, -1e30f, -1e30f, 1e30f), frame.target(), nullptr);
  DrawStreak(MakeStreak(-3e9f, 24.0f, 3e9f, 24.0f, 1e30f, StreakAnchor::Middle), frame.target(),
             nullptr);
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 64; ++x) {
      const bool in = x >= 8 && x < 56 && y >= 8 && y < 40;
      if (!in) {
        ASSERT_EQ(Red(frame, x, y), 0) << x << "," << y;
      }
    }
  }
  // The horizontal one at a huge intensity lights its rows inside the clip.
  EXPECT_EQ(Red(frame, 20, 24), 255);
  EXPECT_EQ(Red(frame, 20, 23), 255);
}

// End points so far apart that their differences overflow to infinity give
// a slope that is not a number: the walk's minor coordinate is then never
// near the frame, and nothing is drawn (nor truncated).
TEST(StreakGuardTest, OverflowingDifferencesDrawNothing) {
  for (const int height : {48, 49, 50, 51}) {  // the walk's last steps one at a time
    TestFrame frame(64, height, 0, 0);
    DrawStreak(MakeStreak(-3e38f, -3e38f, 3e38f, 3e38f, 1.0f, StreakAnchor::Middle), frame.target(),
               nullptr);
    DrawStreak(MakeStreak(3e38f, -3e38f, -3e38f, 3e38f, 1.0f, StreakAnchor::Middle), frame.target(),
               nullptr);
    EXPECT_EQ(frame.ColourSum(), 0u);
  }
}

TEST(StreakGuardTest, LineFromFarAwayCrossesTheFrameWhereItsGeometrySays) {
  // Starts a million columns left of the frame: the walk jumps to the frame.
  TestFrame frame(64, 200, 0, 0);
  DrawStreak(MakeStreak(-1e6f, 0.0f, 1e6f, 200.0f, 1.0f, StreakAnchor::Middle), frame.target(),
             nullptr);
  // At x = 32 the line is at y = (32 + 1e6) x 1e-4, just past 100.
  EXPECT_GT(Red(frame, 32, 99), 200);
  EXPECT_GT(Red(frame, 32, 100), 200);
  EXPECT_EQ(Red(frame, 32, 98), 0);
  EXPECT_EQ(Red(frame, 32, 101), 0);
}

TEST(StreakGuardTest, BadIntensitiesAndThicknessAreHarmless) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  TestFrame frame(64, 48, 0, 0);
  Streak s = MakeStreak(5.0f, 5.0f, 60.0f, 40.0f);
  s.red = nan;
  s.green = inf;
  s.blue = -inf;
  DrawStreak(s, frame.target(), nullptr);
  s.thickness = nan;
  DrawStreak(s, frame.target(), nullptr);
  s.thickness = 1e30f;
  DrawStreak(s, frame.target(), nullptr);
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 64; ++x) {
      EXPECT_EQ(frame.Pixel(x, y)[1], 0);
      EXPECT_EQ(frame.Pixel(x, y)[3], 0);
    }
  }
}

// Streaks drawn into a frame of four-byte pixels (screened four at a time
// where a walk is level) and into three-byte pixels (one at a time) give the
// same colours: level, steep and sloping walks, thick and thin, bright and
// dim, with negative channels, over a grey frame and a clip rectangle.
TEST(StreakTest, ThreeAndFourBytePixelsGetTheSameColours) {
  TestFrame frame(96, 64, 0, 0, 1.0f, 90);
  frame.SetClip(3, 60, 5, 90);
  RenderTarget& t4 = frame.target();
  std::vector<uint8_t> rgb(size_t{96} * 64 * 3, 90);
  RenderTarget t3 = t4;
  t3.bytesPerPixel = 3;
  t3.rowBytes = 96 * 3;
  t3.pixels = rgb.data() + (3 * 96 + 5) * 3;
  std::vector<Streak> streaks;
  for (int i = 0; i < 40; ++i) {
    const float y = 2.0f + 1.37f * static_cast<float>(i);
    Streak level = MakeStreak(-20.0f + i, y, 120.0f - 2.0f * i, y, 0.2f + 0.1f * i,
                              i % 2 ? StreakAnchor::Middle : StreakAnchor::Start);
    level.blue = i % 3 == 0 ? -0.5f : level.blue;
    level.thickness = i % 5 == 0 ? 7.5f : kStreakThickness;
    streaks.push_back(level);
    streaks.push_back(MakeStreak(48.0f, 30.0f, 48.0f + 60.0f * std::cos(0.16f * i),
                                 30.0f + 60.0f * std::sin(0.16f * i), 1.3f));
  }
  for (const Streak& s : streaks) {
    DrawStreak(s, t4, nullptr);
    DrawStreak(s, t3, nullptr);
  }
  int changed = 0;
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 96; ++x) {
      for (int c = 0; c < 3; ++c) {
        ASSERT_EQ(frame.Pixel(x, y)[1 + c], rgb[(size_t{96} * y + x) * 3 + c]) << x << ", " << y;
      }
      changed += frame.Pixel(x, y)[1] != 90;
    }
  }
  EXPECT_GT(changed, 2000);
}

// A streak whose channels are all negative shows only where its fade has gone
// below 0, past its length; it is skipped when no step can get that far.
// The same streak with a green of +1e-9 (which never shows) takes the plain
// walk, and every red byte must agree.
TEST(StreakTest, NegativeStreaksDrawWhatThePlainWalkDraws) {
  int drawn = 0;
  for (int i = 0; i < 60; ++i) {
    const float a = 0.105f * static_cast<float>(i);
    const float length = 20.0f + static_cast<float>(i);
    const float x1 = 40.0f + length * std::cos(a), y1 = 30.0f + length * std::sin(a);
    const float red = -std::pow(10.0f, static_cast<float>(i % 7) - 2.0f);
    TestFrame negative(96, 64, 0, 0), plain(96, 64, 0, 0);
    Streak s = MakeStreak(40.0f, 30.0f, x1, y1, red, i % 2 ? StreakAnchor::Middle : StreakAnchor::Start);
    s.green = s.blue = red;
    DrawStreak(s, negative.target(), nullptr);
    s.green = 1e-9f;
    DrawStreak(s, plain.target(), nullptr);
    for (int y = 0; y < 64; ++y) {
      for (int x = 0; x < 96; ++x) {
        ASSERT_EQ(Red(negative, x, y), Red(plain, x, y)) << i << ": " << x << ", " << y;
        drawn += Red(plain, x, y) != 0;
      }
    }
  }
  EXPECT_GT(drawn, 0);  // the strongest do show past their length
}

}  // namespace
}  // namespace gw
