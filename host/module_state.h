// The few values that live as long as the loaded module. Written and read on
// the host's one calling thread only.
#pragma once

#include <cstdint>

// CurrentScreenTable: the screen table that every render and dialog command
// publishes for the editor's preview.
#include "editor/preview.h"

namespace gw {

// The host's main window (null until the first global setup): parent of the
// about box and the Lens Editor.
void* HostMainWindow();
// Where get_platform_data writes the main window.
void** HostMainWindowSlot();

}  // namespace gw
