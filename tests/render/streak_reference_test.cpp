// Streaks against a plain walk: every step of the major axis works out its
// distance, fade and cross-section and screens every covered pixel that lies
// in the clip rectangle. The streak primitive skips dark and far steps, works
// out four steps at a time and screens with vector arithmetic; the pictures
// must be the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "render/numeric.h"
#include "render/pixels.h"
#include "render/streak.h"
#include "tests/support/test_frame.h"

namespace gw {
namespace {

void PlainStreak(const Streak& s, const RenderTarget& t) {
  int32_t ax = TruncToInt(s.x0), ay = TruncToInt(s.y0);
  float length = static_cast<float>(
      FastHypot(TruncToInt(std::fabs(s.y1 - s.y0)), TruncToInt(std::fabs(s.x1 - s.x0))));
  if (length == 0.0f) length = 0.1f;
  if (s.anchor == StreakAnchor::Middle) {
    ax = TruncToInt((s.x1 + s.x0) * 0.5f);
    ay = TruncToInt((s.y1 + s.y0) * 0.5f);
    length = length * 0.5f;
  }
  const bool xMajor = std::fabs(s.x1 - s.x0) > std::fabs(s.y1 - s.y0);
  float x0 = s.x0, y0 = s.y0, x1 = s.x1, y1 = s.y1;
  if (xMajor ? x0 > x1 : y0 > y1) {
    std::swap(x0, x1);
    std::swap(y0, y1);
  }
  // In the walk's terms: major and minor are x and y of an x-major streak.
  const float startMajor = xMajor ? x0 : y0, endMajor = xMajor ? x1 : y1;
  const float dMajor = xMajor ? x1 - x0 : y1 - y0, dMinor = xMajor ? y1 - y0 : x1 - x0;
  const float slope = dMajor != 0.0f ? dMinor / dMajor : 0.0f;
  const int32_t anchorMajor = xMajor ? ax : ay, anchorMinor = xMajor ? ay : ax;
  const float h = s.thickness * 0.5f;
  const auto screen = [&](int32_t major, int32_t across, float k, float r, float g, float b) {
    const auto value = [k](float c) { return ClampToByte(TruncToInt(k * 255.0f * c)); };
    if (xMajor) {
      ScreenPixel(t, major, across, value(r), value(g), value(b));
    } else {
      ScreenPixel(t, across, major, value(r), value(g), value(b));
    }
  };
  float minor = xMajor ? y0 : x0;
  for (int32_t m = TruncToInt(startMajor + 1.0f); static_cast<float>(m) <= endMajor; ++m) {
    minor = minor + slope;
    const int32_t tm = TruncToInt(minor);
    const float d = static_cast<float>(FastHypot(anchorMinor - tm, anchorMajor - m));
    const float fade = (length - d) / length;
    const float r = std::max(fade * s.red, 0.0f);
    const float g = std::max(fade * s.green, 0.0f);
    const float b = std::max(fade * s.blue, 0.0f);
    const float lo = minor - h, hi = minor + h;
    const auto clampUnit = [](float v) { return std::clamp(v, 0.0f, 1.0f); };
    const float fracHi = hi - std::floor(hi);
    if (TruncToInt(lo) != tm) {
      const float first = xMajor ? static_cast<float>(TruncToInt(minor + 1.0f)) - (lo + 1.0f)
                                 : static_cast<float>(tm) - lo;
      screen(m, TruncToInt(minor - 1.0f), clampUnit(first), r, g, b);
      if (TruncToInt(hi) != tm) {
        screen(m, tm, 1.0f, r, g, b);
        screen(m, tm + 1, fracHi, r, g, b);
      } else {
        screen(m, tm, fracHi, r, g, b);
      }
    } else {
      screen(m, tm, clampUnit(static_cast<float>(tm + 1) - lo), r, g, b);
      screen(m, tm + 1, fracHi, r, g, b);
    }
  }
}

struct Lcg {
  uint32_t state;
  uint32_t Next() { return state = state * 1664525u + 1013904223u; }
  float Uniform(float lo, float hi) {
    return lo + (hi - lo) * static_cast<float>(Next() >> 8) / 16777216.0f;
  }
};

// A streak of any direction and length around the frame, often starting or
// ending outside it, with colours from faint to saturating (some channels
// negative) and now and then a thick cross-section.
Streak RandomStreak(Lcg& rng, int width, int height) {
  Streak s{};
  s.x0 = rng.Uniform(-40.0f, static_cast<float>(width) + 40.0f);
  s.y0 = rng.Uniform(-40.0f, static_cast<float>(height) + 40.0f);
  const float angle = rng.Uniform(0.0f, kTwoPi);
  const float length = rng.Next() % 8 == 0 ? rng.Uniform(0.0f, 3.0f) : rng.Uniform(5.0f, 500.0f);
  s.x1 = s.x0 + length * std::cos(angle);
  s.y1 = s.y0 + length * std::sin(angle);
  if (rng.Next() % 6 == 0) s.y1 = s.y0;  // level
  s.red = rng.Uniform(-0.3f, 1.6f);
  s.green = rng.Uniform(0.0f, 1.0f);
  s.blue = rng.Next() % 4 == 0 ? -rng.Uniform(0.0f, 2.0f) : rng.Uniform(0.0f, 0.4f);
  s.thickness = rng.Next() % 10 == 0 ? rng.Uniform(0.0f, 9.0f) : kStreakThickness;
  s.anchor = rng.Next() % 2 ? StreakAnchor::Middle : StreakAnchor::Start;
  return s;
}

// Four- and three-byte frames, clipped now and then to a band or a corner
// (so that steps run along the clip rectangle's edges), with hundreds of
// streaks over a background, each drawn by the primitive and by the plain
// walk; every colour byte must agree and the alpha bytes stay as they were.
TEST(StreakReference, EveryPixelAsThePlainWalkDrawsIt) {
  Lcg rng{20261209};
  const int width = 180, height = 120;
  int lit = 0;
  for (int round = 0; round < 24; ++round) {
    const auto grey = static_cast<uint8_t>(rng.Next() % 3 == 0 ? 0 : rng.Next() >> 24);
    TestFrame frame(width, height, 0, 0, 1.0f, grey, 77),
        plain(width, height, 0, 0, 1.0f, grey, 77);
    if (round % 3 != 0) {
      const int top = static_cast<int>(rng.Next() % 50), left = static_cast<int>(rng.Next() % 80);
      const int bottom = top + 1 + static_cast<int>(rng.Next() % 70);
      const int right = left + 1 + static_cast<int>(rng.Next() % 100);
      frame.SetClip(top, bottom, left, right);
      plain.SetClip(top, bottom, left, right);
    }
    RenderTarget threeBytes = frame.target();
    std::vector<uint8_t> rgb(size_t{width} * height * 3, grey);
    const auto clip = frame.target().clip;
    threeBytes.bytesPerPixel = 3;
    threeBytes.rowBytes = width * 3;
    threeBytes.pixels =
        rgb.data() + (static_cast<size_t>(clip.top) * width + static_cast<size_t>(clip.left)) * 3;
    for (int i = 0; i < 40; ++i) {
      const Streak s = RandomStreak(rng, width, height);
      DrawStreak(s, frame.target(), nullptr);
      DrawStreak(s, threeBytes, nullptr);
      PlainStreak(s, plain.target());
    }
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        ASSERT_EQ(frame.Pixel(x, y)[0], 77) << round << ": " << x << ", " << y;
        for (int c = 1; c < 4; ++c) {
          ASSERT_EQ(frame.Pixel(x, y)[c], plain.Pixel(x, y)[c]) << round << ": " << x << ", " << y;
          ASSERT_EQ(rgb[(size_t{width} * y + x) * 3 + c - 1], plain.Pixel(x, y)[c])
              << round << ": " << x << ", " << y;
        }
        lit += plain.Pixel(x, y)[1] != grey;
      }
    }
  }
  EXPECT_GT(lit, 10000);
}

