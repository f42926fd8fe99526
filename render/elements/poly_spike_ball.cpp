// PolySpikeBall: a soft, irregular star. A ring of outline points at seeded
// radii goes round the centre several times; the fan of triangles from the
// centre is full colour there and fades to nothing at every point. The radii
// wobble with the effect's Angle, so the star breathes when it is animated.
#include <cmath>
#include <new>

#include "render/elements/elements.h"
#include "render/elements/polygon_elements.h"
#include "render/numeric.h"

namespace gw {

SpikeStar PolySpikeBallStar(const LensElement& element, const RenderTarget& target) {
  const float scale = element.scale;
  const float angle = element.angle;            // degrees
  const int32_t count = element.iparam0;        // Count
  const int32_t seed1 = element.iparam3;        // Random Seed 1: angular jitter
  const int32_t seed2 = element.iparam4;        // Random Seed 2: radii
  const float widen = element.anamorphic != 0 ? 2.0f : 1.0f;

  SpikeStar star{ElementCentre(target, element.position), {}};
  const PointF centre = star.centre;
  const int32_t W = target.width;
  const float size = target.scale * scale;
  int32_t n = count * 2 + 50;
  if (n < 2) n = 2;
  const float L = static_cast<float>(W * 20 / 100) * size;
  const float theta0 = angle / -kDegreesPerRadian;
  if (!std::isfinite(centre.x) || !std::isfinite(centre.y) || !std::isfinite(L) ||
      !std::isfinite(theta0) || !std::isfinite(target.anglePhase)) {
    return star;
  }

  int32_t cycles = n / 18;  // times the outline goes round
  if (cycles < 1) cycles = 1;
  const float w = static_cast<float>(cycles) * kTwoPi / static_cast<float>(n);

  std::vector<PointF>& points = star.outline;
  points.resize(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) {
    const float wobble = TriangleWave((Noise(i + 765) + target.anglePhase + 4345.0f) *
                                      (AbsNoise(i + 100) * 0.8f + 0.2f)) +
                         0.6f;
    const float a = (Noise(i + seed1) * 0.4f + static_cast<float>(i)) * w + theta0;
    const float q = AbsNoise(i + 58 + seed2) + 0.3f;
    float r = q * q * L * wobble;
    if (!(r >= 5.0f)) r = 5.0f;  // never nearer than 5 pixels
    points[i] = {SinF(a) * r * widen + centre.x, CosF(a) * r + centre.y};
  }
  return star;
}

void RenderPolySpikeBall(const LensElement& element, const RenderTarget& target, Scratch&) {
  const float brightness = element.brightness;
  const Rgb colour = element.color1;
  if (NothingToDraw(target)) return;

  const PolyColor centreColour{ColourByte(brightness * 0.2f * target.gainR * colour.r),
                               ColourByte(brightness * 0.2f * target.gainG * colour.g),
                               ColourByte(brightness * 0.2f * target.gainB * colour.b),
                               element.color1Extra};
  if (IsBlack(centreColour)) return;  // every triangle would screen 0

  SpikeStar star;
  try {
    star = PolySpikeBallStar(element, target);
  } catch (const std::bad_alloc&) {
    return;
  }
  const std::vector<PointF>& outline = star.outline;
  const size_t n = outline.size();
  if (n < 2) return;

  const PolyVertex hub{star.centre.x, star.centre.y, centreColour};
  const PolyColor none{0, 0, 0, 0};
  auto rim = [&](size_t i) { return PolyVertex{outline[i].x, outline[i].y, none}; };
  const int64_t budget = ElementWorkBudget(target);
  int64_t work = 0;
  for (size_t i = 0; i + 1 < n && work <= budget; ++i) {
    work += FillGouraud(Triangle(hub, rim(i), rim(i + 1)), target);
  }
  if (work <= budget) FillGouraud(Triangle(hub, rim(0), rim(n - 1)), target);
}

}  // namespace gw
