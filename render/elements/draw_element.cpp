#include <iterator>

#include "render/draw_lens.h"
#include "render/elements/elements.h"

namespace gw {
namespace {

using Renderer = void (*)(const LensElement&, const RenderTarget&);

// Indexed by type; 7 and 8 have no renderer.
constexpr Renderer kRenderers[] = {
    RenderGlowBall,
    RenderSpikeBall,
    RenderStarFilter,
    RenderPolySpread,
    RenderCircleSpread,
    RenderEllipticalCaustic,
    RenderStarCaustic,
    nullptr,
    nullptr,
    RenderFadedRing,
    RenderStripe,
    RenderRandomFan,
    RenderPolySpikeBall,
    RenderPhotonSpikeBall,
    RenderApertureReflection,
    RenderChromaHoop,
    RenderSinglePoly,
    RenderDisc,
    RenderEllipse,
    RenderSparkle,
    RenderChromaFan,
};

}  // namespace

void DrawElement(const LensElement& element, const RenderTarget& target) {
  const int type = element.type;
  if (type < 0 || type >= static_cast<int>(std::size(kRenderers))) return;
  if (const Renderer render = kRenderers[type]) render(element, target);
}

}  // namespace gw
