// GlarewrightShowcase: the Lens Editor's lens drawn once per opaque patch of
// the location layer; no light point, obscuration or motion blur.
#include "host/param_rows.h"

namespace gw {
namespace {

constexpr ParamRow kParams[] = {
    rows::kBrightness, rows::kScale, rows::kColor, rows::kAngle, rows::kLocationLayer,
};

constexpr EditionTable kTable{
    .piplName = "Glarewright Showcase     ",
    .category = "Tessaly Glarewright",
    .matchName = "TSLY Showcase     ",
    .effectName = "Glarewright Studio",
    .version = kEffectVersion,
    .outFlags = PF_OutFlag_KEEP_RESOURCE_OPEN | PF_OutFlag_I_DO_DIALOG |
                PF_OutFlag_PIX_INDEPENDENT,
    .render = RenderKind::LightsFromLayer,
    .hasDialog = true,
    .params = kParams,
};
static_assert(kTable.outFlags == 0x00000421);

}  // namespace

const EditionTable& ShowcaseEdition() { return kTable; }

}  // namespace gw
