// The native editor's preview is the full edition's render of the frame at
// the preview's size: the same pixels, whatever the lens and the settings
// that stand for the effect's parameters.
#include <gtest/gtest.h>

#include <vector>

#include "editor/preview_render.h"
#include "presets/presets.h"
#include "render/pixels.h"
#include "tests/editor/editor_test_support.h"
#include "tests/host/plugin_host.h"

namespace gw::testing {
namespace {

constexpr int32_t kBrightnessParam = 1, kScaleParam = 2, kPointParam = 3, kColorParam = 4,
                  kAngleParam = 5;

// The plug-in's render of its lens over a black frame of width x height.
std::vector<uint8_t> PluginRender(TestHost& host, const PreviewSettings& s, int32_t width,
                                  int32_t height, float lightScale) {
  host.SetValue(kPointParam, Point(s.lightX * lightScale, s.lightY * lightScale));
  host.SetValue(kBrightnessParam, Fixed(s.brightness * 100.0));
  host.SetValue(kScaleParam, Fixed(s.scale));
  host.SetValue(kAngleParam, Fixed(s.angle));
  ParamValue colour;
  colour.colour.red = s.colour.r;
  colour.colour.green = s.colour.g;
  colour.colour.blue = s.colour.b;
  host.SetValue(kColorParam, colour);
  Image out;
  EXPECT_EQ(host.Render(0, Image(width, height), out), PF_Err_NONE);
  std::vector<uint8_t> rgb;
  for (const PF_Pixel& p : out.pixels) rgb.insert(rgb.end(), {p.red, p.green, p.blue});
  return rgb;
}

std::vector<uint8_t> Preview(const Lens& lens, const PreviewSettings& s, int32_t frameWidth,
                             int32_t frameHeight, int32_t width, int32_t height) {
  std::vector<uint8_t> table(kScreenTableSize);
  BuildScreenTable(table.data());
  RgbImage out{width, height, {}};
  EXPECT_TRUE(RenderPreview(lens, s, frameWidth, frameHeight, {}, table.data(), out));
  return out.rgb;
}

std::vector<Lens> Lenses() {
  std::vector<Lens> lenses(1);
  BuildDefaultLens(lenses[0]);
  for (int16_t preset : {3, 11, 26}) {
    lenses.emplace_back();
    BuildPreset(lenses.back(), preset);
  }
  for (const ElementTypeInfo& type : ElementTypes()) lenses.push_back(LensOfTypes({type.type}, 1));
  return lenses;
}

TEST(PreviewRender, IsThePluginsRenderOfTheFrameAtThatSize) {
  PreviewSettings s = DefaultPreviewSettings(960, 540);
  EXPECT_EQ(s.lightX, 288.0f);
  EXPECT_EQ(s.lightY, 162.0f);
  s.lightX = 700.0f;
  s.lightY = 300.0f;
  s.colour = {255, 128, 64};
  s.brightness = 1.5f;
  s.scale = 0.75f;
  s.angle = 12.0f;
  auto host = NewInstance("full");
  for (const Lens& lens : Lenses()) {
    SCOPED_TRACE("lens of " + std::to_string(lens.count) + ", first type " +
                 std::to_string(lens.elements[0].type));
    ASSERT_EQ(host->SequenceSetdown(), PF_Err_NONE);
    ASSERT_EQ(host->SequenceResetup(StoredBytes(lens)), PF_Err_NONE);
    // The frame at its own size, and at half its size with the light at the
    // same place in it.
    EXPECT_EQ(Preview(lens, s, 960, 540, 960, 540), PluginRender(*host, s, 960, 540, 1.0f));
    EXPECT_EQ(Preview(lens, s, 960, 540, 480, 270), PluginRender(*host, s, 480, 270, 0.5f));
  }
  ExpectCleanShutdown(*host);
}

TEST(PreviewRender, OverTheFramesPictureAndStoppedWhenAsked) {
  Lens lens{};
  BuildPreset(lens, 4);
  std::vector<uint8_t> table(kScreenTableSize);
  BuildScreenTable(table.data());
  const PreviewSettings s = DefaultPreviewSettings(64, 36);
  // Over a grey picture the flare only brightens it.
  const RgbImage grey{64, 36, std::vector<uint8_t>(64 * 36 * 3, 90)};
  RgbImage over{64, 36, {}}, black{64, 36, {}};
  ASSERT_TRUE(RenderPreview(lens, s, 64, 36, grey, table.data(), over));
  ASSERT_TRUE(RenderPreview(lens, s, 64, 36, {}, table.data(), black));
  int brighter = 0;
  for (size_t i = 0; i < over.rgb.size(); ++i) {
    EXPECT_GE(over.rgb[i], 90);
    EXPECT_GE(over.rgb[i], black.rgb[i]);
    brighter += over.rgb[i] > 90;
  }
  EXPECT_GT(brighter, 100);
  // A picture of another size is no background: black.
  RgbImage wrong{32, 18, std::vector<uint8_t>(32 * 18 * 3, 200)};
  RgbImage again{64, 36, {}};
  ASSERT_TRUE(RenderPreview(lens, s, 64, 36, wrong, table.data(), again));
  EXPECT_EQ(again.rgb, black.rgb);
  // Asked to stop before the first element: nothing drawn.
  int asked = 0;
  RgbImage stopped{64, 36, {}};
  EXPECT_FALSE(RenderPreview(lens, s, 64, 36, {}, table.data(), stopped, [&] {
    ++asked;
    return true;
  }));
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(stopped.rgb, std::vector<uint8_t>(64 * 36 * 3, 0));
  // No frame, or no pixels: nothing to draw, and no harm.
  RgbImage none{0, 0, {}};
  EXPECT_TRUE(RenderPreview(lens, s, 0, 0, {}, table.data(), none));
  EXPECT_TRUE(none.rgb.empty());
}

}  // namespace
}  // namespace gw::testing
