// Light location, obscuration and the flare colour, driven by the test host
// through an entry point that calls the operations directly.
#include "host/commands.h"
#include "host/light.h"
#include "tests/host/plugin_host.h"
#include "tests/support/host_failures.h"

namespace gw::testing {
namespace {

constexpr int32_t kPoint = 3, kLocation = 6, kObscuration = 7, kObscurationType = 8,
                  kSourceSize = 9;

struct Probe {
  TimeChoice when = TimeChoice::Current;
  float x = -1.0f, y = -1.0f;
  PF_Err lightError = 0;
  Obscuration obscuration;
  PF_Err obscurationError = 0;
};
Probe probe;

// The full edition, except that a render only finds the light and measures
// the obscuration around it.
PF_Err ProbeEntry(PF_Cmd cmd, PF_InData* in, PF_OutData* out, PF_ParamDef* params[],
                  PF_LayerDef* output, void*) {
  if (cmd != PF_Cmd_RENDER) return HostMain(FullEdition(), cmd, in, out, params, output);
  probe.lightError = FindLightSource(FullEdition(), *in, params, probe.when, probe.x, probe.y);
  probe.obscurationError =
      MeasureObscuration(FullEdition(), *in, params, probe.x, probe.y, probe.obscuration);
  return PF_Err_NONE;
}

class LightTest : public ::testing::Test {
 protected:
  void SetUp() override {
    probe = Probe{};
    ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
    ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
    ASSERT_EQ(host.SequenceSetup(), PF_Err_NONE);
    host.SetValue(kPoint, Point(12.5, 7.25));
  }
  void TearDown() override { ExpectCleanShutdown(host); }
  void Run(int32_t w = 200, int32_t h = 100) {
    Image out;
    ASSERT_EQ(host.Render(0, Image(w, h), out), PF_Err_NONE);
  }
  static std::shared_ptr<Image> Transparent(int32_t w = 200, int32_t h = 100) {
    return std::make_shared<Image>(w, h, PF_Pixel{0, 0, 0, 0});
  }
  TestHost host{&ProbeEntry, "probe"};
};

TEST_F(LightTest, SingleOpaquePixelIsTheLight) {
  auto layer = Transparent();
  layer->at(120, 45) = PF_Pixel{255, 255, 255, 255};
  host.SetLayer(kLocation, layer);
  Run();
  EXPECT_EQ(probe.lightError, PF_Err_NONE);
  EXPECT_EQ(probe.x, 120.0f);
  EXPECT_EQ(probe.y, 45.0f);
}

TEST_F(LightTest, AlphaWeightedCentroid) {
  auto layer = Transparent();
  layer->at(10, 10).alpha = 128;
  layer->at(30, 50).alpha = 128;
  host.SetLayer(kLocation, layer);
  Run();
  EXPECT_EQ(probe.x, 20.0f);
  EXPECT_EQ(probe.y, 30.0f);

  layer->at(10, 10).alpha = 200;
  layer->at(30, 50).alpha = 100;
  Run();
  EXPECT_NEAR(probe.x, 16.6667f, 1e-3f);
  EXPECT_NEAR(probe.y, 23.3333f, 1e-3f);
}

TEST_F(LightTest, TransparentOrMissingLayerUsesThePoint) {
  Run();  // no layer chosen
  EXPECT_EQ(probe.x, 12.5f);
  EXPECT_EQ(probe.y, 7.25f);
  host.SetLayer(kLocation, Transparent());
  probe = Probe{};
  Run();
  EXPECT_EQ(probe.x, 12.5f);
  EXPECT_EQ(probe.y, 7.25f);
  host.SetLayer(kLocation, std::make_shared<Image>(0, 50));  // no pixels: no layer
  probe = Probe{};
  Run();
  EXPECT_EQ(probe.x, 12.5f);
}

TEST_F(LightTest, NextTimePointIsBroughtIntoFramePixels) {
  host.SetKey(kPoint, 0, Point(10, 10));
  host.SetKey(kPoint, 1, Point(40, 20));
  host.settings().totalTime = 5;
  host.settings().downsample = 2;
  probe.when = TimeChoice::Next;
  Run();
  EXPECT_EQ(probe.lightError, PF_Err_NONE);
  EXPECT_EQ(probe.x, 20.0f);  // full-size pixels at half resolution
  EXPECT_EQ(probe.y, 10.0f);
}

TEST_F(LightTest, NextTimeStopsAtTheEndOfTheComposition) {
  host.SetKey(kPoint, 0, Point(10, 10));
  host.SetKey(kPoint, 1, Point(40, 20));
  host.SetKey(kPoint, 2, Point(90, 90));
  host.settings().totalTime = 0;  // the next frame would lie beyond it
  probe.when = TimeChoice::Next;
  Run();
  EXPECT_EQ(probe.x, 10.0f);
}

TEST_F(LightTest, FailedLayerCheckoutLeavesNoPosition) {
  FailCheckout(host, 1, PF_Err_OUT_OF_MEMORY);
  Run();
  EXPECT_EQ(probe.lightError, PF_Err_OUT_OF_MEMORY);
  EXPECT_EQ(probe.x, -1.0f);
}

TEST_F(LightTest, ObscurationSampleSquares) {
  auto layer = std::make_shared<Image>(200, 100, PF_Pixel{0, 0, 0, 0});
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 200; ++x) layer->at(x, y) = PF_Pixel{uint8_t(x), uint8_t(y), 9, 0};
  }
  host.SetLayer(kObscuration, layer);
  host.SetValue(kPoint, Point(50.7, 20.2));

