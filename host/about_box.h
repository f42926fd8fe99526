// The about box: a window where the platform has one.
#pragma once

namespace gw {

// Shows the about box over `parent` (may be null) until the user closes it.
void RunAboutBox(void* parent);

}  // namespace gw
