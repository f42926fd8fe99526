#include "ofx/actions.h"

#include <string>

#include "ofx/flare.h"
#include "ofx/lens_buttons.h"
#include "ofx/messages.h"
#include "ofx/suites.h"

namespace gw::ofx {
namespace {

std::string ClipProperty(const char* prefix, const char* clip) {
  return std::string(prefix) + clip;
}

// The layer clips an instance has.
struct LayerClip {
  OfxImageClipHandle handle;
  const char* name;
};

}  // namespace

OfxStatus RegionOfDefinition(const Instance& instance, const PropertySet& inArgs,
                             const PropertySet& outArgs) {
  OfxRectD region{};
  const OfxStatus status = Suites().effect->clipGetRegionOfDefinition(
      instance.source, inArgs.Double(kOfxPropTime, 0.0), &region);
  if (status != kOfxStatOK) return kOfxStatReplyDefault;
  outArgs.Set(kOfxImageEffectPropRegionOfDefinition, {region.x1, region.y1, region.x2, region.y2});
  return kOfxStatOK;
}

OfxStatus RegionsOfInterest(const Instance& instance, const PropertySet& inArgs,
                            const PropertySet& outArgs) {
  const OfxTime time = inArgs.Double(kOfxPropTime, 0.0);
  const OfxRectD wanted = inArgs.RectD(kOfxImageEffectPropRegionOfInterest);
  outArgs.Set(ClipProperty(kOfxImageClipPropRoIPrefix, kOfxImageEffectSimpleSourceClipName).c_str(),
              {wanted.x1, wanted.y1, wanted.x2, wanted.y2});
  const LayerClip layers[] = {{instance.location, kLocationClip},
                              {instance.obscuration, kObscurationClip}};
  for (const LayerClip& layer : layers) {
    if (!layer.handle) continue;
    OfxRectD whole{};
    if (Suites().effect->clipGetRegionOfDefinition(layer.handle, time, &whole) != kOfxStatOK) {
      continue;
    }
    outArgs.Set(ClipProperty(kOfxImageClipPropRoIPrefix, layer.name).c_str(),
                {whole.x1, whole.y1, whole.x2, whole.y2});
  }
  return kOfxStatOK;
}

OfxStatus FramesNeeded(const Instance& instance, const PropertySet& inArgs,
                       const PropertySet& outArgs) {
  if (!instance.location || !instance.edition->OneLight()) return kOfxStatReplyDefault;
  const OfxTime time = inArgs.Double(kOfxPropTime, 0.0);
  Settings now;
  std::string error;
  const bool blurred =
      ReadSettings(instance, time, now, error) && now.motionBlur && ShutterFraction(now) != 0.0f;
  if (!blurred) return kOfxStatReplyDefault;
  outArgs.Set(ClipProperty(kOfxImageClipPropFrameRangePrefix, kLocationClip).c_str(),
              {time, time + 1.0});
  return kOfxStatOK;
}

OfxStatus ClipPreferences(const Instance& instance, const PropertySet& outArgs) {
  int output = 0;
  if (Suites().param->paramGetValue(instance.outputKind, &output) != kOfxStatOK) {
    return kOfxStatReplyDefault;
  }
  if (output != static_cast<int>(OutputKind::FlareOnly)) return kOfxStatReplyDefault;
  outArgs.Set(kOfxImageEffectPropPreMultiplication, kOfxImagePreMultiplied);
  return kOfxStatOK;
}

OfxStatus InstanceChanged(const Instance& instance, const PropertySet& inArgs) {
  if (!instance.lens || inArgs.String(kOfxPropType) != kOfxTypeParameter) {
    return kOfxStatReplyDefault;
  }
  const std::string name = inArgs.String(kOfxPropName);
  const OfxTime time = inArgs.Double(kOfxPropTime, 0.0);
  if (name == kLoadLensParam) {
    LoadLens(instance, time);
    return kOfxStatOK;
  }
  if (name == kSaveLensParam) {
    SaveLens(instance, time);
    return kOfxStatOK;
  }
  if (name == kEditLensParam) {
    EditLens(instance, time);
    return kOfxStatOK;
  }
  if (name != kLensParam) return kOfxStatReplyDefault;
  Settings now;
  std::string error;
  Lens lens{};
  if (!ReadSettings(instance, time, now, error) || !LensOf(instance, now, lens, error)) {
    ReportError(instance.handle, error);
  } else {
    ClearError(instance.handle);
  }
  return kOfxStatOK;
}

}  // namespace gw::ofx