// Streaks anchored thousands of pixels away (a light far outside the frame),
// at their far end or at a middle still far: the distances from the anchor
// reach past 2^16, where the four-step walk hands over to the plain steps.
// Their walks start just outside the frame (walks that start farther off
// than 2^16 steps jump to the frame instead of stepping there).
TEST(StreakReference, FarAnchorsAsThePlainWalkDrawsThem) {
  Lcg rng{77};
  TestFrame frame(160, 90, 0, 0), plain(160, 90, 0, 0);
  int lit = 0;
  for (int i = 0; i < 60; ++i) {
    // Through a point of the frame, from up to 300 pixels before it to up to
    // 300000 after it, the walk running towards the far end.
    const float tx = rng.Uniform(0.0f, 160.0f), ty = rng.Uniform(0.0f, 90.0f);
    float dx = std::cos(rng.Uniform(0.0f, kTwoPi)), dy = std::sin(rng.Uniform(0.0f, kTwoPi));
    if (std::fabs(dx) > std::fabs(dy) ? dx < 0.0f : dy < 0.0f) {
      dx = -dx;
      dy = -dy;
    }
    const float before = rng.Uniform(0.0f, 300.0f), after = rng.Uniform(3000.0f, 300000.0f);
    Streak s{};
    s.x0 = tx + after * dx;
    s.y0 = ty + after * dy;
    s.x1 = tx - before * dx;
    s.y1 = ty - before * dy;
    s.red = s.green = s.blue = rng.Uniform(1.0f, 40.0f);
    s.thickness = kStreakThickness;
    s.anchor = i % 3 ? StreakAnchor::Middle : StreakAnchor::Start;
    DrawStreak(s, frame.target(), nullptr);
    PlainStreak(s, plain.target());
  }
  for (int y = 0; y < 90; ++y) {
    for (int x = 0; x < 160; ++x) {
      for (int c = 1; c < 4; ++c)
        ASSERT_EQ(frame.Pixel(x, y)[c], plain.Pixel(x, y)[c]) << x << ", " << y;
      lit += plain.Pixel(x, y)[1] != 0;
    }
  }
  EXPECT_GT(lit, 500);
}

