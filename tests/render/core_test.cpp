#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "render/draw_lens.h"
#include "render/numeric.h"
#include "render/pixels.h"
#include "tests/support/test_frame.h"

namespace gw {
namespace {

TEST(ScreenTable, KnownEntriesAndSymmetry) {
  std::vector<uint8_t> table(kScreenTableSize);
  BuildScreenTable(table.data());
  for (int x = 0; x < 256; ++x) {
    const auto v = static_cast<uint8_t>(x);
    EXPECT_EQ(Screen(table.data(), 0, v), x);
    EXPECT_EQ(Screen(table.data(), v, 0), x);
    EXPECT_EQ(Screen(table.data(), 255, v), 255);
    for (int y = 0; y < 256; ++y) {
      ASSERT_EQ(table[x * 256 + y], table[y * 256 + x]);
      ASSERT_GE(table[x * 256 + y], std::max(x, y));  // screening never darkens
    }
  }
  EXPECT_EQ(Screen(table.data(), 128, 128), 192);
  EXPECT_EQ(table[65535], 255);
  EXPECT_EQ(table[100 * 256 + 50], 255 - (155 * 205) / 255);
}

// Every pair of old and new byte through a row of 4-byte pixels (screened
// four at a time) and of 3-byte pixels, against the table; alpha bytes and
// pixels whose value is 0 stay as they were.
TEST(ScreenTable, ScreenRowGivesTheTablesEntries) {
  std::vector<uint8_t> table(kScreenTableSize);
  BuildScreenTable(table.data());
  for (const int bytesPerPixel : {4, 3}) {
    for (int old = 0; old < 256; ++old) {
      constexpr int n = 259;  // not a multiple of four: the last pixels one by one
      std::vector<uint8_t> pixels(size_t{n} * bytesPerPixel + 1, static_cast<uint8_t>(old));
      std::vector<uint32_t> values(n);
      for (int i = 0; i < n; ++i) {
        const auto v = static_cast<uint32_t>(i % 256);
        values[i] = i == 7 ? 0 : v | ((255 - v) << 8) | (((v * 7) & 255) << 16);
      }
      uint8_t* first = pixels.data() + (bytesPerPixel == 4 ? 1 : 0);
      ScreenRow(table.data(), first, bytesPerPixel, values.data(), n);
      for (int i = 0; i < n; ++i) {
        const uint8_t* c = first + i * bytesPerPixel;
        for (int channel = 0; channel < 3; ++channel) {
          const auto v = static_cast<uint8_t>(values[i] >> (8 * channel));
          ASSERT_EQ(c[channel], Screen(table.data(), static_cast<uint8_t>(old), v))
              << bytesPerPixel << " bytes, old " << old << ", pixel " << i;
        }
        if (bytesPerPixel == 4) {
          ASSERT_EQ(c[-1], old);
        }
      }
      EXPECT_EQ(pixels.back(), old);  // nothing written past the row
    }
  }
}

TEST(FastHypot, TableEntriesAreRoundedRoots) {
  for (int k = 0; k <= 256; ++k) {
    const double ratio = k / 256.0;
    EXPECT_EQ(HypotTable()[k], std::lround(16384.0 * std::sqrt(1.0 + ratio * ratio))) << k;
  }
}

TEST(FastHypot, KnownValues) {
  EXPECT_EQ(HypotTable()[0], 16384);
  EXPECT_EQ(HypotTable()[256], 23170);
  EXPECT_EQ(HypotTable()[128], 18318);  // 16384 * sqrt(1.25) = 18317.6
  EXPECT_EQ(FastHypot(0, 0), 0);
  EXPECT_EQ(FastHypot(3, 4), 5);
  EXPECT_EQ(FastHypot(-10, 0), 10);
  EXPECT_EQ(FastHypot(0, -10), 10);
  EXPECT_EQ(FastHypot(100, 100), 141);
  EXPECT_EQ(FastHypot(-100, 100), 141);
}

TEST(FastHypot, NearTheTrueDistanceAndNoOverflowAtTheExtremes) {
  for (int dy = -300; dy <= 300; dy += 7) {
    for (int dx = -300; dx <= 300; dx += 11) {
      const double exact = std::hypot(dx, dy);
      // k is truncated to 1/256: the error grows by at most 0.5 % of the distance.
      ASSERT_LE(std::fabs(FastHypot(dx, dy) - exact), 1.0 + exact / 200.0) << dx << "," << dy;
    }
  }
  // Quarter-pixel distances of large elements exceed 16 bits.
  EXPECT_EQ(FastHypot(40000, 0), 40000);
  EXPECT_NEAR(FastHypot(30000, 30000), 42426, 1);
  const int32_t big = std::numeric_limits<int32_t>::max();
  const int32_t small = std::numeric_limits<int32_t>::min();
  EXPECT_EQ(FastHypot(big, 0), big);
  EXPECT_EQ(FastHypot(small, small), big);  // saturates
}

TEST(Noise, KnownValueAndDeterminism) {
  EXPECT_FLOAT_EQ(Noise(0), static_cast<float>(1.0 - 1376312589.0 / 1073741824.0));
  EXPECT_NEAR(Noise(0), -0.2818, 1e-4);
  // n = 1: n' = 8193; v = (8193 * (8193^2 * 15731 + 789221) + 1376312589) & 0x7fffffff
  uint32_t m = 8193u;
  const uint32_t v = (m * (m * m * 15731u + 789221u) + 1376312589u) & 0x7fffffffu;
  EXPECT_FLOAT_EQ(Noise(1), static_cast<float>(1.0 - v / 1073741824.0));
  for (int n = -5000; n < 5000; n += 13) {
    const float a = Noise(n);
    ASSERT_EQ(a, Noise(n));
    ASSERT_GE(a, -1.0f);
    ASSERT_LE(a, 1.0f);
    ASSERT_EQ(AbsNoise(n), std::fabs(a));
  }
  // Defined for the extremes.
  EXPECT_GE(Noise(std::numeric_limits<int32_t>::min()), -1.0f);
  EXPECT_LE(Noise(std::numeric_limits<int32_t>::max()), 1.0f);
}

TEST(Ramps, TriangleWaveAndCentreRamp) {
  EXPECT_FLOAT_EQ(TriangleWave(0.0f), 0.0f);
  EXPECT_FLOAT_EQ(TriangleWave(3.0f), 0.0f);
  EXPECT_FLOAT_EQ(TriangleWave(0.5f), 1.0f);
  EXPECT_FLOAT_EQ(TriangleWave(2.25f), 0.5f);
  EXPECT_FLOAT_EQ(CentreRamp(5, 10), 1.0f);
  EXPECT_FLOAT_EQ(CentreRamp(0, 10), 0.0f);
  EXPECT_FLOAT_EQ(CentreRamp(10, 10), 0.0f);
  EXPECT_FLOAT_EQ(CentreRamp(15, 10), 0.0f);  // clamped
  EXPECT_FLOAT_EQ(CentreRamp(2, 8), 0.5f);
  EXPECT_FLOAT_EQ(CentreRamp(0, 0), 0.0f);    // no NaN for an empty range
}

TEST(TruncToInt, TruncatesAndIsDefinedEverywhere) {
  EXPECT_EQ(TruncToInt(3.9), 3);
  EXPECT_EQ(TruncToInt(-3.9), -3);
  EXPECT_EQ(TruncToInt(-0.5f), 0);
  EXPECT_EQ(TruncToInt(std::nan("")), 0);
  EXPECT_EQ(TruncToInt(INFINITY), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(TruncToInt(-INFINITY), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(TruncToInt(1e30f), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(TruncToInt(-1e30f), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(TruncToInt(2147483520.0f), 2147483520);
  EXPECT_EQ(SaturateToI16(40000), 32767);
  EXPECT_EQ(SaturateToI16(-40000), -32768);
  EXPECT_EQ(SaturateToI16(-7), -7);
}

TEST(ElementCentre, OnTheAxisThroughTheLight) {
  TestFrame frame(641, 360, 100.0f, 50.0f);
  const RenderTarget& t = frame.target();
  PointF at = ElementCentre(t, 1.0f);
  EXPECT_FLOAT_EQ(at.x, 100.0f);
  EXPECT_FLOAT_EQ(at.y, 50.0f);
  at = ElementCentre(t, 0.0f);
  EXPECT_FLOAT_EQ(at.x, 320.5f);  // exact half of an odd width
  EXPECT_FLOAT_EQ(at.y, 180.0f);
  at = ElementCentre(t, -1.0f);
  EXPECT_FLOAT_EQ(at.x, 541.0f);
  EXPECT_FLOAT_EQ(at.y, 310.0f);
}

TEST(Pixels, ScreenPixelWritesColoursOnlyInsideTheClip) {
  TestFrame frame(8, 6, 0.0f, 0.0f, 1.0f, 100, 77);
  frame.SetClip(2, 3, 1, 7);  // one row
  const std::vector<uint8_t> before = frame.bytes();
  for (int y = -2; y < 9; ++y) {
    for (int x = -2; x < 11; ++x) ScreenPixel(frame.target(), x, y, 255, 128, 0);
  }
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 8; ++x) {
      const uint8_t* p = frame.Pixel(x, y);
      const uint8_t* q = &before[(y * 8 + x) * 4];
      EXPECT_EQ(p[0], 77);  // alpha untouched everywhere
      if (y == 2 && x >= 1 && x < 7) {
        EXPECT_EQ(p[1], 255);
        EXPECT_EQ(p[2], Screen(frame.target().screenTable, 100, 128));
        EXPECT_EQ(p[3], 100);
      } else {
        EXPECT_EQ(std::memcmp(p, q, 4), 0) << x << "," << y;
      }
    }
  }
}

TEST(Pixels, PackedRgbAddressing) {
  std::vector<uint8_t> tile(4 * 3 * 3, 0);
  TestFrame frame(16, 16, 0, 0);
  RenderTarget t = frame.target();
  t.pixels = tile.data();
  t.bytesPerPixel = 3;
  t.rowBytes = 4 * 3;
  t.clip.top = 5;
  t.clip.bottom = 8;
  t.clip.left = 10;
  t.clip.right = 14;
  ScreenPixel(t, 11, 6, 1, 2, 3);
  EXPECT_EQ(ColourBytes(t, 11, 6), tile.data() + 1 * 12 + 1 * 3);
  EXPECT_EQ(tile[15], 1);
  EXPECT_EQ(tile[16], 2);
  EXPECT_EQ(tile[17], 3);
}

TEST(Pixels, ProfileSamplesBeyondTheLengthReadZero) {
  TestFrame frame(10, 10, 0, 0);  // profile of 600 samples, 590 usable
  ProfileStore& store = frame.profile();
  ASSERT_EQ(store.length(), 590);
  std::memset(store.red(), 200, 600);
  EXPECT_EQ(ProfileSample(store, store.red(), 0), 200);
  EXPECT_EQ(ProfileSample(store, store.red(), 589), 200);
  EXPECT_EQ(ProfileSample(store, store.red(), 590), 0);
  EXPECT_EQ(ProfileSample(store, store.red(), -1), 0);
  EXPECT_EQ(ProfileSample(store, store.red(), 1 << 30), 0);
}

struct ProgressLog {
  std::vector<std::pair<int32_t, int32_t>> calls;
  int32_t cancelAt = -1;
  int32_t code = 517;
};

int32_t LogProgress(void* context, int32_t current, int32_t total) {
  auto* log = static_cast<ProgressLog*>(context);
  log->calls.emplace_back(current, total);
  return static_cast<int32_t>(log->calls.size()) - 1 == log->cancelAt ? log->code : 0;
}

TEST(DrawLens, ReportsEveryElementOfThePass) {
  Lens lens{};
  BuildDefaultLens(lens);
  lens.elements[1].enabled = 0;
  TestFrame frame(32, 32, 10, 10);
  ProgressLog log;
  EXPECT_EQ(DrawLens(lens, frame.target(), frame.scratch(), 2, 5, {LogProgress, &log}), 0);
  ASSERT_EQ(log.calls.size(), 3u);
  EXPECT_EQ(log.calls[0], std::make_pair(6, 15));
  EXPECT_EQ(log.calls[2], std::make_pair(8, 15));
}

TEST(DrawLens, CancelStopsAtOnceAndReturnsTheHostCode) {
  Lens lens{};
  BuildDefaultLens(lens);
  TestFrame frame(32, 32, 10, 10);
  ProgressLog log;
  log.cancelAt = 1;
  EXPECT_EQ(DrawLens(lens, frame.target(), frame.scratch(), 0, 1, {LogProgress, &log}), 517);
  EXPECT_EQ(log.calls.size(), 2u);
}

TEST(DrawLens, EmptyLensAndDamagedCount) {
  TestFrame frame(32, 32, 10, 10);
  Lens lens{};
  ProgressLog log;
  EXPECT_EQ(DrawLens(lens, frame.target(), frame.scratch(), 0, 1, {LogProgress, &log}), 0);
  EXPECT_TRUE(log.calls.empty());
  lens.count = 5000;  // never more than the 100 slots
  for (LensElement& e : lens.elements) InitElement(7, e);
  EXPECT_EQ(DrawLens(lens, frame.target(), frame.scratch(), 0, 1, {LogProgress, &log}), 0);
  EXPECT_EQ(log.calls.size(), 100u);
  EXPECT_EQ(log.calls.back(), std::make_pair(99, 100));
}

TEST(DrawElement, TypesWithoutRendererDrawNothing) {
  TestFrame frame(32, 32, 10, 10, 1.0f, 40);
  const std::vector<uint8_t> before = frame.bytes();
  for (int16_t type : {int16_t{7}, int16_t{8}, int16_t{-1}, int16_t{21}, int16_t{-32768},
                       int16_t{32767}}) {
    LensElement e{};
    InitElement(type, e);
    DrawElement(e, frame.target(), frame.scratch());
  }
  EXPECT_EQ(frame.bytes(), before);
}

TEST(BlendTargets, MovesTheFloatsAndKeepsTheBuffersOfTheFirst) {
  TestFrame a(64, 32, 10, 20, 1.0f);
  TestFrame b(64, 32, 30, 60, 2.0f);
  b.SetGains(0.5f, 1.0f, 0.5f, 0.0f);
  b.target().anglePhase = 15.0f;
  RenderTarget out{};
  BlendTargets(a.target(), b.target(), out, 0.25f);
  EXPECT_FLOAT_EQ(out.lightX, 15.0f);
  EXPECT_FLOAT_EQ(out.lightY, 30.0f);
  EXPECT_FLOAT_EQ(out.scale, 1.25f);
  EXPECT_FLOAT_EQ(out.brightness, 0.875f);
  EXPECT_FLOAT_EQ(out.gainG, 1.0f + (0.25f - 1.0f) * 0.25f);
  EXPECT_FLOAT_EQ(out.colorB, 0.75f);
  EXPECT_FLOAT_EQ(out.anglePhase, 3.75f);
  EXPECT_EQ(out.pixels, a.target().pixels);
  EXPECT_EQ(out.screenTable, a.target().screenTable);
  EXPECT_EQ(out.rowBytes, a.target().rowBytes);
}

}  // namespace
}  // namespace gw
