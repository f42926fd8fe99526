#include <cstring>

#include "host/commands.h"
#include "host/host_calls.h"

namespace gw {
namespace {

// Fills a cleared record from one row of the edition's table.
void Describe(const PF_InData& in, const ParamRow& row, PF_ParamDef& def) {
  def.param_type = row.type;
  HostStrcpy(in, def.name, row.name);
  def.flags = row.flags;
  switch (row.type) {
    case PF_Param_LAYER:
      def.u.ld.dephault = row.dephault;
      break;
    case PF_Param_SLIDER:
      def.u.sd.value = row.value;
      def.u.sd.valid_min = row.validMin;
      def.u.sd.valid_max = row.validMax;
      def.u.sd.slider_min = row.sliderMin;
      def.u.sd.slider_max = row.sliderMax;
      def.u.sd.dephault = row.dephault;
      break;
    case PF_Param_FIX_SLIDER:
      def.u.fd.value = row.value;
      def.u.fd.valid_min = row.validMin;
      def.u.fd.valid_max = row.validMax;
      def.u.fd.slider_min = row.sliderMin;
      def.u.fd.slider_max = row.sliderMax;
      def.u.fd.dephault = row.dephault;
      def.u.fd.precision = row.precision;
      def.u.fd.display_flags = row.displayFlags;
      break;
    case PF_Param_ANGLE:
      def.u.ad.value = row.value;
      def.u.ad.dephault = row.dephault;
      break;
    case PF_Param_COLOR:
      def.u.cd.value = row.colour;
      def.u.cd.dephault = row.colour;
      break;
    case PF_Param_POINT:
      def.u.td.x_value = row.value;
      def.u.td.y_value = row.valueY;
      def.u.td.x_dephault = row.dephault;
      def.u.td.y_dephault = row.dephaultY;
      break;
    case PF_Param_POPUP:
      def.u.pd.value = row.value;
      def.u.pd.num_choices = row.numChoices;
      def.u.pd.dephault = static_cast<int16_t>(row.dephault);
      def.u.pd.namesptr = row.choices;
      break;
    default:
      break;
  }
}

}  // namespace

PF_Err ParamsSetup(const EditionTable& edition, PF_InData& in, PF_OutData& out) {
  for (const ParamRow& row : edition.params) {
    PF_ParamDef def;
    std::memset(&def, 0, sizeof def);
    Describe(in, row, def);
    const PF_Err err = in.inter.add_param(in.effect_ref, -1, &def);
    if (err) return err;
  }
  out.num_params = edition.NumParams();
  return PF_Err_NONE;
}

}  // namespace gw