  host.SetValue(kSourceSize, Int(1));  // r = 0: exactly the pixel at (50, 20)
  Run();
  EXPECT_EQ(probe.obscurationError, PF_Err_NONE);
  EXPECT_EQ(probe.obscuration.type, ObscurationType::Alpha);  // the popup's default, "Alpha"
  EXPECT_EQ(probe.obscuration.pixel.alpha, 50);
  EXPECT_EQ(probe.obscuration.pixel.red, 20);

  host.SetValue(kSourceSize, Int(2));  // 3 x 3 from x 49..51, y 19..21 (trunc of 49.7, 18.2 ...)
  Run();
  EXPECT_EQ(probe.obscuration.pixel.alpha, 50);
  EXPECT_EQ(probe.obscuration.pixel.red, 20);
  EXPECT_EQ(probe.obscuration.pixel.green, 9);

  host.SetValue(kPoint, Point(-40, 500));  // outside: the nearest edge pixel
  host.SetValue(kSourceSize, Int(1));
  host.SetValue(kObscurationType, Int(4));
  Run();
  EXPECT_EQ(probe.obscuration.type, ObscurationType::InverseAlpha);
  EXPECT_EQ(probe.obscuration.pixel.alpha, 0);
  EXPECT_EQ(probe.obscuration.pixel.red, 99);
}

TEST_F(LightTest, LargestSampleSquareAveragesCorrectly) {
  host.SetLayer(kObscuration, std::make_shared<Image>(300, 300, PF_Pixel{255, 255, 255, 255}));
  host.SetValue(kPoint, Point(150, 150));
  host.SetValue(kSourceSize, Int(100));  // 199 x 199 pixels
  Run(300, 300);
  EXPECT_EQ(probe.obscuration.pixel.alpha, 255);
  EXPECT_EQ(probe.obscuration.pixel.red, 255);
  EXPECT_EQ(probe.obscuration.pixel.blue, 255);
}

TEST_F(LightTest, EmptyObscurationLayerIsNoObscuration) {
  host.SetLayer(kObscuration, std::make_shared<Image>(0, 0));
  host.SetValue(kSourceSize, Int(-5000));  // nonsense from a damaged project
  Run();
  EXPECT_EQ(probe.obscuration.type, ObscurationType::None);
  EXPECT_EQ(probe.obscuration.pixel.alpha, 255);
  EXPECT_EQ(probe.obscuration.pixel.red, 255);
}

