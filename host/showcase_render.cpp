// The Showcase render command: the whole lens once per light of the location
// layer, each tinted and weighted by its patch.
#include <algorithm>
#include <memory>
#include <new>

#include "host/commands.h"
#include "host/host_calls.h"
#include "host/module_state.h"
#include "host/render_common.h"
#include "host/showcase_lights.h"
#include "lens/lens.h"
#include "render/draw_lens.h"
#include "render/numeric.h"

namespace gw {
namespace {

// Gains and position of one light: its patch's colour and opacity, tinted by
// the effect's colour and scaled by its brightness.
void AimAtLight(const LightSource& light, PF_Pixel colour, float brightnessFactor,
                RenderTarget& target) {
  const float brightness = std::min(light.alpha, 3.0f);
  // The patch's hue, largest component 1 (a black patch counts as white).
  float r = light.red, g = light.green, b = light.blue;
  float m = std::max({r, g, b});
  if (m == 0.0f) r = g = b = m = 1.0f;
  target.lightX = static_cast<float>(target.width) * light.x;
  target.lightY = static_cast<float>(target.height) * light.y;

  const float tintR = static_cast<float>(colour.red) * (r / m);
  const float tintG = static_cast<float>(colour.green) * (g / m);
  const float tintB = static_cast<float>(colour.blue) * (b / m);
  const int32_t largest = std::max({TruncToInt(tintR), TruncToInt(tintG), TruncToInt(tintB)});
  SetFlareColour(tintR, tintG, tintB, largest, brightness * brightnessFactor, target);
}

}  // namespace

PF_Err RenderShowcaseFrame(const EditionTable& edition, PF_InData& in, PF_OutData& out,
                           PF_ParamDef* params[], PF_LayerDef& output) {
  if (!out.sequence_data || !in.global_data) return FailWithoutGlobals(in, out);
  if (!ParamsPresent(edition, params)) return PF_Err_BAD_CALLBACK_PARAM;
  const auto param = [&](ParamRole role) -> const PF_ParamDef& {
    return *params[edition.IndexOf(role)];
  };

  std::vector<LightSource> lights;
  try {
    lights.reserve(kMaxLights);
  } catch (const std::bad_alloc&) {
    return kErrOutOfMemory;  // before the output is touched
  }
  // A failure leaves no lights; it is not reported.
  FindLightSources(in, edition.IndexOf(ParamRole::LocationLayer), lights);

  FrameContext frame;
  if (const PF_Err err = BeginFrame(edition, in, out, params, output, frame)) return err;
  if (frame.Empty()) return PF_Err_NONE;
  RenderTarget& target = frame.target;

  const PF_Pixel colour = param(ParamRole::Color).u.cd.value;
  const float brightness = FixedPercentToFactor(param(ParamRole::Brightness).u.fd.value);
  const int32_t count = static_cast<int32_t>(lights.size());
  const ProgressCallback progress = HostProgress(in);
  for (int32_t j = 0; j < count; ++j) {
    AimAtLight(lights[j], colour, brightness, target);
    if (target.brightness > 0.0f) {
      if (const int32_t code = DrawLens(frame.data->lens, target, j, count, progress)) return code;
    }
  }
  return PF_Err_NONE;
}

}  // namespace gw
