// One renderer per element type: Render<Type>(element, target).
#pragma once

#include "lens/lens.h"
#include "render/target.h"

namespace gw {

void RenderGlowBall(const LensElement& element, const RenderTarget& target);
void RenderSpikeBall(const LensElement& element, const RenderTarget& target);
void RenderStarFilter(const LensElement& element, const RenderTarget& target);
void RenderPolySpread(const LensElement& element, const RenderTarget& target);
void RenderCircleSpread(const LensElement& element, const RenderTarget& target);
void RenderEllipticalCaustic(const LensElement& element, const RenderTarget& target);
void RenderStarCaustic(const LensElement& element, const RenderTarget& target);
void RenderFadedRing(const LensElement& element, const RenderTarget& target);
void RenderStripe(const LensElement& element, const RenderTarget& target);
void RenderRandomFan(const LensElement& element, const RenderTarget& target);
void RenderPolySpikeBall(const LensElement& element, const RenderTarget& target);
void RenderPhotonSpikeBall(const LensElement& element, const RenderTarget& target);
void RenderApertureReflection(const LensElement& element, const RenderTarget& target);
void RenderChromaHoop(const LensElement& element, const RenderTarget& target);
void RenderSinglePoly(const LensElement& element, const RenderTarget& target);
void RenderDisc(const LensElement& element, const RenderTarget& target);
void RenderEllipse(const LensElement& element, const RenderTarget& target);
void RenderSparkle(const LensElement& element, const RenderTarget& target);
void RenderChromaFan(const LensElement& element, const RenderTarget& target);

}  // namespace gw
