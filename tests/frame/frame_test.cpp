// The frame logic on plain layer views: the same answers whichever way a
// binding lays out its rows, and the patch count beyond the light limit.
#include "frame/frame.h"

#include <gtest/gtest.h>

#include <vector>

#include "frame/light.h"
#include "frame/showcase_lights.h"

namespace gw {
namespace {

// A layer of w x h pixels, all transparent, stored top row first.
struct Layer {
  Layer(int32_t w, int32_t h) : width(w), height(h), bytes(static_cast<size_t>(w) * h * 4, 0) {}
  void Set(int32_t x, int32_t y, LayerPixel p) {
    uint8_t* q = &bytes[(static_cast<size_t>(y) * width + x) * 4];
    q[0] = p.alpha, q[1] = p.red, q[2] = p.green, q[3] = p.blue;
  }
  LayerView TopDown() const { return {bytes.data(), width, height, ptrdiff_t{width} * 4}; }
  // The same pixels stored bottom row first, viewed from the top.
  LayerView BottomUp(std::vector<uint8_t>& flipped) const {
    const size_t row = static_cast<size_t>(width) * 4;
    flipped.resize(bytes.size());
    for (int32_t y = 0; y < height; ++y) {
      std::copy_n(&bytes[y * row], row, &flipped[(height - 1 - y) * row]);
    }
    return {flipped.data() + (height - 1) * row, width, height, -ptrdiff_t(row)};
  }
  int32_t width, height;
  std::vector<uint8_t> bytes;
};

TEST(FrameLayers, RowsRunningUpwardsGiveTheSameLightsAndObscuration) {
  Layer layer(64, 40);
  for (int32_t y = 10; y < 14; ++y) {
    for (int32_t x = 20; x < 23; ++x) layer.Set(x, y, {200, 255, 40, 0});
  }
  layer.Set(50, 30, {90, 0, 0, 255});
  std::vector<uint8_t> flipped;
  const LayerView down = layer.TopDown(), up = layer.BottomUp(flipped);

  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  ASSERT_TRUE(FindLightInLayer(down, x1, y1));
  ASSERT_TRUE(FindLightInLayer(up, x2, y2));
  EXPECT_EQ(x1, x2);
  EXPECT_EQ(y1, y2);

  const auto a = FindLightsInLayer(down), b = FindLightsInLayer(up);
  ASSERT_EQ(a.size(), 2u);
  ASSERT_EQ(b.size(), 2u);
  EXPECT_EQ(a[0].x, b[0].x);
  EXPECT_EQ(a[1].y, b[1].y);
  EXPECT_EQ(a[1].blue, 1.0f);
  EXPECT_FLOAT_EQ(a[0].alpha, 200.0f / 255.0f);

  const Obscuration o1 = MeasureObscuration(down, 21, 11, 1, ObscurationType::Rgb);
  const Obscuration o2 = MeasureObscuration(up, 21, 11, 1, ObscurationType::Rgb);
  EXPECT_EQ(o1.pixel.alpha, 200);  // 3 x 3 inside the patch
  EXPECT_EQ(o2.pixel.red, o1.pixel.red);
  EXPECT_EQ(o2.type, ObscurationType::Rgb);
  // No pixels: no obscuration, whatever the type asked for.
  EXPECT_EQ(MeasureObscuration(LayerView{}, 1, 1, 1, ObscurationType::Alpha).type,
            ObscurationType::None);
}

TEST(FrameLayers, PatchesAreCountedBeyondTheLightLimit) {
  Layer layer(200, 40);  // a dot on every other pixel of every other row: 2000 patches
  for (int32_t y = 0; y < 40; y += 2) {
    for (int32_t x = 0; x < 200; x += 2) layer.Set(x, y, {255, 255, 255, 255});
  }
  EXPECT_EQ(CountOpaquePatches(layer.TopDown()), 2000);
  EXPECT_EQ(FindLightsInLayer(layer.TopDown()).size(), size_t(kMaxLights));
  layer.Set(1, 0, {1, 0, 0, 0});  // joins the first two dots
  EXPECT_EQ(CountOpaquePatches(layer.TopDown()), 1999);
  EXPECT_EQ(CountOpaquePatches(LayerView{}), 0);
}

TEST(FrameTarget, TheCanvasWindowIsTheClipAndTheFrameSizeStaysWhole) {
  std::vector<uint8_t> pixels(30 * 20 * 4);
  const Canvas canvas{pixels.data(), 30 * 4, 4, PixelRect{100, 120, 200, 230}};
  FlareFrame frame;
  ASSERT_TRUE(BeginFlare({640, 360}, canvas, {true, 1.5f, 2.0f}, frame));
  const RenderTarget& t = frame.target;
  EXPECT_EQ(t.width, 640);
  EXPECT_EQ(t.height, 360);
  EXPECT_EQ(t.clip.left, 200);
  EXPECT_EQ(t.clip.bottom, 120);
  EXPECT_EQ(t.pixels, pixels.data());
  EXPECT_EQ(t.highQuality, 1);
  EXPECT_EQ(frame.profile->length(), 640 * 90 - 10);  // trunc(640 x 1.5 x 60) - 10
  EXPECT_FALSE(BeginFlare({30000, 10}, canvas, {false, 100.0f, 0.0f}, frame));
  EXPECT_FALSE(FrameSize({40000, 1}).Addressable());
  EXPECT_TRUE(FrameSize({0, 5}).Empty());
}

}  // namespace
}  // namespace gw