// Streaks over a frame with white blocks in it (a few pixels of them only
// nearly white): the four-step walk passes over steps whose pixels are all
// white, and must draw what the plain walk draws everywhere else.
TEST(StreakReference, OverWhiteBlocksAsThePlainWalkDrawsThem) {
  Lcg rng{4242};
  const int width = 200, height = 150;
  int overWhite = 0;
  for (int round = 0; round < 30; ++round) {
    TestFrame frame(width, height, 0, 0, 1.0f, 30);
    for (int block = 0; block < 6; ++block) {
      const int x0 = static_cast<int>(rng.Next() % width), y0 = static_cast<int>(rng.Next() % height);
      const int w = 8 + static_cast<int>(rng.Next() % 90), h = 8 + static_cast<int>(rng.Next() % 70);
      for (int y = y0; y < std::min(y0 + h, height); ++y) {
        for (int x = x0; x < std::min(x0 + w, width); ++x) {
          uint8_t* p = frame.Pixel(x, y);
          p[1] = p[2] = p[3] = 255;
          if ((rng.Next() >> 16) % 150 == 0) p[1 + (rng.Next() >> 16) % 3] = 254;
        }
      }
    }
    if (round % 4 == 3) frame.SetClip(10, 140, 5, 190);
    TestFrame plain(frame);
    const std::vector<uint8_t> before = frame.bytes();
    for (int i = 0; i < 40; ++i) {
      Streak s = RandomStreak(rng, width, height);
      s.red = std::fabs(s.red) + 0.5f;  // bright enough to show over most of its length
      DrawStreak(s, frame.target(), nullptr);
      PlainStreak(s, plain.target());
    }
    ASSERT_EQ(frame.bytes(), plain.bytes()) << "round " << round;
    for (size_t i = 1; i < before.size(); i += 4) overWhite += before[i] == 255 && before[i + 1] == 255;
  }
  EXPECT_GT(overWhite, 50000);
}

// The tiles of a blurred draw walk the same streaks, each taking the walks
// up where earlier tiles got to. Drawn tile by tile in any order with one
// set of positions, the streaks (among them some that share their start
// but not their slope, or their slope but not their start, by one bit) give
// the frame that drawing each streak whole gives.
TEST(StreakReference, TilesTakingWalksUpWhereOthersGotToDrawTheWholeFrame) {
  Lcg rng{99};
  const int width = 300, height = 200;
  for (int round = 0; round < 8; ++round) {
    std::vector<Streak> streaks;
    for (int i = 0; i < 40; ++i) {
      Streak s = RandomStreak(rng, width, height);
      s.red = std::fabs(s.red) + 0.3f;
      s.blue = std::fabs(s.blue);
      s.thickness = kStreakThickness;
      streaks.push_back(s);
      Streak twin = s;  // the same start, the end a little off
      twin.y1 = std::nextafter(twin.y1, 1e9f);
      twin.x1 = twin.x1 + (i % 2 ? 0.25f : -30.0f);
      streaks.push_back(twin);
      Streak shifted = s;  // the same slope, the start one bit off
      shifted.x0 = std::nextafter(s.x0, 1e9f);
      shifted.x1 = std::nextafter(s.x1, 1e9f);
      streaks.push_back(shifted);
    }
    // Every streak drawn twice: the second time round, every walk is taken
    // up where it got to.
    TestFrame whole(width, height, 0, 0, 1.0f, 20), tiled(whole);
    for (int pass = 0; pass < 2; ++pass) {
      for (const Streak& s : streaks) DrawStreak(s, whole.target(), nullptr);
    }
    StreakPositions positions;
    const int tile = 32 + round * 9;
    std::vector<std::pair<int, int>> order;
    for (int top = 0; top < height; top += tile) {
      for (int left = 0; left < width; left += tile) order.emplace_back(top, left);
    }
    if (round % 2 == 1) std::reverse(order.begin(), order.end());  // far tiles first
    for (const auto& [top, left] : order) {
      tiled.SetClip(top, std::min(top + tile, height), left, std::min(left + tile, width));
      for (int pass = 0; pass < 2; ++pass) {
        for (const Streak& s : streaks) DrawStreak(s, tiled.target(), &positions);
      }
    }
    ASSERT_EQ(tiled.bytes(), whole.bytes()) << "round " << round;
  }
}

}  // namespace
}  // namespace gw
