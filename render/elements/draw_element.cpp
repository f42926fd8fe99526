#include <array>
#include <cstddef>

#include "render/draw_lens.h"
#include "render/elements/elements.h"

namespace gw {
namespace {

using Renderer = void (*)(const LensElement&, const RenderTarget&, Scratch&);

struct RendererEntry {
  ElementType type;
  Renderer render;
};

// Every element type with its renderer.
constexpr RendererEntry kRendererEntries[] = {
    {ElementType::GlowBall, RenderGlowBall},
    {ElementType::SpikeBall, RenderSpikeBall},
    {ElementType::StarFilter, RenderStarFilter},
    {ElementType::PolySpread, RenderPolySpread},
    {ElementType::CircleSpread, RenderCircleSpread},
    {ElementType::EllipticalCaustic, RenderEllipticalCaustic},
    {ElementType::StarCaustic, RenderStarCaustic},
    {ElementType::FadedRing, RenderFadedRing},
    {ElementType::Stripe, RenderStripe},
    {ElementType::RandomFan, RenderRandomFan},
    {ElementType::PolySpikeBall, RenderPolySpikeBall},
    {ElementType::PhotonSpikeBall, RenderPhotonSpikeBall},
    {ElementType::ApertureReflection, RenderApertureReflection},
    {ElementType::ChromaHoop, RenderChromaHoop},
    {ElementType::SinglePoly, RenderSinglePoly},
    {ElementType::Disc, RenderDisc},
    {ElementType::Ellipse, RenderEllipse},
    {ElementType::Sparkle, RenderSparkle},
    {ElementType::ChromaFan, RenderChromaFan},
};

// The highest type value; values without a type (7 and 8) have no renderer.
constexpr int kLastType = static_cast<int>(ElementType::ChromaFan);
constexpr int kTypeCount = 19;

// The renderers indexed by type value.
constexpr std::array<Renderer, kLastType + 1> RendererTable() {
  std::array<Renderer, kLastType + 1> table{};
  for (const RendererEntry& entry : kRendererEntries) {
    table[static_cast<size_t>(entry.type)] = entry.render;
  }
  return table;
}
constexpr std::array<Renderer, kLastType + 1> kRenderers = RendererTable();

// Every type has exactly one entry.
constexpr bool EveryTypeOnce() {
  std::array<int, kLastType + 1> entries{};
  for (const RendererEntry& entry : kRendererEntries) ++entries[static_cast<size_t>(entry.type)];
  int types = 0;
  for (int count : entries) {
    if (count > 1) return false;
    types += count;
  }
  return types == kTypeCount;
}
static_assert(EveryTypeOnce(), "each element type needs exactly one renderer entry");

}  // namespace

void DrawElement(const LensElement& element, const RenderTarget& target, Scratch& scratch) {
  const int type = element.type;
  if (type < 0 || type > kLastType) return;
  const Renderer render = kRenderers[static_cast<size_t>(type)];
  if (render) render(element, target, scratch);
}

}  // namespace gw
