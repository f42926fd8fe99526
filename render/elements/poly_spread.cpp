// PolySpread: `Count` soft polygonal ghosts of the aperture scattered along
// the flare axis, each with its own seeded place, size, corner roundness,
// brightness and tint. They fade in as the light leaves the frame centre and
// drop out one by one as it moves further.
#include <cmath>

#include "render/elements/elements.h"
#include "render/elements/polygon_elements.h"
#include "render/polygon_stamp.h"

namespace gw {

PolySpreadSetup MakePolySpreadSetup(const LensElement& element, const RenderTarget& target) {
  const float eB = element.brightness;
  PolySpreadSetup s{};
  s.axis = MakeSpreadAxis(element, target);
  s.fR = target.gainR * eB;
  s.fG = target.gainG * eB;
  s.fB = target.gainB * eB;
  s.fBr = target.brightness * eB;
  s.size = target.scale * element.scale;
  const float W = static_cast<float>(target.width);
  s.fadeIn = s.axis.D <= W ? s.axis.D / W : 1.0f;
  return s;
}

PolySpreadGhost DescribePolySpreadGhost(const PolySpreadSetup& setup, const LensElement& element,
                                        const RenderTarget& target, int32_t k) {
  const int32_t W = target.width;
  const int32_t s1 = element.iparam3;  // Size Random Seed
  const int32_t s2 = element.iparam4;  // Brightness Random Seed
  const int32_t s3 = element.iparam5;  // Color Random Seed

  PolySpreadGhost g{};
  const SpreadGhost placed = PlaceSpreadGhost(setup.axis, target, k, s1);
  g.visible = placed.visible;
  g.px = placed.px;
  g.py = placed.py;

  const float z = placed.z;
  float w = 1.0f - std::fabs(z);
  if (w > 0.5f) w = 0.5f;
  g.weight = w * 1.5f * setup.fadeIn + 0.25f;

  g.radius = static_cast<float>(W * 5 / 100) * setup.size * z * z +
             AbsNoise(k + s1 + 920) * static_cast<float>(W) * 5.0f / 100.0f * setup.size;
  g.roundness = AbsNoise(k + s1 + 520) * 50.0f;

  // Eight brightness variants and eight tints per channel, picked by the
  // remainder of (k + seed) / 8, which keeps the sign of the dividend.
  const float c = 1.0f - AbsNoise(((k + s1 + 920) % 8) + s2);
  g.colour.r = ColourByte(g.weight * setup.fR * setup.fBr * element.color1.r * c *
                          AbsNoise(((k + s1 + 7200 + s3) % 8) + s2));
  g.colour.g = ColourByte(g.weight * setup.fG * setup.fBr * element.color1.g * c *
                          AbsNoise(((k + s1 + 7400 + 3 * s3) % 8) + s2));
  g.colour.b = ColourByte(g.weight * setup.fB * setup.fBr * element.color1.b * c *
                          AbsNoise(((k + s1 + 7500 + 5 * s3) % 8) + s2));
  g.colour.extra = 255;
  return g;
}

void RenderPolySpread(const LensElement& element, const RenderTarget& target, Scratch&) {
  const int32_t count = element.iparam0;    // Count
  const int32_t sides = element.iparam2;    // Sides
  const float angle = element.angle;        // rotation shared by every ghost
  const uint8_t anamorphic = element.anamorphic;
  if (count <= 0 || NothingToDraw(target)) return;

  const PolySpreadSetup setup = MakePolySpreadSetup(element, target);
  const int64_t budget = ElementWorkBudget(target);
  int64_t work = 0;
  for (int32_t k = 0; k < count && work <= budget; ++k) {
    const PolySpreadGhost g = DescribePolySpreadGhost(setup, element, target, k);
    if (!g.visible) continue;
    work += PolygonStamp(g.roundness, sides, g.radius, angle, g.px, g.py, g.colour, target,
                         anamorphic);
  }
}

}  // namespace gw
