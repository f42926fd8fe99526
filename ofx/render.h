// The render and identity actions.
#pragma once

#include "ofx/api/image_effect.h"
#include "ofx/instance.h"
#include "ofx/properties.h"

namespace gw::ofx {

OfxStatus Render(const Instance& instance, const PropertySet& inArgs);

// The source passes through untouched when nothing would be drawn: no
// enabled element, Brightness 0 (now and, with motion blur, at the next
// frame), or a Showcase edition without a location layer. Only for Comp
// output: a flare-only pass of nothing is transparent black, not the source.
OfxStatus IsIdentity(const Instance& instance, const PropertySet& inArgs,
                     const PropertySet& outArgs);

}  // namespace gw::ofx
