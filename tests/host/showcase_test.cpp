// The Showcase edition: one light per 4-connected opaque patch of the
// location layer, and the lens drawn once per light.
#include "host/showcase_lights.h"
#include "tests/host/plugin_host.h"
#include "tests/support/host_failures.h"

namespace gw::testing {
namespace {

constexpr int32_t kShowcaseBrightness = 1, kShowcaseColor = 3, kShowcaseLocation = 5;

Image Clear(int32_t w, int32_t h) { return Image(w, h, PF_Pixel{0, 0, 0, 0}); }

void FillSquare(Image& image, int32_t left, int32_t top, int32_t size, PF_Pixel p) {
  for (int32_t y = top; y < top + size; ++y) {
    for (int32_t x = left; x < left + size; ++x) image.at(x, y) = p;
  }
}

std::vector<LightSource> Lights(const Image& image) {
  PF_LayerDef layer{};
  layer.data = const_cast<PF_Pixel*>(image.pixels.data());
  layer.width = image.width;
  layer.height = image.height;
  layer.rowbytes = image.width * 4;
  return FindLightsInLayer(layer);
}

const PF_Pixel kWhite{255, 255, 255, 255};

TEST(ShowcaseLights, SquareAt100By60IsOneLightLessOnePixel) {
  Image layer = Clear(640, 360);
  FillSquare(layer, 100, 60, 5, kWhite);
  const auto lights = Lights(layer);
  ASSERT_EQ(lights.size(), 1u);
  EXPECT_EQ(lights[0].pixelCount, 25);
  EXPECT_EQ(lights[0].alphaWeight, 25 * 255);
  EXPECT_FLOAT_EQ(lights[0].x * 640.0f, 101.0f);  // centre (102, 62) less one pixel
  EXPECT_FLOAT_EQ(lights[0].y * 360.0f, 61.0f);
  EXPECT_EQ(lights[0].red, 1.0f);
  EXPECT_EQ(lights[0].alpha, 1.0f);

  FillSquare(layer, 100, 60, 5, PF_Pixel{128, 255, 255, 255});
  EXPECT_FLOAT_EQ(Lights(layer)[0].alpha, 128.0f / 255.0f);
}

TEST(ShowcaseLights, HalfSizeLayerMapsOntoTheWholeFrame) {
  Image layer = Clear(320, 180);
  FillSquare(layer, 50, 30, 5, kWhite);
  const auto lights = Lights(layer);
  ASSERT_EQ(lights.size(), 1u);
  EXPECT_FLOAT_EQ(lights[0].x * 640.0f, 2.0f * 51.0f);
  EXPECT_FLOAT_EQ(lights[0].y * 360.0f, 2.0f * 31.0f);
}

TEST(ShowcaseLights, CornersDoNotConnectEdgesDo) {
  Image corners = Clear(40, 40);
  FillSquare(corners, 5, 5, 4, kWhite);
  FillSquare(corners, 9, 9, 4, kWhite);  // touches the first only at a corner
  EXPECT_EQ(Lights(corners).size(), 2u);

  Image edges = Clear(40, 40);
  FillSquare(edges, 5, 5, 4, kWhite);
  FillSquare(edges, 9, 6, 4, kWhite);  // shares an edge
  const auto lights = Lights(edges);
  ASSERT_EQ(lights.size(), 1u);
  EXPECT_EQ(lights[0].pixelCount, 32);
}

TEST(ShowcaseLights, RingAndSpiralAreOneLight) {
  Image ring = Clear(60, 60);
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 60; ++x) {
      const int d2 = (x - 30) * (x - 30) + (y - 30) * (y - 30);
      if (d2 >= 15 * 15 && d2 <= 20 * 20) ring.at(x, y) = kWhite;
    }
  }
  EXPECT_EQ(Lights(ring).size(), 1u);

  // A square spiral: every turn reached only through the previous one.
  Image spiral = Clear(41, 41);
  int x = 0, y = 0, dx = 1, dy = 0, length = 40;
  spiral.at(0, 0) = kWhite;
  while (length > 0) {
    for (int step = 0; step < length; ++step) spiral.at(x += dx, y += dy) = kWhite;
    const int t = dx;
    dx = -dy;
    dy = t;
    if (dy == 0) length -= 2;
  }
  uint32_t lit = 0;
  for (const PF_Pixel& p : spiral.pixels) lit += p.alpha != 0;
  const auto lights = Lights(spiral);
  ASSERT_EQ(lights.size(), 1u);
  EXPECT_EQ(lights[0].pixelCount, lit);
}

TEST(ShowcaseLights, AtMost1000InRasterOrder) {
  Image dots = Clear(100, 50);
  for (int y = 0; y < 50; y += 2) {
    for (int x = 0; x < 100; x += 2) dots.at(x, y) = kWhite;  // 1250 separate dots
  }
  const auto lights = Lights(dots);
  ASSERT_EQ(lights.size(), 1000u);
  EXPECT_FLOAT_EQ(lights[999].y * 50.0f, 38.0f - 1.0f);  // row 38 holds dots 950..999
  EXPECT_FLOAT_EQ(lights[999].x * 100.0f, 98.0f - 1.0f);
}

