#include "render/spread_layout.h"

#include "render/numeric.h"

namespace gw {

SpreadAxis MakeSpreadAxis(const LensElement& element, const RenderTarget& target) {
  SpreadAxis a{};
  const int32_t W = target.width;
  const int32_t H = target.height;
  a.longSide = W > H ? W : H;
  a.p0 = element.position - element.spread / 10.0f;
  a.pRange = (element.position + element.spread / 10.0f) - a.p0;
  a.hw = static_cast<float>(W) / 2.0f;
  a.hh = static_cast<float>(H) / 2.0f;
  a.vx = a.hw - target.lightX;
  a.vy = a.hh - target.lightY;
  // Doubled in double precision, so that a light absurdly far away saturates.
  a.D = static_cast<float>(FastHypot(TruncToInt(2.0 * TruncToInt(a.vx)),
                                     TruncToInt(2.0 * TruncToInt(a.vy))));
  return a;
}

SpreadGhost PlaceSpreadGhost(const SpreadAxis& a, const RenderTarget& target, int32_t k,
                             int32_t s1) {
  SpreadGhost g{};
  const float M = static_cast<float>(a.longSide);
  g.visible = AbsNoise(k) * (-0.25f * M) + M > a.D;
  g.z = Noise(k + s1 + 900);
  const float q = Noise(k + s1 + 600) * (a.D / static_cast<float>(target.width)) / 2.0f;
  // pos 1 is the light's mirror image through the centre, -1 the light.
  const float pos = (g.z + 1.0f + q) * a.pRange + a.p0;
  g.px = a.vx * pos + a.hw;
  g.py = a.vy * pos + a.hh;
  return g;
}

}  // namespace gw
