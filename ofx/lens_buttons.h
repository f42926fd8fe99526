// The lens's buttons: "Load Lens..." and "Save Lens..." through the "Lens
// File" parameter, and "Edit Lens...". They run in the instance-changed
// action, on the application's thread; a new lens becomes one change of the
// lens parameter, which the application's undo takes back whole. Renders
// read the lens parameter once, into their own copy, so a lens stored
// meanwhile never changes under a render.
#pragma once

#include "ofx/api/image_effect.h"
#include "ofx/instance.h"

namespace gw::ofx {

void LoadLens(const Instance& instance, OfxTime time);
void SaveLens(const Instance& instance, OfxTime time);
void EditLens(const Instance& instance, OfxTime time);

}  // namespace gw::ofx
