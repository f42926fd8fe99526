// The few values that live as long as the loaded module. Written and read on
// the host's one calling thread only.
#pragma once

#include <cstdint>

namespace gw {

// The host's main window (null until the first global setup): parent of the
// about box and the Lens Editor.
void* HostMainWindow();
void SetHostMainWindow(void* window);
// Where get_platform_data writes the main window.
void** HostMainWindowSlot();

// The screen table the last render or dialog published, for the editor's
// preview (null before the first).
const uint8_t* CurrentScreenTable();
void SetCurrentScreenTable(const uint8_t* table);

}  // namespace gw
