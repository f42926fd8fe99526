// Round, ellipse and caustic stamps: where they write, what they write, and
// that they write nowhere else.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

#include "render/ellipse_stamps.h"
#include "render/pixels.h"
#include "render/profiles.h"
#include "render/round_stamps.h"
#include "tests/support/test_frame.h"

namespace gw {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// Profile sample i holds 255 - i (and 0 from 255 on) in red, a quarter of it
// in green, a constant 200 in blue up to `length`.
void FillTestProfile(ProfileStore& store, int length = 1 << 30) {
  for (int i = 0; i < store.length(); ++i) {
    store.red()[i] = i < 255 ? static_cast<uint8_t>(255 - i) : 0;
    store.green()[i] = static_cast<uint8_t>(store.red()[i] / 4);
    store.blue()[i] = i < length ? 200 : 0;
  }
  store.ExtendToLength();
}

void FillConstantProfile(ProfileStore& store, uint8_t v) {
  std::memset(store.red(), v, static_cast<size_t>(store.length()));
  std::memset(store.green(), v, static_cast<size_t>(store.length()));
  std::memset(store.blue(), v, static_cast<size_t>(store.length()));
  store.ExtendToLength();
}

// Pixels that differ between two frames of the same size, outside a rectangle.
int ChangedOutside(const TestFrame& before, const TestFrame& after, int top, int bottom, int left,
                   int right) {
  int changed = 0;
  for (int y = 0; y < before.height(); ++y) {
    for (int x = 0; x < before.width(); ++x) {
      if (y >= top && y < bottom && x >= left && x < right) continue;
      if (std::memcmp(before.Pixel(x, y), after.Pixel(x, y), 4) != 0) ++changed;
    }
  }
  return changed;
}

int ChangedPixels(const TestFrame& before, const TestFrame& after) {
  return ChangedOutside(before, after, 0, 0, 0, 0);
}

TEST(RoundStamp, SymmetricAboutAnIntegerCentre) {
  TestFrame f(100, 80, 50.0f, 40.0f);
  FillTestProfile(f.profile());
  RoundStamp(50.0f, 40.0f, 30.0f, f.target(), f.profile());
  EXPECT_EQ(Red(f, 50, 40), 255);
  for (int a = 0; a < 30; ++a) {
    for (int b = 0; b < 30; ++b) {
      const int v = Red(f, 50 + a, 40 + b);
      ASSERT_EQ(v, Red(f, 50 - a, 40 + b)) << a << "," << b;
      ASSERT_EQ(v, Red(f, 50 + a, 40 - b)) << a << "," << b;
      ASSERT_EQ(v, Red(f, 50 + b, 40 + a)) << a << "," << b;
      ASSERT_EQ(Green(f, 50 + a, 40 + b), Green(f, 50 - a, 40 - b));
    }
  }
  // Distances in quarter pixels: 3 pixels right is sample 12.
  EXPECT_EQ(Red(f, 53, 40), 255 - 12);
  EXPECT_EQ(Red(f, 50, 37), 255 - 12);
  EXPECT_EQ(Red(f, 53, 44), 255 - 20);
}

TEST(RoundStamp, BoxReachesTwoPixelsPastTheRadius) {
  TestFrame f(100, 80, 50.0f, 40.0f);
  FillConstantProfile(f.profile(), 100);
  RoundStamp(50.0f, 40.0f, 10.0f, f.target(), f.profile());
  // Columns trunc(50 - 12) .. trunc(50 + 12) - 1.
  EXPECT_EQ(Red(f, 37, 40), 0);
  EXPECT_EQ(Red(f, 38, 40), 100);
  EXPECT_EQ(Red(f, 61, 40), 100);
  EXPECT_EQ(Red(f, 62, 40), 0);
  EXPECT_EQ(Red(f, 38, 28), 100);  // the corner: a square box
  EXPECT_EQ(Red(f, 50, 27), 0);
}

TEST(RoundStamp, WideStampIsTwiceAsWide) {
  TestFrame round(200, 80, 100.0f, 40.0f);
  TestFrame wide(200, 80, 100.0f, 40.0f);
  FillTestProfile(round.profile());
  FillTestProfile(wide.profile());
  RoundStamp(100.0f, 40.0f, 30.0f, round.target(), round.profile());
  WideRoundStamp(100.0f, 40.0f, 30.0f, wide.target(), wide.profile());
  for (int b = -30; b < 30; ++b) {
    for (int a = -30; a < 30; ++a) {
      ASSERT_EQ(Red(wide, 100 + 2 * a, 40 + b), Red(round, 100 + a, 40 + b)) << a << "," << b;
    }
  }
  EXPECT_GT(Red(wide, 100 + 59, 40), 0);
  EXPECT_EQ(Red(round, 100 + 59, 40), 0);
}

TEST(RoundStamp, ProfileIndicesPastTheProfileReadZero) {
  TestFrame f(64, 48, 32.0f, 24.0f);  // profileLength 3830
  RenderTarget& t = f.target();
  ProfileStore& store = f.profile();
  FillConstantProfile(store, 77);
  std::memset(store.red() + store.length(), 255, 10);  // past the end
  std::memset(store.green() + store.length(), 255, 10);
  // A centre 955 pixels left of the frame puts column x at sample 3820 + 4x.
  RoundStamp(-955.0f, 24.0f, 1000.0f, t, store);
  for (int x = 0; x < 64; ++x) ASSERT_EQ(Red(f, x, 24), x < 3 ? 77 : 0) << x;
}

TEST(RoundStamp, WritesOnlyInsideTheClipRectangle) {
  for (bool wide : {false, true}) {
    TestFrame f(120, 90, 60.0f, 45.0f, 1.0f, 30);
    const TestFrame before = f;
    f.SetClip(20, 50, 30, 70);
    FillConstantProfile(f.profile(), 200);
    if (wide) {
      WideRoundStamp(40.0f, 30.0f, 40.0f, f.target(), f.profile());
    } else {
      RoundStamp(40.0f, 30.0f, 40.0f, f.target(), f.profile());
    }
    EXPECT_EQ(ChangedOutside(before, f, 20, 50, 30, 70), 0);
    const int screened = 255 - (225 * 55) / 255;  // 200 screened over 30
    EXPECT_EQ(Red(f, 30, 20), screened);
    EXPECT_EQ(Red(f, 69, 49), screened);
  }
}

TEST(RoundStamp, OneRowClipLeavesOtherRowsUntouched) {
  TestFrame f(50, 40, 25.0f, 20.0f, 1.0f, 10);
  const TestFrame before = f;
  f.SetClip(20, 21, 0, 50);
  FillConstantProfile(f.profile(), 255);
  RoundStamp(25.0f, 20.0f, 100.0f, f.target(), f.profile());
  EXPECT_EQ(ChangedOutside(before, f, 20, 21, 0, 50), 0);
  for (int x = 0; x < 50; ++x) ASSERT_EQ(Red(f, x, 20), 255);
}

TEST(RoundStamp, OutsideTheClipWritesNothing) {
  TestFrame f(50, 40, 25.0f, 20.0f);
  const TestFrame before = f;
  FillConstantProfile(f.profile(), 255);
  for (float c : {-100.0f, 1e9f, -1e30f, kInf, -kInf, kNaN}) {
    RoundStamp(c, 20.0f, 10.0f, f.target(), f.profile());
    RoundStamp(25.0f, c, 10.0f, f.target(), f.profile());
    WideRoundStamp(c, c, 10.0f, f.target(), f.profile());
  }
  for (float r : {kNaN, -kInf, -20.0f}) RoundStamp(25.0f, 20.0f, r, f.target(), f.profile());
  EXPECT_EQ(ChangedPixels(before, f), 0);
  // An infinite radius covers the clip rectangle and nothing more.
  RoundStamp(25.0f, 20.0f, kInf, f.target(), f.profile());
  EXPECT_EQ(Red(f, 0, 0), 255);
  EXPECT_EQ(Red(f, 49, 39), 255);
}

TEST(RoundStamp, LeavesAlphaAndNeverDarkens) {
  TestFrame f(80, 60, 40.0f, 30.0f, 1.0f, 0, 77);
  uint8_t* p = f.Pixel(0, 0);
  for (size_t i = 0; i < f.bytes().size(); ++i) {
    if (i % 4 != 0) p[i] = static_cast<uint8_t>(i * 37 % 251);
  }
  const TestFrame before = f;
  FillTestProfile(f.profile());
  RoundStamp(37.3f, 28.9f, 25.0f, f.target(), f.profile());
  WideRoundStamp(41.6f, 30.2f, 20.0f, f.target(), f.profile());
  for (size_t i = 0; i < f.bytes().size(); ++i) {
    if (i % 4 == 0) {
      ASSERT_EQ(f.bytes()[i], 77);
    } else {
      ASSERT_GE(f.bytes()[i], before.bytes()[i]);
    }
  }
  EXPECT_NE(ChangedPixels(before, f), 0);
}

TEST(RoundStamp, PackedRgbPixels) {
  // A three-byte tile whose rows are padded: only colour bytes of the clip
  // rectangle change.
  TestFrame profiles(64, 48, 32.0f, 24.0f);
  RenderTarget t = profiles.target();
  ProfileStore& store = profiles.profile();
  FillConstantProfile(store, 128);
  std::vector<uint8_t> tile(16 * 35 + 5, 0);  // 10 x 16 pixels, row bytes 35
  t.pixels = tile.data();
  t.bytesPerPixel = 3;
  t.rowBytes = 35;
  t.clip.left = 5;
  t.clip.right = 15;
  t.clip.top = 2;
  t.clip.bottom = 18;
  RoundStamp(10.0f, 10.0f, 100.0f, t, store);
  for (size_t i = 0; i < tile.size(); ++i) {
    const bool colour = i < 16 * 35 && i % 35 < 30;
    ASSERT_EQ(tile[i], colour ? 128 : 0) << i;
  }
}

// TaperedEllipseStamp with rotation 0: v runs down the rows, u across the
// columns, both in quarter pixels from the centre.
class EllipseStampTest : public ::testing::Test {
 protected:
  EllipseStampTest() { FillConstantProfile(f.profile(), 255); }
  TestFrame f{200, 200, 100.0f, 100.0f};
};

TEST_F(EllipseStampTest, WithoutTaperItIsARoundDisc) {
  FillTestProfile(f.profile());
  TaperedEllipseStamp(f.target(), f.profile(), 100.0f, 100.0f, 60.0f, 1.0f, 0.0f, 0.0f, 0.0f,
                      false);
  // (255 x p) >> 8 for profile value p at 4 x distance.
  EXPECT_EQ(Red(f, 100, 100), (255 * 255) >> 8);
  EXPECT_EQ(Red(f, 110, 100), (255 * 215) >> 8);
  EXPECT_EQ(Red(f, 100, 90), (255 * 215) >> 8);
  EXPECT_EQ(Red(f, 90, 100), Red(f, 110, 100));
  EXPECT_EQ(Red(f, 100, 110), Red(f, 100, 90));
}

// The taper table's entry for v = 4 x row (the rows of an integer centre).
int TaperEntry(int h, int q, float taper) {
  const float along = static_cast<float>(q + 2 * h) / static_cast<float>(4 * h);
  const int v = static_cast<int>(255.0f - along * taper * 255.0f);
  return v < 0 ? 0 : (v > 255 ? 255 : v);
}

TEST_F(EllipseStampTest, TaperTableAtHalfAFrameWidth) {
  // Radius 20: h = 30, taper 1.0 (f = 0.5) and aspect 0.833.
  const float aspect = (1.0f - 0.5f + 2.0f) / 3.0f;
  TaperedEllipseStamp(f.target(), f.profile(), 100.0f, 100.0f, 20.0f, aspect, 0.0f, 1.0f, 0.0f,
                      false);
  const int h = 30;
  // Rows from the top: q = 4 x row, held at -2h above and at 2h - 2 below.
  EXPECT_EQ(Red(f, 100, 100 - h), 254);  // first entry 255
  EXPECT_EQ(Red(f, 100, 100 - 15), (255 * TaperEntry(h, -60, 1.0f)) >> 8);
  EXPECT_EQ(Red(f, 100, 100), (255 * TaperEntry(h, 0, 1.0f)) >> 8);
  EXPECT_EQ(Red(f, 100, 100 + 7), (255 * TaperEntry(h, 28, 1.0f)) >> 8);
  EXPECT_EQ(Red(f, 100, 100 + h - 1), (255 * TaperEntry(h, 2 * h - 2, 1.0f)) >> 8);
  EXPECT_EQ(TaperEntry(h, 2 * h - 1, 1.0f), 255 / (4 * h));
  // Monotone fade down the column, 2h rows tall, 2h columns wide.
  for (int y = 100 - h; y < 100 + h - 1; ++y) ASSERT_GE(Red(f, 100, y), Red(f, 100, y + 1));
  EXPECT_EQ(Red(f, 100, 100 - h - 1), 0);
  EXPECT_EQ(Red(f, 100, 100 + h), 0);
  EXPECT_EQ(Red(f, 100 - h, 100 - h), 254);
  EXPECT_EQ(Red(f, 100 - h - 1, 100 - h), 0);
  EXPECT_EQ(Red(f, 100 + h, 100 - h), 0);
}

TEST_F(EllipseStampTest, TaperAtTheFrameCentreIsFlat) {
  TaperedEllipseStamp(f.target(), f.profile(), 100.0f, 100.0f, 20.0f, 1.0f, 0.0f, 0.0f, 0.0f,
                      false);
  for (int y = 70; y < 130; ++y) ASSERT_EQ(Red(f, 100, y), 254) << y;
}

TEST_F(EllipseStampTest, NegativeTaperFadesTheOtherSide) {
  TestFrame g(200, 200, 100.0f, 100.0f);
  FillConstantProfile(g.profile(), 255);
  TaperedEllipseStamp(f.target(), f.profile(), 100.0f, 100.0f, 20.0f, 1.0f, 0.0f, 1.0f, 0.0f,
                      false);
  TaperedEllipseStamp(g.target(), g.profile(), 100.0f, 100.0f, 20.0f, 1.0f, 0.0f, -1.0f, 0.0f,
                      false);
  EXPECT_GT(Red(f, 100, 75), Red(f, 100, 125));
  EXPECT_LT(Red(g, 100, 75), Red(g, 100, 125));
  EXPECT_EQ(Red(g, 100, 70), 0);
  EXPECT_EQ(Red(g, 100, 129), (255 * 250) >> 8);  // entry 2h - 2, from the far end
}

TEST_F(EllipseStampTest, TaperStartOfOneActsAsZero) {
  TestFrame g(200, 200, 100.0f, 100.0f);
  FillConstantProfile(g.profile(), 255);
  TaperedEllipseStamp(f.target(), f.profile(), 100.0f, 100.0f, 20.0f, 1.0f, 0.0f, 0.7f, 1.0f,
                      false);
  TaperedEllipseStamp(g.target(), g.profile(), 100.0f, 100.0f, 20.0f, 1.0f, 0.0f, 0.7f, 0.0f,
                      false);
  EXPECT_EQ(f.bytes(), g.bytes());
}

TEST_F(EllipseStampTest, AnamorphicBoxIsTwiceAsWide) {
  TaperedEllipseStamp(f.target(), f.profile(), 100.0f, 100.0f, 20.0f, 1.0f, 0.0f, 0.0f, 0.0f, true);
  // h = 30: columns -60..59, rows -30..29.
  EXPECT_EQ(Red(f, 40, 100), 254);
  EXPECT_EQ(Red(f, 39, 100), 0);
  EXPECT_EQ(Red(f, 159, 100), 254);
  EXPECT_EQ(Red(f, 160, 100), 0);
  EXPECT_EQ(Red(f, 100, 70), 254);
  EXPECT_EQ(Red(f, 100, 69), 0);
}

TEST_F(EllipseStampTest, RadiusBelowFourIsFour) {
  TaperedEllipseStamp(f.target(), f.profile(), 100.0f, 100.0f, 0.5f, 1.0f, 0.0f, 0.0f, 0.0f, false);
  // h = 6.
  EXPECT_EQ(Red(f, 94, 94), 254);
  EXPECT_EQ(Red(f, 93, 100), 0);
  EXPECT_EQ(Red(f, 105, 105), 254);
  EXPECT_EQ(Red(f, 106, 100), 0);
}

TEST_F(EllipseStampTest, PlainEllipseStampTakesTheProfileValue) {
  FillConstantProfile(f.profile(), 200);
  EllipseStamp(f.target(), f.profile(), 100.0f, 100.0f, 20.0f, 0.8f, 33.0f, false);
  EXPECT_EQ(Red(f, 100, 100), 200);
  EXPECT_EQ(Red(f, 70, 70), 200);
  EXPECT_EQ(Red(f, 69, 70), 0);
}

TEST_F(EllipseStampTest, BadGeometryDrawsNothing) {
  const TestFrame before = f;
  RenderTarget& t = f.target();
  ProfileStore& store = f.profile();
  for (float v : {kNaN, kInf, -kInf}) {
    TaperedEllipseStamp(t, store, v, 100.0f, 20.0f, 1.0f, 0.0f, 0.5f, 0.0f, false);
    TaperedEllipseStamp(t, store, 100.0f, v, 20.0f, 1.0f, 0.0f, 0.5f, 0.0f, true);
    TaperedEllipseStamp(t, store, 100.0f, 100.0f, 20.0f, 1.0f, v, 0.5f, 0.0f, false);
    TaperedEllipseStamp(t, store, 100.0f, 100.0f, 20.0f, kNaN, 0.0f, 0.5f, 0.0f, false);
    EllipseStamp(t, store, v, 100.0f, 20.0f, 1.0f, 0.0f, false);
    EllipseStamp(t, store, 100.0f, 100.0f, 20.0f, 1.0f, v, true);
    CausticStamp(t, store, v, 100.0f, 20.0f, 0.5f, 0.5f, 0.0f, 0.5f, 0.5f, false);
    CausticStamp(t, store, 100.0f, 100.0f, 20.0f, 0.5f, 0.5f, v, 0.5f, 0.5f, true);
  }
  // Half-sizes past 16 bits, NaN radii, centres far outside the frame.
  for (float r : {21846.0f, 1e30f, kInf, kNaN}) {
    TaperedEllipseStamp(t, store, 100.0f, 100.0f, r, 1.0f, 0.0f, 0.0f, 0.0f, true);
    EllipseStamp(t, store, 100.0f, 100.0f, r, 1.0f, 0.0f, true);
    CausticStamp(t, store, 100.0f, 100.0f, r, 0.5f, 0.5f, 0.0f, 0.5f, 0.5f, true);
  }
  for (float c : {-1e9f, 3e9f, 1e30f, -1e30f}) {
    TaperedEllipseStamp(t, store, c, c, 20000.0f, 1.0f, 0.0f, 0.0f, 0.0f, true);
    EllipseStamp(t, store, c, 100.0f, 20000.0f, 1.0f, 0.0f, true);
    CausticStamp(t, store, 100.0f, c, 20000.0f, 0.5f, 0.5f, 0.0f, 0.5f, 0.5f, true);
  }
  EXPECT_EQ(ChangedPixels(before, f), 0);
  // The largest half-size that fits still draws, cut at the frame.
  EllipseStamp(t, store, 100.0f, 100.0f, 21844.0f, 1.0f, 0.0f, false);
  EXPECT_EQ(Red(f, 0, 0), 255);
}

TEST_F(EllipseStampTest, WritesOnlyInsideTheClipRectangle) {
  const TestFrame before = f;
  f.SetClip(90, 91, 50, 150);
  for (bool wide : {false, true}) {
    TaperedEllipseStamp(f.target(), f.profile(), 97.5f, 93.2f, 60.0f, 0.8f, 40.0f, 0.6f, 0.0f,
                        wide);
    EllipseStamp(f.target(), f.profile(), 103.1f, 88.7f, 60.0f, 0.7f, -20.0f, wide);
    CausticStamp(f.target(), f.profile(), 100.0f, 100.0f, 60.0f, 0.7f, 0.3f, 10.0f, 0.3f, 0.5f,
                 wide);
  }
  EXPECT_EQ(ChangedOutside(before, f, 90, 91, 50, 150), 0);
  EXPECT_EQ(Red(f, 50, 90), 255);
}

TEST_F(EllipseStampTest, CausticWithoutStripesTakesTheWeightedProfile) {
  FillConstantProfile(f.profile(), 200);
  CausticStamp(f.target(), f.profile(), 100.0f, 100.0f, 20.0f, 0.75f, 0.3f, 0.0f, 0.0f, 0.5f,
               false);
  // Every box pixel reads at most 512 samples out: all of them 200 here.
  EXPECT_EQ(Red(f, 100, 100), (200 * 255) >> 8);
  EXPECT_EQ(Red(f, 70, 70), (200 * 255) >> 8);
  EXPECT_EQ(Red(f, 69, 70), 0);
  EXPECT_EQ(Red(f, 130, 100), 0);
}

TEST_F(EllipseStampTest, CausticStripesStayInRange) {
  // A stripe depth above 1 would make the weight negative between stripes;
  // such pixels are left alone instead of wrapping to a bright value.
  FillConstantProfile(f.profile(), 200);
  CausticStamp(f.target(), f.profile(), 100.0f, 100.0f, 40.0f, 0.75f, 0.3f, 0.0f, 2.0f, 0.5f,
               false);
  int lit = 0;
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 200; ++x) {
      ASSERT_LE(Red(f, x, y), (200 * 255) >> 8) << x << "," << y;
      lit += Red(f, x, y) > 0;
    }
  }
  EXPECT_GT(lit, 0);
}

TEST_F(EllipseStampTest, CausticIsBentByItsBend) {
  // Profile: 255 within 128 samples (half a size unit), then 0.
  for (int i = 0; i < f.profile().length(); ++i) {
    f.profile().red()[i] = i < 128 ? 255 : 0;
  }
  TestFrame straight(200, 200, 100.0f, 100.0f);
  std::memcpy(straight.profile().red(), f.profile().red(), f.profile().length());
  f.profile().ExtendToLength();
  straight.profile().ExtendToLength();
  CausticStamp(f.target(), f.profile(), 100.0f, 100.0f, 40.0f, 0.8f, 0.0f, 0.0f, 0.0f, 0.0f, false);
  CausticStamp(straight.target(), straight.profile(), 100.0f, 100.0f, 40.0f, 0.0f, 0.0f, 0.0f, 0.0f,
               0.0f, false);
  // Unbent and unpinched the lit patch is a disc of half the size: 20 pixels.
  EXPECT_GT(Red(straight, 119, 100), 0);
  EXPECT_EQ(Red(straight, 121, 100), 0);
  EXPECT_GT(Red(straight, 80, 100), 0);
  EXPECT_NE(f.bytes(), straight.bytes());
}

}  // namespace
}  // namespace gw
