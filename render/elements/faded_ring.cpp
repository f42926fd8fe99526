// FadedRing: a large, thin, softly blurred ring with a built-in chromatic
// edge (an orange rim, a yellowish band inside it and a wider blue band inside
// that), stamped as an ellipse that flattens and fades on one side as the
// element moves away from the frame centre; its colours grow stronger with
// that distance. No colour field of the element is read.
#include "render/elements/elements.h"
#include "render/elements/round_layout.h"
#include "render/ellipse_stamps.h"
#include "render/numeric.h"
#include "render/profiles.h"

namespace gw {

void RenderFadedRing(const LensElement& element, const RenderTarget& target, Scratch& scratch) {
  const float brightness = element.brightness;  // "Brightness"
  const float scale = element.scale;            // "Scale"
  const bool anamorphic = element.anamorphic != 0;

  const int32_t width = target.width;
  const float W = static_cast<float>(width);

  // Centre.
  const PointF centre = ElementCentre(target, element.position);

  // Gains and size.
  const float kR = target.gainR * brightness;
  const float kG = target.gainG * brightness;
  const float kB = target.gainB * brightness;
  const float s = target.scale * scale;

  // How far off the frame centre, and in which direction.
  const OffAxis off = MeasureOffAxis(target, centre);

  // Strength: 0.5 at the frame centre, rising with distance.
  const float k = off.f * 0.5f + 0.5f;

  // Ring radius: a quarter of the frame width at unit sizes.
  const float rho = W / 4.0f * s;

  // Orange rim, yellowish band just inside it, wider blue band inside that.
  const int32_t rimWidth = TruncToInt(static_cast<float>(width / 30) * s);
  const int32_t blueWidth = TruncToInt(static_cast<float>(width / 15) * s);
  const auto peaks = [&](float red, float green, float blue) {
    return Peaks{PeakFrom(red * kR * k), PeakFrom(green * kG * k), PeakFrom(blue * kB * k)};
  };
  RingProfile(rho, peaks(170.0f, 50.0f, 5.0f), ProfileBlend::Replace, rimWidth, target,
              scratch.profile);
  RingProfile(rho * 0.98f, peaks(50.0f, 50.0f, 5.0f), ProfileBlend::Screen, rimWidth, target,
              scratch.profile);
  RingProfile(rho * 0.98f, peaks(5.0f, 10.0f, 60.0f), ProfileBlend::Screen, blueWidth, target,
              scratch.profile);

  // Soften the rim.
  BlurProfile(TruncToInt(static_cast<float>(width / 130) * s), rho * 1.2f, target, scratch.profile);

  // Flattened, turned toward the frame centre and fading away from it.
  TaperedEllipseStamp(target, scratch.profile, centre.x, centre.y, rho, OffAxisAspect(off.f),
                      TowardCentreDegrees(off.theta), 2.0f * off.f, 0.0f, anamorphic);
}

}  // namespace gw
