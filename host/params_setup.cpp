#include <cstring>

#include "host/commands.h"
#include "host/host_calls.h"

namespace gw {
namespace {

// Fills a cleared record from one row of the edition's table.
void Describe(const PF_InData& in, const ParamSpec& spec, PF_ParamDef& def) {
  def.param_type = spec.type;
  HostStrcpy(in, def.name, spec.name);
  def.flags = spec.flags;
  switch (spec.type) {
    case PF_Param_LAYER:
      def.u.ld.dephault = spec.dephault;
      break;
    case PF_Param_SLIDER:
      def.u.sd.value = spec.value;
      def.u.sd.valid_min = spec.validMin;
      def.u.sd.valid_max = spec.validMax;
      def.u.sd.slider_min = spec.sliderMin;
      def.u.sd.slider_max = spec.sliderMax;
      def.u.sd.dephault = spec.dephault;
      break;
    case PF_Param_FIX_SLIDER:
      def.u.fd.value = spec.value;
      def.u.fd.valid_min = spec.validMin;
      def.u.fd.valid_max = spec.validMax;
      def.u.fd.slider_min = spec.sliderMin;
      def.u.fd.slider_max = spec.sliderMax;
      def.u.fd.dephault = spec.dephault;
      def.u.fd.precision = spec.precision;
      def.u.fd.display_flags = spec.displayFlags;
      break;
    case PF_Param_ANGLE:
      def.u.ad.value = spec.value;
      def.u.ad.dephault = spec.dephault;
      break;
    case PF_Param_COLOR:
      def.u.cd.value = spec.colour;
      def.u.cd.dephault = spec.colour;
      break;
    case PF_Param_POINT:
      def.u.td.x_value = spec.value;
      def.u.td.y_value = spec.valueY;
      def.u.td.x_dephault = spec.dephault;
      def.u.td.y_dephault = spec.dephaultY;
      break;
    case PF_Param_POPUP:
      def.u.pd.value = spec.value;
      def.u.pd.num_choices = spec.numChoices;
      def.u.pd.dephault = static_cast<int16_t>(spec.dephault);
      def.u.pd.namesptr = spec.choices;
      break;
    default:
      break;
  }
}

}  // namespace

PF_Err ParamsSetup(const EditionTable& edition, PF_InData& in, PF_OutData& out) {
  for (const ParamSpec& spec : edition.params) {
    PF_ParamDef def;
    std::memset(&def, 0, sizeof def);
    Describe(in, spec, def);
    const PF_Err err = in.inter.add_param(in.effect_ref, -1, &def);
    if (err) return err;
  }
  out.num_params = edition.NumParams();
  return PF_Err_NONE;
}

}  // namespace gw
