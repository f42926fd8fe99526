// Walking a lens: every enabled element, in order, through its renderer.
#pragma once

#include <cstdint>

#include "lens/lens.h"
#include "render/target.h"

namespace gw {

// Reports progress (current of total); a nonzero return cancels the walk and
// is handed back to the caller unchanged.
struct ProgressCallback {
  int32_t (*report)(void* context, int32_t current, int32_t total) = nullptr;
  void* context = nullptr;
};

// Calls the renderer of the element's type; types without one draw nothing.
void DrawElement(const LensElement& element, const RenderTarget& target, Scratch& scratch);

// Draws elements 0..count-1 (at most 100), reporting pass*count + i of
// passes*count before each. Returns 0, or the progress callback's nonzero code.
int32_t DrawLens(const Lens& lens, const RenderTarget& target, Scratch& scratch, int32_t pass,
                 int32_t passes, const ProgressCallback& progress);

}  // namespace gw
