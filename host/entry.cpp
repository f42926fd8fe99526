#include "host/entry.h"

#include "host/commands.h"

namespace gw {

PF_Err FullEditionMain(PF_Cmd cmd, PF_InData* in, PF_OutData* out, PF_ParamDef* params[],
                       PF_LayerDef* output) noexcept {
  return HostMain(FullEdition(), cmd, in, out, params, output);
}

PF_Err ShowcaseEditionMain(PF_Cmd cmd, PF_InData* in, PF_OutData* out, PF_ParamDef* params[],
                           PF_LayerDef* output) noexcept {
  return HostMain(ShowcaseEdition(), cmd, in, out, params, output);
}

PF_Err QuickEditionMain(PF_Cmd cmd, PF_InData* in, PF_OutData* out, PF_ParamDef* params[],
                        PF_LayerDef* output) noexcept {
  return HostMain(QuickEdition(), cmd, in, out, params, output);
}

}  // namespace gw
