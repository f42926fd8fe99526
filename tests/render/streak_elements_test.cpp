// StarFilter, SpikeBall, RandomFan (with FanOfStreaks), Stripe and Sparkle:
// the streaks each draws, and the pixels they leave.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "lens/lens.h"
#include "render/draw_lens.h"
#include "render/elements/elements.h"
#include "render/elements/streak_elements.h"
#include "render/numeric.h"
#include "tests/support/test_frame.h"

namespace gw {
namespace {

float Length(const Streak& s) { return std::hypot(s.x1 - s.x0, s.y1 - s.y0); }

// Direction of a streak as an angle a in the ray convention (-sin a, cos a).
float RayAngle(const Streak& s) { return std::atan2(-(s.x1 - s.x0), s.y1 - s.y0); }

// Difference of two angles, wrapped to -pi..pi.
float AngleBetween(float a, float b) { return std::remainder(a - b, 6.283185307179586f); }

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// ---------------------------------------------------------------- StarFilter

TEST(StarFilterTest, DefaultHasTwelveRaysOf110PixelsEachEightStreaksOver014Radians) {
  TestFrame frame(640, 360, 200.0f, 150.0f);
  const std::vector<Streak> s =
      RecordStreaks(StarFilterStreaks, DefaultElement(ElementType::StarFilter), frame.target());
  ASSERT_EQ(s.size(), 96u);
  // base 1.5, element brightness 2: colour 3 / 52 per channel.
  const float expectedColour = 1.5f * 2.0f / 52.0f;
  for (size_t i = 0; i < s.size(); ++i) {
    EXPECT_FLOAT_EQ(s[i].x0, 200.0f);
    EXPECT_FLOAT_EQ(s[i].y0, 150.0f);
    EXPECT_NEAR(Length(s[i]), 110.0f, 1e-3f) << i;
    EXPECT_FLOAT_EQ(s[i].red, expectedColour);
    EXPECT_FLOAT_EQ(s[i].blue, expectedColour);
    EXPECT_EQ(s[i].anchor, StreakAnchor::Start);
    EXPECT_FLOAT_EQ(s[i].thickness, 1.8f);
  }
  for (int ray = 0; ray < 12; ++ray) {
    const float first = RayAngle(s[ray * 8]);
    EXPECT_NEAR(AngleBetween(first, 5.0f / 360.0f * 6.2831853f + ray * 6.2831853f / 12.0f),
                0.0f, 1e-4f);
    EXPECT_NEAR(AngleBetween(RayAngle(s[ray * 8 + 7]), first), 0.14f, 1e-4f);
    for (int j = 1; j < 8; ++j) {
      EXPECT_NEAR(AngleBetween(RayAngle(s[ray * 8 + j]), RayAngle(s[ray * 8 + j - 1])), 0.02f,
                  1e-4f);
    }
  }
}

TEST(StarFilterTest, RaysReachTheirLengthInPixels) {
  TestFrame frame(640, 360, 320.0f, 180.0f);
  LensElement e = DefaultElement(ElementType::StarFilter);
  e.angle = 0.0f;
  e.iparam0 = 1;
  e.iparam2 = 1;
  e.brightness = 30.0f;  // a single streak bright enough to see its whole length
  RenderStarFilter(e, frame.target(), frame.scratch());
  // Straight down from the centre, 110 pixels long.
  EXPECT_GT(frame.Pixel(320, 180 + 60)[1], 0);
  EXPECT_GT(frame.Pixel(320, 180 + 100)[1], 0);
  for (int y = 180 + 111; y < 360; ++y) EXPECT_EQ(frame.Pixel(320, y)[1], 0) << y;
  for (int y = 0; y < 179; ++y) EXPECT_EQ(frame.Pixel(320, y)[1], 0) << y;
}

TEST(StarFilterTest, CountAndWidthLimits) {
  TestFrame frame(640, 360, 200.0f, 150.0f);
  LensElement e = DefaultElement(ElementType::StarFilter);
  for (const int16_t count : {0, -5, -32768}) {
    e.iparam0 = count;
    EXPECT_EQ(RecordStreaks(StarFilterStreaks, e, frame.target()).size(), 8u) << count;
  }
  e.iparam0 = 12;
  e.iparam2 = 0;
  EXPECT_TRUE(RecordStreaks(StarFilterStreaks, e, frame.target()).empty());
  e.iparam2 = -3;
  EXPECT_TRUE(RecordStreaks(StarFilterStreaks, e, frame.target()).empty());
  e.option = 1;
  EXPECT_TRUE(RecordStreaks(StarFilterStreaks, e, frame.target()).empty());
  // Counts from a stranger's file are held to a bounded number of streaks.
  e.iparam0 = 32767;
  e.iparam2 = 32767;
  EXPECT_EQ(RecordStreaks(StarFilterStreaks, e, frame.target()).size(),
            size_t(kMaxStarRays) * kMaxStarStreaksPerRay);
}

TEST(StarFilterTest, AngleZeroPointsDownAndNinetyPointsLeft) {
  TestFrame frame(640, 360, 200.0f, 150.0f);
  LensElement e = DefaultElement(ElementType::StarFilter);
  e.iparam2 = 1;
  e.angle = 0.0f;
  Streak first = RecordStreaks(StarFilterStreaks, e, frame.target())[0];
  EXPECT_NEAR(first.x1 - first.x0, 0.0f, 1e-3f);
  EXPECT_NEAR(first.y1 - first.y0, 110.0f, 1e-3f);
  e.angle = 90.0f;
  first = RecordStreaks(StarFilterStreaks, e, frame.target())[0];
  EXPECT_NEAR(first.x1 - first.x0, -110.0f, 1e-3f);
  EXPECT_NEAR(first.y1 - first.y0, 0.0f, 1e-3f);
  // Anamorphic: twice as long horizontally as vertically.
  e.anamorphic = 1;
  first = RecordStreaks(StarFilterStreaks, e, frame.target())[0];
  EXPECT_NEAR(first.x1 - first.x0, -220.0f, 1e-3f);
  e.angle = 0.0f;
  first = RecordStreaks(StarFilterStreaks, e, frame.target())[0];
  EXPECT_NEAR(first.y1 - first.y0, 110.0f, 1e-3f);
}

TEST(StarFilterTest, ThickRaysStartSideBySideAndMeetAtTheTip) {
  TestFrame frame(640, 360, 200.0f, 150.0f);
  LensElement e = DefaultElement(ElementType::StarFilter);
  e.option = 1;
  e.iparam0 = 1;
  e.iparam2 = 2;  // 8 streaks
  e.angle = 0.0f;
  e.spread = 50.0f;
  const std::vector<Streak> s = RecordStreaks(StarFilterStreaks, e, frame.target());
  ASSERT_EQ(s.size(), 8u);
  // base (1.5) x (50 + 50) / 100 = 1.5, so the length stays 110; the starts
  // are (640 / 20) / 8 = 4 pixels apart across the ray, centred on it.
  for (int j = 0; j < 8; ++j) {
    EXPECT_NEAR(s[j].x0, 200.0f - (j - 3.5f) * 4.0f * std::cos(j * 0.005f), 1e-3f) << j;
    EXPECT_NEAR(s[j].y1, 150.0f + 110.0f * std::cos(j * 0.005f), 1e-3f);
    EXPECT_NEAR(s[j].x1, 200.0f - 110.0f * std::sin(j * 0.005f), 1e-3f);
  }
  // The tips lie within the fan's tiny angle of each other.
  EXPECT_LT(std::fabs(s[7].x1 - s[0].x1), 110.0f * 0.04f);
}

// ----------------------------------------------------------------- SpikeBall

TEST(SpikeBallTest, DefaultSpikesAreOpposedPairsOfStreaks) {
  TestFrame frame(640, 360, 200.0f, 150.0f);
  const std::vector<Streak> s =
      RecordStreaks(SpikeBallStreaks, DefaultElement(ElementType::SpikeBall), frame.target());
  ASSERT_EQ(s.size(), 600u);  // 4 x 75 spikes, two streaks each
  for (size_t k = 0; k < s.size(); k += 2) {
    EXPECT_FLOAT_EQ(s[k].x0, 200.0f);
    EXPECT_FLOAT_EQ(s[k + 1].y0, 150.0f);
    EXPECT_FLOAT_EQ(s[k].x1 - 200.0f, -(s[k + 1].x1 - 200.0f));
    EXPECT_FLOAT_EQ(s[k].y1 - 150.0f, -(s[k + 1].y1 - 150.0f));
    EXPECT_EQ(s[k].red, s[k + 1].red);
    // g = Noise / 25 + 0.01, times cR (1.5): at most 0.075.
    EXPECT_LE(s[k].red, 0.0751f);
    EXPECT_GE(s[k].red, 0.0f);
  }
}

TEST(SpikeBallTest, FirstSpikeFollowsItsSeed) {
  TestFrame frame(640, 360, 200.0f, 150.0f);
  LensElement e = DefaultElement(ElementType::SpikeBall);
  e.angle = 0.0f;
  const Streak s = RecordStreaks(SpikeBallStreaks, e, frame.target())[0];
  // Spike 0 with seed offset 196: a = 196 / 0.125 = 1568 radians,
  // R = trunc(128 x 2 x 1.5 x Noise(250) + 128), g = Noise(196) / 25 + 0.01.
  const float R = static_cast<float>(TruncToInt(128.0f * 2.0f * 1.5f * Noise(250) + 128.0f));
  EXPECT_NEAR(s.x1 - s.x0, R * std::sin(1568.0f), 1e-3f);
  EXPECT_NEAR(s.y1 - s.y0, -R * std::cos(1568.0f), 1e-3f);
  EXPECT_FLOAT_EQ(s.red, std::fabs((Noise(196) / 25.0f + 0.01f) * 1.5f));
}

TEST(SpikeBallTest, CountBelowOneDrawsOneSpike) {
  TestFrame frame(640, 360, 200.0f, 150.0f);
  LensElement e = DefaultElement(ElementType::SpikeBall);
  for (const int16_t count : {0, -1, -32768}) {
    e.iparam0 = count;
    EXPECT_EQ(RecordStreaks(SpikeBallStreaks, e, frame.target()).size(), 2u);
  }
}

TEST(SpikeBallTest, AnamorphicHalvesTheWidth) {
  TestFrame frame(640, 360, 200.0f, 150.0f);
  LensElement e = DefaultElement(ElementType::SpikeBall);
  const std::vector<Streak> plain = RecordStreaks(SpikeBallStreaks, e, frame.target());
  e.anamorphic = 1;
  const std::vector<Streak> squeezed = RecordStreaks(SpikeBallStreaks, e, frame.target());
  ASSERT_EQ(plain.size(), squeezed.size());
  for (size_t i = 0; i < plain.size(); ++i) {
    EXPECT_NEAR(squeezed[i].x1 - 200.0f, (plain[i].x1 - 200.0f) * 0.5f, 1e-3f);
    EXPECT_FLOAT_EQ(squeezed[i].y1, plain[i].y1);
  }
}

TEST(SpikeBallTest, EffectAngleJittersEachSpikeByItsOwnAmount) {
  TestFrame frame(640, 360, 200.0f, 150.0f);
  const LensElement e = DefaultElement(ElementType::SpikeBall);
  const std::vector<Streak> still = RecordStreaks(SpikeBallStreaks, e, frame.target());
  frame.target().anglePhase = 0.5f;
  const std::vector<Streak> moved = RecordStreaks(SpikeBallStreaks, e, frame.target());
  ASSERT_EQ(still.size(), moved.size());
  // The streak from (cx, cy) to (cx + hx, cy - hy) turns by the jitter.
  for (int k = 0; k < 20; ++k) {
    const Streak& a = still[2 * k];
    const Streak& b = moved[2 * k];
    const float turn = std::atan2(b.x1 - b.x0, -(b.y1 - b.y0)) -
                       std::atan2(a.x1 - a.x0, -(a.y1 - a.y0));
    EXPECT_NEAR(AngleBetween(turn, 0.0f), Noise(k + 900) * 0.5f * 0.640874f, 2e-3f) << k;
  }
  // The element's own angle counts only in whole radians.
  LensElement turned = e;
  turned.angle = 50.0f;  // trunc(0.87) = 0, as 15 degrees
  const std::vector<Streak> same = RecordStreaks(SpikeBallStreaks, turned, frame.target());
  EXPECT_EQ(same[0].x1, moved[0].x1);
  turned.angle = 60.0f;  // trunc(1.05) = 1
  EXPECT_NE(RecordStreaks(SpikeBallStreaks, turned, frame.target())[0].x1, moved[0].x1);
}

// ------------------------------------------------------ RandomFan and its fans

TEST(FanOfStreaksTest, WidthLengthAndEdgeFade) {
  TestFrame frame(640, 360, 200.0f, 150.0f);
  RenderTarget t = frame.target();
  t.colorR = 1.0f;
  t.colorG = 0.5f;
  t.colorB = 0.0f;
  std::vector<Streak> s;
  FanOfStreaks(t, 30.0f, 10, 0.5f, 100.0f, 80.0f, 0.0f, 0,
               [&s](const Streak& streak) { s.push_back(streak); });
  ASSERT_EQ(s.size(), 40u);
  // L = trunc(30 x 10 + 30 x 0.5) / 2 = 315 / 2 = 157 (integer division).
  for (size_t j = 0; j < s.size(); ++j) {
    EXPECT_FLOAT_EQ(s[j].x0, 100.0f);
    EXPECT_FLOAT_EQ(s[j].y0, 80.0f);
    EXPECT_NEAR(Length(s[j]), 157.0f, 1e-3f);
    const float a = (static_cast<float>(j) - 20.0f) * 0.0043487549f;
    EXPECT_NEAR(s[j].x1, 100.0f + 157.0f * std::sin(a), 1e-3f);
    EXPECT_NEAR(s[j].y1, 80.0f + 157.0f * std::cos(a), 1e-3f);
    EXPECT_FLOAT_EQ(s[j].blue, 0.0f);
  }
  // The edge weight is 0 for the first streak and small for the last.
  EXPECT_EQ(s[0].red, 0.0f);
  EXPECT_LT(std::fabs(s[39].red), 0.5f * 0.0025f * 2.1f);
  // Width below one is one.
  s.clear();
  FanOfStreaks(t, 30.0f, -7, 0.5f, 100.0f, 80.0f, 0.0f, 0,
               [&s](const Streak& streak) { s.push_back(streak); });
  EXPECT_EQ(s.size(), 4u);
}

TEST(RandomFanTest, FansComeInOppositePairs) {
  TestFrame frame(640, 360, 200.0f, 150.0f);
  const LensElement e = DefaultElement(ElementType::RandomFan);
  const std::vector<Streak> s = RecordStreaks(RandomFanStreaks, e, frame.target());
  // 8 pairs; each fan has 4 x width streaks, its partner as many.
  size_t i = 0;
  int fans = 0;
  for (int k = e.iparam3; k < e.iparam3 + 8; ++k) {
    const int32_t width = TruncToInt((AbsNoise(k + 850) + 0.2f) * 80.0f);
    const size_t n = size_t(width) * 4;
    ASSERT_LE(i + 2 * n, s.size());
    for (size_t j = 0; j < n; ++j) {
      const Streak& a = s[i + j];
      const Streak& b = s[i + n + j];
      // dir and dir + 180 degrees, turned into radians by 0.0174407959.
      const float turn = std::atan2(b.x1 - b.x0, b.y1 - b.y0) - std::atan2(a.x1 - a.x0, a.y1 - a.y0);
      EXPECT_NEAR(AngleBetween(turn, 180.0f * 0.0174407959f), 0.0f, 1e-3f);
      EXPECT_FLOAT_EQ(Length(a), Length(b));
    }
    i += 2 * n;
    fans += 2;
  }
  EXPECT_EQ(i, s.size());
  EXPECT_EQ(fans, 16);
}

TEST(RandomFanTest, MiddleStreaksOfAFanAreTheBrightest) {
  TestFrame frame(640, 360, 200.0f, 150.0f);
  RenderTarget t = frame.target();
  t.colorR = t.colorG = t.colorB = 1.0f;
  std::vector<Streak> s;
  FanOfStreaks(t, 30.0f, 50, 1.0f, 100.0f, 80.0f, 33.0f, 0,
               [&s](const Streak& streak) { s.push_back(streak); });
  // Average over the edge quarters and the middle half: the middle is brighter.
  float edge = 0.0f, middle = 0.0f;
  for (size_t j = 0; j < s.size(); ++j) {
    const bool inMiddle = j >= s.size() / 4 && j < s.size() * 3 / 4;
    (inMiddle ? middle : edge) += std::fmax(s[j].red, 0.0f);
  }
  EXPECT_GT(middle, 2.0f * edge);
}

TEST(RandomFanTest, SeedMovesEveryFanAndAnamorphicDoesNothing) {
  TestFrame frame(640, 360, 200.0f, 150.0f);
  LensElement e = DefaultElement(ElementType::RandomFan);
  const std::vector<Streak> base = RecordStreaks(RandomFanStreaks, e, frame.target());
  LensElement squeezed = e;
  squeezed.anamorphic = 1;
  const std::vector<Streak> same = RecordStreaks(RandomFanStreaks, squeezed, frame.target());
  ASSERT_EQ(base.size(), same.size());
  for (size_t i = 0; i < base.size(); ++i) EXPECT_EQ(base[i].x1, same[i].x1);
  e.iparam3 = 5;
  const std::vector<Streak> reseeded = RecordStreaks(RandomFanStreaks, e, frame.target());
  EXPECT_NE(reseeded.front().x1, base.front().x1);
  EXPECT_NE(reseeded.back().x1, base.back().x1);
}

TEST(RandomFanTest, CountLimits) {
  TestFrame frame(640, 360, 200.0f, 150.0f);
  LensElement e = DefaultElement(ElementType::RandomFan);
  e.iparam0 = 0;
  const std::vector<Streak> one = RecordStreaks(RandomFanStreaks, e, frame.target());
  const int32_t width = TruncToInt((AbsNoise(4 + 850) + 0.2f) * 80.0f);
  EXPECT_EQ(one.size(), size_t(width) * 8);
  e.iparam0 = 32767;
  e.iparam3 = 32767;  // seeds near the top of the range stay defined
  const size_t many = RecordStreaks(RandomFanStreaks, e, frame.target()).size();
  EXPECT_LE(many, size_t(kMaxFanPairs) * 2 * 4 * 96);
  EXPECT_GT(many, size_t(kMaxFanPairs) * 2 * 4 * 16);
}

// -------------------------------------------------------------------- Stripe

TEST(StripeTest, DefaultIs960PixelsLongAnd26StreaksWide) {
  TestFrame frame(640, 360, 200.0f, 150.0f);
  const std::vector<Streak> s = RecordStreaks(StripeStreaks, DefaultElement(ElementType::Stripe), frame.target());
  ASSERT_EQ(s.size(), 26u + 2u);  // the band and the two core streaks
  for (int i = 0; i < 26; ++i) {
    const float v = static_cast<float>(i) - 12.8f;
    EXPECT_NEAR(s[i].x0, 200.0f + 480.0f, 1e-3f);
    EXPECT_NEAR(s[i].x1, 200.0f - 480.0f, 1e-3f);
    EXPECT_NEAR(s[i].y0, 150.0f + v, 1e-3f);
    EXPECT_NEAR(s[i].y1, 150.0f + v, 1e-3f);
    EXPECT_EQ(s[i].anchor, StreakAnchor::Middle);
    // Brightest on the middle line: CentreRamp(i, 25), times the outer colour
    // (brightness 1: bf 1, element brightness 0.5, blue 255).
    EXPECT_FLOAT_EQ(s[i].blue, CentreRamp(i, 25) * 0.5f);
  }
  EXPECT_GT(s[12].blue, s[2].blue);
  EXPECT_EQ(s[25].blue, 0.0f);
  // Core: (640 / 3) x 0.75 = 159.75 each way, a quarter pixel off the middle.
  EXPECT_NEAR(s[26].x0 - s[26].x1, 2.0f * 159.75f, 1e-3f);
  EXPECT_NEAR(s[26].y0, 150.0f - 0.25f, 1e-4f);
  EXPECT_NEAR(s[27].y0, 150.0f + 0.25f, 1e-4f);
  EXPECT_FLOAT_EQ(s[26].green, 0.5f * 128.0f / 255.0f);
}

TEST(StripeTest, AngleSoftnessAndCentre) {
  TestFrame frame(640, 360, 200.0f, 150.0f);
  LensElement e = DefaultElement(ElementType::Stripe);
  e.spread = 0.0f;
  e.option = 0;
  std::vector<Streak> s = RecordStreaks(StripeStreaks, e, frame.target());
  ASSERT_EQ(s.size(), 1u);
  e.spread = kNaN;
  EXPECT_EQ(RecordStreaks(StripeStreaks, e, frame.target()).size(), 1u);
  e.spread = 20.0f;
  e.angle = 90.0f;
  s = RecordStreaks(StripeStreaks, e, frame.target());
  ASSERT_EQ(s.size(), 26u);
  EXPECT_NEAR(s[0].x0, s[0].x1, 1e-3f);
  EXPECT_NEAR(std::fabs(s[0].y1 - s[0].y0), 960.0f, 1e-2f);
}

TEST(StripeTest, IntensityGoesWithTheCubeOfBrightnessBelowOneAndCoreWithIt) {
  TestFrame frame(640, 360, 200.0f, 150.0f);
  const LensElement e = DefaultElement(ElementType::Stripe);
  frame.SetGains(0.5f);
  std::vector<Streak> s = RecordStreaks(StripeStreaks, e, frame.target());
  EXPECT_FLOAT_EQ(s[12].blue, CentreRamp(12, 25) * 0.5f * 0.125f);
  EXPECT_NEAR(s[26].x0 - s[26].x1, 159.75f, 1e-3f);
  frame.SetGains(2.0f);
  s = RecordStreaks(StripeStreaks, e, frame.target());
  EXPECT_FLOAT_EQ(s[12].blue, AtMostOne(CentreRamp(12, 25) * 0.5f * 2.0f));
  EXPECT_NEAR(s[26].x0 - s[26].x1, 4.0f * 159.75f, 1e-2f);
}

TEST(StripeTest, HugeSoftnessDrawsOnlyTheStreaksThatReachTheFrame) {
  TestFrame frame(320, 200, 100.0f, 60.0f);
  LensElement e = DefaultElement(ElementType::Stripe);
  e.spread = 1e30f;
  e.angle = 30.0f;
  const std::vector<Streak> s = RecordStreaks(StripeStreaks, e, frame.target());
  EXPECT_GT(s.size(), 300u);   // across the whole frame
  EXPECT_LT(s.size(), 420u);   // but not 2^24 of them
}

// ------------------------------------------------------------------- Sparkle

TEST(SparkleTest, PairsAreSymmetricThroughTheCentre) {
  TestFrame frame(640, 360, 200.0f, 150.0f);
  frame.target().anglePhase = 1.3f;
  const std::vector<Streak> s = RecordStreaks(SparkleStreaks, DefaultElement(ElementType::Sparkle), frame.target());
  ASSERT_EQ(s.size(), 4000u);  // 20 hundred pairs
  for (size_t i = 0; i < s.size(); i += 2) {
    EXPECT_NEAR(s[i].x0 - 200.0f, -(s[i + 1].x0 - 200.0f), 1e-3f);
    EXPECT_NEAR(s[i].y1 - 150.0f, -(s[i + 1].y1 - 150.0f), 1e-3f);
    EXPECT_EQ(s[i].green, s[i + 1].green);
    EXPECT_EQ(s[i].anchor, StreakAnchor::Middle);
    // Each glint covers the outer half of its ray.
    EXPECT_NEAR(s[i].x1 - 200.0f, 2.0f * (s[i].x0 - 200.0f), 1e-3f);
  }
}

TEST(SparkleTest, FirstGlintFollowsItsNoise) {
  TestFrame frame(640, 360, 200.0f, 150.0f);
  const std::vector<Streak> s = RecordStreaks(SparkleStreaks, DefaultElement(ElementType::Sparkle), frame.target());
  // P = 0: L = -trunc(Noise(54) x 128 + 128) x (TriangleWave(Noise(200)) + 0.2),
  // along (sin 0, cos 0) = straight down for the first of the pair.
  const float L = -static_cast<float>(TruncToInt(Noise(54) * 128.0f + 128.0f)) *
                  (TriangleWave(Noise(200)) + 0.2f);
  EXPECT_NEAR(s[0].x1, 200.0f, 1e-4f);
  EXPECT_NEAR(s[0].y1, 150.0f + L, 1e-3f);
  const float n = Noise(1000);
  EXPECT_FLOAT_EQ(s[0].red, std::fabs((n * n * n / 25.0f + 0.001f) * 2.0f) * 2.0f);
}

TEST(SparkleTest, AnamorphicWidensAndStillSeed2ChangesOnlyStrengths) {
  TestFrame frame(640, 360, 200.0f, 150.0f);
  LensElement e = DefaultElement(ElementType::Sparkle);
  const std::vector<Streak> plain = RecordStreaks(SparkleStreaks, e, frame.target());
  LensElement wide = e;
  wide.anamorphic = 1;
  const std::vector<Streak> widened = RecordStreaks(SparkleStreaks, wide, frame.target());
  LensElement reseeded = e;
  reseeded.iparam4 = 1234;
  const std::vector<Streak> other = RecordStreaks(SparkleStreaks, reseeded, frame.target());
  int strengthsDiffer = 0;
  for (size_t i = 0; i < plain.size(); ++i) {
    EXPECT_NEAR(widened[i].x1 - 200.0f, 2.0f * (plain[i].x1 - 200.0f), 1e-3f);
    EXPECT_FLOAT_EQ(widened[i].y1, plain[i].y1);
    EXPECT_EQ(other[i].x1, plain[i].x1);
    EXPECT_EQ(other[i].y1, plain[i].y1);
    strengthsDiffer += other[i].red != plain[i].red;
  }
  EXPECT_GT(strengthsDiffer, 3000);
  // One Way at P = 0 uses the fraction of AbsNoise.
  LensElement oneWay = e;
  oneWay.option = 1;
  const Streak first = RecordStreaks(SparkleStreaks, oneWay, frame.target())[0];
  const float q = AbsNoise(200);
  const float L = -static_cast<float>(TruncToInt(Noise(54) * 128.0f + 128.0f)) *
                  (q - std::trunc(q) + 0.2f);
  EXPECT_NEAR(first.y1, 150.0f + L, 1e-3f);
}

TEST(SparkleTest, CountLimitsAndStrengthIndependentOfPosition) {
  TestFrame frame(640, 360, 200.0f, 150.0f);
  LensElement e = DefaultElement(ElementType::Sparkle);
  e.iparam0 = -4;
  EXPECT_EQ(RecordStreaks(SparkleStreaks, e, frame.target()).size(), 2u);
  e.iparam0 = 32767;
  EXPECT_EQ(RecordStreaks(SparkleStreaks, e, frame.target()).size(), size_t(kMaxSparklePairs) * 2);
  e.iparam0 = 20;
  const std::vector<Streak> here = RecordStreaks(SparkleStreaks, e, frame.target());
  e.position = -0.7f;
  const std::vector<Streak> there = RecordStreaks(SparkleStreaks, e, frame.target());
  for (size_t i = 0; i < here.size(); ++i) EXPECT_EQ(here[i].red, there[i].red);
}

// ------------------------------------------------------------ all five types

constexpr ElementType kStreakTypes[] = {ElementType::StarFilter, ElementType::SpikeBall,
                                        ElementType::RandomFan, ElementType::Stripe,
                                        ElementType::Sparkle};

TEST(StreakElementsPropertyTest, ClipAlphaAndNeverDarkening) {
  for (const ElementType type : kStreakTypes) {
    for (const float angle : {0.0f, 37.0f}) {
      TestFrame full(320, 200, 110.0f, 70.0f, 1.0f, 40, 77);
      TestFrame clipped(320, 200, 110.0f, 70.0f, 1.0f, 40, 77);
      full.target().anglePhase = clipped.target().anglePhase = angle / 24.0f;
      clipped.SetClip(50, 130, 60, 250);
      LensElement e = DefaultElement(type);
      e.position = 0.6f;
      DrawElement(e, full.target(), full.scratch());
      DrawElement(e, clipped.target(), clipped.scratch());
      uint64_t changed = 0;
      for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 320; ++x) {
          const bool in = x >= 60 && x < 250 && y >= 50 && y < 130;
          const uint8_t* f = full.Pixel(x, y);
          const uint8_t* c = clipped.Pixel(x, y);
          ASSERT_EQ(f[0], 77);
          ASSERT_EQ(c[0], 77);
          for (int ch = 1; ch < 4; ++ch) {
            ASSERT_GE(f[ch], 40);
            // Inside the clip the pixels are those of the whole frame.
            ASSERT_EQ(c[ch], in ? f[ch] : 40)
                << int(type) << " at " << x << "," << y << " channel " << ch;
            changed += c[ch] != 40;
          }
        }
      }
      EXPECT_GT(changed, 0u) << int(type);
    }
  }
}

