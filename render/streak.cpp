#include "render/streak.h"

namespace gw {

// Not drawn yet: the primitive has not landed.
void DrawStreak(const Streak&, const RenderTarget&) {}

}  // namespace gw
