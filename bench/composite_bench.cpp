// The float frame's combine on its own: the default lens drawn over black
// at 1080p, laid over a float RGBA plate row by row, against a plain copy of
// the plate (the memory traffic any combine pays).
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "lens/lens.h"
#include "render/composite.h"
#include "tests/support/test_frame.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

struct FloatFrame {
  FloatFrame() : flare(kWidth, kHeight, 1500.0f, 250.0f), plate(size_t{kWidth} * kHeight * 4),
                 out(plate.size()) {
    gw::Lens lens{};
    gw::BuildDefaultLens(lens);
    gw::DrawLensInto(lens, flare);
    for (size_t i = 0; i < plate.size(); i += 4) {
      plate[i] = plate[i + 1] = plate[i + 2] = 0.25f;
      plate[i + 3] = 1.0f;
    }
  }
  gw::TestFrame flare;
  std::vector<float> plate, out;
};

void BM_CombineFloatFrame(benchmark::State& state) {
  FloatFrame f;
  const size_t rowFloats = size_t{kWidth} * 4;
  for (auto _ : state) {
    for (int y = 0; y < kHeight; ++y) {
      gw::CombineFlareRow(f.plate.data() + y * rowFloats, f.out.data() + y * rowFloats,
                          gw::SampleKind::Float, 4, gw::FlareRow{f.flare.Pixel(0, y), kWidth},
                          gw::Blend::Screen);
    }
    benchmark::DoNotOptimize(f.out.data());
  }
  int lit = gw::LitCount(f.flare);
  state.counters["lit"] = static_cast<double>(lit) / (kWidth * kHeight);
}
BENCHMARK(BM_CombineFloatFrame)->Unit(benchmark::kMillisecond);

void BM_CopyFloatFrame(benchmark::State& state) {
  FloatFrame f;
  for (auto _ : state) {
    std::memcpy(f.out.data(), f.plate.data(), f.plate.size() * sizeof(float));
    benchmark::DoNotOptimize(f.out.data());
  }
}
BENCHMARK(BM_CopyFloatFrame)->Unit(benchmark::kMillisecond);

}  // namespace
