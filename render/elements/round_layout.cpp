#include "render/elements/round_layout.h"

#include <algorithm>
#include <cmath>

#include "render/numeric.h"

namespace gw {

float GlowMainRadius(float width, float size, float brightness) {
  if (brightness <= 1.0f) return 0.5f * width * size * brightness;
  return 0.5f * width * size * brightness * brightness;
}

RampDisc MeasureRampDisc(const LensElement& element, const RenderTarget& target) {
  const float W = target.width;
  RampDisc disc{};
  disc.centre = ElementCentre(target, element.position);
  const float size = target.scale * element.scale;
  disc.base = W * 0.5f * size;
  disc.inner = static_cast<float>(element.iparam3) / 1000.0f * disc.base;
  disc.band = static_cast<float>(element.iparam4) / 1000.0f * disc.base;
  disc.outer = static_cast<float>(element.iparam5) / 1000.0f * disc.base;
  disc.hole = static_cast<float>(element.iparam0 - 1) / 100.0f * disc.base;
  // A negative hole or width counts as none, for the stamp as for the profile:
  // otherwise it would shrink the stamp and cut the disc.
  const auto width = [](float w) { return w > 0.0f ? w : 0.0f; };
  disc.outerRadius = width(disc.hole) + width(disc.inner) + width(disc.band) + width(disc.outer);
  disc.smoothing = W * element.spread / 512.0f;
  disc.colour = {PeakFrom(element.color1.r * (target.gainR * element.brightness)),
                 PeakFrom(element.color1.g * (target.gainG * element.brightness)),
                 PeakFrom(element.color1.b * (target.gainB * element.brightness))};
  disc.curve = TruncToInt(element.angle + 180.0f);
  return disc;
}

float BuildRampDisc(const RampDisc& disc, bool smooth, const RenderTarget& target,
                    ProfileStore& profile) {
  RampProfile(disc.inner, disc.band, disc.outer, disc.hole, disc.colour, ProfileBlend::Replace,
              disc.curve, 90, target, profile);
  float radius = disc.outerRadius;
  if (smooth) {
    radius = radius * 1.3f;
    BlurProfile(TruncToInt(disc.smoothing), radius, target, profile);
    BlurProfile(TruncToInt(disc.smoothing), radius, target, profile);
  }
  return radius;
}

OffAxis MeasureOffAxis(const RenderTarget& target, PointF centre) {
  const float W = target.width;
  const float mx = W / 2.0f;
  const float my = static_cast<float>(target.height) / 2.0f;
  const float dx = mx - centre.x;
  const float dy = my - centre.y;
  // Doubled in double precision: an element far outside the frame saturates
  // instead of wrapping.
  const int32_t D = FastHypot(TruncToInt(2.0 * TruncToInt(dx)), TruncToInt(2.0 * TruncToInt(dy)));
  OffAxis off{};
  off.f = static_cast<float>(D) / (2.0f * W);
  off.theta = static_cast<float>(std::atan2(static_cast<double>(dy), static_cast<double>(dx)));
  return off;
}

float OffAxisAspect(float f) { return (1.0f - f + 2.0f) / 3.0f; }

float TowardCentreDegrees(float theta) { return theta * kShortDegreesPerRadian + 90.0f; }

Peaks CausticBowlPeaks(float f, float cR, float cG, float cB) {
  return {PeakFrom(249.0f * f * cR), PeakFrom(132.0f * f * cG), PeakFrom(40.0f * f * cB)};
}

}  // namespace gw
