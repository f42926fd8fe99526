// Disc: a round patch of colour on the flare axis: an optional dark hole, an
// inner ramp rising to full colour, a flat band and an outer ramp falling to
// nothing. One element type gives solid and soft discs, thin rings and hollow
// halos; both ramps share one power-curve exponent.
#include "render/elements/elements.h"
#include "render/elements/round_layout.h"
#include "render/round_stamps.h"

namespace gw {

void RenderDisc(const LensElement& element, const RenderTarget& target, Scratch& scratch) {
  // Read by MeasureRampDisc: "Brightness", "Scale", "Angle" (the ramp
  // exponent (angle + 180) / 90), "Softness", "Position", "Center Offset"
  // (hole), "Inside", "Middle" and "Outside Ramp Width", "Color".
  const bool anamorphic = element.anamorphic != 0;
  const bool smoothing = element.option != 0;  // "Smoothing"

  // Centre, base radius, band widths, smoothing width, colour, curve.
  const RampDisc disc = MeasureRampDisc(element, target);

  // The ramp profile, blurred when smoothing.
  const float radius = BuildRampDisc(disc, smoothing, target, scratch.profile);

  // Stamp.
  if (anamorphic) {
    WideRoundStamp(disc.centre.x, disc.centre.y, radius, target, scratch.profile);
  } else {
    RoundStamp(disc.centre.x, disc.centre.y, radius, target, scratch.profile);
  }
}

}  // namespace gw
