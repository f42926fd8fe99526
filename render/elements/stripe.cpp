#include "render/elements/elements.h"

namespace gw {

// Not drawn yet: its renderer has not landed.
void RenderStripe(const LensElement&, const RenderTarget&) {}

}  // namespace gw
