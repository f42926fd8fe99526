// StarFilter: evenly spaced rays around the centre, each a small bundle of
// streaks fanned over a tiny angle or, "Thick", a wedge of streaks that start
// side by side and meet at the tip.
#include <algorithm>
#include <cmath>

#include "render/elements/elements.h"
#include "render/elements/streak_elements.h"
#include "render/numeric.h"

namespace gw {

void StarFilterStreaks(const LensElement& element, const RenderTarget& target,
                       const StreakSink& sink) {
  const float brightness = element.brightness;
  const float scale = element.scale;
  const float angle = element.angle;        // degrees, direction of the first ray
  const float thickness = element.spread;   // "Thickness": width of a thick ray
  const int32_t rayCount = element.iparam0;  // "Count"
  const int32_t width = element.iparam2;    // "Width": streaks per ray
  const bool anamorphic = element.anamorphic != 0;
  const bool thick = element.option != 0;   // "Thick"
  const int32_t W = target.width;

  // 1-2. Centre and the width factor.
  const PointF centre = ElementCentre(target, element.position);
  float base = StreakWidthBase(W);

  // Mode: angular step between the streaks of one ray, streaks per ray.
  float step = 0.02f;
  int32_t n = width;
  if (thick) {
    base = base * (thickness + 50.0f) / 100.0f;
    step = 0.005f;
    n = width * 4;
  }
  n = std::min(n, kMaxStarStreaksPerRay);
  if (n <= 0) return;

  // 4-5. Colour, brightness and size.
  const StreakColour c = ElementStreakColour(base, brightness, target, element.color1);
  const float bb = base * target.brightness;
  const float size = target.scale * scale;

  // Rays.
  const int32_t rays = std::clamp(rayCount, 1, kMaxStarRays);
  const float spacing = kTwoPi / static_cast<float>(rays);
  const float a0 = DegreesToRadians(angle);

  // Every streak runs from the centre to len pixels out.
  const float Lu = static_cast<float>(W * 7 / 100) * size;
  const float len = Lu * bb + Lu;

  // Thick rays: start offsets across the ray, centred on it.
  const float sp = static_cast<float>(W / 20) / static_cast<float>(n) * (thickness / 50.0f);
  const float mid = static_cast<float>(n / 2) - 0.5f;

  // One colour for every streak.
  const StreakColour colour{AtMostOne(std::fabs(c.red / 52.0f)),
                            AtMostOne(std::fabs(c.green / 52.0f)),
                            AtMostOne(std::fabs(c.blue / 52.0f))};

  // A ray at angle a runs along (-sin a, cos a): angle 0 points down.
  for (int32_t i = 0; i < rays; ++i) {
    for (int32_t j = 0; j < n; ++j) {
      const float a = static_cast<float>(i) * spacing + a0 + static_cast<float>(j) * step;
      const float s = SinF(a);
      const float k = CosF(a);
      float dx = -len * s;
      const float dy = len * k;
      if (anamorphic) dx = dx * 2.0f;
      float x0 = centre.x;
      float y0 = centre.y;
      if (thick) {
        const float o = (static_cast<float>(j) - mid) * sp;
        float across = o * k;
        if (anamorphic) across = across * 2.0f;
        x0 = centre.x - across;
        y0 = centre.y - o * s;
      }
      sink(StreakBetween(x0, y0, centre.x + dx, centre.y + dy, colour, StreakAnchor::Start));
    }
  }
}

void RenderStarFilter(const LensElement& element, const RenderTarget& target, Scratch& scratch) {
  StarFilterStreaks(element, target, DrawStreaksInto(target, scratch.streakPositions));
}

}  // namespace gw
