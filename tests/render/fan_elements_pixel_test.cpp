// Aperture Reflection, Chroma Hoop, PhotonSpikeBall and ChromaFan drawn into
// frames: where their light lands, and the properties every renderer keeps
// (nothing outside the clip rectangle, never darker, alpha untouched), also
// for the values a damaged lens file may hold.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "lens/lens.h"
#include "render/draw_lens.h"
#include "render/elements/elements.h"
#include "tests/support/test_frame.h"

namespace gw {
namespace {

using Renderer = void (*)(const LensElement&, const RenderTarget&, Scratch&);

struct Kind {
  ElementType type;
  Renderer render;
};

constexpr Kind kKinds[] = {
    {ElementType::ApertureReflection, RenderApertureReflection},
    {ElementType::ChromaHoop, RenderChromaHoop},
    {ElementType::PhotonSpikeBall, RenderPhotonSpikeBall},
    {ElementType::ChromaFan, RenderChromaFan},
};

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

// Draws with a clip rectangle smaller than the frame over a grey frame with a
// distinctive alpha, and checks every pixel against the frame before.
struct ClipCheck {
  int top = 23, bottom = 151, left = 31, right = 290;
  uint8_t grey = 40, alpha = 77;

  // Returns how many colour bytes grew.
  int Run(Renderer render, const LensElement& e, float lx, float ly, float scale = 1.0f,
          float phase = 0.0f) const {
    TestFrame frame(320, 180, lx, ly, 1.0f, grey, alpha);
    frame.target().scale = scale;  // none of these elements reads the profiles
    frame.target().anglePhase = phase;
    frame.SetClip(top, bottom, left, right);
    render(e, frame.target(), frame.scratch());
    int grew = 0;
    for (int y = 0; y < frame.height(); ++y) {
      for (int x = 0; x < frame.width(); ++x) {
        const uint8_t* p = frame.Pixel(x, y);
        EXPECT_EQ(p[0], alpha) << x << "," << y;
        const bool inside = x >= left && x < right && y >= top && y < bottom;
        for (int c = 1; c < 4; ++c) {
          if (inside) {
            EXPECT_GE(p[c], grey) << x << "," << y;
            grew += p[c] > grey;
          } else {
            EXPECT_EQ(p[c], grey) << x << "," << y;
          }
        }
        if (::testing::Test::HasFailure()) return grew;
      }
    }
    return grew;
  }
};

TEST(FanElementPropertyTest, NothingOutsideTheClipNeverDarkerAlphaUntouched) {
  const ClipCheck check;
  const float lights[][2] = {{96, 54}, {-16, 90}, {300, 170}, {-10, -10}, {350, 200}, {160, 90}};
  for (const Kind& kind : kKinds) {
    LensElement e = DefaultElement(kind.type);
    int grew = 0;
    for (const auto& light : lights) {
      grew += check.Run(kind.render, e, light[0], light[1]);
      grew += check.Run(kind.render, e, light[0], light[1], 1.7f, 2.3f);
      e.anamorphic = 1;
      grew += check.Run(kind.render, e, light[0], light[1]);
      e.anamorphic = 0;
      ASSERT_FALSE(::testing::Test::HasFailure()) << static_cast<int>(kind.type);
    }
    EXPECT_GT(grew, 1000) << static_cast<int>(kind.type);  // they did draw
  }
}

TEST(FanElementPropertyTest, DispatchedThroughDrawElement) {
  for (const Kind& kind : kKinds) {
    const LensElement e = DefaultElement(kind.type);
    TestFrame direct(320, 180, -8, 60), dispatched(320, 180, -8, 60);
    kind.render(e, direct.target(), direct.scratch());
    DrawElement(e, dispatched.target(), dispatched.scratch());
    EXPECT_GT(direct.ColourSum(), 0u) << static_cast<int>(kind.type);
    EXPECT_EQ(direct.bytes(), dispatched.bytes()) << static_cast<int>(kind.type);
  }
}

// Every float field and integer slot of each element set in turn to values a
// damaged file may hold, and the light and Scale likewise: each render ends,
// and keeps the clip, the alpha and the never-darker rule.
TEST(FanElementGuardTest, BadValuesAreHarmless) {
  const ClipCheck check;
  const float badFloats[] = {kNaN, kInf, -kInf, 1e30f, -1e30f};
  const int16_t badInts[] = {-32768, 32767, 0, -1};
  for (const Kind& kind : kKinds) {
    const LensElement base = DefaultElement(kind.type);
    for (const float v : badFloats) {
      for (float LensElement::*field : {&LensElement::brightness, &LensElement::scale,
                                        &LensElement::angle, &LensElement::spread,
                                        &LensElement::position}) {
        LensElement e = base;
        e.*field = v;
        check.Run(kind.render, e, -16, 90);
      }
      check.Run(kind.render, base, v, 90);
      check.Run(kind.render, base, -16, v);
      check.Run(kind.render, base, -16, 90, v, v);
      ASSERT_FALSE(::testing::Test::HasFailure()) << static_cast<int>(kind.type) << " " << v;
    }
    for (const int16_t v : badInts) {
      for (int16_t LensElement::*slot : {&LensElement::iparam0, &LensElement::iparam2,
                                         &LensElement::iparam3, &LensElement::iparam4,
                                         &LensElement::iparam5}) {
        LensElement e = base;
        e.*slot = v;
        check.Run(kind.render, e, -16, 90);
      }
      ASSERT_FALSE(::testing::Test::HasFailure()) << static_cast<int>(kind.type) << " " << v;
    }
  }
}

// ------------------------------------------------------------- element looks

TEST(AperturePixelTest, GlareAtTheEdgeNearestTheLight) {
  const LensElement e = DefaultElement(ElementType::ApertureReflection);
  const auto draw = [&](float lx, float ly) {
    TestFrame frame(640, 360, lx, ly);
    RenderApertureReflection(e, frame.target(), frame.scratch());
    return frame;
  };
  const TestFrame best = draw(-32, 180);
  // Bright where the fan leaves the left edge, nothing at the other edges.
  EXPECT_GT(best.Pixel(3, 180)[1], 100);
  for (int y = 0; y < 360; ++y) EXPECT_EQ(best.Pixel(639, y)[1], 0) << y;
  for (int x = 0; x < 640; ++x) EXPECT_EQ(best.Pixel(x, 0)[1], 0) << x;
  // Weaker either side of the best offset, gone beyond the reach.
  const uint64_t sum = best.ColourSum();
  EXPECT_LT(draw(-7, 180).ColourSum(), sum);
  EXPECT_LT(draw(-57, 180).ColourSum(), sum);
  EXPECT_GT(draw(-57, 180).ColourSum(), 0u);
  EXPECT_EQ(draw(-72, 180).ColourSum(), 0u);
  EXPECT_EQ(draw(8, 180).ColourSum(), 0u);
  EXPECT_EQ(draw(320, 180).ColourSum(), 0u);
}

TEST(ChromaHoopPixelTest, ARingAroundTheLightWithColourFringes) {
  LensElement e = DefaultElement(ElementType::ChromaHoop);
  const float lx = 40, ly = 30;
  TestFrame frame(640, 360, lx, ly);
  RenderChromaHoop(e, frame.target(), frame.scratch());
  ASSERT_GT(frame.ColourSum(), 0u);
  // The element's point lies d = 0.75 x 317.6 from the light; dashes run from
  // d / m out to 1.25 d x 1.2 x m.
  const float d = 0.75f * std::hypot(320.0f - lx, 180.0f - ly);
  const float m = 1.2f * (130.0f / 600.0f) + (1.0f - 130.0f / 600.0f);
  bool fringed = false;
  for (int y = 0; y < 360; ++y) {
    for (int x = 0; x < 640; ++x) {
      const uint8_t* p = frame.Pixel(x, y);
      if (p[1] == 0 && p[2] == 0 && p[3] == 0) continue;
      const float r = std::hypot(x - lx, y - ly);
      EXPECT_GT(r, d / m - 3.0f) << x << "," << y;
      EXPECT_LT(r, 1.25f * d * 1.2f * m + 3.0f) << x << "," << y;
      fringed = fringed || p[1] != p[3];
    }
  }
  EXPECT_TRUE(fringed);
  // Chroma Spread -90: the three copies coincide, so a white hoop is grey.
  e.angle = -90.0f;
  TestFrame grey(640, 360, lx, ly);
  RenderChromaHoop(e, grey.target(), grey.scratch());
  ASSERT_GT(grey.ColourSum(), 0u);
  for (int y = 0; y < 360; ++y) {
    for (int x = 0; x < 640; ++x) {
      const uint8_t* p = grey.Pixel(x, y);
      ASSERT_TRUE(p[1] == p[2] && p[2] == p[3]) << x << "," << y;
    }
  }
  // With the light at the frame centre nothing shows.
  TestFrame centred(640, 360, 320, 180);
  RenderChromaHoop(DefaultElement(ElementType::ChromaHoop), centred.target(), centred.scratch());
  EXPECT_EQ(centred.ColourSum(), 0u);
}

TEST(PhotonSpikeBallPixelTest, TheEffectsColourDoesNotTintIt) {
  const LensElement e = DefaultElement(ElementType::PhotonSpikeBall);
  TestFrame white(640, 360, 200, 150), tinted(640, 360, 200, 150);
  tinted.SetGains(1.0f, 0.2f, 1.0f, 0.5f);
  RenderPhotonSpikeBall(e, white.target(), white.scratch());
  RenderPhotonSpikeBall(e, tinted.target(), tinted.scratch());
  EXPECT_GT(white.ColourSum(), 0u);
  EXPECT_EQ(white.bytes(), tinted.bytes());
  // Its colour is 127, 191, 255: blue leads everywhere.
  for (int y = 0; y < 360; ++y) {
    for (int x = 0; x < 640; ++x) EXPECT_LE(white.Pixel(x, y)[1], white.Pixel(x, y)[3]);
  }
}

TEST(ChromaFanPixelTest, WhiteWithoutChromaSpreadAndTaperDims) {
  LensElement e = DefaultElement(ElementType::ChromaFan);
  e.brightness = 3.0f;
  TestFrame fringed(640, 360, 300, 180);
  RenderChromaFan(e, fringed.target(), fringed.scratch());
  const uint64_t taperedSum = fringed.ColourSum();
  EXPECT_GT(taperedSum, 0u);
  e.spread = 0.0f;
  TestFrame white(640, 360, 300, 180);
  RenderChromaFan(e, white.target(), white.scratch());
  ASSERT_GT(white.ColourSum(), 0u);
  bool colourSeen = false;
  for (int y = 0; y < 360; ++y) {
    for (int x = 0; x < 640; ++x) {
      const uint8_t* w = white.Pixel(x, y);
      ASSERT_TRUE(w[1] == w[2] && w[2] == w[3]) << x << "," << y;
      const uint8_t* f = fringed.Pixel(x, y);
      colourSeen = colourSeen || f[1] != f[3];
    }
  }
  EXPECT_TRUE(colourSeen);
  e.spread = 25.0f;
  e.option = 0;
  TestFrame even(640, 360, 300, 180);
  RenderChromaFan(e, even.target(), even.scratch());
  EXPECT_GT(even.ColourSum(), taperedSum);
}

}  // namespace
}  // namespace gw
