// Star Caustic: a four-pointed caustic ghost. Its outline follows
// (cos t, sin^3 t) with a soft band out to a larger curve of the same family;
// it points along the line from the frame centre to the element and grows
// brighter the further it lies from the centre.
#include <cmath>
#include <new>
#include <vector>

#include "render/elements/elements.h"
#include "render/elements/polygon_elements.h"
#include "render/numeric.h"

namespace gw {
namespace {

// Points 0..n of a closed outline, point n repeating point 0.
struct StarOutlines {
  std::vector<PointF> inner;
  std::vector<PointF> outer;
};

StarOutlines BuildStarOutlines(int32_t n, float size, float phiDeg, PointF centre, float widen) {
  StarOutlines o;
  o.inner.resize(static_cast<size_t>(n) + 1);
  o.outer.resize(static_cast<size_t>(n) + 1);
  const float sPhi = SinF(phiDeg / kDegreesPerRadian);
  const float cPhi = CosF(phiDeg / kDegreesPerRadian);
  // Turns (u, v) by phi and sets it about the centre.
  auto place = [&](float u, float v) {
    return PointF{(u * sPhi + v * cPhi) * widen + centre.x, centre.y - (u * cPhi - v * sPhi)};
  };
  for (int32_t i = 0; i < n; ++i) {
    const float t = static_cast<float>(i) * kTwoPi / static_cast<float>(n);
    const float s = SinF(t);
    const float c = CosF(t);
    const float s3 = s * s * s;
    const float c3 = c * c * c;
    o.outer[i] = place(size * c, size * s3);
    o.inner[i] = place(size * c3 * 0.04f, size * 0.25f * s3);
  }
  o.inner[n] = o.inner[0];
  o.outer[n] = o.outer[0];
  return o;
}

}  // namespace

void RenderStarCaustic(const LensElement& element, const RenderTarget& target, Scratch&) {
  const float brightness = element.brightness;
  const float scale = element.scale;
  const int32_t points = element.iparam2;  // outline points
  const float widen = element.anamorphic != 0 ? 2.0f : 1.0f;
  const Rgb colour = element.color1;
  if (points <= 0 || NothingToDraw(target)) return;

  const int32_t W = target.width;
  const PointF centre = ElementCentre(target, element.position);
  if (!std::isfinite(centre.x) || !std::isfinite(centre.y)) return;
  const float vx = static_cast<float>(W) / 2.0f - centre.x;
  const float vy = static_cast<float>(target.height) / 2.0f - centre.y;

  // About the element's distance from the frame centre, in frame widths.
  float f = DoubledCentreDistance(vx, vy) / static_cast<float>(2 * W);
  if (f > 1.0f) f = 1.0f;

  const PolyColor fill{ColourByte(colour.r * target.gainR * f * brightness),
                       ColourByte(colour.g * target.gainG * f * brightness),
                       ColourByte(colour.b * target.gainB * f * brightness), 255};
  if (IsBlack(fill)) return;  // on the frame centre: black changes nothing

  // The short factor is how the caustic has always been turned.
  const float phi = Atan2F(vy, vx) * kShortDegreesPerRadian + 90.0f;
  float size = static_cast<float>(W * 10 / 100) * scale * target.scale;
  if (size < 3.0f) size = 3.0f;
  if (!std::isfinite(size)) return;

  StarOutlines o;
  try {
    o = BuildStarOutlines(points, size, phi, centre, widen);
  } catch (const std::bad_alloc&) {
    return;
  }

  const PolyColor none{0, 0, 0, 0};
  auto lit = [&](const PointF& p) { return PolyVertex{p.x, p.y, fill}; };
  auto dark = [&](const PointF& p) { return PolyVertex{p.x, p.y, none}; };
  const PolyVertex hub = lit(centre);
  const int64_t budget = ElementWorkBudget(target);
  int64_t work = 0;
  for (int32_t i = 0; i < points && work <= budget; ++i) {
    work += FillFlat(Triangle(lit(o.inner[i]), lit(o.inner[i + 1]), hub), target);
  }
  for (int32_t i = 0; i < points && work <= budget; ++i) {
    work += FillGouraud(Triangle(lit(o.inner[i]), dark(o.outer[i]), dark(o.outer[i + 1])), target);
  }
  for (int32_t i = 0; i < points && work <= budget; ++i) {
    work += FillGouraud(Triangle(dark(o.outer[i + 1]), lit(o.inner[i + 1]), lit(o.inner[i])), target);
  }
}

}  // namespace gw
