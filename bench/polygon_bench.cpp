// The polygon elements with their defaults at 1920x1080, and the polygon
// stamp alone. Run from a Release build:
//   gw_bench --benchmark_filter=Polygon
#include <benchmark/benchmark.h>

#include "bench/fresh_frame.h"

#include "lens/lens.h"
#include "render/draw_lens.h"
#include "render/polygon_stamp.h"
#include "tests/support/test_frame.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// One element of `type` with its defaults, drawn with the light up and left
// of the centre (where the flare axis crosses most of the frame).
void DrawDefaultElement(benchmark::State& state, gw::ElementType type) {
  gw::TestFrame frame(kWidth, kHeight, kWidth * 0.3f, kHeight * 0.3f);
  gw::LensElement element{};
  gw::InitElement(static_cast<int16_t>(type), element);
  gw::DrawEachTimeAfresh(state, frame,
                         [&] { gw::DrawElement(element, frame.target(), frame.scratch()); });
}

void BM_PolygonPolySpread(benchmark::State& state) {
  DrawDefaultElement(state, gw::ElementType::PolySpread);
}
BENCHMARK(BM_PolygonPolySpread)->Unit(benchmark::kMillisecond);

void BM_PolygonSinglePoly(benchmark::State& state) {
  DrawDefaultElement(state, gw::ElementType::SinglePoly);
}
BENCHMARK(BM_PolygonSinglePoly)->Unit(benchmark::kMillisecond);

void BM_PolygonPolySpikeBall(benchmark::State& state) {
  DrawDefaultElement(state, gw::ElementType::PolySpikeBall);
}
BENCHMARK(BM_PolygonPolySpikeBall)->Unit(benchmark::kMillisecond);

void BM_PolygonStarCaustic(benchmark::State& state) {
  DrawDefaultElement(state, gw::ElementType::StarCaustic);
}
BENCHMARK(BM_PolygonStarCaustic)->Unit(benchmark::kMillisecond);

// A hexagon of radius 100 at roundness 20 (67 outline vertices).
void BM_PolygonStampHexagon(benchmark::State& state) {
  gw::TestFrame frame(kWidth, kHeight, kWidth * 0.5f, kHeight * 0.5f);
  gw::DrawEachTimeAfresh(state, frame, [&] {
    gw::PolygonStamp(20.0f, 6, 100.0f, 15.0f, 960.0f, 540.0f, {40, 30, 20, 255}, frame.target(),
                     0);
  });
}
BENCHMARK(BM_PolygonStampHexagon)->Unit(benchmark::kMicrosecond);

// What a damaged lens file can ask for: the most ghosts or spikes an int16
// holds, each far larger than the frame. The work bound keeps these short.
void DrawAbsurdElement(benchmark::State& state, gw::ElementType type) {
  gw::TestFrame frame(kWidth, kHeight, kWidth * 0.45f, kHeight * 0.45f);
  gw::LensElement element{};
  gw::InitElement(static_cast<int16_t>(type), element);
  element.iparam0 = 32767;
  element.iparam2 = type == gw::ElementType::StarCaustic ? 32767 : element.iparam2;
  element.scale = 10000.0f;
  gw::DrawEachTimeAfresh(state, frame,
                         [&] { gw::DrawElement(element, frame.target(), frame.scratch()); });
}

void BM_PolygonAbsurdPolySpread(benchmark::State& state) {
  DrawAbsurdElement(state, gw::ElementType::PolySpread);
}
BENCHMARK(BM_PolygonAbsurdPolySpread)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_PolygonAbsurdPolySpikeBall(benchmark::State& state) {
  DrawAbsurdElement(state, gw::ElementType::PolySpikeBall);
}
BENCHMARK(BM_PolygonAbsurdPolySpikeBall)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_PolygonAbsurdStarCaustic(benchmark::State& state) {
  DrawAbsurdElement(state, gw::ElementType::StarCaustic);
}
BENCHMARK(BM_PolygonAbsurdStarCaustic)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
