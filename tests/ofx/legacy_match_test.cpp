// 8-bit frames under Screen through the OpenFX binary against the legacy
// plug-ins' frames of the same shot, byte for byte: the default lens, every
// preset, the Showcase lights, obscuration, motion blur and half resolution.
#include "presets/presets.h"
#include "testhost/test_host.h"
#include "tests/ofx/ofx_rig.h"
#include "tests/ofx/ofx_shots.h"
#include "tests/support/pattern_plate.h"

namespace gw::testing {
namespace {

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

void ExpectSameFrame(const Shot& shot, const std::string& what) {
  const testhost::Image frame = PatternPlate(kShotWidth, kShotHeight);
  const testhost::Image legacy = RenderLegacy(shot, frame);
  testhost::Image ofx;
  std::string error;
  ASSERT_TRUE(RenderOfxShot(shot, frame, ofx, error)) << what << ": " << error;
  EXPECT_EQ(FirstDifference(legacy, ofx), "") << what;
  // A flare was drawn: the frame is not the plate.
  const testhost::Image plate =
      testhost::Downsample(shot.widePixels ? LeftHalf(frame) : frame, shot.factor);
  EXPECT_NE(FirstDifference(legacy, plate), "") << what;
}

// Every shot of a group of the comparison.
void ExpectSameFrames(const std::string& group) {
  int shots = 0;
  for (const NamedShot& s : ComparisonShots()) {
    if (s.group != group) continue;
    ExpectSameFrame(s.shot, s.name);
    ++shots;
  }
  EXPECT_GT(shots, 0) << group;
}

TEST(OfxMatchesLegacy, DefaultLens) { ExpectSameFrames("default"); }

TEST(OfxMatchesLegacy, EveryPreset) {
  ExpectSameFrames("preset");
  int presets = 0;
  for (const NamedShot& s : ComparisonShots()) presets += s.group == "preset";
  EXPECT_EQ(presets, kPresetCount);
}

TEST(OfxMatchesLegacy, ShowcaseLightsFromALayer) { ExpectSameFrames("showcase"); }

TEST(OfxMatchesLegacy, LocationAndObscurationLayers) { ExpectSameFrames("obscuration"); }

TEST(OfxMatchesLegacy, MotionBlurOfAMovingLight) { ExpectSameFrames("motion"); }

TEST(OfxMatchesLegacy, DraftQualityAndWidePixels) { ExpectSameFrames("draft"); }

TEST(OfxMatchesLegacy, HalfRenderScaleIsTheLegacyHalfResolution) { ExpectSameFrames("half"); }

}  // namespace
}  // namespace gw::testing
