// What each edition's exported `main` hands its command to. The entry files
// see nothing but the host's declarations and this: they are compiled
// freestanding, where `main` is an ordinary name with the host's arguments.
#pragma once

#include "host/sdk/pf_api.h"

namespace gw {

PF_Err FullEditionMain(PF_Cmd cmd, PF_InData* in, PF_OutData* out, PF_ParamDef* params[],
                       PF_LayerDef* output) noexcept;
PF_Err ShowcaseEditionMain(PF_Cmd cmd, PF_InData* in, PF_OutData* out, PF_ParamDef* params[],
                           PF_LayerDef* output) noexcept;
PF_Err QuickEditionMain(PF_Cmd cmd, PF_InData* in, PF_OutData* out, PF_ParamDef* params[],
                        PF_LayerDef* output) noexcept;

}  // namespace gw