TEST(ShowcaseLights, LargePatchNeedsNoRecursion) {
  Image big = Clear(3000, 2000);
  for (PF_Pixel& p : big.pixels) p = kWhite;
  const auto lights = Lights(big);
  ASSERT_EQ(lights.size(), 1u);
  EXPECT_EQ(lights[0].pixelCount, 3000 * 2000);
  EXPECT_EQ(lights[0].alphaWeight, int64_t{3000} * 2000 * 255);  // beyond 32 bits
}

std::unique_ptr<TestHost> Showcase() {
  auto host = NewInstance("showcase");
  return host;
}

TEST(ShowcaseRender, NoLocationLayerNoFlare) {
  auto host = Showcase();
  const Image input = PatternFrame(80, 60);
  Image out;
  EXPECT_EQ(host->Render(0, input, out), PF_Err_NONE);
  EXPECT_TRUE(SamePixels(out, input));
  EXPECT_TRUE(host->progressCalls().empty());
  ExpectCleanShutdown(*host);
}

TEST(ShowcaseRender, LensDrawnOncePerLight) {
  auto host = Showcase();
  auto layer = std::make_shared<Image>(Clear(80, 60));
  FillSquare(*layer, 10, 10, 3, kWhite);
  FillSquare(*layer, 40, 30, 3, PF_Pixel{255, 255, 0, 0});
  FillSquare(*layer, 60, 5, 2, PF_Pixel{0, 255, 255, 255});  // transparent: no light
  host->SetLayer(kShowcaseLocation, layer);
  const Image input = PatternFrame(80, 60);
  Image out;
  EXPECT_EQ(host->Render(0, input, out), PF_Err_NONE);
  ASSERT_EQ(host->progressCalls().size(), 2u * 3u);
  EXPECT_EQ(host->progressCalls().front().total, 6);
  for (size_t i = 0; i < input.pixels.size(); ++i) {
    ASSERT_EQ(out.pixels[i].alpha, input.pixels[i].alpha);
  }
  ExpectCleanShutdown(*host);
}

TEST(ShowcaseRender, DimLightsAreSkippedAndCancelStops) {
  auto host = Showcase();
  auto layer = std::make_shared<Image>(Clear(80, 60));
  FillSquare(*layer, 10, 10, 3, kWhite);
  FillSquare(*layer, 40, 30, 3, kWhite);
  host->SetLayer(kShowcaseLocation, layer);
  host->SetValue(kShowcaseBrightness, Fixed(0));
  Image out;
  EXPECT_EQ(host->Render(0, PatternFrame(80, 60), out), PF_Err_NONE);
  EXPECT_TRUE(host->progressCalls().empty());

  host->SetValue(kShowcaseBrightness, Fixed(100));
  ParamValue blue;
  blue.colour = PF_Pixel{0, 0, 0, 255};  // white patches tinted pure blue
  host->SetValue(kShowcaseColor, blue);
  CancelAtProgress(*host, 4);
  EXPECT_EQ(host->Render(0, PatternFrame(80, 60), out), PF_Interrupt_CANCEL);
  EXPECT_EQ(host->progressCalls().size(), 4u);
  ExpectCleanShutdown(*host);
}

TEST(ShowcaseRender, AtMost1000LightsAreDrawn) {
  auto host = Showcase();
  ASSERT_EQ(host->SequenceResetup(StoredBytes(LensOf(0, 1, /*enabled=*/false))), PF_Err_NONE);
  auto dots = std::make_shared<Image>(Clear(100, 50));
  for (int y = 0; y < 50; y += 2) {
    for (int x = 0; x < 100; x += 2) dots->at(x, y) = kWhite;
  }
  host->SetLayer(kShowcaseLocation, dots);
  Image out;
  EXPECT_EQ(host->Render(0, PatternFrame(100, 50), out), PF_Err_NONE);
  EXPECT_EQ(host->progressCalls().size(), 1000u);
  EXPECT_EQ(host->progressCalls().back().total, 1000);
  ExpectCleanShutdown(*host);
}

TEST(ShowcaseRender, FailedLayerCheckoutMeansNoLights) {
  auto host = Showcase();
  auto layer = std::make_shared<Image>(Clear(80, 60));
  FillSquare(*layer, 10, 10, 3, kWhite);
  host->SetLayer(kShowcaseLocation, layer);
  FailCheckout(*host, 1, PF_Err_OUT_OF_MEMORY);
  const Image input = PatternFrame(80, 60);
  Image out;
  EXPECT_EQ(host->Render(0, input, out), PF_Err_NONE);
  EXPECT_TRUE(SamePixels(out, input));
  ExpectCleanShutdown(*host);
}

}  // namespace
}  // namespace gw::testing
