#include "tests/ofx/ofx_shots.h"

#include <cstring>

#include "presets/presets.h"
#include "tests/ofx/ofx_rig.h"

namespace gw::testing {
namespace {

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

// A cover that tints the light and hides part of it.
testhost::Image Cover(int32_t width, int32_t height) {
  testhost::Image cover(width, height, PF_Pixel{0, 0, 0, 0});
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      cover.at(x, y) =
          PF_Pixel{static_cast<uint8_t>(x * 255 / width), 255, static_cast<uint8_t>(y), 40};
    }
  }
  return cover;
}

const char* Identifier(const std::string& edition) {
  return edition == "showcase" ? kShowcase : edition == "quick" ? kQuick : kFull;
}

}  // namespace

std::vector<NamedShot> ComparisonShots() {
  const auto dots = std::make_shared<testhost::Image>(Dots(kShotWidth, kShotHeight));
  const auto cover = std::make_shared<testhost::Image>(Cover(kShotWidth, kShotHeight));
  std::vector<NamedShot> shots = {
      {"default", "default_lens", Shot{.edition = "full"}},
      {"default", "default_lens_light_brightness_angle_colour",
       Shot{.edition = "full",
            .lightX = 310.5f,
            .lightY = 20.25f,
            .brightness = 140.0,
            .angle = 75.0,
            .colour = {255, 255, 160, 90}}},
      {"showcase", "showcase", Shot{.edition = "showcase", .location = dots}},
      {"motion", "motion_blur",
       Shot{.edition = "full", .lightX = 80.0f, .lightY = 60.0f, .nextLightX = 150.0f,
            .nextLightY = 95.0f}},
      {"motion", "motion_blur_of_a_preset",
       Shot{.edition = "quick", .lightX = 300.0f, .lightY = 50.0f, .flareType = 12,
            .nextLightX = 260.0f, .nextLightY = 120.0f}},
      {"draft", "motion_blur_at_draft_quality",
       Shot{.edition = "full", .lightX = 80.0f, .lightY = 60.0f, .nextLightX = 150.0f,
            .nextLightY = 95.0f, .draft = true}},
      {"draft", "pixels_twice_as_wide",
       Shot{.edition = "quick", .lightX = 60.0f, .lightY = 100.0f, .flareType = 5,
            .widePixels = true}},
      {"half", "half_resolution",
       Shot{.edition = "full", .lightX = 140.0f, .lightY = 90.0f, .factor = 2}},
      {"half", "showcase_at_half_resolution",
       Shot{.edition = "showcase", .location = dots, .factor = 2}},
  };
  for (const int type : {1, 2, 3, 4}) {
    shots.push_back({"obscuration", "obscuration_type_" + std::to_string(type),
                     Shot{.edition = "full",
                          .location = dots,
                          .obscuration = cover,
                          .obscurationType = type,
                          .sourceSize = 7}});
  }
  for (int preset = 1; preset <= kPresetCount; ++preset) {
    shots.push_back({"preset", "preset_" + std::to_string(preset),
                     Shot{.edition = "quick", .lightX = 250.0f, .lightY = 70.0f,
                          .flareType = preset}});
  }
  return shots;
}

testhost::Image LeftHalf(const testhost::Image& image) {
  testhost::Image half(image.width / 2, image.height);
  for (int32_t y = 0; y < image.height; ++y) {
    for (int32_t x = 0; x < half.width; ++x) half.at(x, y) = image.at(x, y);
  }
  return half;
}

bool RenderOfxShot(const Shot& shot, const testhost::Image& frame, testhost::Image& result,
                   std::string& error) {
  HostImage out;
  if (!RenderOfxShotInDepth(shot, frame, kOfxBitDepthByte, 1.0f, out, error)) return false;
  result = ToLegacy(out);
  return true;
}

bool RenderOfxShotInDepth(const Shot& shot, const testhost::Image& frame, const std::string& depth,
                          float sourceGain, HostImage& out, std::string& error) {
  // With wide pixels the OpenFX frame is the left half of the legacy layer,
  // each pixel two units of the canonical plane wide.
  const testhost::Image plate = shot.widePixels ? LeftHalf(frame) : frame;
  const double par = shot.widePixels ? 2.0 : 1.0;
  auto host = LoadBinary({.projectSize = {double(frame.width), double(frame.height)}});
  const bool layers = shot.location || shot.obscuration;
  auto instance =
      host->CreateInstance(Identifier(shot.edition),
                           layers ? kOfxImageEffectContextGeneral : kOfxImageEffectContextFilter);
  if (!instance) {
    error = "no instance";
    return false;
  }
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
  const auto connect = [&](const char* clip, const testhost::Image& image, float gain) {
    const testhost::Image scaled = testhost::Downsample(image, shot.factor);
    auto pixels = std::make_shared<HostImage>(FromLegacy(scaled, depth));
    if (gain != 1.0f && depth == kOfxBitDepthFloat) {
      for (int32_t y = pixels->bounds.y1; y < pixels->bounds.y2; ++y) {
        for (int32_t x = pixels->bounds.x1; x < pixels->bounds.x2; ++x) {
          float rgba[4];
          std::memcpy(rgba, pixels->Pixel(x, y), sizeof rgba);
          for (int c = 0; c < 3; ++c) rgba[c] *= gain;
          std::memcpy(pixels->Pixel(x, y), rgba, sizeof rgba);
        }
      }
    }
    instance->Connect(
        clip, [pixels](double) { return pixels; },
        OfxRectD{0, 0, image.width * par, double(image.height)}, depth, kOfxImageComponentRGBA,
        par);
  };
  connect(kOfxImageEffectSimpleSourceClipName, plate, sourceGain);
  if (shot.location) connect("Location", *shot.location, 1.0f);
  if (shot.obscuration) connect("Obscuration", *shot.obscuration, 1.0f);
  const OfxRectI window{0, 0, testhost::DownsampledSize(plate.width, shot.factor),
                        testhost::DownsampledSize(plate.height, shot.factor)};
  const bool rendered =
      instance->BeginSequenceRender(0.0, 0.0, scale) == kOfxStatReplyDefault &&
      instance->Render({0.0, window, scale, shot.draft}, out) == kOfxStatOK &&
      instance->EndSequenceRender(0.0, 0.0, scale) == kOfxStatReplyDefault;
  // The source over the window, the layers whole.
  for (const ofxhost::Fetch& f : instance->TakeFetches()) {
    if (f.pixels.x2 - f.pixels.x1 != window.x2 || f.pixels.y2 - f.pixels.y1 != window.y2) {
      error += f.clip + " fetched over another region; ";
    }
  }
  instance.reset();
  for (const std::string& p : host->TakeProblems()) error += p + "; ";
  if (!rendered) error += "the render failed; ";
  return error.empty();
}

}  // namespace gw::testing
