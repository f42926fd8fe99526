// How each plug-in describes itself: its capabilities, and in each context
// its clips and parameters, taken from the edition's table.
#pragma once

#include "ofx/api/image_effect.h"
#include "ofx/editions.h"
#include "ofx/properties.h"

namespace gw::ofx {

OfxStatus Describe(const OfxEdition& edition, OfxImageEffectHandle descriptor);
OfxStatus DescribeInContext(const OfxEdition& edition, OfxImageEffectHandle descriptor,
                            const PropertySet& inArgs);

}  // namespace gw::ofx
