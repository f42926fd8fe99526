// Ellipse: the Disc seen off-axis. The same hole, ramps and flat band, stamped
// as an ellipse that flattens and darkens on one side the farther the element
// lies from the frame centre, like a reflection between lens surfaces when the
// light moves toward the edge of the frame.
#include "render/elements/elements.h"
#include "render/elements/round_layout.h"
#include "render/ellipse_stamps.h"

namespace gw {

void RenderEllipse(const LensElement& element, const RenderTarget& target, Scratch& scratch) {
  // Read by MeasureRampDisc: "Brightness", "Scale", "Taper" (the ramp
  // exponent (angle + 180) / 90), "Softness", "Position", "Count" (hole),
  // "Inside", "Middle" and "Outside Ramp Width", "Color".
  const bool anamorphic = element.anamorphic != 0;
  const bool smoothing = element.option != 0;  // "Smoothing"

  // As the Disc: centre, base radius, widths, smoothing, colour, curve.
  const RampDisc disc = MeasureRampDisc(element, target);

  // How far off the frame centre, and in which direction.
  const OffAxis off = MeasureOffAxis(target, disc.centre);

  // The ramp profile, blurred when smoothing.
  const float radius = BuildRampDisc(disc, smoothing, target, scratch.profile);

  // Flattened, turned toward the frame centre and fading away from it.
  TaperedEllipseStamp(target, scratch.profile, disc.centre.x, disc.centre.y, radius,
                      OffAxisAspect(off.f), TowardCentreDegrees(off.theta), 2.0f * off.f, 0.0f,
                      anamorphic);
}

}  // namespace gw
