// The Lens Editor: a modal dialog that edits a lens.
#pragma once

#include "lens/lens.h"

namespace gw {

// Runs the editor on its own copy of `lens`. Leaving with OK copies the edited
// lens back and returns true; Cancel, or no editor state, leaves `lens` as it
// was and returns false. `parent` is the window to centre on (may be null).
bool RunLensEditor(Lens& lens, void* parent);

}  // namespace gw
