// 8-bit frames under Screen through the OpenFX binary against the legacy
// plug-ins' frames of the same shot, byte for byte: the default lens, every
// preset, the Showcase lights, obscuration, motion blur and half resolution.
#include "presets/presets.h"
#include "testhost/test_host.h"
#include "tests/ofx/ofx_rig.h"
#include "tests/support/pattern_plate.h"

namespace gw::testing {
namespace {

constexpr int32_t kWidth = 400, kHeight = 240;

// Dots of alpha on a transparent layer: lights for the Showcase edition.
testhost::Image Dots(int32_t width, int32_t height) {
  testhost::Image image(width, height, PF_Pixel{0, 0, 0, 0});
  const struct {
    int32_t x, y, size;
    PF_Pixel p;
  } dots[] = {{40, 30, 6, {255, 255, 240, 200}},
              {300, 60, 4, {180, 90, 200, 255}},
              {120, 180, 9, {255, 255, 120, 40}}};
  for (const auto& d : dots) {
    for (int32_t y = d.y; y < d.y + d.size; ++y) {
      for (int32_t x = d.x; x < d.x + d.size; ++x) image.at(x, y) = d.p;
    }
  }
  return image;
}

// A shot set up the same way on both sides.
struct Shot {
  std::string edition;                    // "full", "showcase", "quick"
  float lightX = 120.0f, lightY = 80.0f;  // frame pixels from the top left
  double brightness = 100.0;
  double angle = 0.0;
  int flareType = 1;
  PF_Pixel colour{255, 255, 255, 255};
  std::shared_ptr<testhost::Image> location{}, obscuration{};
  int obscurationType = 2;
  int sourceSize = 2;
  float nextLightX = -1.0f, nextLightY = -1.0f;  // a moving light (motion blur)
  int factor = 1;                                // downsampling
  bool draft = false;
  // Pixels twice as wide as high: the legacy host's horizontal half
  // resolution over the same pixels.
  bool widePixels = false;
};

testhost::Image RenderLegacy(const Shot& shot, const testhost::Image& frame) {
  testhost::TestHost host(std::string(GW_PLUGIN_DIR) + "/" +
                          testhost::ModuleFileName(shot.edition));
  EXPECT_EQ(host.GlobalSetup(), PF_Err_NONE);
  EXPECT_EQ(host.ParamsSetup(), PF_Err_NONE);
  EXPECT_EQ(host.SequenceSetup(), PF_Err_NONE);
  host.settings().downsample = shot.factor;
  host.settings().totalTime = 10;
  host.settings().quality = shot.draft ? PF_Quality_LO : PF_Quality_HI;
  if (shot.widePixels) host.settings().downsampleX = PF_RationalScale{1, 2};
  const auto set = [&](const char* name, int32_t value) {
    testhost::ParamValue v;
    v.value = value;
    if (host.IndexOf(name) > 0) host.SetValue(host.IndexOf(name), v);
  };
  set("Brightness", static_cast<int32_t>(shot.brightness * 65536));
  set("Angle", static_cast<int32_t>(shot.angle * 65536));
  set("Flare Type", shot.flareType);
  set("Obscuration Type", shot.obscurationType);
  set("Source size:", shot.sourceSize);
  testhost::ParamValue colour;
  colour.colour = shot.colour;
  host.SetValue(host.IndexOf("Color"), colour);
  if (const int32_t point = host.IndexOf("Light Source Location"); point > 0) {
    const auto at = [](float x, float y) {
      testhost::ParamValue v;
      v.value = static_cast<int32_t>(x * 65536);
      v.y = static_cast<int32_t>(y * 65536);
      return v;
    };
    host.SetKey(point, 0, at(shot.lightX, shot.lightY));
    if (shot.nextLightX >= 0.0f) {
      host.SetKey(point, 1, at(shot.nextLightX, shot.nextLightY));
      host.settings().shutterAngle = 0x8000;  // 180 degrees
    }
  }
  if (shot.location) host.SetLayer(host.IndexOf("Location layer:"), shot.location);
  if (shot.obscuration) host.SetLayer(host.IndexOf("Obscuration layer:"), shot.obscuration);
  testhost::Image out;
  EXPECT_EQ(host.Render(0, frame, out), PF_Err_NONE);
  EXPECT_TRUE(host.TakeProblems().empty());
  host.SequenceSetdown();
  host.GlobalSetdown();
  return out;
}

testhost::Image LeftHalf(const testhost::Image& image) {
  testhost::Image half(image.width / 2, image.height);
  for (int32_t y = 0; y < image.height; ++y) {
    for (int32_t x = 0; x < half.width; ++x) half.at(x, y) = image.at(x, y);
  }
  return half;
}

const char* Identifier(const std::string& edition) {
  return edition == "showcase" ? kShowcase : edition == "quick" ? kQuick : kFull;
}

testhost::Image RenderOfx(const Shot& shot, const testhost::Image& frame) {
  // With wide pixels the OpenFX frame is the left half of the legacy layer,
  // each pixel two units of the canonical plane wide.
  const testhost::Image plate = shot.widePixels ? LeftHalf(frame) : frame;
  const double par = shot.widePixels ? 2.0 : 1.0;
  auto host = LoadBinary({.projectSize = {double(frame.width), double(frame.height)}});
  const bool layers = shot.location || shot.obscuration;
  auto instance =
      host->CreateInstance(Identifier(shot.edition),
                           layers ? kOfxImageEffectContextGeneral : kOfxImageEffectContextFilter);
  EXPECT_TRUE(instance);
  if (!instance) return {};
  const double h = frame.height;
  instance->SetValue("brightness", Number(shot.brightness));
  instance->SetValue("angle", Number(shot.angle));
  instance->SetValue("color", Numbers({shot.colour.red / 255.0, shot.colour.green / 255.0,
                                       shot.colour.blue / 255.0}));
  const std::vector<std::string> names = instance->ParamNames();
  const auto has = [&](const char* name) {
    return std::find(names.begin(), names.end(), name) != names.end();
  };
  if (has("flareType")) instance->SetValue("flareType", Number(shot.flareType - 1));
  if (has("obscurationType")) {
    instance->SetValue("obscurationType", Number(shot.obscurationType - 1));
    instance->SetValue("sourceSize", Number(shot.sourceSize));
  }
  if (has("lightPosition")) {
    // Canonical coordinates count from the bottom left.
    instance->SetKey("lightPosition", 0, Numbers({shot.lightX, h - shot.lightY}));
    if (shot.nextLightX >= 0.0f) {
      instance->SetKey("lightPosition", 1, Numbers({shot.nextLightX, h - shot.nextLightY}));
      instance->SetValue("motionBlur", Number(1));
      instance->SetValue("shutterAngle", Number(180));
    }
  }
  const OfxPointD scale{1.0 / shot.factor, 1.0 / shot.factor};
  const auto connect = [&](const char* clip, const testhost::Image& image) {
    const testhost::Image scaled = testhost::Downsample(image, shot.factor);
    auto pixels = std::make_shared<const HostImage>(FromLegacy(scaled, kOfxBitDepthByte));
    instance->Connect(
        clip, [pixels](double) { return pixels; },
        OfxRectD{0, 0, image.width * par, double(image.height)}, kOfxBitDepthByte,
        kOfxImageComponentRGBA, par);
  };
  connect(kOfxImageEffectSimpleSourceClipName, plate);
  if (shot.location) connect("Location", *shot.location);
  if (shot.obscuration) connect("Obscuration", *shot.obscuration);
  HostImage out;
  const OfxRectI window{0, 0, testhost::DownsampledSize(plate.width, shot.factor),
                        testhost::DownsampledSize(plate.height, shot.factor)};
  EXPECT_EQ(instance->BeginSequenceRender(0.0, 0.0, scale), kOfxStatReplyDefault);
  EXPECT_EQ(instance->Render({0.0, window, scale, shot.draft}, out), kOfxStatOK);
  EXPECT_EQ(instance->EndSequenceRender(0.0, 0.0, scale), kOfxStatReplyDefault);
  // The source over the window, the layers whole.
  for (const ofxhost::Fetch& f : instance->TakeFetches()) {
    EXPECT_EQ(f.pixels.x2 - f.pixels.x1, window.x2) << f.clip;
    EXPECT_EQ(f.pixels.y2 - f.pixels.y1, window.y2) << f.clip;
  }
  instance.reset();
  ExpectNoProblems(*host);
  return ToLegacy(out);
}

void ExpectSameFrame(const Shot& shot, const std::string& what) {
  const testhost::Image frame = PatternPlate(kWidth, kHeight);
  const testhost::Image legacy = RenderLegacy(shot, frame);
  const testhost::Image ofx = RenderOfx(shot, frame);
  EXPECT_EQ(FirstDifference(legacy, ofx), "") << what;
  // A flare was drawn: the frame is not the plate.
  const testhost::Image plate =
      testhost::Downsample(shot.widePixels ? LeftHalf(frame) : frame, shot.factor);
  EXPECT_NE(FirstDifference(legacy, plate), "") << what;
}

TEST(OfxMatchesLegacy, DefaultLens) {
  ExpectSameFrame(Shot{.edition = "full"}, "default lens");
  ExpectSameFrame(Shot{.edition = "full",
                       .lightX = 310.5f,
                       .lightY = 20.25f,
                       .brightness = 140.0,
                       .angle = 75.0,
                       .colour = {255, 255, 160, 90}},
                  "default lens, light, brightness, angle and colour");
}

TEST(OfxMatchesLegacy, EveryPreset) {
  for (int preset = 1; preset <= kPresetCount; ++preset) {
    ExpectSameFrame(
        Shot{.edition = "quick", .lightX = 250.0f, .lightY = 70.0f, .flareType = preset},
        std::string(PresetName(preset)));
  }
}

TEST(OfxMatchesLegacy, ShowcaseLightsFromALayer) {
  ExpectSameFrame(Shot{.edition = "showcase",
                       .location = std::make_shared<testhost::Image>(Dots(kWidth, kHeight))},
                  "showcase");
}

TEST(OfxMatchesLegacy, LocationAndObscurationLayers) {
  // The light is the centroid of the dots; the obscuration layer covers it
  // partly and tints it.
  testhost::Image cover(kWidth, kHeight, PF_Pixel{0, 0, 0, 0});
  for (int32_t y = 0; y < kHeight; ++y) {
    for (int32_t x = 0; x < kWidth; ++x) {
      cover.at(x, y) =
          PF_Pixel{static_cast<uint8_t>(x * 255 / kWidth), 255, static_cast<uint8_t>(y), 40};
    }
  }
  for (const int type : {1, 2, 3, 4}) {
    ExpectSameFrame(Shot{.edition = "full",
                         .location = std::make_shared<testhost::Image>(Dots(kWidth, kHeight)),
                         .obscuration = std::make_shared<testhost::Image>(cover),
                         .obscurationType = type,
                         .sourceSize = 7},
                    "obscuration type " + std::to_string(type));
  }
}

TEST(OfxMatchesLegacy, MotionBlurOfAMovingLight) {
  ExpectSameFrame(Shot{.edition = "full",
                       .lightX = 80.0f,
                       .lightY = 60.0f,
                       .nextLightX = 150.0f,
                       .nextLightY = 95.0f},
                  "motion blur");
  ExpectSameFrame(Shot{.edition = "quick",
                       .lightX = 300.0f,
                       .lightY = 50.0f,
                       .flareType = 12,
                       .nextLightX = 260.0f,
                       .nextLightY = 120.0f},
                  "motion blur of a preset");
}

TEST(OfxMatchesLegacy, DraftQualityAndWidePixels) {
  ExpectSameFrame(Shot{.edition = "full",
                       .lightX = 80.0f,
                       .lightY = 60.0f,
                       .nextLightX = 150.0f,
                       .nextLightY = 95.0f,
                       .draft = true},
                  "motion blur at draft quality");
  ExpectSameFrame(Shot{.edition = "quick",
                       .lightX = 60.0f,
                       .lightY = 100.0f,
                       .flareType = 5,
                       .widePixels = true},
                  "pixels twice as wide");
}

TEST(OfxMatchesLegacy, HalfRenderScaleIsTheLegacyHalfResolution) {
  ExpectSameFrame(Shot{.edition = "full", .lightX = 140.0f, .lightY = 90.0f, .factor = 2},
                  "half resolution");
  ExpectSameFrame(Shot{.edition = "showcase",
                       .location = std::make_shared<testhost::Image>(Dots(kWidth, kHeight)),
                       .factor = 2},
                  "showcase at half resolution");
}

}  // namespace
}  // namespace gw::testing
