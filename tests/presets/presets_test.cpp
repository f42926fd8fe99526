// The Quick edition's preset lenses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "lens/element_types.h"
#include "presets/presets.h"

namespace gw {
namespace {

Lens Filled(uint8_t byte) {
  Lens lens;
  std::memset(&lens, byte, sizeof lens);
  return lens;
}

Lens Built(int16_t value, uint8_t garbage = 0xCD) {
  Lens lens = Filled(garbage);
  BuildPreset(lens, value);
  return lens;
}

std::span<const LensElement> Elements(const Lens& lens) {
  return {lens.elements, UsableCount(lens)};
}

TEST(Presets, ThirtyNineNamesInPopupOrder) {
  EXPECT_EQ(PresetName(1), "35mm");
  EXPECT_EQ(PresetName(2), "85mm");
  EXPECT_EQ(PresetName(4), "Basic Lens");
  EXPECT_EQ(PresetName(16), "Drydock Spikeball");
  EXPECT_EQ(PresetName(29), "Scratch1");
  EXPECT_EQ(PresetName(35), "Sunset");
  EXPECT_EQ(PresetName(36), "105mm");
  EXPECT_EQ(PresetName(37), "300mm Zoom");
  EXPECT_EQ(PresetName(39), "Warm Sunflare");
  EXPECT_EQ(PresetName(0), "");
  EXPECT_EQ(PresetName(40), "");
  int count = 0;
  for (int v = 1; v <= kPresetCount; ++v) {
    EXPECT_FALSE(PresetName(v).empty());
    EXPECT_EQ(FindPreset(PresetName(v)), v);
    ++count;
  }
  EXPECT_EQ(count, 39);
  EXPECT_EQ(std::string(kPresetPopupItems).find("||"), std::string::npos);
  EXPECT_EQ(FindPreset("35MM"), 0);
}

// Every field a recipe may set, with the type's default where it sets none.
struct Expected {
  int16_t type;
  float brightness, scale, angle, spread, position;
  int16_t iparam0, iparam2, iparam3, iparam4, iparam5;
  uint8_t anamorphic, option;
  Rgb color1, color2;
};

// The five recipes written out in full, each element complete.
const std::map<int16_t, std::vector<Expected>> kFullRecipes = {
    {4,  // "Basic Lens"
     {
         {0, 1.622281f, 1.0f, 17.052628f, 0.625263f, 1.0f, 20, 5, 200, 1000, 300, 1, 1, {200, 140, 180}, {130, 115, 150}},
         {3, 0.746612f, 0.37f, 15.0f, 10.0f, 0.0f, 42, 5, 473, 978, 437, 1, 0, {20, 30, 50}, {255, 255, 255}},
         {2, 0.962247f, 1.0f, 11.368425f, 0.1f, 1.0f, 10, 8, 200, 1000, 300, 1, 0, {255, 255, 255}, {255, 255, 255}},
         {4, 1.104897f, 0.28582f, 15.0f, 10.0f, -0.347368f, 24, 5, 273, 926, 547, 1, 0, {77, 169, 194}, {255, 255, 255}},
         {9, 0.277608f, 0.691258f, 15.0f, 50.0f, -0.6f, 20, 5, 200, 1000, 300, 1, 0, {255, 255, 255}, {255, 255, 255}},
         {1, 0.355568f, 0.655967f, 15.0f, 50.0f, 1.0f, 300, 5, 200, 1000, 300, 1, 0, {255, 255, 255}, {255, 255, 255}},
     }},
    {1,  // "35mm"
     {
         {0, 3.037727f, 1.248853f, 23.0f, 2.201053f, 1.0f, 20, 5, 200, 1000, 300, 0, 1, {49, 99, 110}, {140, 70, 140}},
         {2, 1.682548f, 1.802648f, 14.210526f, 0.1f, 1.0f, 9, 5, 200, 1000, 300, 0, 0, {255, 255, 255}, {255, 255, 255}},
         {9, 0.558623f, 1.15f, 15.0f, 50.0f, 1.0f, 20, 5, 200, 1000, 300, 0, 0, {255, 255, 255}, {255, 255, 255}},
         {6, 3.078781f, 1.273964f, 15.0f, 50.0f, -0.252632f, 20, 32, 200, 1000, 300, 0, 0, {20, 130, 184}, {255, 255, 255}},
         {17, 0.474996f, 1.012676f, -90.0f, 5.0f, 1.0f, 1, 5, 0, 0, 221, 0, 0, {255, 168, 71}, {255, 255, 255}},
         {17, 0.649162f, 0.784235f, -90.0f, 5.0f, 1.0f, 1, 5, 0, 0, 221, 0, 0, {248, 186, 33}, {255, 255, 255}},
         {17, 0.939439f, 0.495801f, -90.0f, 5.0f, 1.0f, 1, 5, 0, 0, 221, 0, 0, {222, 207, 133}, {255, 255, 255}},
         {17, 0.277608f, 1.0f, -90.0f, 5.0f, -0.631579f, 1, 5, 200, 0, 32, 0, 0, {40, 128, 56}, {255, 255, 255}},
         {17, 0.110768f, 1.0f, -90.0f, 5.0f, -0.631579f, 20, 5, 15, 0, 15, 0, 0, {255, 128, 56}, {255, 255, 255}},
         {17, 0.355568f, 1.625108f, -43.57895f, 5.0f, -0.757895f, 1, 5, 0, 0, 100, 0, 0, {107, 84, 33}, {255, 255, 255}},
         {6, 0.474996f, 0.673476f, 15.0f, 50.0f, -0.789474f, 20, 32, 200, 1000, 300, 0, 0, {179, 133, 89}, {255, 255, 255}},
         {18, 0.126249f, 1.0f, -57.789474f, 5.0f, -0.28421f, 1, 5, 0, 0, 442, 0, 0, {43, 120, 255}, {255, 255, 255}},
         {4, 1.0f, 0.350972f, 15.0f, 6.928421f, -0.947368f, 11, 5, 200, 1000, 600, 0, 0, {174, 255, 255}, {255, 255, 255}},
         {17, 0.369529f, 0.968698f, -90.0f, 5.0f, 0.473684f, 1, 5, 0, 31, 25, 0, 0, {28, 110, 255}, {255, 255, 255}},
         {17, 1.080431f, 0.968698f, -49.263157f, 5.0f, 1.642105f, 1, 5, 0, 1, 30, 0, 0, {28, 174, 255}, {255, 255, 255}},
         {17, 0.328475f, 1.127371f, -75.789474f, 5.0f, 1.957895f, 1, 5, 0, 21, 30, 1, 0, {28, 174, 255}, {255, 255, 255}},
         {6, 1.0f, 0.238992f, 15.0f, 50.0f, 1.989474f, 20, 32, 200, 1000, 300, 0, 0, {10, 94, 179}, {255, 255, 255}},
     }},
    {32,  // "Six Point Star"
     {
         {12, 0.328475f, 0.638729f, -26.526318f, 50.0f, 1.0f, 96, 5, 673, 873, 300, 1, 0, {202, 189, 211}, {255, 255, 255}},
         {0, 0.010138f, 0.275911f, 15.0f, 50.0f, 1.0f, 20, 5, 200, 1000, 300, 1, 0, {181, 151, 188}, {198, 162, 198}},
         {2, 0.894654f, 2.358751f, 5.0f, 0.1f, 1.0f, 12, 8, 200, 1000, 300, 1, 0, {255, 255, 255}, {255, 255, 255}},
         {10, 0.39828f, 0.70931f, 0.0f, 10.0f, 1.0f, 20, 5, 200, 1000, 300, 1, 1, {163, 138, 181}, {255, 255, 255}},
         {10, 0.39828f, 0.70931f, -56.842106f, 10.0f, 1.0f, 20, 5, 200, 1000, 300, 1, 1, {163, 138, 181}, {255, 255, 255}},
         {10, 0.39828f, 0.70931f, 56.842102f, 10.080001f, 1.0f, 20, 5, 200, 1000, 300, 1, 1, {163, 138, 181}, {255, 255, 255}},
     }},
    {16,  // "Drydock Spikeball"
     {
         {0, 1.0f, 0.306452f, 25.0f, 1.0f, 1.0f, 20, 5, 200, 1000, 300, 0, 0, {142, 32, 3}, {133, 61, 66}},
         {2, 2.169799f, 1.103889f, 5.0f, 0.1f, 1.0f, 12, 8, 200, 1000, 300, 0, 0, {233, 171, 39}, {255, 255, 255}},
     }},
    {35,  // "Sunset"
     {
         {17, 2.41847f, 0.387213f, 28.421051f, 5.0f, 1.0f, 1, 5, 0, 105, 30, 0, 0, {255, 166, 104}, {255, 255, 255}},
         {0, 1.0f, 1.596468f, 25.0f, 1.0f, 1.0f, 20, 5, 200, 1000, 705, 0, 0, {255, 158, 35}, {255, 184, 94}},
         {3, 0.668099f, 0.904767f, 15.0f, 10.0f, 0.0f, 20, 6, 315, 821, 300, 0, 0, {255, 74, 20}, {255, 255, 255}},
     }},
};

void ExpectSameColour(const Rgb& got, const Rgb& want, const char* what) {
  EXPECT_EQ(got.r, want.r) << what;
  EXPECT_EQ(got.g, want.g) << what;
  EXPECT_EQ(got.b, want.b) << what;
}

TEST(Presets, TheFiveWrittenRecipesFieldByField) {
  for (const auto& [value, expected] : kFullRecipes) {
    const Lens lens = Built(value);
    ASSERT_EQ(lens.count, expected.size()) << value;
    for (size_t i = 0; i < expected.size(); ++i) {
      SCOPED_TRACE("preset " + std::to_string(value) + ", element " + std::to_string(i));
      const Expected& x = expected[i];
      const LensElement& e = lens.elements[i];
      EXPECT_EQ(e.type, x.type);
      EXPECT_EQ(e.brightness, x.brightness);
      EXPECT_EQ(e.scale, x.scale);
      EXPECT_EQ(e.angle, x.angle);
      EXPECT_EQ(e.spread, x.spread);
      EXPECT_EQ(e.position, x.position);
      EXPECT_EQ(e.iparam0, x.iparam0);
      EXPECT_EQ(e.iparam2, x.iparam2);
      EXPECT_EQ(e.iparam3, x.iparam3);
      EXPECT_EQ(e.iparam4, x.iparam4);
      EXPECT_EQ(e.iparam5, x.iparam5);
      EXPECT_EQ(e.anamorphic, x.anamorphic);
      EXPECT_EQ(e.option, x.option);
      ExpectSameColour(e.color1, x.color1, "color1");
      ExpectSameColour(e.color2, x.color2, "color2");

      // What no recipe sets is exactly what a new element of the type holds.
      LensElement fresh;
      std::memset(&fresh, 0, sizeof fresh);
      InitElement(x.type, fresh);
      EXPECT_EQ(e.iparam1, fresh.iparam1);
      EXPECT_EQ(e.spare1, fresh.spare1);
      EXPECT_EQ(e.spare2, fresh.spare2);
      EXPECT_EQ(e.color1Extra, 255);
      EXPECT_EQ(e.color2Extra, 255);
      EXPECT_EQ(std::memcmp(e.name, fresh.name, sizeof e.name), 0);
      EXPECT_EQ(std::memcmp(e.unused, fresh.unused, sizeof e.unused), 0);
    }
  }
}

// The element types of every recipe, written as the popup table lists them.
const char* const kTypeTable[kPresetCount + 1] = {
    "",
    "GlowBall, StarFilter, FadedRing, Star Caustic, Disc x6, Star Caustic, Ellipse, CircleSpread, Disc x3, Star Caustic",
    "GlowBall, PolySpread, StarFilter, SpikeBall, FadedRing, Elliptical Caustic, Star Caustic",
    "GlowBall, Disc x2, RandomFan, Stripe x2, Ellipse, Stripe x2, SpikeBall, CircleSpread",
    "GlowBall, PolySpread, StarFilter, CircleSpread, FadedRing, SpikeBall",
    "GlowBall, StarFilter x4",
    "GlowBall, Disc, StarFilter, Stripe x4, RandomFan x2, Chroma Hoop, Single Poly x2",
    "GlowBall, SpikeBall, Stripe, StarFilter, PolySpread, Stripe x2, CircleSpread, RandomFan",
    "GlowBall, Stripe x2, CircleSpread, PolySpikeBall, Chroma Hoop x2, PolySpread",
    "GlowBall, PolySpread, StarFilter, Chroma Hoop x2, SpikeBall",
    "PolySpikeBall, PolySpread, GlowBall, SpikeBall, Stripe, PolySpread, CircleSpread",
    "GlowBall, Disc, StarFilter x3, PolySpread x2, Stripe x3",
    "Stripe x4, Disc x2, ChromaFan x2",
    "GlowBall, StarFilter, ChromaFan x4, StarFilter, SpikeBall",
    "GlowBall, ChromaFan x2, SpikeBall",
    "PhotonSpikeBall, GlowBall, SpikeBall, Stripe, StarFilter, PolySpread, Stripe x2, CircleSpread",
    "GlowBall, StarFilter",
    "GlowBall, SpikeBall, CircleSpread x2, Elliptical Caustic, Stripe, StarFilter, FadedRing",
    "GlowBall, PolySpread, StarFilter, CircleSpread, Aperture Reflection, SpikeBall",
    "GlowBall, Disc, StarFilter, Stripe x6, RandomFan x2, Disc x6, Ellipse x3, CircleSpread",
    "Stripe x5, GlowBall, SpikeBall, StarFilter, RandomFan, PolySpread",
    "GlowBall, PolySpread, StarFilter, FadedRing, Stripe, CircleSpread",
    "PolySpikeBall, GlowBall, StarFilter, Stripe x3",
    "GlowBall, StarFilter, Stripe x3, Ellipse x2, Disc x3, RandomFan",
    "PhotonSpikeBall, GlowBall, SpikeBall, Stripe, StarFilter, PolySpread, Stripe x2, CircleSpread",
    "GlowBall, Stripe x3, Disc x2, PolySpikeBall, Disc x2, Chroma Hoop, Disc x5",
    "GlowBall, Sparkle, RandomFan, PolySpread, Stripe, Ellipse",
    "GlowBall, SpikeBall, StarFilter, PolySpread x2",
    "GlowBall, StarFilter x4, PolySpread x2",
    "RandomFan, Disc",
    "PolySpikeBall, Stripe x3, Disc x2",
    "PolySpikeBall, GlowBall, StarFilter, Stripe x3, GlowBall",
    "PolySpikeBall, GlowBall, StarFilter, Stripe x3",
    "PolySpikeBall, GlowBall, StarFilter",
    "PolySpikeBall, GlowBall, StarFilter",
    "Disc, GlowBall, PolySpread",
    "GlowBall, Disc, SpikeBall, RandomFan x2, Disc x18",
    "GlowBall, Disc x3, SpikeBall, Disc x11, CircleSpread",
    "GlowBall, Stripe, PolySpread, Stripe x2, CircleSpread",
    "GlowBall, SpikeBall, RandomFan, PolySpread x4",
};

const std::map<std::string, int16_t> kTypeValues = {
    {"GlowBall", 0},       {"SpikeBall", 1},          {"StarFilter", 2},
    {"PolySpread", 3},     {"CircleSpread", 4},       {"Elliptical Caustic", 5},
    {"Star Caustic", 6},   {"FadedRing", 9},          {"Stripe", 10},
    {"RandomFan", 11},     {"PolySpikeBall", 12},     {"PhotonSpikeBall", 13},
    {"Aperture Reflection", 14}, {"Chroma Hoop", 15}, {"Single Poly", 16},
    {"Disc", 17},          {"Ellipse", 18},           {"Sparkle", 19},
    {"ChromaFan", 20},
};

// "Disc x2, Stripe" -> {17, 17, 10}.
std::vector<int16_t> ExpandTypes(const std::string& row) {
  std::vector<int16_t> types;
  std::stringstream items(row);
  std::string item;
  while (std::getline(items, item, ',')) {
    item.erase(0, item.find_first_not_of(' '));
    int times = 1;
    if (const size_t x = item.rfind(" x"); x != std::string::npos) {
      times = std::stoi(item.substr(x + 2));
      item.erase(x);
    }
    const int16_t type = kTypeValues.at(item);
    types.insert(types.end(), times, type);
  }
  return types;
}

TEST(Presets, EveryRecipeHasTheTypesOfTheTable) {
  size_t steps = 0, longest = 0;
  for (int16_t v = 1; v <= kPresetCount; ++v) {
    const std::vector<int16_t> want = ExpandTypes(kTypeTable[v]);
    const Lens lens = Built(v);
    ASSERT_EQ(lens.count, want.size()) << PresetName(v);
    for (size_t i = 0; i < want.size(); ++i) {
      EXPECT_EQ(lens.elements[i].type, want[i]) << PresetName(v) << ", element " << i;
    }
    steps += want.size();
    longest = std::max(longest, want.size());
  }
  EXPECT_EQ(steps, 322u);
  EXPECT_EQ(longest, 23u);
  EXPECT_EQ(Built(16).count, 2u);
  EXPECT_EQ(Built(29).count, 2u);
  EXPECT_EQ(Built(36).count, 23u);
}

TEST(Presets, EveryElementEnabledWithItsDefaultName) {
  for (int16_t v = 1; v <= kPresetCount; ++v) {
    const Lens lens = Built(v);
    for (const LensElement& e : Elements(lens)) {
      EXPECT_EQ(e.enabled, 1) << PresetName(v);
      const ElementTypeInfo* info = FindElementType(e.type);
      ASSERT_NE(info, nullptr);
      EXPECT_EQ(ElementName(e), info->defaultName) << PresetName(v);
      EXPECT_EQ(e.name[0], kNameMarker);
    }
  }
}

bool Within(float v, float low, float high) { return std::isfinite(v) && v >= low && v <= high; }

TEST(Presets, EveryValueLiesInItsUsualRange) {
  for (int16_t v = 1; v <= kPresetCount; ++v) {
    const Lens lens = Built(v);
    for (const LensElement& e : Elements(lens)) {
      SCOPED_TRACE(std::string(PresetName(v)) + ", " + std::string(ElementName(e)));
      EXPECT_TRUE(Within(e.brightness, 0.0101f, 5.0f)) << e.brightness;
      EXPECT_TRUE(Within(e.scale, 0.1f, 3.45f)) << e.scale;
      EXPECT_TRUE(Within(e.angle, -90.0f, 90.0f)) << e.angle;
      EXPECT_TRUE(Within(e.spread, 0.1f, 50.0f)) << e.spread;
      EXPECT_TRUE(Within(e.position, -2.05f, 2.56f)) << e.position;
      EXPECT_GE(e.iparam0, 0);
      EXPECT_LE(e.iparam0, 300);
      for (int16_t seedOrWidth : {e.iparam3, e.iparam4, e.iparam5}) {
        EXPECT_GE(seedOrWidth, 0);
        EXPECT_LE(seedOrWidth, 2000);
      }
      const auto type = static_cast<ElementType>(e.type);
      if (type == ElementType::PolySpread || type == ElementType::SinglePoly) {
        EXPECT_GE(e.iparam2, 3);  // polygon sides
        EXPECT_LE(e.iparam2, 16);
      }
      if (type == ElementType::StarFilter) {
        EXPECT_GE(e.iparam2, 1);  // streaks per ray
        EXPECT_LE(e.iparam2, 16);
      }
      EXPECT_LE(e.anamorphic, 1);
      EXPECT_LE(e.option, 1);
    }
  }
}

TEST(Presets, DependOnTheValueAlone) {
  for (int16_t v = 1; v <= kPresetCount; ++v) {
    const Lens clean = Built(v, 0x00);
    const Lens dirty = Built(v, 0xFF);
    EXPECT_EQ(std::memcmp(&clean, &dirty, sizeof(Lens)), 0) << v;
    // Over the largest preset, and over itself.
    Lens reused = Built(36);
    BuildPreset(reused, v);
    EXPECT_EQ(std::memcmp(&clean, &reused, sizeof(Lens)), 0) << v;
    BuildPreset(reused, v);
    EXPECT_EQ(std::memcmp(&clean, &reused, sizeof(Lens)), 0) << v;
    // Nothing is left past the recipe's last element.
    const auto* tail = reinterpret_cast<const uint8_t*>(&clean.elements[clean.count]);
    const auto* end = reinterpret_cast<const uint8_t*>(&clean + 1);
    EXPECT_TRUE(std::all_of(tail, end, [](uint8_t b) { return b == 0; })) << v;
  }
}

TEST(Presets, NoTwoPresetsAlike) {
  for (int16_t a = 1; a <= kPresetCount; ++a) {
    const Lens first = Built(a);
    for (int16_t b = a + 1; b <= kPresetCount; ++b) {
      const Lens second = Built(b);
      EXPECT_NE(std::memcmp(&first, &second, sizeof(Lens)), 0) << a << " and " << b;
    }
  }
}

TEST(Presets, OutOfRangeBuildsAnEmptyLens) {
  for (int16_t v : {0, -1, 40, 32767, -32768}) {
    EXPECT_EQ(Built(v).count, 0u) << v;
  }
}

}  // namespace
}  // namespace gw
