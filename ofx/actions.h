// The actions that say what a render needs and gives: region of definition,
// regions of interest, frames needed, clip preferences, and what a change of
// the lens means.
#pragma once

#include "ofx/api/image_effect.h"
#include "ofx/instance.h"
#include "ofx/properties.h"

namespace gw::ofx {

// The output is defined where the source is.
OfxStatus RegionOfDefinition(const Instance& instance, const PropertySet& inArgs,
                             const PropertySet& outArgs);
// The source over the region asked for; the layers whole (a light is the
// centroid of a whole layer).
OfxStatus RegionsOfInterest(const Instance& instance, const PropertySet& inArgs,
                            const PropertySet& outArgs);
// The location layer at the next frame too while motion blur is on.
OfxStatus FramesNeeded(const Instance& instance, const PropertySet& inArgs,
                       const PropertySet& outArgs);
// A flare-only output is premultiplied.
OfxStatus ClipPreferences(const Instance& instance, const PropertySet& outArgs);
// A lens parameter that does not parse is told at once; the lens's buttons
// load, save and edit it.
OfxStatus InstanceChanged(const Instance& instance, const PropertySet& inArgs);

}  // namespace gw::ofx
