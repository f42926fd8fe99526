// GlarewrightQuick: one of the built-in preset lenses, chosen by the
// "Flare Type" popup; no editor.
#include "host/param_rows.h"
#include "presets/presets.h"

namespace gw {
namespace {

constexpr ParamRow kFlareType{
    .role = ParamRole::FlareType, .name = "Flare Type", .type = PF_Param_POPUP,
    .dephault = 1, .numChoices = kPresetCount, .choices = kPresetPopupItems};

constexpr ParamRow kParams[] = {
    rows::kBrightness,    rows::kScale,          rows::kLightPoint,
    rows::kColor,         rows::kAngle,          kFlareType,
    rows::kLocationLayer, rows::kObscurationLayer, rows::kObscurationType,
    rows::kSourceSize,
};

constexpr EditionTable kTable{
    .piplName = "Glarewright Quick     ",
    .category = "Tessaly Glarewright",
    .matchName = "TSLY Custom Flare Quick     ",
    .effectName = "Tessaly Glarewright",
    .version = kEffectVersion,
    .outFlags = PF_OutFlag_KEEP_RESOURCE_OPEN | PF_OutFlag_WIDE_TIME_INPUT |
                PF_OutFlag_PIX_INDEPENDENT | PF_OutFlag_I_USE_SHUTTER_ANGLE,
    .render = RenderKind::LensFromPreset,
    .hasDialog = false,
    .params = kParams,
};
static_assert(kTable.outFlags == 0x00080403);

}  // namespace

const EditionTable& QuickEdition() { return kTable; }

}  // namespace gw
