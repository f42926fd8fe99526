// Aperture Reflection, Chroma Hoop, PhotonSpikeBall and ChromaFan with their
// defaults on a 1920 x 1080 frame.
#include <benchmark/benchmark.h>

#include "bench/fresh_frame.h"

#include "lens/lens.h"
#include "render/elements/elements.h"
#include "tests/support/test_frame.h"

namespace {

using Renderer = void (*)(const gw::LensElement&, const gw::RenderTarget&, gw::Scratch&);

void RenderDefaults(benchmark::State& state, gw::ElementType type, Renderer render, float lx,
                    float ly) {
  gw::LensElement element{};
  gw::InitElement(static_cast<int16_t>(type), element);
  gw::TestFrame frame(1920, 1080, lx, ly);
  gw::DrawEachTimeAfresh(state, frame, [&] { render(element, frame.target(), frame.scratch()); });
}

// Strongest glare: the light a twentieth of the width outside the left edge.
void BM_ApertureReflection(benchmark::State& state) {
  RenderDefaults(state, gw::ElementType::ApertureReflection, gw::RenderApertureReflection, -96,
                 540);
}
BENCHMARK(BM_ApertureReflection)->Unit(benchmark::kMillisecond);

// Two edges at once: the light off the top left corner.
void BM_ApertureReflectionCorner(benchmark::State& state) {
  RenderDefaults(state, gw::ElementType::ApertureReflection, gw::RenderApertureReflection, -96,
                 -96);
}
BENCHMARK(BM_ApertureReflectionCorner)->Unit(benchmark::kMillisecond);

void BM_ChromaHoop(benchmark::State& state) {
  RenderDefaults(state, gw::ElementType::ChromaHoop, gw::RenderChromaHoop, 576, 324);
}
BENCHMARK(BM_ChromaHoop)->Unit(benchmark::kMillisecond);

void BM_PhotonSpikeBall(benchmark::State& state) {
  RenderDefaults(state, gw::ElementType::PhotonSpikeBall, gw::RenderPhotonSpikeBall, 576, 324);
}
BENCHMARK(BM_PhotonSpikeBall)->Unit(benchmark::kMillisecond);

void BM_ChromaFan(benchmark::State& state) {
  RenderDefaults(state, gw::ElementType::ChromaFan, gw::RenderChromaFan, 576, 324);
}
BENCHMARK(BM_ChromaFan)->Unit(benchmark::kMillisecond);

}  // namespace
