// The render command of the full and Quick editions: one light, direct or
// motion-blurred.
#include <new>

#include "host/commands.h"
#include "host/host_calls.h"
#include "host/light.h"
#include "host/module_state.h"
#include "host/render_common.h"
#include "lens/lens.h"
#include "presets/presets.h"
#include "render/draw_lens.h"
#include "render/draw_lens_blurred.h"

namespace gw {
namespace {

// The values of the motion-blur path's second time, read from the host.
PF_Err ReadNextValues(const EditionTable& edition, const PF_InData& in, PF_ParamDef* params[],
                      const Obscuration& obscuration, RenderTarget& next) {
  PF_Err err = FindLightSource(edition, in, params, TimeChoice::Next, next.lightX, next.lightY);
  if (err) return err;

  const int32_t time = NextTime(in);
  const auto read = [&](ParamRole role, auto&& take) -> PF_Err {
    CheckedOutParam param(in, edition.IndexOf(role), time);
    if (param.checkoutError()) return param.checkoutError();
    take(param.def());
    return param.Checkin();
  };
  PF_Pixel colour{};
  float brightness = 0.0f;
  if ((err = read(ParamRole::Angle, [&](const PF_ParamDef& d) {
         next.anglePhase = FixedDegreesToPhase(d.u.ad.value);
       })))
    return err;
  if ((err = read(ParamRole::Scale,
                  [&](const PF_ParamDef& d) { next.scale = FixedToFloat(d.u.fd.value); })))
    return err;
  if ((err = read(ParamRole::Color, [&](const PF_ParamDef& d) { colour = d.u.cd.value; })))
    return err;
  if ((err = read(ParamRole::Brightness, [&](const PF_ParamDef& d) {
         brightness = FixedPercentToFactor(d.u.fd.value);
       })))
    return err;
  // Obscuration is measured once, at the current time.
  PrepareFlareColor(ToLayerPixel(colour), obscuration.pixel, obscuration.type, brightness, next);
  return PF_Err_NONE;
}

// Draws the lens blurred between this frame's settings and the next frame's.
PF_Err RenderMotionBlur(const EditionTable& edition, const PF_InData& in, PF_ParamDef* params[],
                        const Lens& lens, const Obscuration& obscuration,
                        const RenderTarget& target, ProfileStore& profile) {
  RenderTarget next = target;
  if (const PF_Err err = ReadNextValues(edition, in, params, obscuration, next)) return err;
  try {
    return DrawLensBlurred(lens, target, next, profile, FixedToFloat(in.shutter_angle),
                           HostProgress(in));
  } catch (const std::bad_alloc&) {
    return kErrOutOfMemory;
  }
}

}  // namespace

PF_Err RenderFrame(const EditionTable& edition, PF_InData& in, PF_OutData& out,
                   PF_ParamDef* params[], PF_LayerDef& output) {
  if (!out.sequence_data || !in.global_data) return FailWithoutGlobals(in, out);
  if (!ParamsPresent(edition, params)) return PF_Err_BAD_CALLBACK_PARAM;
  const auto param = [&](ParamRole role) -> const PF_ParamDef& {
    return *params[edition.IndexOf(role)];
  };

  // The light, and what covers it, at the current time. Their codes are not
  // reported: a light not found stays at the point parameter.
  const PF_PointDef& point = param(ParamRole::LightPoint).u.td;
  float lightX = FixedToFloat(point.x_value), lightY = FixedToFloat(point.y_value);
  FindLightSource(edition, in, params, TimeChoice::Current, lightX, lightY);
  Obscuration obscuration;
  MeasureObscuration(edition, in, params, lightX, lightY, obscuration);

  FrameContext frame;
  if (const PF_Err err = BeginFrame(edition, in, out, params, output, frame)) return err;
  RenderTarget& target = frame.flare.target;
  PrepareFlareColor(ToLayerPixel(param(ParamRole::Color).u.cd.value), obscuration.pixel, obscuration.type,
                    FixedPercentToFactor(param(ParamRole::Brightness).u.fd.value), target);
  target.lightX = lightX;
  target.lightY = lightY;
  Lens& lens = frame.data->lens;
  if (edition.render == RenderKind::LensFromPreset) {
    BuildPreset(lens, LowWord(param(ParamRole::FlareType).u.pd.value));
  }
  if (frame.Empty()) return PF_Err_NONE;

  ProfileStore& profile = *frame.flare.profile;
  if (in.shutter_angle == 0) return DrawFlare(lens, target, profile, HostProgress(in));
  return RenderMotionBlur(edition, in, params, lens, obscuration, target, profile);
}

}  // namespace gw
