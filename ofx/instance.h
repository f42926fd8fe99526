// One instance of a plug-in: the handles of its clips and parameters, taken
// when it is created and only read afterwards, the profile stores and
// canvases its renders share, and its parameter values at a time as plain
// numbers.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "ofx/api/image_effect.h"
#include "frame/profile_pool.h"
#include "ofx/canvas_pool.h"
#include "ofx/editions.h"
#include "render/composite.h"

namespace gw::ofx {

inline constexpr size_t kRoleCount = static_cast<size_t>(ParamRole::SourceSize) + 1;

struct Instance {
  const OfxEdition* edition = nullptr;
  OfxImageEffectHandle handle = nullptr;
  OfxImageClipHandle source = nullptr;
  OfxImageClipHandle output = nullptr;
  OfxImageClipHandle location = nullptr;            // general context only
  OfxImageClipHandle obscuration = nullptr;         // general context, full and Quick editions
  std::array<OfxParamHandle, kRoleCount> params{};  // by role; null where the edition has none
  OfxParamHandle motionBlur = nullptr;
  OfxParamHandle shutterAngle = nullptr;
  OfxParamHandle blend = nullptr;
  OfxParamHandle outputKind = nullptr;
  OfxParamHandle lens = nullptr;
  OfxParamHandle lensFile = nullptr;
  OfxParamSetHandle paramSet = nullptr;
  // The profile stores of this instance's renders, kept from one render to
  // the next: renders on several threads each take a store of their own.
  std::unique_ptr<ProfilePool> profiles = std::make_unique<ProfilePool>();
  // The canvases of renders that draw over black, kept clear between them.
  std::unique_ptr<CanvasPool> canvases = std::make_unique<CanvasPool>();

  OfxParamHandle Param(ParamRole role) const { return params[static_cast<size_t>(role)]; }
};

OfxStatus CreateInstance(const OfxEdition& edition, OfxImageEffectHandle handle);
OfxStatus DestroyInstance(OfxImageEffectHandle handle);
// The instance behind a handle; null for one this binding did not create.
const Instance* InstanceOf(OfxImageEffectHandle handle);

// The parameter values at one time, as the host gives them.
struct Settings {
  double brightness = 0.0;  // percent
  double scale = 0.0;
  double angle = 0.0;  // degrees
  OfxPointD light{};   // canonical coordinates
  double colour[3] = {};
  int flareType = 0;        // 0-based choice
  int obscurationType = 0;  // 0-based choice
  int sourceSize = 0;
  bool motionBlur = false;
  double shutterAngle = 0.0;  // degrees
  Blend blend = Blend::Screen;
  bool flareOnly = false;
  std::string lensText;
};

// Reads every parameter of the edition at `time`. False with a message when
// a value cannot be read or is not a number (NaN or infinite).
bool ReadSettings(const Instance& instance, OfxTime time, Settings& settings, std::string& error);

}  // namespace gw::ofx
