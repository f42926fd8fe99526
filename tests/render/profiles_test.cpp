// Radial profile builders and the power curve, against the numbers they are
// defined by.
#include "render/profiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "render/numeric.h"
#include "tests/support/test_frame.h"

namespace gw {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// Channel sample i of red, green and blue.
struct Sample {
  int r, g, b;
};
Sample At(ProfileStore& store, int i) {
  return {store.red()[i], store.green()[i], store.blue()[i]};
}

// Fills every profile buffer, including the ten bytes past profileLength, with v.
void FillProfiles(ProfileStore& p, uint8_t v) {
  const size_t n = static_cast<size_t>(p.length()) + 10;
  for (uint8_t* c : {p.red(), p.green(), p.blue(), p.scratch()}) std::memset(c, v, n);
  p.ExtendToLength();
}

std::vector<uint8_t> Channel(ProfileStore& store, const uint8_t* c) {
  return std::vector<uint8_t>(c, c + store.length());
}

Peaks Grey(int16_t v) { return {v, v, v}; }

class ProfileTest : public ::testing::Test {
 protected:
  TestFrame frame{64, 48, 32.0f, 24.0f};  // profileLength 3830
  RenderTarget& t = frame.target();
  ProfileStore& store = frame.profile();
};

TEST_F(ProfileTest, GlowProfileOfRadiusTenFallsQuadratically) {
  FillProfiles(store, 0xAB);
  GlowProfile(10.0f, Grey(255), ProfileBlend::Replace, t, store);
  EXPECT_EQ(At(store, 0).r, 242);
  for (int i = 0; i < 40; ++i) {
    const int expected = (255 * (39 - i) * (39 - i)) / 1600;
    ASSERT_EQ(At(store, i).r, expected) << "sample " << i;
    ASSERT_EQ(At(store, i).g, expected);
    ASSERT_EQ(At(store, i).b, expected);
  }
  for (int i = 40; i < store.length(); ++i) ASSERT_EQ(At(store, i).g, 0) << "sample " << i;
}

TEST_F(ProfileTest, GlowProfileRadiusBelowTwoActsAsTwo) {
  GlowProfile(1.0f, {200, 100, 50}, ProfileBlend::Replace, t, store);
  const std::vector<uint8_t> small = Channel(store, store.red());
  GlowProfile(2.0f, {200, 100, 50}, ProfileBlend::Replace, t, store);
  EXPECT_EQ(small, Channel(store, store.red()));
  EXPECT_GT(small[0], 0);
  EXPECT_EQ(small[8], 0);  // 8 samples: two pixels
  // A NaN radius takes the minimum too.
  GlowProfile(kNaN, {200, 100, 50}, ProfileBlend::Replace, t, store);
  EXPECT_EQ(small, Channel(store, store.red()));
}

TEST_F(ProfileTest, GlowProfileScreensInFloatingPoint) {
  FillProfiles(store, 100);
  GlowProfile(10.0f, Grey(255), ProfileBlend::Screen, t, store);
  // v = 255 x 39^2 / 1600 at the centre.
  const float v = 255.0f * (39.0f * 39.0f / 40.0f) / 40.0f;
  EXPECT_EQ(At(store, 0).r, static_cast<int>(255.0f - 155.0f * (255.0f - v) / 255.0f));
  EXPECT_EQ(At(store, 39).r, 100);  // v = 0 there: unchanged
  EXPECT_EQ(At(store, 40).r, 100);  // beyond the shape: untouched
}

TEST_F(ProfileTest, PeaksAboveFullSaturateEarlier) {
  GlowProfile(10.0f, Grey(280), ProfileBlend::Replace, t, store);
  EXPECT_EQ(At(store, 0).r, 255);  // 280 x 39^2 / 1600 = 266
  EXPECT_EQ(At(store, 1).r, 252);  // 280 x 38^2 / 1600
  GlowProfile(10.0f, Grey(255), ProfileBlend::Replace, t, store);
  EXPECT_EQ(At(store, 0).r, 242);
}

TEST_F(ProfileTest, DiscProfileIsFlatWithALinearEdge) {
  FillProfiles(store, 0xAB);
  DiscProfile(10.0f, {200, 100, 0}, ProfileBlend::Replace, 8, t, store);
  // 255 x 200 / 256 over the inner part, a ramp of 32 per sample over the
  // last 8 samples.
  for (int i = 0; i <= 32; ++i) ASSERT_EQ(At(store, i).r, 199) << i;
  EXPECT_EQ(At(store, 36).r, 200 * 127 / 256);
  EXPECT_EQ(At(store, 39).r, 200 * 31 / 256);
  EXPECT_EQ(At(store, 20).g, 99);
  EXPECT_EQ(At(store, 20).b, 0);
  EXPECT_EQ(At(store, 40).r, 0);
}

TEST_F(ProfileTest, DiscEdgeReachesZeroWhateverItsWidth) {
  // 256 / 250 is no whole number: the ramp still ends at 0.
  DiscProfile(120.0f, Grey(255), ProfileBlend::Replace, 250, t, store);
  EXPECT_EQ(At(store, 230).r, 254);
  EXPECT_EQ(At(store, 479).r, 0);
  EXPECT_NEAR(At(store, 355).r, 127, 1);
  // An edge under 4 samples is 4.
  DiscProfile(10.0f, Grey(255), ProfileBlend::Replace, 1, t, store);
  const std::vector<uint8_t> narrow = Channel(store, store.red());
  DiscProfile(10.0f, Grey(255), ProfileBlend::Replace, 4, t, store);
  EXPECT_EQ(narrow, Channel(store, store.red()));
}

TEST_F(ProfileTest, DiscProfileScreensThroughTheTable) {
  FillProfiles(store, 128);
  DiscProfile(10.0f, Grey(256), ProfileBlend::Screen, 8, t, store);
  EXPECT_EQ(At(store, 0).r, 255);  // v = 255 screened over anything
  DiscProfile(10.0f, Grey(128), ProfileBlend::Screen, 8, t, store);
  EXPECT_EQ(At(store, 40).r, 128);
  FillProfiles(store, 128);
  DiscProfile(10.0f, Grey(129), ProfileBlend::Screen, 8, t, store);  // v = 128.5 -> 128
  EXPECT_EQ(At(store, 0).r, 192);
}

TEST_F(ProfileTest, RingProfileIsATentEndingAtTheRadius) {
  FillProfiles(store, 0xAB);
  RingProfile(10.0f, Grey(256), ProfileBlend::Replace, 8, t, store);
  // Crest at sample 40 - 8, reaching 0 eight samples either side.
  EXPECT_EQ(At(store, 32).r, 255);
  EXPECT_EQ(At(store, 28).r, 127);
  EXPECT_EQ(At(store, 36).r, 127);
  EXPECT_EQ(At(store, 24).r, 0);
  EXPECT_EQ(At(store, 0).r, 0);  // no floor inside the ring
  EXPECT_EQ(At(store, 40).r, 0);
}

TEST_F(ProfileTest, RingProfileWidthTwoActsAsFour) {
  RingProfile(10.0f, {255, 128, 64}, ProfileBlend::Replace, 2, t, store);
  const std::vector<uint8_t> narrow = Channel(store, store.green());
  RingProfile(10.0f, {255, 128, 64}, ProfileBlend::Replace, 4, t, store);
  EXPECT_EQ(narrow, Channel(store, store.green()));
  // Ring width 33 does not divide 256: the tent still has no floor.
  RingProfile(30.0f, Grey(255), ProfileBlend::Replace, 33, t, store);
  EXPECT_EQ(At(store, 0).r, 0);
  EXPECT_EQ(At(store, 120 - 33 - 33).r, 0);
}

// The box blur as it is defined, sample by sample.
std::vector<uint8_t> NaiveBlur(const std::vector<uint8_t>& in, int half, int n) {
  std::vector<uint8_t> out = in;
  const int length = static_cast<int>(in.size());
  for (int i = 0; i < n; ++i) {
    int sum = 0, count = 0;
    for (int j = -half; j < half; ++j) {
      if (i + j >= 0 && i + j < length) {
        sum += in[i + j];
        ++count;
      }
    }
    if (count > 0) out[i] = static_cast<uint8_t>(sum / count);
  }
  return out;
}

TEST_F(ProfileTest, BlurProfileAveragesAWindowLongerOnTheInnerSide) {
  FillProfiles(store, 0);
  store.red()[100] = 255;
  BlurProfile(2, 100.0f, t, store);
  // Sample 100 lies in the windows [i - 2, i + 1] of samples 99..102.
  EXPECT_EQ(At(store, 98).r, 0);
  for (int i = 99; i <= 102; ++i) EXPECT_EQ(At(store, i).r, 63) << i;
  EXPECT_EQ(At(store, 103).r, 0);

  FillProfiles(store, 0);
  store.green()[0] = 200;
  BlurProfile(2, 100.0f, t, store);
  EXPECT_EQ(At(store, 0).g, 100);  // window cut to samples 0..1
  EXPECT_EQ(At(store, 1).g, 66);
  EXPECT_EQ(At(store, 2).g, 50);
  EXPECT_EQ(At(store, 3).g, 0);
}

TEST_F(ProfileTest, BlurProfileMatchesTheDefinitionEverywhere) {
  uint32_t seed = 12345;
  for (int trial = 0; trial < 12; ++trial) {
    for (int i = 0; i < store.length() + 10; ++i) {
      seed = seed * 1103515245u + 12345u;
      store.blue()[i] = static_cast<uint8_t>(seed >> 24);
    }
    const std::vector<uint8_t> before = Channel(store, store.blue());
    const int half = 1 + trial * 37;
    const float extent = trial == 11 ? 1e9f : 40.0f * trial;
    const int n = std::min(TruncToInt((static_cast<float>(half) + extent) * 4.0f), store.length());
    BlurProfile(half, extent, t, store);
    ASSERT_EQ(Channel(store, store.blue()), NaiveBlur(before, half, n)) << "half " << half;
  }
}

TEST_F(ProfileTest, BlurProfileWithHalfBelowOneChangesNothing) {
  GlowProfile(50.0f, {255, 100, 20}, ProfileBlend::Replace, t, store);
  const std::vector<uint8_t> before = Channel(store, store.red());
  BlurProfile(0, 50.0f, t, store);
  BlurProfile(-5, 50.0f, t, store);
  EXPECT_EQ(before, Channel(store, store.red()));
  // Samples from (half + extent) x 4 on are untouched.
  BlurProfile(10, 20.0f, t, store);
  EXPECT_NE(before, Channel(store, store.red()));
  for (int i = 120; i < store.length(); ++i) ASSERT_EQ(store.red()[i], before[i]);
}

TEST(PowerCurve, LogTableEntries) {
  const auto& log = LogTable();
  EXPECT_EQ(log[0], 65535);
  EXPECT_EQ(log[1], 60495);
  EXPECT_EQ(log[2], 55454);
  EXPECT_EQ(log[1024], 10082);
  EXPECT_EQ(log[2048], 5041);
  EXPECT_EQ(log[4096], 0);
  for (int i = 1; i < 4096; ++i) ASSERT_GE(log[i], log[i + 1]);
}

TEST(PowerCurve, KnownValues) {
  EXPECT_EQ(PowerCurve(2048, 180, 90), 1024);
  for (int k : {0, 1, 90, 180, 270, 1000, 32767}) EXPECT_EQ(PowerCurve(4096, k, 90), 4096) << k;
  EXPECT_EQ(PowerCurve(1, 90, 90), 1);
  EXPECT_EQ(PowerCurve(0, 90, 90), 0);
  EXPECT_EQ(PowerCurve(2048, 90, 90), 2048);
  EXPECT_EQ(PowerCurve(1024, 45, 90), 2048);  // square root
  EXPECT_EQ(PowerCurve(2048, 0, 90), 4096);   // exponent 0: full
  EXPECT_EQ(PowerCurve(16, 32767, 90), 0);    // vanishingly small
}

TEST(PowerCurve, OutOfRangeArgumentsStayInRange) {
  // A negative exponent is a power above 1: saturated, not wrapped.
  EXPECT_EQ(PowerCurve(2048, -90, 90), 4096);
  EXPECT_EQ(PowerCurve(100, -32768, 300), 4096);
  EXPECT_EQ(PowerCurve(-5, 90, 90), 0);
  EXPECT_EQ(PowerCurve(99999, 90, 90), 4096);
  EXPECT_EQ(PowerCurve(2048, 90, 0), 2048);
  for (int x = 0; x <= 4096; x += 17) {
    for (int num : {-32768, -1, 1, 300, 32767}) {
      for (int den : {-300, 1, 300, 32767}) {
        const int y = PowerCurve(x, num, den);
        ASSERT_GE(y, 0);
        ASSERT_LE(y, 4096);
      }
    }
  }
}

TEST_F(ProfileTest, GammaThreeHundredOverThreeHundredIsNearIdentity) {
  for (int i = 0; i < 256; ++i) store.red()[i] = store.green()[i] = store.blue()[i] = i;
  GammaProfile(300, 300, t, store);
  for (int i = 0; i < 256; ++i) {
    ASSERT_NEAR(At(store, i).r, i, 1) << i;
    ASSERT_EQ(At(store, i).g, At(store, i).r);
  }
  EXPECT_EQ(At(store, 0).r, 0);
  EXPECT_EQ(At(store, 255).r, 255);
}

TEST_F(ProfileTest, GammaReshapesEverySample) {
  FillProfiles(store, 128);
  GammaProfile(600, 300, t, store);  // squares
  EXPECT_NEAR(At(store, 0).r, 64, 1);
  EXPECT_NEAR(At(store, store.length() - 1).b, 64, 1);
  EXPECT_EQ(store.red()[store.length()], 128);  // nothing past the profile
  FillProfiles(store, 128);
  GammaProfile(500, 300, t, store);  // the GlowBall's default darkens
  EXPECT_LT(At(store, 0).r, 128);
}

TEST_F(ProfileTest, BowlRisesWithTheSquareToItsPeak) {
  FillProfiles(store, 0xAB);
  BowlProfile(10.0f, {124, 66, 20}, t, store);
  const int m = 32;  // 10 x 4 - 8
  EXPECT_EQ(At(store, 0).r, 0);  // 124 / 1024: above 0, truncated
  EXPECT_EQ(At(store, m - 1).r, 124);
  EXPECT_EQ(At(store, m - 1).g, 66);
  EXPECT_EQ(At(store, m - 1).b, 20);
  EXPECT_EQ(At(store, 15).r, static_cast<int>(124.0f * (256.0f / 32.0f) / 32.0f));
  // Then the disc's two-pixel edge falls to 0.
  EXPECT_LT(At(store, 36).r, At(store, 32).r);
  EXPECT_EQ(At(store, 40).r, 0);
}

TEST_F(ProfileTest, BowlOfNoColourHoldsOnes) {
  BowlProfile(70.0f, Grey(0), t, store);
  EXPECT_EQ(At(store, 0).r, 1);
  EXPECT_EQ(At(store, 271).b, 1);
  EXPECT_EQ(At(store, 279).g, 0);  // the disc's edge, from the disc itself
}

// RampProfile in samples of a quarter pixel; colour (200, 100, 40) and the
// linear curve 90 / 90 unless a test says otherwise.
class RampTest : public ProfileTest {
 protected:
  void Ramp(float inner, float band, float outer, float hole, int num = 90) {
    RampProfile(inner, band, outer, hole, {200, 100, 40}, ProfileBlend::Replace, num, 90, t, store);
  }
};

TEST_F(RampTest, OuterRampOnlyFallsFromFullColour) {
  FillProfiles(store, 0xAB);
  Ramp(0.0f, 0.0f, 25.0f, 0.0f);  // 100 samples
  EXPECT_EQ(At(store, 0).r, 200);
  EXPECT_EQ(At(store, 0).g, 100);
  EXPECT_NEAR(At(store, 50).r, 100, 1);
  EXPECT_NEAR(At(store, 75).g, 25, 1);
  EXPECT_LE(At(store, 99).r, 2);
  for (int i = 100; i < store.length(); ++i) ASSERT_EQ(At(store, i).r, 0) << i;
}

TEST_F(RampTest, HoleBandAndRamps) {
  Ramp(2.0f, 3.0f, 4.0f, 5.0f);
  // hole 0..19, inner 20..27, band 28..39, outer 40..55.
  for (int i = 0; i < 20; ++i) ASSERT_EQ(At(store, i).r, 0) << i;
  EXPECT_EQ(At(store, 20).r, 0);  // t = 0
  EXPECT_EQ(At(store, 24).r, 100);
  for (int i = 28; i < 40; ++i) ASSERT_EQ(At(store, i).r, 200) << i;
  EXPECT_EQ(At(store, 40).r, 200);
  EXPECT_NEAR(At(store, 48).r, 100, 1);
  EXPECT_EQ(At(store, 56).r, 0);
}

TEST_F(RampTest, NarrowRampsWidenToOnePixel) {
  // An outer ramp under a pixel (or 0) becomes 4 samples.
  Ramp(0.0f, 0.0f, 0.0f, 0.0f);
  const std::vector<uint8_t> zero = Channel(store, store.red());
  Ramp(0.0f, 0.0f, 1.0f, 0.0f);
  EXPECT_EQ(zero, Channel(store, store.red()));
  EXPECT_EQ(zero[0], 200);
  EXPECT_EQ(zero[2], 100);
  EXPECT_EQ(zero[4], 0);
  // Without a hole an inner ramp under a pixel stays 0: full colour at once.
  Ramp(0.1f, 1.0f, 1.0f, 0.0f);
  EXPECT_EQ(At(store, 0).r, 200);
  // With one it is widened to a pixel.
  Ramp(0.1f, 1.0f, 1.0f, 2.0f);
  EXPECT_EQ(At(store, 7).r, 0);
  EXPECT_EQ(At(store, 8).r, 0);
  EXPECT_EQ(At(store, 10).r, 100);
  EXPECT_EQ(At(store, 12).r, 200);
}

TEST_F(RampTest, NegativeHoleIsNoHole) {
  Ramp(0.0f, 2.0f, 4.0f, 0.0f);
  const std::vector<uint8_t> none = Channel(store, store.red());
  Ramp(0.0f, 2.0f, 4.0f, -3.0f);
  EXPECT_EQ(none, Channel(store, store.red()));
}

TEST_F(RampTest, CurveExponents) {
  // (angle + 180) / 90: -90 linear, 0 square, 180 fourth power.
  Ramp(0.0f, 0.0f, 25.0f, 0.0f, 180);
  EXPECT_NEAR(At(store, 50).r, 50, 1);
  Ramp(0.0f, 0.0f, 25.0f, 0.0f, 360);
  EXPECT_NEAR(At(store, 50).r, 12, 1);
  // Numerator 0: every ramp sample with t > 0 at full colour, a hard step.
  Ramp(5.0f, 0.0f, 5.0f, 5.0f, 0);
  EXPECT_EQ(At(store, 20).r, 0);
  EXPECT_EQ(At(store, 21).r, 200);
  EXPECT_EQ(At(store, 59).r, 200);
  EXPECT_EQ(At(store, 60).r, 0);
}

TEST_F(RampTest, PeaksAreClampedPerSample) {
  RampProfile(0.0f, 5.0f, 5.0f, 0.0f, {1000, -50, 255}, ProfileBlend::Replace, 90, 90, t, store);
  EXPECT_EQ(At(store, 0).r, 255);
  EXPECT_EQ(At(store, 0).g, 0);
  EXPECT_EQ(At(store, 0).b, 255);
  EXPECT_EQ(At(store, 30).r, 255);  // 1000 x 0.5 saturates
}

TEST_F(RampTest, ScreenModeScreensThroughTheTable) {
  FillProfiles(store, 128);
  RampProfile(0.0f, 5.0f, 5.0f, 0.0f, Grey(128), ProfileBlend::Screen, 90, 90, t, store);
  EXPECT_EQ(At(store, 0).r, 192);
  EXPECT_EQ(At(store, 100).r, 128);  // beyond the bands: untouched
}

// No builder writes at or past profileLength, whatever its arguments.
TEST(ProfileBounds, BuildersStayInsideTheProfile) {
  TestFrame frame(4, 4, 2.0f, 2.0f);  // profileLength 230
  RenderTarget& t = frame.target();
  ProfileStore& store = frame.profile();
  ASSERT_EQ(store.length(), 230);
  const auto guardIntact = [&store] {
    for (const uint8_t* c : {store.red(), store.green(), store.blue(), store.scratch()}) {
      for (int i = store.length(); i < store.length() + 10; ++i) {
        if (c[i] != 0x5A) return false;
      }
    }
    return true;
  };
  for (float radius : {0.0f, 3.0f, 57.0f, 1e6f, 1e30f, kInf, -kInf, kNaN, -5.0f}) {
    for (ProfileBlend mode : {ProfileBlend::Replace, ProfileBlend::Screen}) {
      FillProfiles(store, 0x5A);
      GlowProfile(radius, Grey(300), mode, t, store);
      DiscProfile(radius, Grey(300), mode, 2147483647, t, store);
      DiscProfile(radius, Grey(300), mode, -7, t, store);
      RingProfile(radius, Grey(-300), mode, 100000, t, store);
      BlurProfile(2147483647, radius, t, store);
      BlurProfile(3, radius, t, store);
      BowlProfile(radius, Grey(32767), t, store);
      RampProfile(radius, radius, radius, radius, Grey(32767), mode, 270, 90, t, store);
      RampProfile(-radius, 1e20f, radius, -radius, Grey(-32768), mode, -32768, 90, t, store);
      GammaProfile(-32768, 300, t, store);
      ASSERT_TRUE(guardIntact()) << "radius " << radius;
    }
  }
}

TEST(ProfileBounds, NoProfileAtAllIsNeverWritten) {
  // A target scale of 0 leaves no profile samples at all.
  TestFrame frame(16, 16, 8.0f, 8.0f, 0.0f);
  RenderTarget& t = frame.target();
  ProfileStore& store = frame.profile();
  ASSERT_LE(store.length(), 0);
  GlowProfile(10.0f, Grey(255), ProfileBlend::Replace, t, store);
  DiscProfile(10.0f, Grey(255), ProfileBlend::Screen, 8, t, store);
  RingProfile(10.0f, Grey(255), ProfileBlend::Replace, 8, t, store);
  BlurProfile(4, 10.0f, t, store);
  GammaProfile(500, 300, t, store);
  BowlProfile(10.0f, Grey(255), t, store);
  RampProfile(1.0f, 1.0f, 1.0f, 1.0f, Grey(255), ProfileBlend::Replace, 90, 90, t, store);
  SUCCEED();  // the sanitizers watch the buffers
}

}  // namespace
}  // namespace gw
