// The entry point of the Showcase edition (GlarewrightShowcase), exported as `main`.
#include "host/entry.h"

extern "C" PF_Err main(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data,
                       PF_ParamDef* params[], PF_LayerDef* output, void* /*extra*/) {
  return gw::ShowcaseEditionMain(cmd, in_data, out_data, params, output);
}
