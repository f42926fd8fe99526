#include "ofx/flare.h"

#include <algorithm>
#include <array>
#include <new>
#include <vector>

#include "frame/showcase_lights.h"
#include "frame/values.h"
#include "lensfile/lens_text.h"
#include "ofx/suites.h"
#include "presets/presets.h"
#include "render/draw_lens_blurred.h"
#include "render/numeric.h"
#include "render/pixels.h"

namespace gw::ofx {
namespace {

// The screen table, fixed at compile time: nothing to build or share.
constexpr std::array<uint8_t, kScreenTableSize> kScreenTable = [] {
  std::array<uint8_t, kScreenTableSize> table{};
  BuildScreenTable(table.data());
  return table;
}();

// The host's abort, as the lens walk's progress check.
int32_t AbortCheck(void* instance, int32_t, int32_t) {
  return Suites().effect->abort(static_cast<OfxImageEffectHandle>(instance)) != 0 ? 1 : 0;
}

uint8_t ColourByte(double v) {
  return static_cast<uint8_t>(std::clamp(TruncToInt(v * 255.0 + 0.5), 0, 255));
}

// The light of the full and Quick editions in frame pixels: the centroid of
// the location layer (its pixel grid laid on the host's), else the point.
PointF LightAt(const FrameGeometry& g, const Settings& s, const std::optional<LayerImage>& layer) {
  float x = 0.0f, y = 0.0f;
  if (layer && FindLightInLayer(layer->view, x, y)) {
    return {x + static_cast<float>(layer->bounds.x1 - g.left),
            y + static_cast<float>(g.top - layer->bounds.y2)};
  }
  return g.FromCanonical(s.light);
}

Obscuration ObscurationAt(const Instance& instance, const FrameGeometry& g, const Settings& s,
                          const std::optional<LayerImage>& layer, PointF light) {
  if (!layer) return Obscuration{};
  const ParamRow& size =
      instance.edition->table.params[instance.edition->table.IndexOf(ParamRole::SourceSize) - 1];
  const int32_t sourceSize = std::clamp(s.sourceSize, size.validMin, size.validMax);
  const auto type = static_cast<ObscurationType>(SaturateToI16(s.obscurationType + 1));
  return MeasureObscuration(layer->view, light.x - static_cast<float>(layer->bounds.x1 - g.left),
                            light.y - static_cast<float>(g.top - layer->bounds.y2),
                            static_cast<int16_t>(sourceSize - 1), type);
}

// The full and Quick editions: one light, direct or motion-blurred.
OfxStatus DrawOneLight(const FlareRequest& r, RenderTarget& target, ProfileStore& profile,
                       std::string& error) {
  const Instance& instance = r.instance;
  const ProgressCallback progress{&AbortCheck, instance.handle};
  std::optional<LayerImage> location, obscurationLayer;
  if (!LayerAt(instance.location, r.time, location, error) ||
      !LayerAt(instance.obscuration, r.time, obscurationLayer, error)) {
    return kOfxStatErrImageFormat;
  }
  const PointF light = LightAt(r.geometry, r.now, location);
  const Obscuration obscuration =
      ObscurationAt(instance, r.geometry, r.now, obscurationLayer, light);
  PrepareFlareColor(ColourOf(r.now), obscuration.pixel, obscuration.type, BrightnessFactor(r.now),
                    target);
  target.lightX = light.x;
  target.lightY = light.y;
  const float shutter = ShutterFraction(r.now);
  if (!r.now.motionBlur || shutter == 0.0f) {
    return DrawFlare(r.lens, target, profile, progress) ? kOfxStatFailed : kOfxStatOK;
  }

  // The next frame's values; obscuration is measured once, now.
  const OfxTime nextTime = r.time + 1.0;
  Settings next;
  if (!ReadSettings(instance, nextTime, next, error)) return kOfxStatErrValue;
  std::optional<LayerImage> nextLocation;
  if (!LayerAt(instance.location, nextTime, nextLocation, error)) return kOfxStatErrImageFormat;
  RenderTarget after = target;
  const PointF nextLight =
      LightAt(r.geometry, next, location && !nextLocation ? location : nextLocation);
  after.lightX = nextLight.x;
  after.lightY = nextLight.y;
  after.anglePhase = AnglePhase(next);
  after.scale = ScaleFactor(next);
  PrepareFlareColor(ColourOf(next), obscuration.pixel, obscuration.type, BrightnessFactor(next),
                    after);
  const int32_t code = DrawLensBlurred(r.lens, target, after, profile, shutter, progress);
  return code ? kOfxStatFailed : kOfxStatOK;
}

// The Showcase edition: the lens once per patch of the location layer.
OfxStatus DrawPerLight(const FlareRequest& r, RenderTarget& target, ProfileStore& profile,
                       std::string& error) {
  std::optional<LayerImage> location;
  if (!LayerAt(r.instance.location, r.time, location, error)) return kOfxStatErrImageFormat;
  const std::vector<LightSource> lights =
      location ? FindLightsInLayer(location->view) : std::vector<LightSource>{};
  const ProgressCallback progress{&AbortCheck, r.instance.handle};
  return DrawLensPerLight(r.lens, lights, ColourOf(r.now), BrightnessFactor(r.now), target, profile,
                          progress)
             ? kOfxStatFailed
             : kOfxStatOK;
}

}  // namespace

float BrightnessFactor(const Settings& s) {
  return FixedPercentToFactor(FixedFromDouble(s.brightness));
}
float ScaleFactor(const Settings& s) { return FixedToFloat(FixedFromDouble(s.scale)); }
float AnglePhase(const Settings& s) { return FixedDegreesToPhase(FixedFromDouble(s.angle)); }
LayerPixel ColourOf(const Settings& s) {
  return LayerPixel{255, ColourByte(s.colour[0]), ColourByte(s.colour[1]), ColourByte(s.colour[2])};
}
float ShutterFraction(const Settings& s) {
  return FixedToFloat(FixedFromDouble(s.shutterAngle / 360.0));
}

bool LensOf(const Instance& instance, const Settings& s, Lens& lens, std::string& error) {
  if (!instance.edition->HasLens()) {
    BuildPreset(lens, SaturateToI16(s.flareType + 1));
    return true;
  }
  if (LensFromText(s.lensText, lens, error)) return true;
  error = "The lens parameter cannot be read: " + error;
  return false;
}

bool LayerAt(OfxImageClipHandle clip, OfxTime time, std::optional<LayerImage>& layer,
             std::string& error) {
  layer.reset();
  if (!ClipConnected(clip)) return true;
  ClipImage image;
  if (image.Fetch(clip, time) != kOfxStatOK) return true;  // none there: transparent
  if (!image.Supported()) {
    error = "A layer's pixels cannot be read (" + image.Describe() + ")";
    return false;
  }
  layer = ToLayer(image);
  return true;
}

OfxStatus DrawFlareInto(const FlareRequest& r, const Canvas& canvas, std::string& error) {
  FlareFrame frame;
  const FrameSettings settings{r.highQuality, ScaleFactor(r.now), AnglePhase(r.now)};
  ProfilePool& pool = *r.instance.profiles;
  frame.profile = pool.Take(ProfileStore::ChannelSamplesFor(r.geometry.size.width, settings.scale));
  if (!BeginFlare(r.geometry.size, canvas, settings, frame)) return kOfxStatErrMemory;
  frame.target.screenTable = kScreenTable.data();
  OfxStatus status = kOfxStatOK;
  try {
    status = r.instance.edition->OneLight() ? DrawOneLight(r, frame.target, *frame.profile, error)
                                            : DrawPerLight(r, frame.target, *frame.profile, error);
  } catch (const std::bad_alloc&) {
    return kOfxStatErrMemory;  // the store is let go: it may be half built
  }
  if (status == kOfxStatOK) pool.Give(std::move(*frame.profile));
  return status;
}

}  // namespace gw::ofx
