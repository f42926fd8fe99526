// Radial profiles: one 8-bit intensity per quarter pixel of radius, per colour
// channel, built in a profile store by layering simple
// shapes, blurring and reshaping them, and later stamped round a centre.
#pragma once

#include <array>
#include <cstdint>

#include "render/profile_store.h"
#include "render/target.h"

namespace gw {


// A peak colour. Peaks above 255 saturate earlier in the shape; negative
// peaks give 0.
struct Peaks {
  int16_t r, g, b;
};

// A peak from a computed intensity: truncated, saturating at the 16-bit range.
int16_t PeakFrom(float value);

// Quadratic falloff: the peak at the centre, 0 at `radius` pixels (at least 2).
void GlowProfile(float radius, Peaks peak, ProfileBlend blend, const RenderTarget& t,
                 ProfileStore& profile);

// Flat disc of `radius` pixels (at least 2) whose last `edge` samples (at
// least 4) ramp linearly down to 0.
void DiscProfile(float radius, Peaks peak, ProfileBlend blend, int32_t edge, const RenderTarget& t,
                 ProfileStore& profile);

// Tent-shaped ring peaking `width` samples (at least 4) inside `radius` pixels
// (at least 4) and reaching 0 `width` samples either side of its peak.
void RingProfile(float radius, Peaks peak, ProfileBlend blend, int32_t width, const RenderTarget& t,
                 ProfileStore& profile);

// Box blur of the three channels over 2 x half samples (one more on the inner
// side), out to half + extent pixels. Nothing happens when half < 1.
void BlurProfile(int32_t half, float extent, const RenderTarget& t, ProfileStore& profile);

// Every sample of the three channels through v -> 255 (v / 255)^(num / den).
void GammaProfile(int32_t num, int32_t den, const RenderTarget& t, ProfileStore& profile);

// Rises from near 0 at the centre with the square of the radius to the full
// colour two pixels inside `radius` (at least 2), then falls to 0 at it.
// Always replaces.
void BowlProfile(float radius, Peaks peak, const RenderTarget& t, ProfileStore& profile);

// A disc with an optional hole: 0 inside `hole` pixels, a ramp of `inner`
// pixels rising as t^(num/den), a flat band of `band` pixels at full colour and
// an `outer` ramp (at least one pixel) falling as the mirror image. A hole
// always gets an inner ramp of at least one pixel. Nothing is written at or
// beyond the usable length.
void RampProfile(float inner, float band, float outer, float hole, Peaks peak, ProfileBlend blend,
                 int32_t num, int32_t den, const RenderTarget& t, ProfileStore& profile);

// The 12-bit logarithm table of the power curve: entry 0 is 65535 and entry i
// is round(65536 / 13 x log2(4096 / i)), so entry 4096 is 0.
const std::array<uint16_t, 4097>& LogTable();

// x^(num/den) in 12-bit fixed point (x and the result in 0..4096), through the
// log table and a binary search of it.
int32_t PowerCurve(int32_t x, int32_t num, int32_t den);

}  // namespace gw