TEST(PrepareFlareColor, EveryObscurationType) {
  const PF_Pixel white{50, 255, 255, 255};
  RenderTarget t{};
  PrepareFlareColor(white, PF_Pixel{255, 255, 255, 255}, ObscurationType::None, 1.5f, t);
  EXPECT_EQ(t.brightness, 1.5f);
  EXPECT_EQ(t.gainR, 1.5f);
  EXPECT_EQ(t.colorB, 1.0f);

  // Alpha: an opaque region hides the light; Inverse Alpha the other way round.
  PrepareFlareColor(white, PF_Pixel{255, 10, 10, 10}, ObscurationType::Alpha, 1.0f, t);
  EXPECT_EQ(t.brightness, 0.0f);
  PrepareFlareColor(white, PF_Pixel{0, 10, 10, 10}, ObscurationType::InverseAlpha, 1.0f, t);
  EXPECT_EQ(t.brightness, 0.0f);
  PrepareFlareColor(white, PF_Pixel{255, 10, 10, 10}, ObscurationType::InverseAlpha, 1.0f, t);
  EXPECT_FLOAT_EQ(t.brightness, 1.0f);
  PrepareFlareColor(white, PF_Pixel{51, 10, 10, 10}, ObscurationType::Alpha, 2.0f, t);
  EXPECT_EQ(t.brightness, static_cast<float>(255 - 51) * 0.003921569f * 2.0f);

  // RGB over grey keeps hue and brightness; over red the flare turns red.
  PrepareFlareColor(white, PF_Pixel{255, 128, 128, 128}, ObscurationType::Rgb, 1.0f, t);
  EXPECT_EQ(t.brightness, 1.0f);
  EXPECT_EQ(t.colorR, 1.0f);
  EXPECT_EQ(t.colorG, 1.0f);
  PrepareFlareColor(white, PF_Pixel{255, 255, 0, 0}, ObscurationType::Rgb, 1.0f, t);
  EXPECT_EQ(t.colorR, 1.0f);
  EXPECT_EQ(t.colorG, 0.0f);
  EXPECT_EQ(t.gainB, 0.0f);
  // RGB over black: nothing left, so white at full brightness.
  PrepareFlareColor(white, PF_Pixel{255, 0, 0, 0}, ObscurationType::Rgb, 1.0f, t);
  EXPECT_EQ(t.colorR, 1.0f);
  EXPECT_EQ(t.colorB, 1.0f);
  // RGB + Alpha does both.
  PrepareFlareColor(PF_Pixel{0, 200, 100, 50}, PF_Pixel{128, 255, 255, 255}, ObscurationType::RgbAndAlpha, 1.0f, t);
  EXPECT_EQ(t.colorR, 1.0f);
  EXPECT_EQ(t.colorG, static_cast<float>((255 * 100) >> 8) / static_cast<float>((255 * 200) >> 8));
  EXPECT_EQ(t.brightness, 127.0f * 0.003921569f);

  // A black Color draws white; only the hue of the colour counts.
  PrepareFlareColor(PF_Pixel{0, 0, 0, 0}, PF_Pixel{255, 255, 255, 255}, ObscurationType::None, 1.0f, t);
  EXPECT_EQ(t.colorG, 1.0f);
  PrepareFlareColor(PF_Pixel{0, 100, 50, 0}, PF_Pixel{255, 255, 255, 255}, ObscurationType::None, 1.0f, t);
  EXPECT_EQ(t.colorR, 1.0f);
  EXPECT_EQ(t.colorG, 0.5f);
  EXPECT_EQ(t.colorB, 0.0f);
  EXPECT_EQ(t.gainG, 0.5f);
}

}  // namespace
}  // namespace gw::testing
