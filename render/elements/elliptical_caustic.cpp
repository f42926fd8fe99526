// Elliptical Caustic: the bright, bent crescent of light a lens throws when
// the source is off-axis, with a faint ring round it. Both are invisible or
// weak at the frame centre and grow with the element's distance from it. Two
// profiles are built and stamped in turn: a warm-and-blue one bent into a
// crescent, then a ring stamped as a plain ellipse.
#include <algorithm>

#include "render/elements/elements.h"
#include "render/elements/round_layout.h"
#include "render/ellipse_stamps.h"
#include "render/numeric.h"
#include "render/profiles.h"

namespace gw {

void RenderEllipticalCaustic(const LensElement& element, const RenderTarget& target,
                             Scratch& scratch) {
  const float brightness = element.brightness;  // "Brightness"
  const float scale = element.scale;            // "Scale"
  const bool anamorphic = element.anamorphic != 0;
  const Rgb colour = element.color1;            // "Color"

  const int32_t width = target.width;
  const float W = static_cast<float>(width);

  // Centre.
  const PointF centre = ElementCentre(target, element.position);

  // Colour factors and size.
  const float cR = brightness * target.gainR * colour.r / 255.0f;
  const float cG = brightness * target.gainG * colour.g / 255.0f;
  const float cB = brightness * target.gainB * colour.b / 255.0f;
  float s = target.scale * scale;

  // How far off the frame centre, and in which direction.
  const OffAxis off = MeasureOffAxis(target, centre);
  const float f = off.f;

  // Caustic size: W / 40 x s at the frame centre, W / 20 x s at f = 1.
  const float rc = (W / 40.0f * f + W / 40.0f) * s;

  // Caustic profile: a warm bowl with a blue disc screened over it, well
  // blurred. Its radii are fixed in samples; rc alone sets its size on screen.
  BowlProfile(70.0f, CausticBowlPeaks(f, cR, cG, cB), target, scratch.profile);
  DiscProfile(120.0f,
              {PeakFrom(50.0f * f * cR), PeakFrom(44.0f * f * cG), PeakFrom(144.0f * f * cB)},
              ProfileBlend::Screen, 250, target, scratch.profile);
  const int32_t causticBlur = TruncToInt(static_cast<float>(width / 20) * s);
  const float causticExtent = static_cast<float>(width / 2) * s;
  BlurProfile(causticBlur, causticExtent, target, scratch.profile);
  BlurProfile(causticBlur, causticExtent, target, scratch.profile);

  // The crescent; note the rotation turns the other way from the ring's.
  CausticStamp(target, scratch.profile, centre.x, centre.y, rc, 1.5f * f, 0.55f * f,
               off.theta * -kShortDegreesPerRadian + 90.0f, 0.7f * f, f, anamorphic);

  // Ring strength and radius.
  const float k = f * 0.5f + 0.5f;
  const float r8 = W / 8.0f * s;

  // Ring profile. Above s = 3 the ring grows but its band and blur do not.
  BowlProfile(r8, {PeakFrom(20.0f * cR * k), PeakFrom(20.0f * cG * k), PeakFrom(32.0f * cB * k)},
              target, scratch.profile);
  DiscProfile(r8, {PeakFrom(30.0f * cR * k), PeakFrom(30.0f * cG * k), PeakFrom(43.0f * cB * k)},
              ProfileBlend::Screen, TruncToInt(r8 / 20.0f), target, scratch.profile);
  s = std::min(s, 3.0f);
  RingProfile(r8, {PeakFrom(20.0f * cR * k), PeakFrom(16.0f * cG * k), PeakFrom(50.0f * cB * k)},
              ProfileBlend::Screen, TruncToInt(static_cast<float>(width / 30) * s), target,
              scratch.profile);
  BlurProfile(TruncToInt(static_cast<float>(width / 130) * s), r8 * 1.2f, target, scratch.profile);

  // The ring as a plain ellipse, turned toward the frame centre.
  EllipseStamp(target, scratch.profile, centre.x, centre.y, r8, OffAxisAspect(f),
               TowardCentreDegrees(off.theta), anamorphic);
}

}  // namespace gw
