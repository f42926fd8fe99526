// Glarewright: the lens from the Lens Editor, a light point or location
// layer, obscuration and motion blur.
#include "host/param_rows.h"

namespace gw {
namespace {

constexpr ParamRow kParams[] = {
    rows::kBrightness,   rows::kScale,            rows::kLightPoint,
    rows::kColor,        rows::kAngle,            rows::kLocationLayer,
    rows::kObscurationLayer, rows::kObscurationType, rows::kSourceSize,
};

constexpr EditionTable kTable{
    .piplName = "Glarewright     ",
    .category = "Tessaly Glarewright",
    .matchName = "TSLY Studio Flare     ",
    .effectName = "Glarewright Studio",
    .version = kEffectVersion,
    .outFlags = PF_OutFlag_KEEP_RESOURCE_OPEN | PF_OutFlag_WIDE_TIME_INPUT |
                PF_OutFlag_I_DO_DIALOG | PF_OutFlag_PIX_INDEPENDENT |
                PF_OutFlag_I_USE_SHUTTER_ANGLE,
    .render = RenderKind::LensFromSequence,
    .hasDialog = true,
    .params = kParams,
};
static_assert(kTable.outFlags == 0x00080423);

}  // namespace

const EditionTable& FullEdition() { return kTable; }

}  // namespace gw
