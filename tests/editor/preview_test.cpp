// The preview: the same pixels as the plug-in's render, the light moved by
// sliders and by dragging, fast drags, reset, the palette conversion and the
// clipboard comparison.
#include <gtest/gtest.h>

#include <cstring>

#include "lens/control_ids.h"
#include "editor/dib.h"
#include "presets/presets.h"
#include "tests/editor/editor_test_support.h"
#include "tests/host/plugin_host.h"

namespace gw::testing {
namespace {

using enum ElementType;

constexpr int32_t kBrightnessParam = 1, kPointParam = 3, kAngleParam = 5;

// The full edition's render of `lens` over black at 320 x 240, with the
// parameters that give the preview's target: Angle 24 (phase 1.0), draft
// quality, Brightness 100 %, white, Scale 1.
std::vector<uint8_t> PluginRender(const Lens& lens, int x, int y,
                                  const Image& input = Image(kPreviewWidth, kPreviewHeight)) {
  auto host = NewInstance("full");
  EXPECT_EQ(host->SequenceResetup(StoredBytes(lens)), PF_Err_NONE);
  host->SetValue(kPointParam, Point(x, y));
  host->SetValue(kAngleParam, Fixed(24));
  host->SetValue(kBrightnessParam, Fixed(100));
  host->settings().quality = PF_Quality_LO;
  Image out;
  EXPECT_EQ(host->Render(0, input, out), PF_Err_NONE);
  std::vector<uint8_t> rgb;
  for (const PF_Pixel& p : out.pixels) rgb.insert(rgb.end(), {p.red, p.green, p.blue});
  ExpectCleanShutdown(*host);
  return rgb;
}

class PreviewTest : public EditorTest {
 protected:
  void DragLightTo(gw::Point press, std::initializer_list<gw::Point> moves) {
    preview().ImageMouseDown(press);
    for (gw::Point p : moves) preview().ImageMouseMove(p);
    preview().ImageMouseUp();
  }
  bool AllBlack() {
    for (uint8_t v : preview().DisplayedRgb()) {
      if (v) return false;
    }
    return true;
  }
};

TEST_F(PreviewTest, StartsAsTheTableSays) {
  Open(LensOfTypes({GlowBall}, 1));
  const RenderTarget& t = preview().target();
  EXPECT_EQ(t.width, 320);
  EXPECT_EQ(t.height, 240);
  EXPECT_EQ(t.rowBytes, 960);
  EXPECT_EQ(t.bytesPerPixel, 3);
  EXPECT_EQ(preview().profile().length(), 19190);
  EXPECT_EQ(t.highQuality, 0);
  EXPECT_EQ(t.lightX, 100.0f);
  EXPECT_EQ(t.lightY, 100.0f);
  EXPECT_EQ(t.anglePhase, 1.0f);
  EXPECT_EQ(t.clip.right, 320);
  EXPECT_EQ(t.clip.bottom, 240);
  EXPECT_EQ(preview().lightX().value(), 100.0f);
  EXPECT_EQ(preview().brightness().LabelLine(), "Brightness: 1.00");
  EXPECT_EQ(preview().scale().minimum(), 0.01f);
  EXPECT_TRUE(preview().scale().enabled());
  EXPECT_EQ(preview().colourBox().label(), "Color: ");
  const DisplayImage image = preview().Displayed();
  EXPECT_EQ(DibWidth(image.info.data()), 320);
  EXPECT_EQ(DibHeight(image.info.data()), -240);
}

TEST_F(PreviewTest, SameImageAsThePluginsRender) {
  Lens defaults;
  BuildDefaultLens(defaults);
  std::vector<Lens> lenses = {defaults};
  for (int16_t preset : {1, 8, 25, 36}) {
    Lens lens;
    BuildPreset(lens, preset);
    lenses.push_back(lens);
  }
  for (const ElementTypeInfo& type : ElementTypes()) {
    lenses.push_back(LensOfTypes({type.type}, 1));
  }
  for (const Lens& lens : lenses) {
    Open(lens);
    for (const gw::Point light : {gw::Point{100, 100}, gw::Point{260, 40}}) {
      editor->Command(ids::kLightFromImage, light.x | light.y << 16);
      EXPECT_EQ(preview().DisplayedRgb(), PluginRender(lens, light.x, light.y))
          << "lens of " << lens.count << ", first type " << lens.elements[0].type;
    }
  }
}

TEST_F(PreviewTest, OverAPictureAsThePluginScreensOverTheFrame) {
  Lens lens;
  BuildPreset(lens, 4);
  Open(lens);
  const Image frame = PatternFrame(kPreviewWidth, kPreviewHeight);
  std::vector<uint8_t> rgb;
  for (const PF_Pixel& p : frame.pixels) rgb.insert(rgb.end(), {p.red, p.green, p.blue});
  preview().SetBackground(rgb);
  editor->Command(ids::kLightFromImage, 210 | 70 << 16);
  EXPECT_EQ(preview().DisplayedRgb(), PluginRender(lens, 210, 70, frame));
  // During a fast drag the picture is halved with the image.
  editor->SetFastDrags(true);
  preview().ImageMouseDown({100, 100});
  const std::vector<uint8_t> half = preview().DisplayedRgb();
  ASSERT_EQ(half.size(), 160u * 120 * 3);
  preview().ImageMouseUp();
  preview().SetBackground({});  // black again
  editor->Command(ids::kLightFromImage, 210 | 70 << 16);
  EXPECT_EQ(preview().DisplayedRgb(), PluginRender(lens, 210, 70));
}

// A frame of any size becomes the preview's picture: each pixel the mean
// of the block of the frame under it, a smaller frame stretched.
TEST(PreviewBackground, ShrinksByBlockMeansAndStretchesSmallFrames) {
  const auto at = [](const std::vector<uint8_t>& rgb, int32_t x, int32_t y, int c) {
    return rgb[static_cast<size_t>(y * kPreviewRowBytes + x * 3 + c)];
  };
  // 640 x 480: each preview pixel is the mean of a 2 x 2 block (rounded down).
  RgbPicture big{640, 480, std::vector<uint8_t>(640u * 480 * 3)};
  for (int32_t y = 0; y < 480; ++y) {
    for (int32_t x = 0; x < 640; ++x) {
      uint8_t* p = &big.rgb[static_cast<size_t>(y * 640 + x) * 3];
      p[0] = static_cast<uint8_t>(x % 2 ? 255 : 0);  // red: columns on, off
      p[1] = static_cast<uint8_t>(y % 2 ? 11 : 0);   // green: rows
      p[2] = static_cast<uint8_t>(x / 3);            // blue: a ramp
    }
  }
  const std::vector<uint8_t> shrunk = PreviewBackground(big);
  ASSERT_EQ(shrunk.size(), static_cast<size_t>(kPreviewRowBytes) * kPreviewHeight);
  EXPECT_EQ(at(shrunk, 0, 0, 0), 127);
  EXPECT_EQ(at(shrunk, 319, 239, 1), 5);
  EXPECT_EQ(at(shrunk, 0, 0, 2), 0);                // (0 + 0 + 0 + 0) / 4
  EXPECT_EQ(at(shrunk, 100, 7, 2), (66 + 67) / 2);  // columns 200 and 201
  // 160 x 120: every frame pixel fills a 2 x 2 block.
  RgbPicture small{160, 120, std::vector<uint8_t>(160u * 120 * 3)};
  for (size_t i = 0; i < small.rgb.size(); ++i) small.rgb[i] = static_cast<uint8_t>(i % 251);
  const std::vector<uint8_t> stretched = PreviewBackground(small);
  for (const auto& [x, y] : {std::pair{0, 0}, {1, 1}, {200, 37}, {319, 239}}) {
    for (int c = 0; c < 3; ++c) {
      EXPECT_EQ(at(stretched, x, y, c), small.rgb[static_cast<size_t>((y / 2) * 160 + x / 2) * 3 + c]);
    }
  }
  // A frame of one pixel, wide or tall, fills the preview with it.
  const std::vector<uint8_t> one = PreviewBackground({1, 1, {9, 8, 7}});
  EXPECT_EQ(at(one, 319, 239, 2), 7);
  EXPECT_EQ(PreviewBackground({1, 2, {9, 8, 7, 1, 2, 3}})[static_cast<size_t>(239 * kPreviewRowBytes)], 1);
  // Nothing to show: empty (the preview stays black).
  EXPECT_TRUE(PreviewBackground({}).empty());
  EXPECT_TRUE(PreviewBackground({-4, 3, {}}).empty());
  EXPECT_TRUE(PreviewBackground({4, 3, std::vector<uint8_t>(4 * 3 * 3 - 1)}).empty());
}

TEST_F(PreviewTest, EveryElementOffIsBlack) {
  Lens lens = LensOfTypes({GlowBall, StarFilter, Disc}, 3);
  Open(lens);
  EXPECT_FALSE(AllBlack());
  for (int r = 0; r < 3; ++r) list().MouseDown({3, r * kRowHeight + 3});
  EXPECT_TRUE(AllBlack());
  lens.elements[0].type = 8;  // no renderer
  editor.reset();
  Open(LensOfTypes({ElementType{8}}, 2));
  EXPECT_TRUE(AllBlack());
}

TEST_F(PreviewTest, LightFromTheSlidersAndTheImage) {
  Open(LensOfTypes({StarFilter}, 1));
  preview().lightX().MouseDown({5 + 250, 6});
  preview().lightX().MouseUp();
  EXPECT_EQ(preview().target().lightX, 250.0f);
  EXPECT_EQ(preview().lightX().value(), 250.0f);
  preview().lightY().MouseDown({6, 5 + 30});
  EXPECT_EQ(preview().target().lightY, 30.0f);
  preview().lightY().MouseUp();
  DragLightTo({10, 20}, {{400, 20}, {400, -9}});
  EXPECT_EQ(preview().target().lightX, 320.0f);  // beyond the edge: the edge itself
  EXPECT_EQ(preview().target().lightY, 0.0f);
  EXPECT_EQ(preview().lightX().value(), 320.0f);
  EXPECT_EQ(preview().lightY().value(), 0.0f);
  EXPECT_FALSE(preview().fast());  // "Fast Drags" is off
}

TEST_F(PreviewTest, FastDragsRenderAtHalfSize) {
  Open(LensOfTypes({GlowBall}, 1));
  editor->SetFastDrags(true);
  preview().ImageMouseDown({101, 60});
  EXPECT_TRUE(preview().fast());
  EXPECT_EQ(preview().target().width, 160);
  EXPECT_EQ(preview().target().height, 120);
  EXPECT_EQ(preview().target().rowBytes, 480);
  EXPECT_EQ(preview().target().clip.right, 160);
  EXPECT_EQ(preview().target().lightX, 50.0f);
  EXPECT_EQ(preview().target().lightY, 30.0f);
  const DisplayImage during = preview().Displayed();
  EXPECT_EQ(DibWidth(during.info.data()), 160);
  EXPECT_EQ(DibHeight(during.info.data()), -120);
  EXPECT_EQ(preview().DisplayedRgb().size(), 160u * 120 * 3);
  EXPECT_EQ(preview().lightX().value(), 101.0f);
  preview().ImageMouseUp();
  EXPECT_FALSE(preview().fast());
  EXPECT_EQ(preview().target().lightX, 100.0f);  // an odd coordinate comes back one less
  EXPECT_EQ(preview().target().lightY, 60.0f);
  EXPECT_EQ(preview().target().width, 320);
  EXPECT_EQ(preview().target().rowBytes, 960);
  EXPECT_EQ(DibWidth(preview().Displayed().info.data()), 320);
  // The full-size image is the one a still light at (100, 60) gives.
  EXPECT_EQ(preview().DisplayedRgb(), PluginRender(lens(), 100, 60));

  // Sliders too, halved by a shift while dragging; other controls never.
  preview().lightY().MouseDown({6, 5 + 77});
  EXPECT_EQ(preview().target().lightY, 38.0f);
  preview().lightY().MouseUp();
  EXPECT_EQ(preview().target().lightY, 76.0f);
  preview().brightness().MouseDown({60, 18});
  EXPECT_FALSE(preview().fast());
  preview().brightness().MouseUp();
}

TEST_F(PreviewTest, ColourBrightnessScaleAndReset) {
  Open(LensOfTypes({Disc}, 1));
  const std::vector<uint8_t> start = preview().DisplayedRgb();
  const Lens before = lens();
  frontEnd.colours = {PackColour({255, 0, 51})};
  preview().colourBox().Click();
  EXPECT_EQ(preview().target().gainR, 1.0f);
  EXPECT_EQ(preview().target().gainG, 0.0f);
  EXPECT_EQ(preview().target().gainB, 51 / 255.0f);
  editor->Command(ids::kPreviewBrightness, 2, 2.5f);
  editor->Command(ids::kPreviewScale, 0, 0.5f);
  editor->Command(ids::kLightFromImage, 7 | 9 << 16);
  EXPECT_EQ(preview().target().brightness, 2.5f);
  EXPECT_EQ(preview().target().scale, 0.5f);
  EXPECT_NE(preview().DisplayedRgb(), start);
  editor->Command(ids::kReset);
  EXPECT_EQ(preview().lightY().value(), 100.0f);
  EXPECT_EQ(preview().lightX().value(), 100.0f);
  EXPECT_EQ(preview().brightness().value(), 1.0f);
  EXPECT_EQ(preview().scale().value(), 1.0f);
  EXPECT_EQ(preview().colourBox().colour(), kWhite);
  EXPECT_EQ(preview().target().gainB, 1.0f);
  EXPECT_EQ(preview().DisplayedRgb(), start);
  EXPECT_EQ(std::memcmp(&lens(), &before, sizeof(Lens)), 0);
}

TEST(Dithering, WhiteAndDarkGreyOnTheCube) {
  // (50, 50, 50) lies below the cube's first level and passes (50 - 0) / 4 =
  // 12 to the pixel below it and 24 to the pixel on its right. Each
  // neighbour alone stays below the first level (51); with what it is
  // passed it reaches it exactly, so only a conversion that diffuses the
  // error gives them the index of (51, 51, 51).
  //   row 0: (50, 50, 50)  (27, 27, 27)  white
  //   row 1: (39, 39, 39)  black         black
  uint8_t p[2 * 9] = {50, 50, 50, 27, 27, 27, 255, 255, 255, 39, 39, 39, 0, 0, 0, 0, 0, 0};
  DitherToCube(p, 3, 2, 9);
  // The indices land at y x width + x.
  const uint8_t level1 = static_cast<uint8_t>(CubeIndex(51, 51, 51));
  EXPECT_EQ(level1, 43);
  EXPECT_EQ(p[0], 0);
  EXPECT_EQ(p[1], level1);  // 27 + 24
  EXPECT_EQ(p[2], 215);     // white, whatever it was passed
  EXPECT_EQ(p[3], level1);  // 39 + 12
  // (1, 1) got (27 + 24 - 51) / 4 = 0 from above and 2 x 0 from its left.
  EXPECT_EQ(p[4], 0);
  EXPECT_EQ(p[5], 0);
  // A little less and the first level is not reached: 24 and 12 exactly.
  uint8_t q[2 * 9] = {50, 50, 50, 26, 26, 26, 0, 0, 0, 38, 38, 38, 0, 0, 0, 0, 0, 0};
  DitherToCube(q, 3, 2, 9);
  EXPECT_EQ(q[1], 0);
  EXPECT_EQ(q[3], 0);
  EXPECT_EQ(CubeIndex(255, 255, 255), 215);
  EXPECT_EQ(CubeIndex(102, 51, 255), 36 * 2 + 6 + 5);
  const Rgb c = CubeColour(36 * 2 + 6 + 5);
  EXPECT_EQ(c.r, 102);
  EXPECT_EQ(c.g, 51);
  EXPECT_EQ(c.b, 255);
}

TEST_F(PreviewTest, PaletteModeShowsCubeIndicesThroughThePalette) {
  frontEnd.palette = true;
  Open(LensOfTypes({GlowBall}, 1));
  EXPECT_TRUE(editor->paletteMode());
  const DisplayImage image = preview().Displayed();
  EXPECT_TRUE(image.paletteIndices);
  ASSERT_EQ(image.info.size(), kDibHeaderSize + 512);
  EXPECT_EQ(image.info[kDibHeaderSize], 225);       // cube colour 0: palette entry 225
  EXPECT_EQ(image.info[kDibHeaderSize + 2 * 215], 10);
  EXPECT_EQ(image.info[14], 8);                      // bits per pixel
  // Every shown colour is a cube colour near the flare's.
  const std::vector<uint8_t> rgb = preview().DisplayedRgb();
  for (uint8_t v : rgb) EXPECT_EQ(v % 51, 0);
  EXPECT_EQ(frontEnd.log.front(), "+palette");
}

// A 24-bit bitmap of 2 x 2 pixels, bottom-up, rows padded to 8 bytes.
std::vector<uint8_t> SmallDib() {
  std::vector<uint8_t> dib(kDibHeaderSize + 16, 0);
  WriteDibHeader(dib.data(), 2, 2, 24, 0);
  const uint8_t rows[16] = {255, 0, 0, 0, 255, 0, 0, 0,    // bottom: blue, green
                            0, 0, 255, 255, 255, 255, 0, 0};  // top: red, white
  std::memcpy(dib.data() + kDibHeaderSize, rows, 16);
  return dib;
}

TEST_F(PreviewTest, TheComparisonButtonShowsTheClipboardsBitmap) {
  Open(LensOfTypes({GlowBall}, 1));
  const std::vector<uint8_t> flare = preview().DisplayedRgb();
  frontEnd.clipboard = {true, SmallDib()};
  editor->CompareButtonDrawn(true);
  EXPECT_TRUE(preview().showingClipboard());
  EXPECT_TRUE(preview().Displayed().fromClipboard);
  EXPECT_EQ(preview().DisplayedRgb(),
            (std::vector<uint8_t>{255, 0, 0, 255, 255, 255, 0, 0, 255, 0, 255, 0}));
  editor->CompareButtonDrawn(true);  // drawn pressed again: nothing new
  editor->CompareButtonDrawn(false);
  EXPECT_FALSE(preview().showingClipboard());
  EXPECT_EQ(preview().DisplayedRgb(), flare);
  EXPECT_TRUE(frontEnd.beeps.empty());
}

TEST_F(PreviewTest, NoBitmapBeepsAndKeepsTheFlare) {
  Open(LensOfTypes({GlowBall}, 1));
  frontEnd.clipboard = {true, {}};
  editor->CompareButtonDrawn(true);
  editor->CompareButtonDrawn(false);
  frontEnd.clipboard = {false, SmallDib()};  // the clipboard cannot be opened
  editor->CompareButtonDrawn(true);
  editor->CompareButtonDrawn(false);
  // A bitmap whose rows do not fit its bytes is no bitmap.
  std::vector<uint8_t> cut = SmallDib();
  cut.resize(cut.size() - 1);
  frontEnd.clipboard = {true, cut};
  editor->CompareButtonDrawn(true);
  EXPECT_FALSE(preview().showingClipboard());
  EXPECT_EQ(frontEnd.beeps, (std::vector<BeepKind>{BeepKind::Exclamation, BeepKind::Simple,
                                                   BeepKind::Exclamation}));
}

TEST(Dib, LayoutsAndWhatIsRefused) {
  std::vector<uint8_t> dib(kDibHeaderSize + 1024 + 4 * 3, 0);
  WriteDibHeader(dib.data(), 3, -3, 8, 256);
  const auto layout = ReadDibLayout(dib);
  ASSERT_TRUE(layout);
  EXPECT_EQ(layout->tableBytes, 1024u);
  EXPECT_EQ(layout->stride, 4u);
  EXPECT_EQ(layout->bitsOffset, kDibHeaderSize + 1024);
  WriteDibHeader(dib.data(), 3, -4, 8, 256);  // one row more than the bytes hold
  EXPECT_FALSE(ReadDibLayout(dib));
  WriteDibHeader(dib.data(), 0x7fffffff, 0x7fffffff, 32, 0);
  EXPECT_FALSE(ReadDibLayout(dib));
  WriteDibHeader(dib.data(), 3, 3, 7, 0);
  EXPECT_FALSE(ReadDibLayout(dib));
  WriteDibHeader(dib.data(), -3, 3, 24, 0);
  EXPECT_FALSE(ReadDibLayout(dib));
  EXPECT_FALSE(ReadDibLayout(std::span(dib).first(39)));
  std::vector<uint8_t> four(kDibHeaderSize + 64 + 4, 0);
  WriteDibHeader(four.data(), 2, 1, 4, 16);
  four[kDibHeaderSize + 4 * 1 + 2] = 200;  // colour 1 is red 200
  four[kDibHeaderSize + 64] = 0x10;        // pixels 1, 0
  const auto rgb = DibToRgb(four, *ReadDibLayout(four));
  EXPECT_EQ(rgb, (std::vector<uint8_t>{200, 0, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace gw::testing
