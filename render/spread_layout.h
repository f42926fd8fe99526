// Where the ghosts of a PolySpread or CircleSpread go: both scatter their
// ghosts along the flare axis by the same seeded rules.
#pragma once

#include <cstdint>

#include "lens/lens.h"
#include "render/target.h"

namespace gw {

// Per element.
struct SpreadAxis {
  int32_t longSide;  // M: the frame's larger side
  float p0;          // first axis position of the span
  float pRange;      // length of the span
  float hw, hh;      // frame centre
  float vx, vy;      // from the light to the frame centre
  float D;           // about twice the light's distance from the centre
};

SpreadAxis MakeSpreadAxis(const LensElement& element, const RenderTarget& target);

// Per ghost k, with the size seed s1 (`iparam3`).
struct SpreadGhost {
  bool visible;  // each ghost has its own distance threshold
  float z;       // size and weight noise, -1..1
  float px, py;  // centre in frame pixels
};

SpreadGhost PlaceSpreadGhost(const SpreadAxis& axis, const RenderTarget& target, int32_t k,
                             int32_t s1);

}  // namespace gw
