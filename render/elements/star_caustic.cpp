#include "render/elements/elements.h"

namespace gw {

// Not drawn yet: its renderer has not landed.
void RenderStarCaustic(const LensElement&, const RenderTarget&) {}

}  // namespace gw
