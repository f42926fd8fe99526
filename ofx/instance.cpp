#include "ofx/instance.h"

#include <cmath>
#include <memory>
#include <new>
#include <utility>

#include "ofx/properties.h"
#include "ofx/suites.h"

namespace gw::ofx {
namespace {

PropertySet EffectProperties(OfxImageEffectHandle handle) {
  OfxPropertySetHandle props = nullptr;
  Suites().effect->getPropertySet(handle, &props);
  return PropertySet(props);
}

OfxImageClipHandle Clip(OfxImageEffectHandle handle, const char* name) {
  OfxImageClipHandle clip = nullptr;
  Suites().effect->clipGetHandle(handle, name, &clip, nullptr);
  return clip;
}

OfxParamHandle Param(OfxParamSetHandle params, const char* name) {
  OfxParamHandle param = nullptr;
  Suites().param->paramGetHandle(params, name, &param, nullptr);
  return param;
}

bool Finite(double v) { return std::isfinite(v); }

// The label of a parameter, as the edition's table names it.
const char* RowName(const Instance& instance, ParamRole role) {
  const EditionTable& table = instance.edition->table;
  return table.params[static_cast<size_t>(table.IndexOf(role) - 1)].name;
}

}  // namespace

OfxStatus CreateInstance(const OfxEdition& edition, OfxImageEffectHandle handle) {
  auto instance = std::make_unique<Instance>();
  instance->edition = &edition;
  instance->handle = handle;
  const PropertySet props = EffectProperties(handle);
  instance->source = Clip(handle, kOfxImageEffectSimpleSourceClipName);
  instance->output = Clip(handle, kOfxImageEffectOutputClipName);
  if (props.String(kOfxImageEffectPropContext) == kOfxImageEffectContextGeneral) {
    if (edition.Has(ParamRole::LocationLayer)) instance->location = Clip(handle, kLocationClip);
    if (edition.Has(ParamRole::ObscurationLayer)) {
      instance->obscuration = Clip(handle, kObscurationClip);
    }
  }
  OfxParamSetHandle params = nullptr;
  Suites().effect->getParamSet(handle, &params);
  for (const ParamRow& row : edition.table.params) {
    if (ClipName(row.role)) continue;
    instance->params[static_cast<size_t>(row.role)] = Param(params, ParamName(row.role));
  }
  if (edition.OneLight()) {
    instance->motionBlur = Param(params, kMotionBlurParam);
    instance->shutterAngle = Param(params, kShutterAngleParam);
  }
  instance->blend = Param(params, kBlendParam);
  instance->outputKind = Param(params, kOutputParam);
  if (edition.HasLens()) {
    instance->lens = Param(params, kLensParam);
    instance->lensFile = Param(params, kLensFileParam);
  }
  instance->paramSet = params;
  if (!instance->source || !instance->output) return kOfxStatErrBadHandle;
  props.Set(kOfxPropInstanceData, static_cast<void*>(instance.release()));
  return kOfxStatOK;
}

OfxStatus DestroyInstance(OfxImageEffectHandle handle) {
  const PropertySet props = EffectProperties(handle);
  delete static_cast<Instance*>(props.Pointer(kOfxPropInstanceData));
  props.Set(kOfxPropInstanceData, static_cast<void*>(nullptr));
  return kOfxStatOK;
}

const Instance* InstanceOf(OfxImageEffectHandle handle) {
  return static_cast<const Instance*>(EffectProperties(handle).Pointer(kOfxPropInstanceData));
}

bool ReadSettings(const Instance& instance, OfxTime time, Settings& s, std::string& error) {
  const OfxParameterSuiteV1& param = *Suites().param;
  bool read = true;
  const auto number = [&](ParamRole role, double& value) {
    if (OfxParamHandle p = instance.Param(role)) {
      read = read && param.paramGetValueAtTime(p, time, &value) == kOfxStatOK;
    }
  };
  const auto integer = [&](OfxParamHandle p, int& value) {
    if (p) read = read && param.paramGetValueAtTime(p, time, &value) == kOfxStatOK;
  };
  number(ParamRole::Brightness, s.brightness);
  number(ParamRole::Scale, s.scale);
  number(ParamRole::Angle, s.angle);
  if (OfxParamHandle p = instance.Param(ParamRole::LightPoint)) {
    read = read && param.paramGetValueAtTime(p, time, &s.light.x, &s.light.y) == kOfxStatOK;
  }
  if (OfxParamHandle p = instance.Param(ParamRole::Color)) {
    read = read && param.paramGetValueAtTime(p, time, &s.colour[0], &s.colour[1], &s.colour[2]) ==
                       kOfxStatOK;
  }
  integer(instance.Param(ParamRole::FlareType), s.flareType);
  integer(instance.Param(ParamRole::ObscurationType), s.obscurationType);
  integer(instance.Param(ParamRole::SourceSize), s.sourceSize);
  int blur = 0, blend = 0, output = 0;
  integer(instance.motionBlur, blur);
  if (instance.shutterAngle) {
    read = read &&
           param.paramGetValueAtTime(instance.shutterAngle, time, &s.shutterAngle) == kOfxStatOK;
  }
  integer(instance.blend, blend);
  integer(instance.outputKind, output);
  s.motionBlur = blur != 0;
  s.blend = blend == 1 ? Blend::Add : Blend::Screen;
  s.flareOnly = output == static_cast<int>(OutputKind::FlareOnly);
  if (instance.lens) {
    char* text = nullptr;
    read = read && param.paramGetValueAtTime(instance.lens, time, &text) == kOfxStatOK;
    s.lensText = text ? text : "";
  }
  if (!read) {
    error = "a parameter could not be read from the host";
    return false;
  }
  // Each value with the label it goes by.
  const auto label = [&](ParamRole role) {
    return instance.Param(role) ? RowName(instance, role) : "";
  };
  const std::pair<const char*, double> numbers[] = {{label(ParamRole::Brightness), s.brightness},
                                                    {label(ParamRole::Scale), s.scale},
                                                    {label(ParamRole::Angle), s.angle},
                                                    {label(ParamRole::LightPoint), s.light.x},
                                                    {label(ParamRole::LightPoint), s.light.y},
                                                    {label(ParamRole::Color), s.colour[0]},
                                                    {label(ParamRole::Color), s.colour[1]},
                                                    {label(ParamRole::Color), s.colour[2]},
                                                    {"Shutter Angle", s.shutterAngle}};
  for (const auto& [name, value] : numbers) {
    if (!Finite(value)) {
      error = std::string("\"") + name + "\" is not a number (NaN or infinite)";
      return false;
    }
  }
  return true;
}

}  // namespace gw::ofx
