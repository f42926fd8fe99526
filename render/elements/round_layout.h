// Sizes, places and colours of the round elements, worked out before any
// profile is built, where more than one renderer needs them or where they say
// how big or bright an element is.
#pragma once

#include <cstdint>

#include "lens/lens.h"
#include "render/profiles.h"
#include "render/target.h"

namespace gw {

// GlowBall: the main glow's radius, growing with the light's brightness
// (squared above 1.0): 0.5 x width x size x brightness[^2].
float GlowMainRadius(float width, float size, float brightness);

// Disc and Ellipse: a disc with an optional hole, an inner ramp, a flat band
// and an outer ramp, all sized in fractions of the base radius.
struct RampDisc {
  PointF centre;       // on the flare axis, kept in floating point
  float base;          // b: half the frame width times the sizes
  float inner;         // r_in, pixels
  float band;          // r_mid, pixels
  float outer;         // r_out, pixels
  float hole;          // r_hole, pixels (negative means no hole)
  float outerRadius;   // R: where the profile ends
  float smoothing;     // w: box-blur half-width in samples
  Peaks colour;        // c_R, c_G, c_B, not yet clamped
  int32_t curve;       // k: the ramps go as t^(k / 90)
};
RampDisc MeasureRampDisc(const LensElement& element, const RenderTarget& target);

// Writes the disc's profile and, with `smooth`, blurs it twice; returns the
// radius to stamp (1.3 x R when smoothed, so the blurred fringe is kept).
float BuildRampDisc(const RampDisc& disc, bool smooth, const RenderTarget& target,
                    ProfileStore& profile);

// Ellipse, FadedRing and Elliptical Caustic lean away from the frame centre.
struct OffAxis {
  float f;      // D / (2 W): 0 at the frame centre, about 0.5 half a frame width away
  float theta;  // direction from the element to the frame centre, radians, y down
};
OffAxis MeasureOffAxis(const RenderTarget& target, PointF centre);

// The flattening of an element `f` off axis: (1 - f + 2) / 3.
float OffAxisAspect(float f);

// The stamp rotation that turns an ellipse's axis toward the frame centre.
float TowardCentreDegrees(float theta);

// Elliptical Caustic: the colour of the caustic's bowl, which grows with f.
Peaks CausticBowlPeaks(float f, float cR, float cG, float cB);

}  // namespace gw
