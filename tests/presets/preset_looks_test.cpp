// The designed presets keep the looks their names promise.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string_view>
#include <vector>

#include "presets/presets.h"

namespace gw {
namespace {

std::vector<LensElement> Preset(std::string_view name) {
  Lens lens{};
  BuildPreset(lens, FindPreset(name));
  EXPECT_GT(lens.count, 0u) << name;
  return {lens.elements, lens.elements + lens.count};
}

std::vector<LensElement> OfType(const std::vector<LensElement>& elements, ElementType type) {
  std::vector<LensElement> out;
  for (const LensElement& e : elements) {
    if (e.type == static_cast<int16_t>(type)) out.push_back(e);
  }
  return out;
}

// The colours an element of its type actually draws with.
std::vector<Rgb> DrawnColours(const LensElement& e) {
  switch (static_cast<ElementType>(e.type)) {
    case ElementType::FadedRing: return {};  // its colours are built in
    case ElementType::Stripe:  // the centre colour only with "Center"
      return e.option ? std::vector<Rgb>{e.color1, e.color2} : std::vector<Rgb>{e.color1};
    case ElementType::GlowBall:
    case ElementType::ApertureReflection: return {e.color1, e.color2};
    default: return {e.color1};
  }
}

bool Warm(const Rgb& c) { return c.r >= c.g && c.g >= c.b; }
bool Cool(const Rgb& c) { return c.b >= c.g && c.g >= c.r; }

TEST(PresetLooks, RedLaserIsARedPointWithASparkleAndAThinStripe) {
  const std::vector<LensElement> laser = Preset("Red Laser");
  for (const LensElement& e : laser) {
    for (const Rgb& c : DrawnColours(e)) {
      EXPECT_GE(c.r, 200);
      EXPECT_LE(std::max(c.g, c.b), c.r / 2);
    }
  }
  ASSERT_EQ(OfType(laser, ElementType::Sparkle).size(), 1u);
  const std::vector<LensElement> stripes = OfType(laser, ElementType::Stripe);
  ASSERT_EQ(stripes.size(), 1u);
  EXPECT_LE(stripes[0].spread, 3.0f);  // a few streaks wide
  // The point: a small glow on the light.
  const LensElement glow = OfType(laser, ElementType::GlowBall).at(0);
  EXPECT_EQ(glow.position, 1.0f);
  EXPECT_LE(glow.scale, 0.2f);
}

TEST(PresetLooks, GreenReflsReflectGreen) {
  const std::vector<LensElement> refls = Preset("Green Refls");
  int reflections = 0;
  for (const LensElement& e : refls) {
    const auto type = static_cast<ElementType>(e.type);
    if (type != ElementType::PolySpread && type != ElementType::CircleSpread &&
        type != ElementType::ApertureReflection) {
      continue;
    }
    ++reflections;
    EXPECT_GT(e.color1.g, 2 * e.color1.r);
    EXPECT_GT(e.color1.g, 2 * e.color1.b);
  }
  EXPECT_EQ(reflections, 3);
}

TEST(PresetLooks, SunsAreWarmAndTheArcWelderIsBlueWhite) {
  for (std::string_view name : {"Desert Sun", "Sunset", "Warm Sunflare"}) {
    for (const LensElement& e : Preset(name)) {
      for (const Rgb& c : DrawnColours(e)) {
        EXPECT_TRUE(Warm(c)) << name << ": " << int{c.r} << "," << int{c.g} << "," << int{c.b};
      }
    }
  }
  int whiteHot = 0;
  for (const LensElement& e : Preset("Arc Welder")) {
    for (const Rgb& c : DrawnColours(e)) {
      EXPECT_TRUE(Cool(c)) << int{c.r} << "," << int{c.g} << "," << int{c.b};
      whiteHot += std::min({c.r, c.g, c.b}) >= 230;
    }
  }
  EXPECT_GE(whiteHot, 1);  // a core that is all but white
}

// Angles of lines through a point, folded into 0..180 degrees.
std::multiset<int> LineAngles(const std::vector<LensElement>& stripes) {
  std::multiset<int> angles;
  for (const LensElement& s : stripes) {
    angles.insert(static_cast<int>(std::lround(std::fmod(s.angle + 180.0f, 180.0f))));
  }
  return angles;
}

TEST(PresetLooks, SixPointStarsHaveSixPoints) {
  for (std::string_view name : {"Six Point Star 2", "Six Point Star 3"}) {
    const std::multiset<int> angles = LineAngles(OfType(Preset(name), ElementType::Stripe));
    ASSERT_EQ(angles.size(), 3u) << name;
    // Three lines 60 degrees apart: six evenly spaced points.
    const int first = *angles.begin();
    EXPECT_EQ(angles, (std::multiset<int>{first, first + 60, first + 120})) << name;
  }
  const std::vector<LensElement> stars =
      OfType(Preset("Six Point Star 3"), ElementType::StarFilter);
  ASSERT_EQ(stars.size(), 1u);
  EXPECT_EQ(stars[0].iparam0, 6);
}

TEST(PresetLooks, DiffractionFansPointSeveralWays) {
  for (std::string_view name : {"Diffraction", "Diffraction2", "Diffraction3"}) {
    std::set<float> directions;
    for (const LensElement& fan : OfType(Preset(name), ElementType::ChromaFan)) {
      directions.insert(fan.angle);
      EXPECT_GT(fan.spread, 0.0f) << name;  // the colours are pulled apart
    }
    EXPECT_GE(directions.size(), 2u) << name;
  }
}

// Outer radius of a Disc, as a fraction of the frame width at unit scale.
float DiscRadius(const LensElement& d) {
  const float base = 0.5f * d.scale;
  const float hole = std::max(0, d.iparam0 - 1) / 100.0f;
  return base * (hole + (d.iparam3 + d.iparam4 + d.iparam5) / 1000.0f);
}

struct Ghosts {
  int count = 0;
  float largest = 0.0f;
};

// The disc ghosts of a lens: its Discs away from the light.
Ghosts DiscGhosts(std::string_view name) {
  Ghosts g;
  for (const LensElement& d : OfType(Preset(name), ElementType::Disc)) {
    if (d.position == 1.0f) continue;
    ++g.count;
    g.largest = std::max(g.largest, DiscRadius(d));
  }
  return g;
}

TEST(PresetLooks, LongerLensesThrowMoreAndLargerGhosts) {
  const Ghosts mm35 = DiscGhosts("35mm"), mm105 = DiscGhosts("105mm"),
               mm300 = DiscGhosts("300mm Zoom");
  EXPECT_GT(mm105.count, mm35.count);
  EXPECT_GT(mm300.count, mm35.count);
  EXPECT_GT(mm105.largest, mm35.largest);
  EXPECT_GT(mm300.largest, mm105.largest);
  // The 300mm adds a spread of many more on top.
  const std::vector<LensElement> spread = OfType(Preset("300mm Zoom"), ElementType::CircleSpread);
  ASSERT_EQ(spread.size(), 1u);
  EXPECT_GE(spread[0].iparam0, 20);
  // The 85mm's polygon ghosts are larger than the 35mm's round ones.
  const LensElement poly85 = OfType(Preset("85mm"), ElementType::PolySpread).at(0);
  const LensElement circles35 = OfType(Preset("35mm"), ElementType::CircleSpread).at(0);
  EXPECT_GT(0.05f * poly85.scale, 0.03f * circles35.scale);  // their size units
}

}  // namespace
}  // namespace gw
