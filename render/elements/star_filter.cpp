#include "render/elements/elements.h"

namespace gw {

// Not drawn yet: its renderer has not landed.
void RenderStarFilter(const LensElement&, const RenderTarget&) {}

}  // namespace gw
