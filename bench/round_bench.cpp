// The round elements with their defaults at 1920 x 1080, one element per
// iteration, each over the same black frame.
#include <benchmark/benchmark.h>

#include "bench/fresh_frame.h"

#include "lens/lens.h"
#include "render/draw_lens.h"
#include "tests/support/test_frame.h"

namespace {

// The light where a flare is usually placed: up and left of the centre.
constexpr float kLightX = 1920.0f * 0.3f;
constexpr float kLightY = 1080.0f * 0.3f;

void DrawDefaultElement(benchmark::State& state, gw::ElementType type) {
  gw::TestFrame frame(1920, 1080, kLightX, kLightY);
  gw::LensElement element{};
  gw::InitElement(static_cast<int16_t>(type), element);
  gw::DrawEachTimeAfresh(state, frame,
                         [&] { gw::DrawElement(element, frame.target(), frame.scratch()); });
}

void BM_GlowBall(benchmark::State& s) { DrawDefaultElement(s, gw::ElementType::GlowBall); }
void BM_Disc(benchmark::State& s) { DrawDefaultElement(s, gw::ElementType::Disc); }
void BM_Ellipse(benchmark::State& s) { DrawDefaultElement(s, gw::ElementType::Ellipse); }
void BM_FadedRing(benchmark::State& s) { DrawDefaultElement(s, gw::ElementType::FadedRing); }
void BM_EllipticalCaustic(benchmark::State& s) {
  DrawDefaultElement(s, gw::ElementType::EllipticalCaustic);
}
void BM_CircleSpread(benchmark::State& s) { DrawDefaultElement(s, gw::ElementType::CircleSpread); }

BENCHMARK(BM_GlowBall)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Disc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ellipse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FadedRing)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EllipticalCaustic)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CircleSpread)->Unit(benchmark::kMillisecond);

}  // namespace
