// The polygon elements: PolySpread, Single Poly, PolySpikeBall and Star
// Caustic, drawn whole through their renderers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <vector>

#include "lens/lens.h"
#include "render/draw_lens.h"
#include "render/elements/elements.h"
#include "render/elements/polygon_elements.h"
#include "render/numeric.h"
#include "tests/support/test_frame.h"

namespace gw {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();



// ------------------------------------------------------------- PolySpread

TEST(PolySpread, LightOnTheCentrePutsEveryGhostThereAtWeightQuarter) {
  TestFrame f(640, 360, 320.0f, 180.0f);
  LensElement e = DefaultElement(ElementType::PolySpread);
  e.position = 0.3f;
  e.spread = 25.0f;
  const PolySpreadSetup setup = MakePolySpreadSetup(e, f.target());
  EXPECT_EQ(setup.axis.D, 0.0f);
  EXPECT_EQ(setup.fadeIn, 0.0f);
  for (int k = 0; k < e.iparam0; ++k) {
    const PolySpreadGhost g = DescribePolySpreadGhost(setup, e, f.target(), k);
    EXPECT_TRUE(g.visible) << k;
    EXPECT_EQ(g.px, 320.0f) << k;
    EXPECT_EQ(g.py, 180.0f) << k;
    EXPECT_EQ(g.weight, 0.25f) << k;
  }
  // Ghost 0 with white light and colour, s1 200, s2 1000, s3 300:
  // red = 0.25 x 255 x c x |Noise(((0 + 200 + 7200 + 300) % 8) + 1000)|.
  const float c = 1.0f - AbsNoise((200 + 920) % 8 + 1000);
  const PolySpreadGhost g0 = DescribePolySpreadGhost(setup, e, f.target(), 0);
  EXPECT_EQ(g0.colour.r, TruncToInt(0.25f * 255.0f * c * AbsNoise(7700 % 8 + 1000)));
  EXPECT_EQ(g0.colour.g, TruncToInt(0.25f * 255.0f * c * AbsNoise((7600 + 900) % 8 + 1000)));
  EXPECT_EQ(g0.colour.b, TruncToInt(0.25f * 255.0f * c * AbsNoise((7700 + 1500) % 8 + 1000)));

  DrawElement(e, f.target(), f.scratch());
  // Every ghost sits on the centre: nothing lights up far from it.
  int farLit = 0;
  for (int y = 0; y < 360; ++y) {
    for (int x = 0; x < 640; ++x) {
      if (std::hypot(x - 320.0, y - 180.0) > 70.0) farLit += Lit(f, x, y);
    }
  }
  EXPECT_GT(Red(f, 320, 180), 0);
  EXPECT_EQ(farLit, 0);
}

TEST(PolySpread, GhostsBrightenAsTheLightMovesOut) {
  TestFrame f(640, 360, 320.0f + 160.0f, 180.0f);  // D = 320 = W / 2
  const LensElement e = DefaultElement(ElementType::PolySpread);
  const PolySpreadSetup setup = MakePolySpreadSetup(e, f.target());
  EXPECT_EQ(setup.fadeIn, 0.5f);
  for (int k = 0; k < e.iparam0; ++k) {
    const PolySpreadGhost g = DescribePolySpreadGhost(setup, e, f.target(), k);
    float w = 1.0f - std::fabs(Noise(k + e.iparam3 + 900));
    if (w > 0.5f) w = 0.5f;
    EXPECT_EQ(g.weight, w * 1.5f * 0.5f + 0.25f) << k;
  }
}

TEST(PolySpread, LightFarOutDrawsNoGhost) {
  // M = 640; the light M / 2 from the centre gives D >= M, over every threshold.
  TestFrame f(640, 360, 320.0f + 321.0f, 180.0f);
  const LensElement e = DefaultElement(ElementType::PolySpread);
  const PolySpreadSetup setup = MakePolySpreadSetup(e, f.target());
  EXPECT_GE(setup.axis.D, 640.0f);
  for (int k = 0; k < e.iparam0; ++k) {
    EXPECT_FALSE(DescribePolySpreadGhost(setup, e, f.target(), k).visible) << k;
  }
  DrawElement(e, f.target(), f.scratch());
  EXPECT_EQ(LitCount(f), 0);
}

TEST(PolySpread, CountZeroOrNegativeDrawsNothing) {
  for (int16_t count : {0, -1, -32768}) {
    TestFrame f(320, 180, 200.0f, 60.0f);
    LensElement e = DefaultElement(ElementType::PolySpread);
    e.iparam0 = count;
    DrawElement(e, f.target(), f.scratch());
    EXPECT_EQ(LitCount(f), 0) << count;
  }
  TestFrame f(320, 180, 200.0f, 60.0f);
  DrawElement(DefaultElement(ElementType::PolySpread), f.target(), f.scratch());
  EXPECT_GT(LitCount(f), 0);
}

TEST(PolySpread, TheSizeSeedMovesGhostsTheBrightnessSeedOnlyRecolours) {
  TestFrame f(640, 360, 250.0f, 120.0f);
  const LensElement base = DefaultElement(ElementType::PolySpread);
  LensElement s1 = base, s2 = base;
  s1.iparam3 = 1234;
  s2.iparam4 = 77;
  const PolySpreadSetup setup = MakePolySpreadSetup(base, f.target());
  int moved = 0, recoloured = 0;
  for (int k = 0; k < base.iparam0; ++k) {
    const PolySpreadGhost a = DescribePolySpreadGhost(setup, base, f.target(), k);
    const PolySpreadGhost b = DescribePolySpreadGhost(setup, s2, f.target(), k);
    const PolySpreadGhost c = DescribePolySpreadGhost(setup, s1, f.target(), k);
    EXPECT_EQ(a.px, b.px);
    EXPECT_EQ(a.py, b.py);
    EXPECT_EQ(a.radius, b.radius);
    EXPECT_EQ(a.roundness, b.roundness);
    recoloured += a.colour.r != b.colour.r || a.colour.g != b.colour.g || a.colour.b != b.colour.b;
    moved += a.px != c.px && a.radius != c.radius;
  }
  EXPECT_GT(recoloured, base.iparam0 / 2);
  EXPECT_GT(moved, base.iparam0 / 2);
}

// ------------------------------------------------------------ Single Poly

// A Single Poly on the light (position 1), its centre pixel inside the flat
// part: 400 x 300 frame, radius 20 x 0.5 = 10 pixels.
int SinglePolyCentreRed(float lightX, int16_t fadeRate, bool fade, float brightness = 0.5f,
                        uint8_t red = 255) {
  TestFrame f(400, 300, lightX, 150.0f);
  LensElement e = DefaultElement(ElementType::SinglePoly);
  e.position = 1.0f;
  e.iparam0 = fadeRate;
  e.option = fade ? 1 : 0;
  e.brightness = brightness;
  e.color1 = {red, red, red};
  DrawElement(e, f.target(), f.scratch());
  return Red(f, TruncToInt(lightX), 150);
}

TEST(SinglePoly, FadeRatesAtTheCentreAndAQuarterWidthOut) {
  // 0.5 x 0.5 x 255 = 63.75. At x 200 the off-axis factor is 0; at x 300,
  // D = FastHypot(-200, 0) = 200 = W / 2, so it is 1.
  const float centre = 200.0f, out = 300.0f;
  EXPECT_EQ(SinglePolyCentreRed(centre, 50, true), 63);
  EXPECT_EQ(SinglePolyCentreRed(out, 50, true), 63);
  EXPECT_EQ(SinglePolyCentreRed(centre, 100, true), 63);
  EXPECT_EQ(SinglePolyCentreRed(out, 100, true), 0);
  EXPECT_EQ(SinglePolyCentreRed(centre, 0, true), 0);
  EXPECT_EQ(SinglePolyCentreRed(out, 0, true), 63);
  // Rate 75: q = 0.5, fade 0.5 a quarter width out.
  EXPECT_EQ(SinglePolyCentreRed(out, 75, true), 31);
  // Half way (f' = 0.5 at D = W / 4): rate 100 gives fade 0.5.
  EXPECT_EQ(SinglePolyCentreRed(250.0f, 100, true), 31);
}

TEST(SinglePoly, WithoutCenterFadeTheRateDoesNothing) {
  for (int16_t rate : {0, 10, 100, 32767, -32768}) {
    EXPECT_EQ(SinglePolyCentreRed(300.0f, rate, false), 63) << rate;
    EXPECT_EQ(SinglePolyCentreRed(200.0f, rate, false), 63) << rate;
  }
}

TEST(SinglePoly, BrightnessEntersTwice) {
  EXPECT_EQ(SinglePolyCentreRed(200.0f, 50, false, 0.25f, 200), 12);  // 0.0625 x 200
  EXPECT_EQ(SinglePolyCentreRed(200.0f, 50, false, 0.5f, 200), 50);   // 0.25 x 200
  EXPECT_EQ(SinglePolyCentreRed(200.0f, 50, false, 4.0f, 200), 255);  // capped
}

TEST(SinglePoly, RadiusFollowsTheFrameWidthOnly) {
  TestFrame a(400, 300, 200.0f, 150.0f), b(400, 200, 200.0f, 100.0f), c(800, 300, 400.0f, 150.0f);
  LensElement e = DefaultElement(ElementType::SinglePoly);
  DrawElement(e, a.target(), a.scratch());
  DrawElement(e, b.target(), b.scratch());
  DrawElement(e, c.target(), c.scratch());
  EXPECT_GT(LitCount(a), 0);
  EXPECT_EQ(LitCount(a), LitCount(b));
  // Twice the width: twice the radius, about four times the area.
  EXPECT_NEAR(LitCount(c), 4 * LitCount(a), 0.1 * 4 * LitCount(a));
}

TEST(SinglePoly, FadeRatesFarOutsideTheirRangeStayDark) {
  // Rate 32767 far out: fade = -653, a negative colour, drawn as nothing.
  EXPECT_EQ(SinglePolyCentreRed(300.0f, 32767, true), 0);
  EXPECT_EQ(SinglePolyCentreRed(200.0f, -32768, true), 0);
}

// ---------------------------------------------------------- PolySpikeBall

// Turns made by the outline around the centre.
double Turns(const SpikeStar& star) {
  double sum = 0.0;
  const size_t n = star.outline.size();
  for (size_t i = 0; i < n; ++i) {
    const PointF& a = star.outline[i];
    const PointF& b = star.outline[(i + 1) % n];
    double d = std::atan2(b.y - star.centre.y, b.x - star.centre.x) -
               std::atan2(a.y - star.centre.y, a.x - star.centre.x);
    while (d > std::numbers::pi) d -= 2 * std::numbers::pi;
    while (d < -std::numbers::pi) d += 2 * std::numbers::pi;
    sum += d;
  }
  return std::fabs(sum) / (2 * std::numbers::pi);
}

TEST(PolySpikeBall, DefaultHas222PointsGoingRoundTwelveTimes) {
  TestFrame f(1920, 1080, 600.0f, 300.0f);
  const SpikeStar star = PolySpikeBallStar(DefaultElement(ElementType::PolySpikeBall), f.target());
  ASSERT_EQ(star.outline.size(), 222u);
  EXPECT_NEAR(Turns(star), 12.0, 1e-6);
}

TEST(PolySpikeBall, NoPointIsNearerThanFivePixels) {
  for (float scale : {0.75f, 0.01f, 0.0f, -3.0f}) {
    TestFrame f(640, 360, 200.0f, 100.0f);
    LensElement e = DefaultElement(ElementType::PolySpikeBall);
    e.scale = scale;
    const SpikeStar star = PolySpikeBallStar(e, f.target());
    ASSERT_FALSE(star.outline.empty());
    double nearest = 1e9;
    for (const PointF& p : star.outline) {
      const double dx = double(p.x) - star.centre.x, dy = double(p.y) - star.centre.y;
      nearest = std::min(nearest, std::hypot(dx, dy));
    }
    EXPECT_GE(nearest, 5.0 - 1e-4) << scale;
    if (scale <= 0.01f) {
      EXPECT_NEAR(nearest, 5.0, 1e-4);  // every radius raised to 5
    }
  }
}

TEST(PolySpikeBall, AnamorphicDoublesEveryHorizontalOffset) {
  TestFrame f(640, 360, 200.0f, 100.0f);
  LensElement e = DefaultElement(ElementType::PolySpikeBall);
  const SpikeStar plain = PolySpikeBallStar(e, f.target());
  e.anamorphic = 1;
  const SpikeStar wide = PolySpikeBallStar(e, f.target());
  ASSERT_EQ(plain.outline.size(), wide.outline.size());
  for (size_t i = 0; i < plain.outline.size(); ++i) {
    EXPECT_NEAR(wide.outline[i].x - wide.centre.x, 2.0f * (plain.outline[i].x - plain.centre.x),
                1e-4);
    EXPECT_EQ(wide.outline[i].y, plain.outline[i].y);
  }
}

TEST(PolySpikeBall, CountsBelowTheMinimumStillMakeTwoPoints) {
  TestFrame f(640, 360, 200.0f, 100.0f);
  LensElement e = DefaultElement(ElementType::PolySpikeBall);
  e.iparam0 = -32768;
  EXPECT_EQ(PolySpikeBallStar(e, f.target()).outline.size(), 2u);
  e.iparam0 = 0;
  EXPECT_EQ(PolySpikeBallStar(e, f.target()).outline.size(), 50u);
}

TEST(PolySpikeBall, TheFourthColourValueShowsNowhere) {
  TestFrame a(320, 180, 100.0f, 50.0f), b(320, 180, 100.0f, 50.0f);
  LensElement e = DefaultElement(ElementType::PolySpikeBall);
  e.brightness = 2.0f;
  DrawElement(e, a.target(), a.scratch());
  e.color1Extra = 0;
  DrawElement(e, b.target(), b.scratch());
  EXPECT_GT(LitCount(a), 0);
  EXPECT_EQ(a.bytes(), b.bytes());
}

TEST(PolySpikeBall, BrightestAtTheCentreFadingOutward) {
  TestFrame f(640, 360, 320.0f, 180.0f);
  LensElement e = DefaultElement(ElementType::PolySpikeBall);
  e.brightness = 4.0f;  // centre colour 4 x 0.2 x 255 = 204, in about 12 layers
  DrawElement(e, f.target(), f.scratch());
  EXPECT_GE(Red(f, 320, 180), 204);
  EXPECT_LT(Red(f, 320 + 150, 180), Red(f, 320 + 20, 180));
}

// ----------------------------------------------------------- Star Caustic

TEST(StarCaustic, OnTheFrameCentreItIsBlack) {
  TestFrame f(400, 300, 350.0f, 40.0f);
  LensElement e = DefaultElement(ElementType::StarCaustic);
  e.position = 0.0f;
  e.brightness = 5.0f;
  DrawElement(e, f.target(), f.scratch());
  EXPECT_EQ(LitCount(f), 0);
}

TEST(StarCaustic, NoOutlinePointsDrawNothing) {
  for (int16_t points : {0, -1, -32768}) {
    TestFrame f(400, 300, 350.0f, 40.0f);
    LensElement e = DefaultElement(ElementType::StarCaustic);
    e.iparam2 = points;
    DrawElement(e, f.target(), f.scratch());
    EXPECT_EQ(LitCount(f), 0) << points;
  }
}

TEST(StarCaustic, BrightensWithDistanceFromTheCentre) {
  // Element on the light below the centre; f = FastHypot(0, 2 vy) / (2 W) =
  // 0.25, then 0.5.
  auto draw = [](float lightY) {
    TestFrame f(400, 600, 200.0f, lightY);
    LensElement e = DefaultElement(ElementType::StarCaustic);
    e.position = 1.0f;
    e.color1 = {200, 200, 200};
    DrawElement(e, f.target(), f.scratch());
    return f.ColourSum();
  };
  const double near = static_cast<double>(draw(400.0f));
  const double far = static_cast<double>(draw(500.0f));
  EXPECT_GT(near, 0.0);
  EXPECT_NEAR(far / near, 2.0, 0.1);
}

// Second moments of the lit intensity about its centroid.
struct Moments {
  double xx = 0, yy = 0, xy = 0;
};

Moments IntensityMoments(const TestFrame& f) {
  double sum = 0, mx = 0, my = 0;
  for (int y = 0; y < f.height(); ++y) {
    for (int x = 0; x < f.width(); ++x) {
      const double w = f.Pixel(x, y)[1] + f.Pixel(x, y)[2] + f.Pixel(x, y)[3];
      sum += w;
      mx += w * x;
      my += w * y;
    }
  }
  mx /= sum;
  my /= sum;
  Moments m;
  for (int y = 0; y < f.height(); ++y) {
    for (int x = 0; x < f.width(); ++x) {
      const double w = f.Pixel(x, y)[1] + f.Pixel(x, y)[2] + f.Pixel(x, y)[3];
      m.xx += w * (x - mx) * (x - mx);
      m.yy += w * (y - my) * (y - my);
      m.xy += w * (x - mx) * (y - my);
    }
  }
  return m;
}

Moments StarCausticMoments(float lightX, float lightY) {
  TestFrame f(600, 600, lightX, lightY);
  LensElement e = DefaultElement(ElementType::StarCaustic);
  e.position = 1.0f;
  e.brightness = 3.0f;
  DrawElement(e, f.target(), f.scratch());
  return IntensityMoments(f);
}

TEST(StarCaustic, ItsLongAxisTurnsWithTheElement) {
  const Moments right = StarCausticMoments(500.0f, 300.0f);
  const Moments below = StarCausticMoments(300.0f, 500.0f);
  const Moments diagonal = StarCausticMoments(450.0f, 450.0f);
  // Its points lie on the line to the centre; the light spreads across that
  // line. Right of the centre and below it the axes swap; on the diagonal
  // (down and right) the light spreads along the other diagonal.
  EXPECT_GT(right.yy, 1.3 * right.xx);
  EXPECT_GT(below.xx, 1.3 * below.yy);
  EXPECT_NEAR(right.yy / right.xx, below.xx / below.yy, 0.05);
  EXPECT_LT(diagonal.xy, -0.1 * (diagonal.xx + diagonal.yy) / 2);
  EXPECT_NEAR(diagonal.xx, diagonal.yy, 0.05 * diagonal.xx);
}

TEST(StarCaustic, AnamorphicIsTwiceAsWide) {
  auto extent = [](uint8_t anamorphic) {
    TestFrame f(800, 400, 500.0f, 200.0f);
    LensElement e = DefaultElement(ElementType::StarCaustic);
    e.position = 1.0f;
    e.brightness = 4.0f;
    e.anamorphic = anamorphic;
    DrawElement(e, f.target(), f.scratch());
    int x0 = 800, x1 = -1;
    for (int y = 0; y < 400; ++y) {
      for (int x = 0; x < 800; ++x) {
        if (Lit(f, x, y)) {
          x0 = std::min(x0, x);
          x1 = std::max(x1, x);
        }
      }
    }
    return x1 - x0 + 1;
  };
  EXPECT_NEAR(extent(1), 2 * extent(0), 4);
}

// ------------------------------------------------- all four, bad numbers

void FillPattern(TestFrame& f) {
  for (int y = 0; y < f.height(); ++y) {
    for (int x = 0; x < f.width(); ++x) {
      uint8_t* p = f.Pixel(x, y);
      for (int c = 0; c < 4; ++c) p[c] = static_cast<uint8_t>((x * 5 + y * 11 + c * 67) % 241);
    }
  }
}

// Variants of an element: its defaults and one field at a time set to a value
// that only a damaged or hostile lens file carries.
std::vector<LensElement> Variants(ElementType type) {
  const LensElement base = DefaultElement(type);
  std::vector<LensElement> out{base};
  const float floats[] = {kNaN, kInf, -kInf, 1e30f, -1e30f, 1e4f, -7.0f, 0.0f, 1e-30f};
  float LensElement::*fields[] = {&LensElement::brightness, &LensElement::scale,
                                  &LensElement::angle, &LensElement::spread,
                                  &LensElement::position};
  for (auto field : fields) {
    for (float v : floats) {
      LensElement e = base;
      e.*field = v;
      out.push_back(e);
    }
  }
  const int16_t ints[] = {-32768, -1, 0, 1, 2, 35, 36, 32767};
  int16_t LensElement::*intFields[] = {&LensElement::iparam0, &LensElement::iparam2,
                                       &LensElement::iparam3, &LensElement::iparam4,
                                       &LensElement::iparam5};
  for (auto field : intFields) {
    for (int16_t v : ints) {
      LensElement e = base;
      e.*field = v;
      out.push_back(e);
    }
  }
  LensElement flags = base;
  flags.anamorphic = 255;
  flags.option = 255;
  out.push_back(flags);
  // The most of everything at once.
  LensElement most = base;
  most.iparam0 = 32767;
  most.iparam2 = type == ElementType::StarCaustic ? 32767 : 35;
  most.scale = 1e4f;
  most.brightness = 1e4f;
  out.push_back(most);
  return out;
}

TEST(PolygonElements, BadNumbersNeverWriteOutsideTheClipDarkenOrTouchAlpha) {
  const ElementType types[] = {ElementType::PolySpread, ElementType::SinglePoly,
                               ElementType::PolySpikeBall, ElementType::StarCaustic};
  const PointF lights[] = {{60.0f, 40.0f}, {100.0f, 75.0f}, {-300.0f, 500.0f},
                           {kNaN, 20.0f}, {1e30f, -1e30f}};
  for (ElementType type : types) {
    for (const PointF light : lights) {
      TestFrame f(200, 150, light.x, light.y);
      FillPattern(f);
      const std::vector<uint8_t> before = f.bytes();
      f.SetClip(30, 110, 20, 170);
      for (const LensElement& e : Variants(type)) DrawElement(e, f.target(), f.scratch());
      int faults = 0;
      for (int y = 0; y < 150; ++y) {
        for (int x = 0; x < 200; ++x) {
          const size_t i = (size_t(y) * 200 + x) * 4;
          const bool inside = x >= 20 && x < 170 && y >= 30 && y < 110;
          faults += f.bytes()[i] != before[i];
          for (int c = 1; c < 4; ++c) {
            faults += !inside && f.bytes()[i + c] != before[i + c];
            faults += f.bytes()[i + c] < before[i + c];
          }
        }
      }
      EXPECT_EQ(faults, 0) << static_cast<int>(type) << " light " << light.x << "," << light.y;
    }
  }
}

TEST(PolygonElements, DefaultsDrawSomethingThroughTheDispatcher) {
  for (ElementType type : {ElementType::PolySpread, ElementType::SinglePoly,
                           ElementType::PolySpikeBall, ElementType::StarCaustic}) {
    TestFrame f(640, 360, 192.0f, 108.0f);
    DrawElement(DefaultElement(type), f.target(), f.scratch());
    EXPECT_GT(LitCount(f), 50) << static_cast<int>(type);
  }
}

}  // namespace
}  // namespace gw
