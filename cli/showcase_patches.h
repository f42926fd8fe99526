// What the Showcase edition will find in a location layer, told to the user.
#pragma once

#include <cstdint>

#include "testhost/image.h"

namespace gw {

// The Showcase edition draws a flare on at most this many patches per frame.
inline constexpr int32_t kMaxShowcaseLights = 1000;

// Separate 4-connected patches of pixels whose alpha is not zero.
int32_t CountOpaquePatches(const testhost::Image& layer);

}  // namespace gw
