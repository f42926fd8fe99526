// The inner steps of the polygon elements (PolySpread, PolySpikeBall and the
// centre-distance rule that Single Poly and Star Caustic share), exposed so
// that what each element computes can be checked apart from its pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "lens/lens.h"
#include "render/convex_fill.h"
#include "render/numeric.h"
#include "render/spread_layout.h"
#include "render/target.h"

namespace gw {

// FastHypot(2 trunc(dx), 2 trunc(dy)): about twice the length of (dx, dy).
// Each part saturates at 16 bits before it is doubled, so an offset from a
// light or element absurdly far away reads as far, never wraps round to near.
inline float DoubledCentreDistance(float dx, float dy) {
  return static_cast<float>(FastHypot(2 * SaturateToI16(TruncToInt(dx)),
                                      2 * SaturateToI16(TruncToInt(dy))));
}

// PolySpread: what is common to all ghosts of one element.
struct PolySpreadSetup {
  SpreadAxis axis;
  float fR, fG, fB;  // channel factors: target gain x element brightness
  float fBr;         // target brightness x element brightness
  float size;        // target scale x element scale
  float fadeIn;      // 0 with the light on the centre, 1 from D = W on
};

PolySpreadSetup MakePolySpreadSetup(const LensElement& element, const RenderTarget& target);

// One ghost k of a PolySpread.
struct PolySpreadGhost {
  bool visible;
  float px, py;      // centre
  float radius;
  float roundness;   // corner radius, per cent of the radius
  float weight;      // `bright`: 0.25 .. 1.0
  PolyColor colour;
};

PolySpreadGhost DescribePolySpreadGhost(const PolySpreadSetup& setup, const LensElement& element,
                                        const RenderTarget& target, int32_t k);

// PolySpikeBall: the star's centre and its outline points (none when the
// element's numbers leave no drawable star). Throws std::bad_alloc when the
// points cannot be stored.
struct SpikeStar {
  PointF centre;
  std::vector<PointF> outline;
};

SpikeStar PolySpikeBallStar(const LensElement& element, const RenderTarget& target);

}  // namespace gw
