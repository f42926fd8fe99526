// The Quick edition's preset lenses.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

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

TEST(Presets, BasicLensFieldByField) {
  const Lens lens = Built(4);
  ASSERT_EQ(lens.count, 6u);
  const LensElement& glow = lens.elements[0];
  EXPECT_EQ(glow.type, 0);
  EXPECT_EQ(glow.brightness, 1.622281f);
  EXPECT_EQ(glow.angle, 17.052628f);
  EXPECT_EQ(glow.spread, 0.625263f);
  EXPECT_EQ(glow.iparam5, 300);
  EXPECT_EQ(glow.anamorphic, 1);
  EXPECT_EQ(glow.option, 1);
  // No colour step: the GlowBall keeps its default colours.
  EXPECT_EQ(glow.color1.r, 200);
  EXPECT_EQ(glow.color1.g, 140);
  EXPECT_EQ(glow.color1.b, 180);
  EXPECT_EQ(glow.color2.r, 130);
  EXPECT_EQ(glow.color2.g, 115);
  EXPECT_EQ(glow.color2.b, 150);

  const LensElement& circle = lens.elements[3];
  EXPECT_EQ(circle.type, 4);
  EXPECT_EQ(circle.brightness, 1.104897f);
  EXPECT_EQ(circle.scale, 0.28582f);
  EXPECT_EQ(circle.position, -0.347368f);
  EXPECT_EQ(circle.iparam0, 24);
  EXPECT_EQ(circle.iparam3, 273);
  EXPECT_EQ(circle.iparam4, 926);
  EXPECT_EQ(circle.iparam5, 547);
  EXPECT_EQ(circle.color1.r, 77);
  EXPECT_EQ(circle.color1.g, 169);
  EXPECT_EQ(circle.color1.b, 194);
  EXPECT_EQ(lens.elements[5].type, 1);
  EXPECT_EQ(lens.elements[5].iparam0, 300);
}

TEST(Presets, FullRecipesHaveTheirElementTypes) {
  const struct {
    int16_t value;
    std::vector<int16_t> types;
  } cases[] = {
      {1, {0, 2, 9, 6, 17, 17, 17, 17, 17, 17, 6, 18, 4, 17, 17, 17, 6}},
      {4, {0, 3, 2, 4, 9, 1}},
      {16, {0, 2}},
      {32, {12, 0, 2, 10, 10, 10}},
      {35, {17, 0, 3}},
  };
  for (const auto& c : cases) {
    const Lens lens = Built(c.value);
    ASSERT_EQ(lens.count, c.types.size()) << c.value;
    for (size_t i = 0; i < c.types.size(); ++i) EXPECT_EQ(lens.elements[i].type, c.types[i]);
  }
  const Lens mm35 = Built(1);
  EXPECT_EQ(mm35.elements[11].iparam3, 0);
  EXPECT_EQ(mm35.elements[11].position, -0.28421f);
  EXPECT_EQ(mm35.elements[15].anamorphic, 1);
  EXPECT_EQ(mm35.elements[16].position, 1.989474f);
  const Lens star = Built(32);
  EXPECT_EQ(star.elements[5].spread, 10.080001f);
  EXPECT_EQ(star.elements[5].angle, 56.842102f);
  const Lens sunset = Built(35);
  EXPECT_EQ(sunset.elements[2].iparam2, 6);
  EXPECT_EQ(sunset.elements[1].iparam5, 705);
}

TEST(Presets, EveryElementEnabledWithItsDefaultName) {
  for (int16_t v = 1; v <= kPresetCount; ++v) {
    const Lens lens = Built(v);
    EXPECT_LE(lens.count, 23u);
    for (uint32_t i = 0; i < lens.count; ++i) {
      const LensElement& e = lens.elements[i];
      EXPECT_EQ(e.enabled, 1);
      const ElementTypeInfo* info = FindElementType(e.type);
      ASSERT_NE(info, nullptr);
      EXPECT_EQ(ElementName(e), info->defaultName);
    }
  }
}

TEST(Presets, DependOnTheValueAlone) {
  for (int16_t v : {1, 4, 16, 32, 35, 2}) {
    const Lens a = Built(v, 0x00);
    const Lens b = Built(v, 0xFF);
    EXPECT_EQ(std::memcmp(&a, &b, sizeof(Lens)), 0) << v;
  }
}

TEST(Presets, OutOfRangeBuildsAnEmptyLens) {
  for (int16_t v : {0, -1, 40, 32767, -32768}) {
    EXPECT_EQ(Built(v).count, 0u) << v;
  }
}

}  // namespace
}  // namespace gw
