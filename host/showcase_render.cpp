// The Showcase render command: the whole lens once per light of the location
// layer, each tinted and weighted by its patch.
#include <memory>
#include <new>

#include "host/commands.h"
#include "host/host_calls.h"
#include "host/light.h"
#include "host/module_state.h"
#include "host/render_common.h"
#include "host/showcase_lights.h"
#include "lens/lens.h"
#include "render/draw_lens.h"

namespace gw {

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
  return DrawLensPerLight(frame.data->lens, lights,
                          ToLayerPixel(param(ParamRole::Color).u.cd.value),
                          FixedPercentToFactor(param(ParamRole::Brightness).u.fd.value),
                          frame.flare.target, *frame.flare.profile, HostProgress(in));
}

}  // namespace gw
