// How a rendered flare meets the plate. The plug-ins draw on 8-bit pixels;
// the plate keeps its channels, sample type and values, and the flare is
// combined with it in floating point.
#pragma once

#include "cli/image_module.h"
#include "render/composite.h"
#include "testhost/image.h"

namespace gw {

// Whether the plug-in may draw straight over the plate: an 8-bit plate with
// red, green and blue under the screen blend, where the plug-in's own
// render is the answer to the last bit.
bool DrawsOverPlate(const Plate& plate, Blend blend, bool flareOnly);

// The plate at 1/factor of its size, each pixel the mean of its block (the
// host's rule for its layers).
Plate DownsamplePlate(const Plate& plate, int32_t factor);

// The plate (already at the rendered size) with the colours and alpha of the
// plug-in's render over it; other channels stay as they are.
Plate WithRenderedPixels(Plate plate, const testhost::Image& rendered);

// The flare, rendered over black, combined with the plate (at the rendered
// size). Pixels the flare does not reach keep their values exactly. A grey
// plate takes the flare's luminance.
Plate CombineFlare(Plate plate, const testhost::Image& flare, Blend blend);

// The flare alone on transparent black, premultiplied: red, green, blue and
// an alpha equal to the largest of the three.
Plate FlareOnly(const testhost::Image& flare);

// A frame of black as the plug-in's input when only its flare is wanted.
testhost::Image BlackFrame(int32_t width, int32_t height);

}  // namespace gw
