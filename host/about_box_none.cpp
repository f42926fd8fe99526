// Builds without a window system have no about box to show.
#include "host/about_box.h"

namespace gw {

void RunAboutBox(void*) {}

}  // namespace gw
