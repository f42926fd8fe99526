// Round stamps: a radial profile composited once round a centre. Every pixel
// of the bounding box looks up its distance from the centre (in quarter
// pixels) and screens the three channel values there into the frame.
#pragma once

#include "render/profile_store.h"
#include "render/target.h"

namespace gw {

// The profile as a circle: the box reaches `radius` + 2 pixels from (cx, cy)
// and is cut at the clip rectangle.
void RoundStamp(float cx, float cy, float radius, const RenderTarget& t, ProfileStore& profile);

// The profile as an ellipse twice as wide as high: a horizontal pixel counts
// two samples instead of four.
void WideRoundStamp(float cx, float cy, float radius, const RenderTarget& t, ProfileStore& profile);

}  // namespace gw
