// The aperture ghost: a regular polygon with rounded corners, filled flat
// inside and fading out through a soft band around its outline.
#pragma once

#include <cstdint>

#include "render/convex_fill.h"
#include "render/target.h"

namespace gw {

// The outline a stamp builds for a given size and shape.
struct StampPlan {
  float radius;          // the nominal radius, at least 3
  float cornerRadius;    // cr: the corner radius, at least 2
  int32_t segments;      // s: segments per corner
  int32_t vertexCount;   // n: outline vertices, the last repeating the first (at most 72)
};

// Sizes the outline of a polygon with `sides` sides (1..35) of `radius`
// pixels whose corners are rounded by `roundness` per cent of the radius.
// Returns false, and leaves `plan` unset, when no polygon can be drawn: sides
// outside 1..35, or a radius or corner radius that is not a finite number.
bool PlanPolygonStamp(float roundness, int32_t sides, float radius, StampPlan& plan);

// Draws the polygon centred on (cx, cy), turned by angleDeg degrees, in
// `colour`; an anamorphic polygon is twice as wide. A polygon wholly outside
// the frame, or with a centre or angle that is not a finite number, draws
// nothing. Returns the work of its fills.
int64_t PolygonStamp(float roundness, int32_t sides, float radius, float angleDeg, float cx,
                  float cy, PolyColor colour, const RenderTarget& target, uint8_t anamorphic);

}  // namespace gw
