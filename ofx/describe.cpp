#include "ofx/describe.h"

#include <string>
#include <string_view>
#include <vector>

#include "lens/lens.h"
#include "lensfile/lens_text.h"
#include "ofx/suites.h"

namespace gw::ofx {
namespace {

// The largest Shutter Angle: the whole interval to the next frame.
constexpr double kMaxShutterAngle = 360.0;
constexpr double kDefaultShutterAngle = 180.0;

PropertySet DefineParam(OfxParamSetHandle params, const char* type, const char* name,
                        const char* label) {
  OfxPropertySetHandle props = nullptr;
  Suites().param->paramDefine(params, type, name, &props);
  PropertySet set(props);
  set.Set(kOfxPropLabel, label);
  set.Set(kOfxParamPropScriptName, name);
  return set;
}

std::vector<std::string> Choices(const char* items) {
  std::vector<std::string> choices;
  for (std::string_view rest = items; !rest.empty();) {
    const size_t bar = rest.find('|');
    choices.emplace_back(rest.substr(0, bar));
    if (bar == std::string_view::npos) break;
    rest.remove_prefix(bar + 1);
  }
  return choices;
}

void SetChoices(const PropertySet& param, const std::vector<std::string>& choices) {
  for (size_t i = 0; i < choices.size(); ++i) {
    param.Set(kOfxParamPropChoiceOption, choices[i].c_str(), static_cast<int>(i));
  }
}

// One row of the edition's table as an OpenFX parameter; layers become clips.
void DefineRow(OfxParamSetHandle params, const ParamRow& row) {
  const char* name = ParamName(row.role);
  switch (row.type) {
    case PF_Param_FIX_SLIDER: {
      const PropertySet p = DefineParam(params, kOfxParamTypeDouble, name, row.name);
      p.Set(kOfxParamPropDoubleType, kOfxParamDoubleTypePlain);
      p.Set(kOfxParamPropDefault, row.dephault / 65536.0);
      p.Set(kOfxParamPropMin, row.validMin / 65536.0);
      p.Set(kOfxParamPropMax, row.validMax / 65536.0);
      p.Set(kOfxParamPropDisplayMin, row.sliderMin / 65536.0);
      p.Set(kOfxParamPropDisplayMax, row.sliderMax / 65536.0);
      p.Set(kOfxParamPropDigits, int{row.precision});
      break;
    }
    case PF_Param_SLIDER: {
      const PropertySet p = DefineParam(params, kOfxParamTypeInteger, name, row.name);
      p.Set(kOfxParamPropDefault, row.dephault);
      p.Set(kOfxParamPropMin, row.validMin);
      p.Set(kOfxParamPropMax, row.validMax);
      p.Set(kOfxParamPropDisplayMin, row.sliderMin);
      p.Set(kOfxParamPropDisplayMax, row.sliderMax);
      break;
    }
    case PF_Param_ANGLE: {
      const PropertySet p = DefineParam(params, kOfxParamTypeDouble, name, row.name);
      p.Set(kOfxParamPropDoubleType, kOfxParamDoubleTypeAngle);
      p.Set(kOfxParamPropDefault, row.dephault / 65536.0);
      break;
    }
    case PF_Param_COLOR: {
      const PropertySet p = DefineParam(params, kOfxParamTypeRGB, name, row.name);
      p.Set(kOfxParamPropDefault,
            {row.colour.red / 255.0, row.colour.green / 255.0, row.colour.blue / 255.0});
      break;
    }
    case PF_Param_POINT: {
      // The table's default is a percentage of the layer from its top left;
      // OpenFX measures from the bottom left.
      const PropertySet p = DefineParam(params, kOfxParamTypeDouble2D, name, row.name);
      p.Set(kOfxParamPropDoubleType, kOfxParamDoubleTypeXYAbsolute);
      p.Set(kOfxParamPropDefaultCoordinateSystem, kOfxParamCoordinatesNormalised);
      p.Set(kOfxParamPropDefault,
            {row.dephault / 65536.0 / 100.0, 1.0 - row.dephaultY / 65536.0 / 100.0});
      p.Set(kOfxParamPropUseHostOverlayHandle, 1);
      break;
    }
    case PF_Param_POPUP: {
      const PropertySet p = DefineParam(params, kOfxParamTypeChoice, name, row.name);
      SetChoices(p, Choices(row.choices));
      p.Set(kOfxParamPropDefault, row.dephault - 1);
      break;
    }
    default:
      break;  // layers are clips
  }
}

// The lens file, and the buttons that load it, save it and open the editor.
void DefineLensButtons(OfxParamSetHandle params) {
  const PropertySet edit =
      DefineParam(params, kOfxParamTypePushButton, kEditLensParam, "Edit Lens...");
  edit.Set(kOfxParamPropHint, "Opens the Lens Editor on this instance's lens");
  const PropertySet file = DefineParam(params, kOfxParamTypeString, kLensFileParam, "Lens File");
  file.Set(kOfxParamPropStringMode, kOfxParamStringIsFilePath);
  file.Set(kOfxParamPropStringFilePathExists, 0);  // Save Lens... names new files too
  file.Set(kOfxParamPropAnimates, 0);
  file.Set(kOfxParamPropEvaluateOnChange, 0);
  file.Set(kOfxParamPropHint,
           "A lens file (.gwr) or the JSON form of a lens (.json), for the two buttons below");
  const PropertySet load =
      DefineParam(params, kOfxParamTypePushButton, kLoadLensParam, "Load Lens...");
  load.Set(kOfxParamPropHint, "Replaces the lens by the one in \"Lens File\"");
  const PropertySet save =
      DefineParam(params, kOfxParamTypePushButton, kSaveLensParam, "Save Lens...");
  save.Set(kOfxParamPropHint, "Writes the lens to \"Lens File\" (.json: the JSON form)");
}

// What the binding adds: motion blur (editions with one light), the blend,
// the output, and the lens of editions that keep one.
void DefineExtras(const OfxEdition& edition, OfxParamSetHandle params) {
  if (edition.OneLight()) {
    const PropertySet blur =
        DefineParam(params, kOfxParamTypeBoolean, kMotionBlurParam, "Motion Blur");
    blur.Set(kOfxParamPropDefault, 0);
    const PropertySet shutter =
        DefineParam(params, kOfxParamTypeDouble, kShutterAngleParam, "Shutter Angle");
    shutter.Set(kOfxParamPropDoubleType, kOfxParamDoubleTypeAngle);
    shutter.Set(kOfxParamPropDefault, kDefaultShutterAngle);
    shutter.Set(kOfxParamPropMin, 0.0);
    shutter.Set(kOfxParamPropMax, kMaxShutterAngle);
    shutter.Set(kOfxParamPropDisplayMin, 0.0);
    shutter.Set(kOfxParamPropDisplayMax, kMaxShutterAngle);
  }
  const PropertySet blend = DefineParam(params, kOfxParamTypeChoice, kBlendParam, "Blend");
  SetChoices(blend, {"Screen", "Add"});
  blend.Set(kOfxParamPropDefault, 0);
  const PropertySet output = DefineParam(params, kOfxParamTypeChoice, kOutputParam, "Output");
  SetChoices(output, {"Comp", "Flare Only"});
  output.Set(kOfxParamPropDefault, 0);
  if (edition.HasLens()) {
    const PropertySet lens = DefineParam(params, kOfxParamTypeString, kLensParam, "Lens");
    Lens defaultLens{};
    BuildDefaultLens(defaultLens);
    lens.Set(kOfxParamPropDefault, LensToText(defaultLens).c_str());
    lens.Set(kOfxParamPropStringMode, kOfxParamStringIsMultiLine);
    lens.Set(kOfxParamPropAnimates, 0);
    lens.Set(kOfxParamPropSecret, 1);
    DefineLensButtons(params);
  }
}

// RGB where the host offers it.
bool HostOffersRgb() {
  const PropertySet host(Suites().host->host);
  const int count = host.Dimension(kOfxImageEffectPropSupportedComponents);
  for (int i = 0; i < count; ++i) {
    if (host.String(kOfxImageEffectPropSupportedComponents, i) == kOfxImageComponentRGB) {
      return true;
    }
  }
  return false;
}

PropertySet DefineClip(OfxImageEffectHandle descriptor, const char* name) {
  OfxPropertySetHandle props = nullptr;
  Suites().effect->clipDefine(descriptor, name, &props);
  return PropertySet(props);
}

void SetColourComponents(const PropertySet& clip, bool rgb) {
  if (rgb) {
    clip.Set(kOfxImageEffectPropSupportedComponents,
             {kOfxImageComponentRGBA, kOfxImageComponentRGB});
  } else {
    clip.Set(kOfxImageEffectPropSupportedComponents, {kOfxImageComponentRGBA});
  }
}

// A layer clip: optional, read whole (its centroid or patches need every
// pixel), any components; at the next frame too where motion blur needs it.
void DefineLayerClip(const OfxEdition& edition, OfxImageEffectHandle descriptor, ParamRole role,
                     bool rgb) {
  const PropertySet clip = DefineClip(descriptor, ClipName(role));
  if (rgb) {
    clip.Set(kOfxImageEffectPropSupportedComponents,
             {kOfxImageComponentRGBA, kOfxImageComponentRGB, kOfxImageComponentAlpha});
  } else {
    clip.Set(kOfxImageEffectPropSupportedComponents,
             {kOfxImageComponentRGBA, kOfxImageComponentAlpha});
  }
  clip.Set(kOfxImageClipPropOptional, 1);
  clip.Set(kOfxImageEffectPropSupportsTiles, 0);
  clip.Set(kOfxImageEffectPropTemporalClipAccess,
           edition.OneLight() && role == ParamRole::LocationLayer ? 1 : 0);
}

}  // namespace

OfxStatus Describe(const OfxEdition& edition, OfxImageEffectHandle descriptor) {
  OfxPropertySetHandle handle = nullptr;
  if (Suites().effect->getPropertySet(descriptor, &handle) != kOfxStatOK)
    return kOfxStatErrBadHandle;
  const PropertySet props(handle);
  props.Set(kOfxPropLabel, edition.label);
  props.Set(kOfxImageEffectPluginPropGrouping, kGrouping);
  props.Set(kOfxPropVersion,
            {static_cast<int>(kPluginVersionMajor), static_cast<int>(kPluginVersionMinor)});
  props.Set(kOfxPropVersionLabel, "1.0");
  props.Set(kOfxImageEffectPropSupportedContexts,
            {kOfxImageEffectContextFilter, kOfxImageEffectContextGeneral});
  props.Set(kOfxImageEffectPropSupportedPixelDepths,
            {kOfxBitDepthByte, kOfxBitDepthShort, kOfxBitDepthFloat});
  props.Set(kOfxImageEffectPluginPropSingleInstance, 0);
  props.Set(kOfxImageEffectPluginRenderThreadSafety, kOfxImageEffectRenderFullySafe);
  props.Set(kOfxImageEffectPluginPropHostFrameThreading, 1);
  props.Set(kOfxImageEffectPropSupportsMultiResolution, 0);
  props.Set(kOfxImageEffectPropSupportsTiles, 1);
  props.Set(kOfxImageEffectPropTemporalClipAccess, edition.OneLight() ? 1 : 0);
  props.Set(kOfxImageEffectPropSupportsMultipleClipDepths, 0);
  props.Set(kOfxImageEffectPropSupportsMultipleClipPARs, 0);
  props.Set(kOfxImageEffectPropClipPreferencesSlaveParam, kOutputParam);  // premultiplication
  return kOfxStatOK;
}

OfxStatus DescribeInContext(const OfxEdition& edition, OfxImageEffectHandle descriptor,
                            const PropertySet& inArgs) {
  const std::string context = inArgs.String(kOfxImageEffectPropContext);
  const bool general = context == kOfxImageEffectContextGeneral;
  if (!general && context != kOfxImageEffectContextFilter) return kOfxStatErrMissingHostFeature;

  const bool rgb = HostOffersRgb();
  const PropertySet source = DefineClip(descriptor, kOfxImageEffectSimpleSourceClipName);
  SetColourComponents(source, rgb);
  source.Set(kOfxImageEffectPropSupportsTiles, 1);
  const PropertySet output = DefineClip(descriptor, kOfxImageEffectOutputClipName);
  SetColourComponents(output, rgb);
  output.Set(kOfxImageEffectPropSupportsTiles, 1);
  if (general) {
    for (const ParamRole role : {ParamRole::LocationLayer, ParamRole::ObscurationLayer}) {
      if (edition.Has(role)) DefineLayerClip(edition, descriptor, role, rgb);
    }
  }

  OfxParamSetHandle params = nullptr;
  if (Suites().effect->getParamSet(descriptor, &params) != kOfxStatOK) return kOfxStatErrBadHandle;
  for (const ParamRow& row : edition.table.params) DefineRow(params, row);
  DefineExtras(edition, params);
  return kOfxStatOK;
}

}  // namespace gw::ofx
