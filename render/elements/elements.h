// One renderer per element type: Render<Type>(element, target, scratch): it
// reads the target and writes its pixels and the scratch.
#pragma once

#include "lens/lens.h"
#include "render/target.h"

namespace gw {

void RenderGlowBall(const LensElement& element, const RenderTarget& target, Scratch& scratch);
void RenderSpikeBall(const LensElement& element, const RenderTarget& target, Scratch& scratch);
void RenderStarFilter(const LensElement& element, const RenderTarget& target, Scratch& scratch);
void RenderPolySpread(const LensElement& element, const RenderTarget& target, Scratch& scratch);
void RenderCircleSpread(const LensElement& element, const RenderTarget& target, Scratch& scratch);
void RenderEllipticalCaustic(const LensElement& element, const RenderTarget& target,
                             Scratch& scratch);
void RenderStarCaustic(const LensElement& element, const RenderTarget& target, Scratch& scratch);
void RenderFadedRing(const LensElement& element, const RenderTarget& target, Scratch& scratch);
void RenderStripe(const LensElement& element, const RenderTarget& target, Scratch& scratch);
void RenderRandomFan(const LensElement& element, const RenderTarget& target, Scratch& scratch);
void RenderPolySpikeBall(const LensElement& element, const RenderTarget& target, Scratch& scratch);
void RenderPhotonSpikeBall(const LensElement& element, const RenderTarget& target,
                           Scratch& scratch);
void RenderApertureReflection(const LensElement& element, const RenderTarget& target,
                              Scratch& scratch);
void RenderChromaHoop(const LensElement& element, const RenderTarget& target, Scratch& scratch);
void RenderSinglePoly(const LensElement& element, const RenderTarget& target, Scratch& scratch);
void RenderDisc(const LensElement& element, const RenderTarget& target, Scratch& scratch);
void RenderEllipse(const LensElement& element, const RenderTarget& target, Scratch& scratch);
void RenderSparkle(const LensElement& element, const RenderTarget& target, Scratch& scratch);
void RenderChromaFan(const LensElement& element, const RenderTarget& target, Scratch& scratch);

}  // namespace gw
