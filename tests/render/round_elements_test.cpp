// The round elements: GlowBall, Disc, Ellipse, FadedRing, Elliptical Caustic
// and CircleSpread, drawn whole through their renderers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "lens/lens.h"
#include "render/draw_lens.h"
#include "render/elements/elements.h"
#include "render/elements/round_layout.h"
#include "render/profiles.h"
#include "render/spread_layout.h"
#include "tests/support/test_frame.h"

namespace gw {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// Lit columns of a row and lit rows of a column (over black).
int LitInRow(const TestFrame& f, int y) {
  int n = 0;
  for (int x = 0; x < f.width(); ++x) n += Lit(f, x, y);
  return n;
}
int LitInColumn(const TestFrame& f, int x) {
  int n = 0;
  for (int y = 0; y < f.height(); ++y) n += Lit(f, x, y);
  return n;
}

std::vector<uint8_t> RedProfile(ProfileStore& store) {
  return std::vector<uint8_t>(store.red(), store.red() + store.length());
}

// ---------------------------------------------------------------- GlowBall

TEST(GlowBall, AnamorphicIsTwiceAsWideAndAsHigh) {
  TestFrame plain(800, 300, 400.0f, 150.0f);
  TestFrame wide(800, 300, 400.0f, 150.0f);
  LensElement e = DefaultElement(ElementType::GlowBall);
  e.scale = 0.1f;
  RenderGlowBall(e, plain.target(), plain.scratch());
  e.anamorphic = 1;
  RenderGlowBall(e, wide.target(), wide.scratch());
  const int plainWidth = LitInRow(plain, 150);
  ASSERT_GT(plainWidth, 20);
  ASSERT_LT(plainWidth, 390);
  EXPECT_NEAR(LitInRow(wide, 150), 2 * plainWidth, 2);
  EXPECT_EQ(LitInColumn(wide, 400), LitInColumn(plain, 400));
}

TEST(GlowBall, RingOnlyWithDoRing) {
  LensElement e = DefaultElement(ElementType::GlowBall);
  e.scale = 0.2f;
  TestFrame without(400, 300, 200.0f, 150.0f);
  RenderGlowBall(e, without.target(), without.scratch());
  // Without the ring its fields play no part.
  TestFrame ringFields(400, 300, 200.0f, 150.0f);
  LensElement f = e;
  f.angle = 70.0f;
  f.spread = 9.0f;
  f.brightness = 3.0f;
  RenderGlowBall(f, ringFields.target(), ringFields.scratch());
  EXPECT_EQ(without.bytes(), ringFields.bytes());
  // With it, a red-heavy ring appears.
  TestFrame with(400, 300, 200.0f, 150.0f);
  f.option = 1;
  RenderGlowBall(f, with.target(), with.scratch());
  EXPECT_NE(without.bytes(), with.bytes());
  int redGain = 0, blueGain = 0;
  for (int x = 200; x < 400; ++x) {
    redGain += Red(with, x, 150) - Red(without, x, 150);
    blueGain += Blue(with, x, 150) - Blue(without, x, 150);
  }
  EXPECT_GT(redGain, 2 * blueGain);
}

TEST(GlowBall, GammaIsTheLastReshaping) {
  // Ramp Gamma 300 leaves the profile as built; any other value passes every
  // sample through the gamma curve just before the stamp.
  LensElement e = DefaultElement(ElementType::GlowBall);
  e.option = 1;
  TestFrame neutral(200, 150, 60.0f, 40.0f);
  e.iparam5 = 300;
  RenderGlowBall(e, neutral.target(), neutral.scratch());
  TestFrame curved(200, 150, 60.0f, 40.0f);
  e.iparam5 = 500;
  RenderGlowBall(e, curved.target(), curved.scratch());
  const std::vector<uint8_t> built = RedProfile(neutral.profile());
  GammaProfile(500, 300, neutral.target(), neutral.profile());
  EXPECT_EQ(RedProfile(neutral.profile()), RedProfile(curved.profile()));
  EXPECT_NE(built, RedProfile(curved.profile()));
}

// ---------------------------------------------------------------- Disc

class DiscTest : public ::testing::Test {
 protected:
  // 400 x 300 with the light on the frame centre: the Disc sits at (200, 150)
  // and its outer radius is 0.25 x 400 = 100 pixels.
  TestFrame f{400, 300, 200.0f, 150.0f};
  LensElement e = DefaultElement(ElementType::Disc);
};

TEST_F(DiscTest, DefaultsFallAsTheCubeToZeroAtTheOuterRadius) {
  RenderDisc(e, f.target(), f.scratch());
  // Colour (255, 194, 128) x 1.2, the red clamped.
  EXPECT_EQ(Red(f, 200, 150), 255);
  EXPECT_EQ(Green(f, 200, 150), 232);
  EXPECT_EQ(Blue(f, 200, 150), 153);
  for (int r = 0; r < 100; ++r) {
    const double falloff = std::pow(1.0 - r / 100.0, 3.0);
    ASSERT_NEAR(Green(f, 200 + r, 150), 232 * falloff, 1.5) << r;
    ASSERT_NEAR(Blue(f, 200, 150 - r), 153 * falloff, 1.5) << r;
  }
  for (int r = 100; r < 110; ++r) {
    ASSERT_FALSE(Lit(f, 200 + r, 150)) << r;
    ASSERT_FALSE(Lit(f, 200, 150 + r)) << r;
  }
}

TEST_F(DiscTest, OuterRadiusFollowsBothScales) {
  e.scale = 0.5f;
  RenderDisc(e, f.target(), f.scratch());
  EXPECT_TRUE(Lit(f, 240, 150));
  EXPECT_FALSE(Lit(f, 250, 150));
  TestFrame big(400, 300, 200.0f, 150.0f, 0.5f);
  e.scale = 3.0f;
  e.angle = -90.0f;  // linear, so that the edge is not too dark to see
  RenderDisc(e, big.target(), big.scratch());  // 0.25 x 400 x 0.5 x 3 = 150
  EXPECT_TRUE(Lit(big, 200, 10));
  EXPECT_FALSE(Lit(big, 200, 0));
  EXPECT_TRUE(Lit(big, 345, 150));
  EXPECT_FALSE(Lit(big, 350, 150));
}

TEST_F(DiscTest, CentreOffsetCutsAHole) {
  e.iparam0 = 21;  // 20 hundredths of the base radius 200: 40 pixels
  RenderDisc(e, f.target(), f.scratch());
  for (int r = 0; r < 40; ++r) ASSERT_FALSE(Lit(f, 200 + r, 150)) << r;
  EXPECT_FALSE(Lit(f, 240, 150));     // the start of the one-pixel inner ramp
  EXPECT_EQ(Green(f, 241, 150), 232);  // past it
  EXPECT_FALSE(Lit(f, 340, 150));
}

TEST_F(DiscTest, CentreOffsetZeroIsNoHole) {
  RenderDisc(e, f.target(), f.scratch());
  TestFrame zero(400, 300, 200.0f, 150.0f);
  e.iparam0 = 0;
  RenderDisc(e, zero.target(), zero.scratch());
  EXPECT_EQ(f.bytes(), zero.bytes());
  // A hugely negative one neither shrinks the disc away.
  TestFrame negative(400, 300, 200.0f, 150.0f);
  e.iparam0 = -32768;
  RenderDisc(e, negative.target(), negative.scratch());
  EXPECT_EQ(f.bytes(), negative.bytes());
}

TEST_F(DiscTest, BandAndInnerRampWidths) {
  e.iparam3 = 100;  // inner ramp 20 pixels
  e.iparam4 = 100;  // band 20 pixels
  e.iparam5 = 100;  // outer ramp 20 pixels
  e.angle = -90.0f;  // linear
  RenderDisc(e, f.target(), f.scratch());
  EXPECT_FALSE(Lit(f, 200, 150));
  EXPECT_NEAR(Green(f, 210, 150), 116, 1);
  for (int r = 20; r < 40; ++r) ASSERT_EQ(Green(f, 200 + r, 150), 232) << r;
  EXPECT_NEAR(Green(f, 250, 150), 116, 1);
  EXPECT_FALSE(Lit(f, 260, 150));
}

TEST_F(DiscTest, AnglesSetTheRampExponent) {
  // -90: linear; 0: square; 180: fourth power.
  const std::pair<float, double> cases[] = {{-90.0f, 1.0}, {0.0f, 2.0}, {180.0f, 4.0}};
  for (const auto& [angle, exponent] : cases) {
    TestFrame g(400, 300, 200.0f, 150.0f);
    e.angle = angle;
    RenderDisc(e, g.target(), g.scratch());
    for (int r : {25, 50, 75}) {
      ASSERT_NEAR(Green(g, 200 + r, 150), 232 * std::pow(1.0 - r / 100.0, exponent), 1.5)
          << angle << " at " << r;
    }
  }
}

TEST_F(DiscTest, SmoothingWidensTheStamp) {
  RenderDisc(e, f.target(), f.scratch());
  EXPECT_FALSE(Lit(f, 303, 150));
  TestFrame smooth(400, 300, 200.0f, 150.0f);
  e.option = 1;
  e.spread = 50.0f;  // a 39-sample blur
  e.angle = -90.0f;
  RenderDisc(e, smooth.target(), smooth.scratch());
  EXPECT_TRUE(Lit(smooth, 303, 150));  // the blurred fringe past R = 100
  EXPECT_FALSE(Lit(smooth, 333, 150));  // 1.3 R + 2
}

TEST_F(DiscTest, AnamorphicIsTwiceAsWide) {
  RenderDisc(e, f.target(), f.scratch());
  TestFrame wide(400, 300, 200.0f, 150.0f);
  e.anamorphic = 1;
  RenderDisc(e, wide.target(), wide.scratch());
  for (int a = -99; a < 100; ++a) {
    if (200 + 2 * a < 0 || 200 + 2 * a >= 400) continue;
    ASSERT_EQ(Green(wide, 200 + 2 * a, 150), Green(f, 200 + a, 150)) << a;
  }
  for (int b = -99; b < 100; ++b) {
    if (150 + b < 0 || 150 + b >= 300) continue;
    ASSERT_EQ(Green(wide, 200, 150 + b), Green(f, 200, 150 + b)) << b;
  }
}

// ---------------------------------------------------------------- Ellipse

TEST(Ellipse, AtTheFrameCentreItIsRoundAndEven) {
  TestFrame f(300, 300, 150.0f, 150.0f);
  LensElement e = DefaultElement(ElementType::Ellipse);
  e.brightness = 1.0f;
  RenderEllipse(e, f.target(), f.scratch());
  ASSERT_TRUE(Lit(f, 150 + 40, 150));
  // The profile ends 0.32 x the base radius 150 = 48 pixels out, whichever way.
  for (int a = 0; a < 60; ++a) {
    const int right = Blue(f, 150 + a, 150);
    ASSERT_NEAR(Blue(f, 150 - a, 150), right, 2) << a;
    ASSERT_NEAR(Blue(f, 150, 150 + a), right, 2) << a;
    ASSERT_NEAR(Blue(f, 150, 150 - a), right, 2) << a;
  }
  EXPECT_FALSE(Lit(f, 150 + 50, 150));
}

TEST(Ellipse, OffAxisItFlattensAndFadesAwayFromTheCentre) {
  // A tall frame: the element 100 pixels below the frame centre, half a
  // frame width: f = 0.5, aspect 0.833, taper 1.0.
  TestFrame f(200, 600, 100.0f, 400.0f);
  LensElement e = DefaultElement(ElementType::Ellipse);
  e.position = 1.0f;
  e.brightness = 1.0f;
  e.scale = 1.5f;
  RenderEllipse(e, f.target(), f.scratch());
  const OffAxis off = MeasureOffAxis(f.target(), {100.0f, 400.0f});
  EXPECT_FLOAT_EQ(off.f, 0.5f);
  uint64_t above = 0, below = 0;
  for (int y = 0; y < 600; ++y) {
    for (int x = 0; x < 200; ++x) (y < 400 ? above : below) += Blue(f, x, y);
  }
  EXPECT_GT(above, 2 * below);  // bright toward the frame centre
  // Flattened along the line to the centre: wider than high.
  EXPECT_GT(LitInRow(f, 400), LitInColumn(f, 100) + 4);
}

TEST(Ellipse, TurnsWithTheLight) {
  LensElement e = DefaultElement(ElementType::Ellipse);
  e.position = 1.0f;
  e.brightness = 1.0f;
  TestFrame h(600, 600, 500.0f, 300.0f);  // element right of the centre
  TestFrame v(600, 600, 300.0f, 500.0f);  // element below it
  RenderEllipse(e, h.target(), h.scratch());
  RenderEllipse(e, v.target(), v.scratch());
  EXPECT_GT(LitInColumn(h, 500), LitInRow(h, 300) + 4);  // flattened across x
  EXPECT_GT(LitInRow(v, 500), LitInColumn(v, 300) + 4);  // flattened across y
}

// ---------------------------------------------------------------- FadedRing

TEST(FadedRing, AQuarterFrameWidthRingThatIgnoresColours) {
  TestFrame f(400, 400, 200.0f, 200.0f);
  LensElement e = DefaultElement(ElementType::FadedRing);
  RenderFadedRing(e, f.target(), f.scratch());
  int peak = 0, at = 0;
  for (int x = 200; x < 400; ++x) {
    if (Red(f, x, 200) > peak) {
      peak = Red(f, x, 200);
      at = x - 200;
    }
  }
  // The rim's crest sits W / 30 samples inside the radius W / 4 = 100.
  EXPECT_GE(at, 95);
  EXPECT_LE(at, 100);
  EXPECT_GT(peak, 0);
  EXPECT_FALSE(Lit(f, 200, 200));
  // Round and even at the frame centre.
  for (int a = 90; a < 106; ++a) {
    ASSERT_NEAR(Red(f, 200 - a, 200), Red(f, 200 + a, 200), 2) << a;
    ASSERT_NEAR(Red(f, 200, 200 + a), Red(f, 200 + a, 200), 2) << a;
  }
  TestFrame coloured(400, 400, 200.0f, 200.0f);
  e.color1 = {1, 2, 3};
  e.color2 = {200, 0, 90};
  RenderFadedRing(e, coloured.target(), coloured.scratch());
  EXPECT_EQ(f.bytes(), coloured.bytes());
}

TEST(FadedRing, ColoursGrowAwayFromTheCentre) {
  LensElement e = DefaultElement(ElementType::FadedRing);
  e.position = 1.0f;
  TestFrame centred(400, 800, 200.0f, 400.0f);
  TestFrame off(400, 800, 200.0f, 600.0f);  // f = 0.5
  RenderFadedRing(e, centred.target(), centred.scratch());
  RenderFadedRing(e, off.target(), off.scratch());
  int centredPeak = 0, offPeak = 0;
  for (int y = 0; y < 800; ++y) {
    centredPeak = std::max(centredPeak, Red(centred, 200, y));
    offPeak = std::max(offPeak, Red(off, 200, y));
  }
  EXPECT_GT(offPeak, centredPeak);
}

// ---------------------------------------------------------------- Elliptical Caustic

TEST(EllipticalCaustic, BowlColourAtHalfAFrameWidth) {
  const Peaks bowl = CausticBowlPeaks(0.5f, 1.0f, 1.0f, 1.0f);
  EXPECT_EQ(bowl.r, 124);
  EXPECT_EQ(bowl.g, 66);
  EXPECT_EQ(bowl.b, 20);
  const Peaks none = CausticBowlPeaks(0.0f, 1.0f, 1.0f, 1.0f);
  EXPECT_EQ(none.r, 0);
  EXPECT_EQ(none.b, 0);
}

TEST(EllipticalCaustic, WeakAtTheCentreStrongerAway) {
  LensElement e = DefaultElement(ElementType::EllipticalCaustic);
  e.position = 1.0f;
  TestFrame centred(400, 800, 200.0f, 400.0f);
  TestFrame off(400, 800, 200.0f, 600.0f);  // f = 0.5
  RenderEllipticalCaustic(e, centred.target(), centred.scratch());
  RenderEllipticalCaustic(e, off.target(), off.scratch());
  ASSERT_GT(centred.ColourSum(), 0u);  // the ring, at half strength
  // The caustic's middle: nothing but the ring's faint floor at the centre.
  EXPECT_GT(Red(off, 200, 600), Red(centred, 200, 400) + 10);
}

TEST(EllipticalCaustic, AnamorphicIsTwiceAsWide) {
  LensElement e = DefaultElement(ElementType::EllipticalCaustic);
  TestFrame plain(800, 300, 400.0f, 150.0f);
  TestFrame wide(800, 300, 400.0f, 150.0f);
  RenderEllipticalCaustic(e, plain.target(), plain.scratch());
  e.anamorphic = 1;
  RenderEllipticalCaustic(e, wide.target(), wide.scratch());
  const int plainWidth = LitInRow(plain, 150);
  ASSERT_GT(plainWidth, 50);
  EXPECT_NEAR(LitInRow(wide, 150), 2 * plainWidth, 4);
  EXPECT_NEAR(LitInColumn(wide, 400), LitInColumn(plain, 400), 1);
}

// ---------------------------------------------------------------- CircleSpread

TEST(CircleSpread, DiscsSitWherePolySpreadGhostsDo) {
  int checked = 0;
  for (int16_t seed : {0, 7, 200, 1234, -500, 31000, 77, 4242}) {
    TestFrame f(400, 300, 260.0f, 180.0f);
    LensElement e = DefaultElement(ElementType::CircleSpread);
    e.iparam0 = 1;
    e.iparam3 = seed;
    e.scale = 2.0f;
    const SpreadAxis axis = MakeSpreadAxis(e, f.target());
    const SpreadGhost ghost = PlaceSpreadGhost(axis, f.target(), 0, seed);
    ASSERT_TRUE(ghost.visible);
    RenderCircleSpread(e, f.target(), f.scratch());
    double sum = 0, sx = 0, sy = 0;
    int minX = 400, maxX = -1;
    for (int y = 0; y < 300; ++y) {
      for (int x = 0; x < 400; ++x) {
        const double w = Green(f, x, y);
        sum += w;
        sx += w * x;
        sy += w * y;
        if (w > 0) minX = std::min(minX, x), maxX = std::max(maxX, x);
      }
    }
    if (sum < 50 || minX == 0 || maxX == 399) continue;  // too faint, or cut by the frame
    // The stamps measure distances from a pixel's corner: pixel x stands at x.
    EXPECT_NEAR(sx / sum, ghost.px, 0.25) << "seed " << seed;
    EXPECT_NEAR(sy / sum, ghost.py, 0.25) << "seed " << seed;
    ++checked;
  }
  EXPECT_GE(checked, 4);
}

TEST(CircleSpread, NoDiscOnceTheLightIsHalfTheLongSideAway) {
  LensElement e = DefaultElement(ElementType::CircleSpread);
  e.iparam0 = 100;
  TestFrame near(400, 300, 250.0f, 150.0f);
  RenderCircleSpread(e, near.target(), near.scratch());
  EXPECT_GT(near.ColourSum(), 0u);
  TestFrame far(400, 300, 400.0f, 150.0f);  // M / 2 = 200 from the centre
  RenderCircleSpread(e, far.target(), far.scratch());
  EXPECT_EQ(far.ColourSum(), 0u);
}

// ---------------------------------------------------------------- all six

const ElementType kRoundTypes[] = {ElementType::GlowBall,          ElementType::Disc,
                                   ElementType::Ellipse,           ElementType::FadedRing,
                                   ElementType::EllipticalCaustic, ElementType::CircleSpread};

std::string TypeName(ElementType type) { return std::to_string(static_cast<int>(type)); }

// A frame of varied colours and a fixed alpha.
TestFrame PatternFrame(int w, int h, float lx, float ly, float scale = 1.0f) {
  TestFrame f(w, h, lx, ly, scale, 0, 99);
  uint8_t* p = f.Pixel(0, 0);
  for (size_t i = 0; i < f.bytes().size(); ++i) {
    if (i % 4 != 0) p[i] = static_cast<uint8_t>((i * 7919) % 200);
  }
  return f;
}

// Every pixel outside the rectangle unchanged, alpha unchanged everywhere,
// no colour byte darker than before.
::testing::AssertionResult OnlyBrightensInside(const TestFrame& before, const TestFrame& after,
                                               int top, int bottom, int left, int right) {
  for (int y = 0; y < before.height(); ++y) {
    for (int x = 0; x < before.width(); ++x) {
      const uint8_t* b = before.Pixel(x, y);
      const uint8_t* a = after.Pixel(x, y);
      const bool inside = y >= top && y < bottom && x >= left && x < right;
      if (a[0] != b[0]) return ::testing::AssertionFailure() << "alpha at " << x << "," << y;
      for (int c = 1; c < 4; ++c) {
        if (!inside && a[c] != b[c]) {
          return ::testing::AssertionFailure() << "outside the clip at " << x << "," << y;
        }
        if (a[c] < b[c]) return ::testing::AssertionFailure() << "darker at " << x << "," << y;
      }
    }
  }
  return ::testing::AssertionSuccess();
}

TEST(RoundElements, DispatchedByType) {
  for (ElementType type : kRoundTypes) {
    TestFrame f(200, 150, 60.0f, 45.0f);
    DrawElement(DefaultElement(type), f.target(), f.scratch());
    EXPECT_GT(f.ColourSum(), 0u) << TypeName(type);
  }
}

// Values from strangers' lens files and projects: nothing crashes, hangs or
// writes outside the clip (the sanitizers watch the rest).
TEST(RoundElements, SurviveBadFieldValues) {
  const float floats[] = {kNaN, kInf, -kInf, 1e30f, -1e30f, 3e4f, -7.0f, 0.0f};
  const int16_t ints[] = {-32768, -1, 0, 1, 32767};
  for (ElementType type : kRoundTypes) {
    std::vector<LensElement> cases;
    for (float v : floats) {
      for (int field = 0; field < 5; ++field) {
        LensElement e = DefaultElement(type);
        e.option = 1;
        (&e.brightness)[field] = v;
        cases.push_back(e);
      }
    }
    for (int16_t v : ints) {
      for (int16_t LensElement::*field : {&LensElement::iparam0, &LensElement::iparam2,
                                          &LensElement::iparam3, &LensElement::iparam4,
                                          &LensElement::iparam5}) {
        LensElement e = DefaultElement(type);
        e.option = 1;
        e.*field = v;
        if (type == ElementType::CircleSpread && field == &LensElement::iparam0 && v > 1000) {
          e.scale = 0.05f;  // many small discs
        }
        cases.push_back(e);
      }
    }
    for (const LensElement& e : cases) {
      for (uint8_t anamorphic : {0, 1}) {
        LensElement a = e;
        a.anamorphic = anamorphic;
        TestFrame f = PatternFrame(64, 48, 20.0f, 15.0f);
        const TestFrame before = f;
        f.SetClip(8, 40, 4, 60);
        DrawElement(a, f.target(), f.scratch());
        ASSERT_TRUE(OnlyBrightensInside(before, f, 8, 40, 4, 60)) << TypeName(type);
      }
    }
  }
}

TEST(RoundElements, SurviveBadTargets) {
  const float values[] = {kNaN, kInf, -kInf, 1e9f, -1e9f, 0.0f};
  for (ElementType type : kRoundTypes) {
    LensElement e = DefaultElement(type);
    e.option = 1;
    for (float v : values) {
      for (int field = 0; field < 4; ++field) {
        TestFrame f = PatternFrame(64, 48, 20.0f, 15.0f);
        const TestFrame before = f;
        f.SetClip(8, 40, 4, 60);
        RenderTarget& t = f.target();
        float* fields[] = {&t.gainR, &t.brightness, &t.lightX, &t.lightY};
        *fields[field] = v;
        DrawElement(e, t, f.scratch());
        ASSERT_TRUE(OnlyBrightensInside(before, f, 8, 40, 4, 60)) << TypeName(type);
      }
      // The effect's Scale sizes the profiles; none at all when it is 0 or
      // NaN. (The test frame cannot size buffers for a negative one, so that
      // is tried with buffers of unit scale.)
      for (float scale : {0.0f, -1.0f, kNaN, 0.001f}) {
        TestFrame f = PatternFrame(64, 48, 20.0f, 15.0f, scale < 0.0f ? 1.0f : scale);
        f.target().scale = scale;
        const TestFrame before = f;
        DrawElement(e, f.target(), f.scratch());
        ASSERT_TRUE(OnlyBrightensInside(before, f, 0, 48, 0, 64)) << TypeName(type);
      }
    }
  }
}

TEST(RoundElements, HugeSizesAreCutAtTheFrame) {
  for (ElementType type : kRoundTypes) {
    LensElement e = DefaultElement(type);
    e.option = 1;
    e.scale = 5.0f;
    e.iparam3 = e.iparam4 = e.iparam5 = 2000;
    TestFrame f = PatternFrame(300, 200, 150.0f, 100.0f, 10.0f);
    const TestFrame before = f;
    f.SetClip(50, 150, 60, 240);
    DrawElement(e, f.target(), f.scratch());
    ASSERT_TRUE(OnlyBrightensInside(before, f, 50, 150, 60, 240)) << TypeName(type);
  }
}

}  // namespace
}  // namespace gw
