// Rotated stamps: a radial profile composited as an ellipse turned to any
// angle, optionally fading along its axis, or bent into a caustic crescent.
// Rotation is done with tables of products per row and column, so a pixel
// costs a few additions, one fast distance and three screen lookups.
#pragma once

#include "render/profile_store.h"
#include "render/target.h"

namespace gw {

// The profile's circle of `radius` pixels (at least 4) round (cx, cy),
// flattened by `aspect` (1 round, smaller flatter) along the axis turned
// `rotationDeg` degrees, and darkened linearly along that axis by `taper` x 255
// out of 255 (its sign picks the side that fades; `taperStart` 0 starts the
// fade at the bright end). The box is 2h x 2h pixels, h = trunc(1.5 x radius),
// or 4h wide when anamorphic, which stretches the ellipse to twice its width.
// Draws nothing when its work buffers cannot be had or h exceeds 16 bits.
void TaperedEllipseStamp(const RenderTarget& t, ProfileStore& profile, float cx, float cy,
                         float radius, float aspect, float rotationDeg, float taper,
                         float taperStart, bool anamorphic);

// The same ellipse without the taper: every pixel takes the profile value.
void EllipseStamp(const RenderTarget& t, ProfileStore& profile, float cx, float cy, float radius,
                  float aspect, float rotationDeg, bool anamorphic);

// The profile bent into a crescent of `size` pixels (at least 4): `bend` bows
// it, `sway` shifts it sideways, `pinch` narrows its middle and `stripeDepth`
// darkens it in stripes across. The profile is read in 255 samples per
// `size` pixels and at most 512 samples out.
void CausticStamp(const RenderTarget& t, ProfileStore& profile, float cx, float cy, float size,
                  float bend, float sway, float rotationDeg, float stripeDepth, float pinch,
                  bool anamorphic);

}  // namespace gw