TEST(StreakElementsPropertyTest, BadValuesStayDefinedAndInsideTheClip) {
  const float floats[] = {kNaN, kInf, -kInf, 1e30f, -1e30f, 0.0f};
  const int16_t ints[] = {-32768, -1, 0, 32767};
  for (const ElementType type : kStreakTypes) {
    for (const float f : floats) {
      for (const int16_t n : ints) {
        TestFrame frame(96, 64, 40.0f, 30.0f);
        frame.SetClip(8, 56, 8, 88);
        frame.target().anglePhase = f;
        LensElement e = DefaultElement(type);
        e.brightness = e.scale = e.angle = e.spread = e.position = f;
        e.iparam3 = e.iparam4 = n;
        // Counts as bad as the floats, but kept small enough to run quickly.
        e.iparam0 = n > 0 ? 3 : n;
        e.iparam2 = n > 0 ? 3 : n;
        e.anamorphic = e.option = 1;
        DrawElement(e, frame.target(), frame.scratch());
        for (int y = 0; y < 64; ++y) {
          for (int x = 0; x < 96; ++x) {
            if (x >= 8 && x < 88 && y >= 8 && y < 56) continue;
            ASSERT_EQ(frame.Pixel(x, y)[1] | frame.Pixel(x, y)[2] | frame.Pixel(x, y)[3], 0)
                << int(type) << " " << f << " " << n;
          }
        }
      }
    }
  }
}

TEST(StreakElementsPropertyTest, HugeCountsFinish) {
  for (const ElementType type : kStreakTypes) {
    TestFrame frame(64, 48, 30.0f, 20.0f);
    frame.SetClip(0, 4, 0, 4);  // a tiny tile: most streaks miss it
    LensElement e = DefaultElement(type);
    e.iparam0 = e.iparam2 = 32767;
    e.iparam3 = e.iparam4 = 32767;
    e.option = 1;
    e.position = 40.0f;  // far off the frame
    DrawElement(e, frame.target(), frame.scratch());
    EXPECT_EQ(frame.Pixel(63, 47)[1], 0);
  }
}

}  // namespace
}  // namespace gw
