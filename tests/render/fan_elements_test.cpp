// The streaks that Aperture Reflection, Chroma Hoop, PhotonSpikeBall and
// ChromaFan compute: counts, directions, lengths, colours, and their helpers
// StreakFan, SmoothNoise and PhotonFan.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "lens/lens.h"
#include "render/elements/streak_elements.h"
#include "render/numeric.h"
#include "tests/support/test_frame.h"

namespace gw {
namespace {

float Length(const Streak& s) { return std::hypot(s.x1 - s.x0, s.y1 - s.y0); }
float DistanceFrom(float x, float y, float px, float py) { return std::hypot(x - px, y - py); }

bool SameEnds(const Streak& a, const Streak& b) {
  return a.x0 == b.x0 && a.y0 == b.y0 && a.x1 == b.x1 && a.y1 == b.y1;
}

// Spread of the start points across a run of streaks.
float StartSpan(const std::vector<Streak>& s, size_t first, size_t count) {
  float lo = std::numeric_limits<float>::max(), hi = std::numeric_limits<float>::lowest();
  for (size_t i = first; i < first + count; ++i) {
    const float across = s[i].y0 + s[i].x0;  // fans here run along one axis
    lo = std::min(lo, across);
    hi = std::max(hi, across);
  }
  return hi - lo;
}

// ---------------------------------------------------------------- helpers

TEST(SmoothNoiseTest, InterpolatesNoiseBetweenIntegers) {
  for (const int32_t n : {0, 5, -7, 800, 12345}) {
    EXPECT_EQ(SmoothNoise(static_cast<float>(n)), Noise(n)) << n;
  }
  EXPECT_FLOAT_EQ(SmoothNoise(3.25f), 0.75f * Noise(3) + 0.25f * Noise(4));
  EXPECT_FLOAT_EQ(SmoothNoise(800.5f), 0.5f * Noise(800) + 0.5f * Noise(801));
  // Toward zero first: -2.5 lies between -2 and -1 as the interpolation sees it.
  EXPECT_FLOAT_EQ(SmoothNoise(-2.5f), 1.5f * Noise(-2) - 0.5f * Noise(-1));
}

TEST(SmoothNoiseTest, DefinedForNaNAndHugeArguments) {
  EXPECT_EQ(SmoothNoise(std::numeric_limits<float>::quiet_NaN()), Noise(0));
  EXPECT_EQ(SmoothNoise(1e30f), Noise(std::numeric_limits<int32_t>::max()));
  EXPECT_EQ(SmoothNoise(-1e30f), Noise(std::numeric_limits<int32_t>::min()));
  EXPECT_EQ(SmoothNoise(std::numeric_limits<float>::infinity()),
            Noise(std::numeric_limits<int32_t>::max()));
  const float nearTop = 2147483520.0f;  // the largest float below 2^31
  EXPECT_TRUE(std::isfinite(SmoothNoise(nearTop)));
}

TEST(StreakFanTest, CountTaperAndDirection) {
  TestFrame frame(640, 360, 320, 180);
  std::vector<Streak> s;
  const StreakSink sink = [&s](const Streak& st) { s.push_back(st); };
  // Pointing down from (100, 50), no jitter.
  StreakFan({20.0f, 10, 1.0f, {100.0f, 50.0f}, 0.0f, 0.0f, 4.0f, 40.0f}, {0.5f, 0.8f, 2.0f},
            frame.target(), sink);
  ASSERT_EQ(s.size(), 10u);
  const float L = 220.0f;  // trunc(20 x 10 + 20)
  for (size_t k = 0; k < s.size(); ++k) {
    EXPECT_EQ(s[k].anchor, StreakAnchor::Start);
    EXPECT_FLOAT_EQ(s[k].thickness, 1.8f);
    EXPECT_FLOAT_EQ(s[k].y0, 50.0f);  // side by side across the direction
    EXPECT_GT(s[k].y1, s[k].y0 + 50.0f);
  }
  // The middle streak (k = n / 2) is full length and full strength.
  EXPECT_NEAR(Length(s[5]), L, 1e-3f);
  EXPECT_FLOAT_EQ(s[5].red, 0.25f);
  EXPECT_FLOAT_EQ(s[5].green, 0.64f);
  EXPECT_FLOAT_EQ(s[5].blue, 1.0f);  // 2 x 2 clamped
  // The first has taper 0: a quarter length and no light.
  EXPECT_NEAR(Length(s[0]), L * 0.25f, 1e-3f);
  EXPECT_EQ(s[0].red, 0.0f);
  // Offsets step by q / 2 = spacing x reach / n / 2 = 8 along (cos a0, sin a0).
  EXPECT_FLOAT_EQ(s[0].x0, 100.0f + 5.0f * 8.0f);
  EXPECT_FLOAT_EQ(s[9].x0, 100.0f - 4.0f * 8.0f);
  // The outer streaks turn away from the middle by (k - n/2) x 0.003 rad.
  EXPECT_NEAR(std::atan2(-(s[9].x1 - s[9].x0), s[9].y1 - s[9].y0), 4.0f * 0.003f, 1e-5f);
}

TEST(StreakFanTest, AngleConventionAndEmptyFans) {
  TestFrame frame(640, 360, 320, 180);
  std::vector<Streak> s;
  const StreakSink sink = [&s](const Streak& st) { s.push_back(st); };
  StreakFan({10.0f, 1, 1.0f, {300.0f, 100.0f}, 90.0f, 0, 1, 10}, {1, 1, 1}, frame.target(), sink);
  ASSERT_EQ(s.size(), 1u);
  EXPECT_LT(s[0].x1, s[0].x0 - 50.0f);  // 90 degrees points left
  EXPECT_NEAR(s[0].y1, s[0].y0, 0.5f);
  StreakFan({10.0f, 1, 1.0f, {300.0f, 100.0f}, -90.0f, 0, 1, 10}, {1, 1, 1}, frame.target(), sink);
  EXPECT_GT(s[1].x1, s[1].x0 + 50.0f);  // -90 points right
  StreakFan({10.0f, 1, 1.0f, {300.0f, 100.0f}, 180.0f, 0, 1, 10}, {1, 1, 1}, frame.target(), sink);
  EXPECT_LT(s[2].y1, s[2].y0 - 50.0f);  // 180 points up
  s.clear();
  for (const int16_t n : {int16_t{0}, int16_t{-1}, int16_t{-32768}}) {
    StreakFan({10.0f, n, 1.0f, {0, 0}, 0, 0, 1, 10}, {1, 1, 1}, frame.target(), sink);
  }
  EXPECT_TRUE(s.empty());
}

TEST(StreakFanTest, TotalWidthDoesNotDependOnTheCount) {
  TestFrame frame(640, 360, 320, 180);
  std::vector<Streak> few, many;
  StreakFan({20, 100, 1, {0, 180}, -90, 0.1f, 3.5f, 39}, {1, 1, 1}, frame.target(),
            [&](const Streak& st) { few.push_back(st); });
  StreakFan({20, 250, 1, {0, 180}, -90, 0.1f, 3.5f, 39}, {1, 1, 1}, frame.target(),
            [&](const Streak& st) { many.push_back(st); });
  // (n - 1) / n of spacing x reach / 2 = 68.25 pixels.
  EXPECT_NEAR(StartSpan(few, 0, few.size()), 68.25f * 99 / 100, 1e-2f);
  EXPECT_NEAR(StartSpan(many, 0, many.size()), 68.25f * 249 / 250, 1e-2f);
}

TEST(PhotonFanTest, OpensOneRadianPer255StreaksFromOnePoint) {
  TestFrame frame(640, 360, 320, 180);
  std::vector<Streak> s;
  PhotonFan({30.0f, 51, 0.5f, {200.0f, 100.0f}, 0.0f}, {1.0f, 0.5f, 0.0f},
            [&s](const Streak& st) { s.push_back(st); });
  ASSERT_EQ(s.size(), 51u);
  const float Lh = static_cast<float>(TruncToInt(30.0f * 10.0f + 30.0f * 0.5f) / 2);  // 157
  EXPECT_EQ(Lh, 157.0f);
  for (size_t i = 0; i < s.size(); ++i) {
    EXPECT_EQ(s[i].x0, 200.0f);
    EXPECT_EQ(s[i].y0, 100.0f);
    EXPECT_EQ(s[i].anchor, StreakAnchor::Start);
    EXPECT_NEAR(Length(s[i]), Lh, 1e-3f);
    // Along (sin, cos) of i / 255.
    EXPECT_NEAR(std::atan2(s[i].x1 - s[i].x0, s[i].y1 - s[i].y0), i / 255.0f, 1e-4f);
  }
  // Brightest along the middle (i = n / 2 = 25), nothing at the first.
  EXPECT_FLOAT_EQ(s[25].red, 0.5f);
  EXPECT_FLOAT_EQ(s[25].green, 0.125f);
  EXPECT_EQ(s[25].blue, 0.0f);
  // n / 2 is an integer division: the first streak keeps a sliver of light.
  const float t0 = 1.0f - 25.0f / 25.5f;
  EXPECT_FLOAT_EQ(s[0].red, 0.5f * (t0 * t0));
}

// ----------------------------------------------------- Aperture Reflection

class ApertureReflectionTest : public ::testing::Test {
 protected:
  // 640 x 360: T = 0.0609375 x 640 = 39 pixels, offset o = 0.05 x 640 = 32.
  std::vector<Streak> At(float lx, float ly, const LensElement& e) {
    TestFrame frame(640, 360, lx, ly);
    return RecordStreaks(ApertureReflectionStreaks, e, frame.target());
  }
  std::vector<Streak> At(float lx, float ly) { return At(lx, ly, element); }
  LensElement element = DefaultElement(ElementType::ApertureReflection);
};

TEST_F(ApertureReflectionTest, NothingWithTheLightWellInside) {
  EXPECT_TRUE(At(320, 180).empty());
  EXPECT_TRUE(At(100, 100).empty());
}

TEST_F(ApertureReflectionTest, StrongestAtATwentiethOfTheWidthOutsideTheEdge) {
  const std::vector<Streak> s = At(-32, 180);
  // spread 50: 250 streaks in the main fan, 125 in the core.
  ASSERT_EQ(s.size(), 375u);
  // From the left edge, pointing right, at the light's height.
  for (const Streak& st : s) {
    EXPECT_NEAR(st.x0, 0.0f, 1e-3f);
    EXPECT_NEAR(st.y0, 180.0f, 40.0f);
    EXPECT_GT(st.x1, st.x0);
  }
  // The middle streak: oR = 1.5 x 0.5 x 214/255 at weight 1, squared, times
  // the jitter factor 1 +- 1/16.
  const float oR = 1.5f * 0.5f * 214.0f / 255.0f;
  EXPECT_NEAR(s[125].red, oR * oR, oR * oR / 16.0f);
  // Moving the light away from the best offset either way weakens the glare.
  for (const float lx : {-7.0f, -57.0f}) {
    const std::vector<Streak> weaker = At(lx, 180);
    ASSERT_FALSE(weaker.empty());
    EXPECT_LT(weaker.size(), s.size());
    EXPECT_LT(weaker[weaker.size() / 3].red, s[125].red) << lx;
  }
}

TEST_F(ApertureReflectionTest, GoneOnceTheLightIsTheReachAway) {
  // Reach 39 pixels on each side of x = -32.
  EXPECT_TRUE(At(-32.0f + 39.05f, 180).empty());
  EXPECT_TRUE(At(-32.0f - 39.05f, 180).empty());
  EXPECT_FALSE(At(-32.0f + 38.9f, 180).empty());
  EXPECT_FALSE(At(-32.0f - 38.9f, 180).empty());
  // Right, top and bottom edges by the same rule.
  EXPECT_FALSE(At(640.0f + 32.0f, 180).empty());
  EXPECT_TRUE(At(640.0f + 32.0f + 39.05f, 180).empty());
  EXPECT_FALSE(At(320, -32.0f).empty());
  EXPECT_FALSE(At(320, 360.0f + 32.0f).empty());
}

TEST_F(ApertureReflectionTest, CountGrowsFromHalfAtTheRimToFullAtTheCentre) {
  element.option = 0;
  EXPECT_EQ(At(-32, 180).size(), 250u);          // spread x 5
  EXPECT_EQ(At(-32.0f + 38.9f, 180).size(), 125u);  // spread x 2.5
  const size_t mid = At(-32.0f + 25.0f, 180).size();
  EXPECT_GT(mid, 125u);
  EXPECT_LT(mid, 250u);
}

TEST_F(ApertureReflectionTest, TwoEdgesAtACorner) {
  const std::vector<Streak> s = At(-32, -32);
  ASSERT_EQ(s.size(), 750u);
  // Left edge first (pointing right), then the top edge (pointing down).
  for (size_t i = 0; i < 375; ++i) EXPECT_GT(s[i].x1 - s[i].x0, std::fabs(s[i].y1 - s[i].y0));
  for (size_t i = 375; i < 750; ++i) EXPECT_GT(s[i].y1 - s[i].y0, std::fabs(s[i].x1 - s[i].x0));
  // Edges pointing back into the frame from the right and the bottom.
  const std::vector<Streak> br = At(672, 392);
  ASSERT_EQ(br.size(), 750u);
  EXPECT_NEAR(br[0].x0, 640.0f, 1e-3f);
  EXPECT_LT(br[125].x1, br[125].x0);
  EXPECT_NEAR(br[375].y0, 360.0f, 1e-3f);
  EXPECT_LT(br[500].y1, br[500].y0);
}

TEST_F(ApertureReflectionTest, CoreFanIsAThirdAsLongHalfAsWideInTheInnerColour) {
  const std::vector<Streak> s = At(-32, 180);
  ASSERT_EQ(s.size(), 375u);
  // Middle streaks: L = trunc(57.6 x 11) = 633 and trunc(19.2 x 11) = 211.
  EXPECT_NEAR(s[125].x1 - s[125].x0, 633.0f, 1.0f);
  EXPECT_NEAR(s[250 + 62].x1 - s[250 + 62].x0, 211.0f, 1.0f);
  const float mainSpan = StartSpan(s, 0, 250), coreSpan = StartSpan(s, 250, 125);
  EXPECT_NEAR(coreSpan / mainSpan, 0.5f, 0.01f);
  // In the inner colour, at full weight; the left edge's core fan has no jitter.
  const float iR = 1.5f * 0.5f * 1.0f * 191 / 255.0f;
  const float iG = 1.5f * 0.5f * 1.0f * 142 / 255.0f;
  EXPECT_FLOAT_EQ(s[250 + 62].red, iR * iR);
  EXPECT_FLOAT_EQ(s[250 + 62].green, iG * iG);
  element.option = 0;
  EXPECT_EQ(At(-32, 180).size(), 250u);
}

TEST_F(ApertureReflectionTest, BadValuesGiveBoundedDefinedStreaks) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  LensElement e = element;
  e.spread = 1e30f;  // at most 2500 streaks per fan
  EXPECT_EQ(At(-32, 180, e).size(), 2500u + 2500u);
  e.spread = 500.0f;  // ten times the editor's largest still counts exactly
  EXPECT_EQ(At(-32, 180, e).size(), 2500u + 1250u);
  e.spread = -50.0f;
  EXPECT_TRUE(At(-32, 180, e).empty());
  e = element;
  e.spread = nan;
  EXPECT_TRUE(At(-32, 180, e).empty());
  EXPECT_TRUE(At(nan, nan).empty());
  EXPECT_TRUE(At(inf, -inf).empty());
  e = element;
  e.iparam3 = -32768;  // no reach: 0.01 pixels
  EXPECT_TRUE(At(-31, 180, e).empty());
  EXPECT_FALSE(At(-32, 180, e).empty());
  e = element;
  e.brightness = nan;
  e.scale = 1e30f;
  e.position = nan;
  for (const Streak& st : At(-32, 180, e)) {
    EXPECT_EQ(st.red, 0.0f);
    EXPECT_EQ(st.green, 0.0f);
    EXPECT_EQ(st.blue, 0.0f);
  }
}

// ----------------------------------------------------------- Chroma Hoop

class ChromaHoopTest : public ::testing::Test {
 protected:
  std::vector<Streak> At(float lx, float ly) {
    TestFrame frame(640, 360, lx, ly);
    return RecordStreaks(ChromaHoopStreaks, element, frame.target());
  }
  LensElement element = DefaultElement(ElementType::ChromaHoop);
};

TEST_F(ChromaHoopTest, EighteenHundredSingleChannelDashes) {
  const std::vector<Streak> s = At(40, 30);
  ASSERT_EQ(s.size(), 1800u);
  for (size_t i = 0; i < s.size(); i += 3) {
    // Green, red, blue copies, middle-anchored.
    EXPECT_EQ(s[i].red, 0.0f);
    EXPECT_GT(s[i].green, 0.0f);
    EXPECT_EQ(s[i + 1].green, 0.0f);
    EXPECT_GT(s[i + 1].red, 0.0f);
    EXPECT_EQ(s[i + 2].green, 0.0f);
    EXPECT_GT(s[i + 2].blue, 0.0f);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(s[i + c].anchor, StreakAnchor::Middle);
  }
}

TEST_F(ChromaHoopTest, DashesRunOutwardFromTheLightWithRedInsideBlue) {
  const std::vector<Streak> s = At(40, 30);
  const float e = 1.2f;  // softness 12
  const float c = (40.0f + 90.0f) / 600.0f;
  const float m = e * c + (1.0f - c);
  for (size_t i = 0; i < s.size(); i += 3) {
    const float g0 = DistanceFrom(s[i].x0, s[i].y0, 40, 30);
    EXPECT_NEAR(DistanceFrom(s[i].x1, s[i].y1, 40, 30), g0 * e, g0 * 1e-4f);
    EXPECT_NEAR(DistanceFrom(s[i + 1].x0, s[i + 1].y0, 40, 30), g0 / m, g0 * 1e-4f);
    EXPECT_NEAR(DistanceFrom(s[i + 2].x0, s[i + 2].y0, 40, 30), g0 * m, g0 * 1e-4f);
  }
}

TEST_F(ChromaHoopTest, ChromaSpreadMinus90MakesTheCopiesCoincide) {
  element.angle = -90.0f;  // c = 0, m = 1
  const std::vector<Streak> s = At(40, 30);
  for (size_t i = 0; i < s.size(); i += 3) {
    EXPECT_TRUE(SameEnds(s[i], s[i + 1])) << i;
    EXPECT_TRUE(SameEnds(s[i], s[i + 2])) << i;
  }
}

TEST_F(ChromaHoopTest, ArcIsCentredOnTheLightAndBulgesInTheElementsDirection) {
  element.iparam2 = 2;  // no noise
  const float lx = 40, ly = 30;
  const std::vector<Streak> s = At(lx, ly);
  // The element's point (position 0.25) and its distance from the light.
  const float px = 320 + 0.25f * (lx - 320), py = 180 + 0.25f * (ly - 180);
  const float d = DistanceFrom(px, py, lx, ly);
  // The first dashes lie (1 + 0.25) times as far out, toward the element.
  EXPECT_NEAR(DistanceFrom(s[0].x0, s[0].y0, lx, ly), 1.25f * d, 0.01f * d);
  const float toward = std::atan2(py - ly, px - lx);
  EXPECT_NEAR(std::atan2(s[0].y0 - ly, s[0].x0 - lx), toward, 0.01f);
  // The last ones come in to the element's own distance, and fade away.
  const Streak& last = s[1800 - 3];
  EXPECT_NEAR(DistanceFrom(last.x0, last.y0, lx, ly), d, 0.01f * d);
  EXPECT_LT(last.green, s[0].green * 1e-3f);
  // With position 0 the ends lie at the frame centre's distance.
  element.position = 0.0f;
  const std::vector<Streak> centred = At(lx, ly);
  const Streak& end = centred[1800 - 3];
  const float centreDistance = DistanceFrom(320, 180, lx, ly);
  EXPECT_NEAR(DistanceFrom(end.x0, end.y0, lx, ly), centreDistance, 0.01f * centreDistance);
}

TEST_F(ChromaHoopTest, ArcCompletenessHalfAndFullCircle) {
  element.iparam2 = 2;  // no noise
  const float lx = 40, ly = 30;
  const float px = 320 + 0.25f * (lx - 320), py = 180 + 0.25f * (ly - 180);
  const float toward = std::atan2(py - ly, px - lx);
  const auto angles = [&](const std::vector<Streak>& s) {
    std::vector<float> a;
    for (size_t i = 0; i < s.size(); i += 3) {
      float r = std::atan2(s[i].y0 - ly, s[i].x0 - lx) - toward;
      while (r > 3.14159265f) r -= 6.2831853f;
      while (r < -3.14159265f) r += 6.2831853f;
      a.push_back(r);
    }
    std::sort(a.begin(), a.end());
    return a;
  };
  // N = 300 dashes per side: a quarter turn each for 1000, a half for 2000.
  const float quarterStep = 1.5707963f / 300.0f;
  element.iparam3 = 1000;
  const std::vector<float> half = angles(At(lx, ly));
  EXPECT_NEAR(half.front(), -1.5707963f + quarterStep / 2, 1e-3f);
  EXPECT_NEAR(half.back(), 1.5707963f - quarterStep / 2, 1e-3f);
  const float dTheta = 2.0f * quarterStep;
  element.iparam3 = 2000;
  const std::vector<float> full = angles(At(lx, ly));
  float widest = full.front() + 6.2831853f - full.back();
  for (size_t i = 1; i < full.size(); ++i) widest = std::max(widest, full[i] - full[i - 1]);
  EXPECT_LT(widest, 2.0f * dTheta);  // no gap anywhere round the light
}

TEST_F(ChromaHoopTest, StrengthGrowsWithTheLightsDistanceFromTheCentre) {
  for (const Streak& st : At(320, 180)) {
    EXPECT_EQ(st.red + st.green + st.blue, 0.0f);
  }
  const float nearer = At(200, 100)[0].green, farther = At(40, 30)[0].green;
  EXPECT_GT(nearer, 0.0f);
  EXPECT_GT(farther, nearer);
}

TEST_F(ChromaHoopTest, AnamorphicDoublesHorizontalOffsets) {
  const std::vector<Streak> plain = At(40, 30);
  element.anamorphic = 1;
  const std::vector<Streak> wide = At(40, 30);
  ASSERT_EQ(plain.size(), wide.size());
  for (size_t i = 0; i < plain.size(); i += 97) {
    EXPECT_NEAR(wide[i].x0 - 40, 2 * (plain[i].x0 - 40), 1e-3f);
    EXPECT_FLOAT_EQ(wide[i].y0, plain[i].y0);
  }
}

TEST_F(ChromaHoopTest, DensityBounds) {
  element.iparam0 = 0;
  EXPECT_TRUE(At(40, 30).empty());
  element.iparam0 = -5;
  EXPECT_TRUE(At(40, 30).empty());
  element.iparam0 = 100;  // the editor's largest
  EXPECT_EQ(At(40, 30).size(), 15000u);
  element.iparam0 = 32767;
  EXPECT_EQ(At(40, 30).size(), 75000u);
}

// ------------------------------------------------------- PhotonSpikeBall

class PhotonSpikeBallTest : public ::testing::Test {
 protected:
  std::vector<Streak> At(float lx, float ly, float phase = 0.0f) {
    TestFrame frame(640, 360, lx, ly);
    frame.target().anglePhase = phase;
    frame.SetGains(1.0f, colour[0], colour[1], colour[2]);
    return RecordStreaks(PhotonSpikeBallStreaks, element, frame.target());
  }
  // Splits the streaks into spikes: every fan starts with its own count.
  std::vector<int> Counts() const {
    std::vector<int> n;
    const int32_t seed = element.iparam3 - 200;
    for (int k = 0; k < element.iparam0; ++k) {
      n.push_back(TruncToInt(AbsNoise(k + seed + 400) * 250.0f + 20.0f));
    }
    return n;
  }
  LensElement element = DefaultElement(ElementType::PhotonSpikeBall);
  float colour[3] = {1, 1, 1};
};

TEST_F(PhotonSpikeBallTest, SixSpikesFromTheCentreWithNoiseCounts) {
  const std::vector<Streak> s = At(200, 100);
  const std::vector<int> counts = Counts();
  size_t total = 0;
  for (const int n : counts) {
    EXPECT_GE(n, 20);
    EXPECT_LE(n, 270);
    total += n;
  }
  ASSERT_EQ(s.size(), total);
  for (const Streak& st : s) {
    EXPECT_EQ(st.x0, 200.0f);
    EXPECT_EQ(st.y0, 100.0f);
    EXPECT_EQ(st.anchor, StreakAnchor::Start);
  }
  element.iparam0 = 0;
  EXPECT_TRUE(At(200, 100).empty());
  element.iparam0 = -3;
  EXPECT_TRUE(At(200, 100).empty());
}

TEST_F(PhotonSpikeBallTest, DirectionsAreNoisePlusThirdsOfATurnAtAngleZero) {
  const std::vector<Streak> s = At(200, 100);
  const int32_t seed = element.iparam3 - 200;
  size_t first = 0;
  for (int k = 0; k < element.iparam0; ++k) {
    const float turns =
        static_cast<float>(TruncToInt(AbsNoise(k + 845) * 7.7f)) / 3.0f + Noise(k + seed + 400);
    const Streak& st = s[first];
    const float got = std::atan2(st.x1 - st.x0, st.y1 - st.y0);
    float diff = got - turns * 6.2831853f;
    diff = std::remainder(diff, 6.2831853f);
    EXPECT_NEAR(diff, 0.0f, 1e-3f) << k;
    first += Counts()[k];
  }
}

TEST_F(PhotonSpikeBallTest, TheEffectsColourDoesNotTintIt) {
  const std::vector<Streak> white = At(200, 100);
  colour[0] = 0.2f;
  colour[1] = 1.0f;
  colour[2] = 0.5f;
  const std::vector<Streak> tinted = At(200, 100);
  ASSERT_EQ(white.size(), tinted.size());
  for (size_t i = 0; i < white.size(); ++i) {
    EXPECT_TRUE(SameEnds(white[i], tinted[i]));
    EXPECT_EQ(white[i].red, tinted[i].red);
    EXPECT_EQ(white[i].green, tinted[i].green);
    EXPECT_EQ(white[i].blue, tinted[i].blue);
  }
}

TEST_F(PhotonSpikeBallTest, SeedChangesDirectionsAndCountsButNotLengths) {
  const std::vector<Streak> a = At(200, 100);
  const std::vector<int> countsA = Counts();
  element.iparam3 = 77;
  const std::vector<Streak> b = At(200, 100);
  const std::vector<int> countsB = Counts();
  EXPECT_NE(countsA, countsB);
  // The middle streak of each fan is full length; all of a fan's streaks are.
  size_t ia = 0, ib = 0;
  for (int k = 0; k < element.iparam0; ++k) {
    EXPECT_NEAR(Length(a[ia]), Length(b[ib]), 1e-2f) << k;
    EXPECT_GT(std::fabs(std::atan2(a[ia].x1 - 200, a[ia].y1 - 100) -
                        std::atan2(b[ib].x1 - 200, b[ib].y1 - 100)),
              1e-3f);
    ia += countsA[k];
    ib += countsB[k];
  }
}

TEST_F(PhotonSpikeBallTest, BrightnessLengthensAndStrengthensWithoutChangingTheHue) {
  const std::vector<Streak> dim = At(200, 100);
  element.brightness *= 2.0f;
  const std::vector<Streak> bright = At(200, 100);
  ASSERT_EQ(dim.size(), bright.size());
  int compared = 0;
  for (size_t i = 0; i < dim.size(); ++i) {
    EXPECT_GT(Length(bright[i]), Length(dim[i]));
    if (dim[i].red > 1e-4f && bright[i].blue < 1.0f && dim[i].blue < 1.0f) {
      // Colour 127, 191, 255: the channels keep the ratio R^2 : B^2.
      EXPECT_NEAR(bright[i].red / bright[i].blue, dim[i].red / dim[i].blue, 1e-3f);
      ++compared;
    }
  }
  EXPECT_GT(compared, 100);
  // The Angle's phase turns the spikes and changes their strength.
  const std::vector<Streak> turned = At(200, 100, 0.7f);
  EXPECT_FALSE(SameEnds(turned[0], bright[0]));
}

TEST_F(PhotonSpikeBallTest, HugeCountsAreCapped) {
  element.iparam0 = 32767;
  const std::vector<Streak> s = At(200, 100);
  size_t total = 0;
  for (int k = 0; k < 300; ++k) {
    total += TruncToInt(AbsNoise(k + element.iparam3 - 200 + 400) * 250.0f + 20.0f);
  }
  EXPECT_EQ(s.size(), total);
}

// ---------------------------------------------------------------- ChromaFan

class ChromaFanTest : public ::testing::Test {
 protected:
  std::vector<Streak> At(float lx, float ly) {
    TestFrame frame(640, 360, lx, ly);
    return RecordStreaks(ChromaFanStreaks, element, frame.target());
  }
  LensElement element = DefaultElement(ElementType::ChromaFan);
};

TEST_F(ChromaFanTest, TwentyOneHundredSixtyMirroredSingleChannelDashes) {
  const std::vector<Streak> s = At(200, 100);
  ASSERT_EQ(s.size(), 2160u);
  for (size_t i = 0; i < s.size(); i += 2) {
    // Each dash and its mirror image through the centre (200, 100).
    EXPECT_NEAR(s[i].x0 + s[i + 1].x0, 400.0f, 1e-3f);
    EXPECT_NEAR(s[i].y0 + s[i + 1].y0, 200.0f, 1e-3f);
    EXPECT_NEAR(s[i].x1 + s[i + 1].x1, 400.0f, 1e-3f);
    EXPECT_EQ(s[i].anchor, StreakAnchor::Middle);
    EXPECT_EQ(s[i].red, s[i + 1].red);
  }
  // Within each dash: red, red, green, green, blue, blue.
  for (size_t i = 0; i < s.size(); i += 6) {
    EXPECT_EQ(s[i].green + s[i].blue, 0.0f);
    EXPECT_EQ(s[i + 2].red + s[i + 2].blue, 0.0f);
    EXPECT_EQ(s[i + 4].red + s[i + 4].green, 0.0f);
  }
}

TEST_F(ChromaFanTest, GeometryOfTheMiddleLine) {
  element.iparam5 = -50;  // no jitter
  const std::vector<Streak> s = At(200, 100);
  // Line 60 of 120 is the middle: angle 0 points down.
  const size_t line = 60 * 18;
  const float ro = 299.0f / 2000.0f * 640.0f, dl = 640.0f * 0.15f / 3.0f;
  const float shift = 0.25f * dl;
  // Green dash 0 runs from ro to ro + dl below the centre, red a shift
  // nearer, blue a shift farther.
  EXPECT_NEAR(s[line + 2].x0, 200.0f, 1e-3f);
  EXPECT_NEAR(s[line + 2].y0, 100.0f + ro, 1e-3f);
  EXPECT_NEAR(s[line + 2].y1, 100.0f + ro + dl, 1e-3f);
  EXPECT_NEAR(s[line + 0].y0, 100.0f + ro - shift, 1e-3f);
  EXPECT_NEAR(s[line + 4].y0, 100.0f + ro + shift, 1e-3f);
  // Dashes fade outward by (cycles - c) / cycles.
  EXPECT_NEAR(s[line + 6 + 2].green / s[line + 2].green, 2.0f / 3.0f, 1e-5f);
  EXPECT_NEAR(s[line + 12 + 2].green / s[line + 2].green, 1.0f / 3.0f, 1e-5f);
  // The whole fan opens by iparam3 x 0.09 = 45 degrees.
  const float first = std::atan2(-(s[2].x1 - s[2].x0), s[2].y1 - s[2].y0);
  const Streak& outer = s[119 * 18 + 2];
  const float last = std::atan2(-(outer.x1 - outer.x0), outer.y1 - outer.y0);
  EXPECT_NEAR(last - first, 45.0f / 57.29578f * 119.0f / 120.0f, 1e-4f);
}

TEST_F(ChromaFanTest, TaperFadesTheOuterLines) {
  const std::vector<Streak> tapered = At(200, 100);
  // aG = min(|1.5 x 1 x 1 x 1 / 10|, 1) = 0.15.
  EXPECT_FLOAT_EQ(tapered[60 * 18 + 2].green, 0.15f);
  EXPECT_EQ(tapered[2].green, 0.0f);  // line 0
  EXPECT_NEAR(tapered[119 * 18 + 2].green, 0.15f / 60.0f, 1e-6f);
  element.option = 0;
  const std::vector<Streak> even = At(200, 100);
  for (size_t line = 0; line < 120; ++line) {
    EXPECT_FLOAT_EQ(even[line * 18 + 2].green, 0.15f) << line;
  }
}

TEST_F(ChromaFanTest, ZeroChromaSpreadMakesTheColoursCoincide) {
  element.spread = 0.0f;
  const std::vector<Streak> s = At(200, 100);
  for (size_t i = 0; i < s.size(); i += 6) {
    EXPECT_TRUE(SameEnds(s[i], s[i + 2]));
    EXPECT_TRUE(SameEnds(s[i], s[i + 4]));
  }
}

TEST_F(ChromaFanTest, SpreadZeroOffsetOneAndAnamorphic) {
  element.iparam3 = 0;
  element.iparam5 = -50;  // jitter amplitude 0 too
  element.iparam4 = 1;    // dashes start at the centre
  const std::vector<Streak> s = At(200, 100);
  for (size_t i = 0; i < s.size(); i += 6) {
    EXPECT_NEAR(s[i + 2].x1 - s[i + 2].x0, 0.0f, 1e-4f);  // all pointing down
  }
  EXPECT_EQ(s[2].x0, 200.0f);
  EXPECT_EQ(s[2].y0, 100.0f);
  // Angle 90 gives a0 = -90 degrees: the lines run along (1, 0), doubled.
  element.angle = 90.0f;
  element.anamorphic = 1;
  const std::vector<Streak> w = At(200, 100);
  EXPECT_NEAR(w[2].x1 - w[2].x0, 2.0f * 640.0f * 0.15f / 3.0f, 1e-2f);
}

TEST_F(ChromaFanTest, ForwardDashesAreTheCentrePlusTheDashThenShifted) {
  // The end points are (centre + P0) - shift and (centre + P0) + shift,
  // bit for bit: grouping the shift with P0 first moves some ends by one ulp,
  // and with them the fade of a whole dash.
  TestFrame frame(320, 240, 160, 120);
  const std::vector<Streak> s = RecordStreaks(ChromaFanStreaks, element, frame.target());
  const float W = 320.0f, hN = 60.0f;
  const float dTheta = 500 / 11.1111111f / 57.29577951f / 120;
  const float jA = dTheta * (300 + 50.0f) / 1000.0f;
  const float ro = (300 - 1.0f) / 2000.0f * W * 1.0f;
  const float dl = W * 1.0f * 0.15f / 3;
  int mismatches = 0;
  for (int j = 0; j < 120; ++j) {
    const float theta = Noise(j) * jA + ((j - hN) * dTheta + 0.0f / -57.29577951f);
    const float sn = SinF(theta), cs = CosF(theta);
    const float sx = -dl * sn, sy = dl * cs, ox = -ro * sn, oy = ro * cs;
    const float hx = sx * (25.0f / 100), hy = sy * (25.0f / 100);
    for (int c = 0; c < 3; ++c) {
      const float p0x = sx * c + ox, p0y = sy * c + oy;
      const Streak& red = s[(j * 3 + c) * 6];
      const Streak& blue = s[(j * 3 + c) * 6 + 4];
      mismatches += red.x0 != (160.0f + p0x) - hx || red.y0 != (120.0f + p0y) - hy;
      mismatches += blue.x0 != (160.0f + p0x) + hx || blue.y0 != (120.0f + p0y) + hy;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST_F(ChromaFanTest, CountsAndTheirBounds) {
  element.iparam2 = 0;  // one line
  EXPECT_EQ(At(200, 100).size(), 18u);
  element.iparam2 = -100;
  EXPECT_EQ(At(200, 100).size(), 18u);
  element.iparam0 = 0;
  EXPECT_TRUE(At(200, 100).empty());
  element.iparam0 = -1;
  EXPECT_TRUE(At(200, 100).empty());
  element.iparam0 = 100;  // the editor's largest ranges
  element.iparam2 = 16;
  EXPECT_EQ(At(200, 100).size(), 6u * 100 * 480);
  element.iparam0 = 32767;
  element.iparam2 = 32767;
  EXPECT_LE(At(200, 100).size(), 6u * 100000);
}

}  // namespace
}  // namespace gw
