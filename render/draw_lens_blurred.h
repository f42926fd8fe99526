// The motion-blurred draw: the lens drawn several times between this frame's
// settings and the next frame's, averaged, and screened over the frame.
#pragma once

#include <cstdint>

#include "lens/lens.h"
#include "render/draw_lens.h"
#include "render/target.h"

namespace gw {

// How many samples a blur of `length` pixels takes: one per three pixels at
// high quality (4 to 16), one per eight otherwise (3 to 8).
int32_t BlurSampleCount(float length, bool highQuality);

// Draws the lens between `now`, a target over the window of the frame to draw
// (its clip rectangle, four bytes per pixel), and `next`, whose floating
// settings (light, angle, Scale, colour and gains) are those of the next
// frame. The shutter is the fraction of the way to the next frame that the
// exposure covers. Samples are drawn a tile at a time into black, averaged,
// and screened over now's pixels. A pixel comes out the same whatever window
// it is drawn in, so windows drawn apart join without a seam.
// Progress counts tiles x samples passes of the lens. Returns 0, or the
// progress callback's nonzero code. Throws std::bad_alloc when the tile
// buffers cannot be had (the frame is then untouched).
int32_t DrawLensBlurred(const Lens& lens, const RenderTarget& now, const RenderTarget& next,
                        ProfileStore& profile, float shutter, const ProgressCallback& progress);

}  // namespace gw
