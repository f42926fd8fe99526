// The Showcase edition at a thousand lights: a 1920 x 1080 location layer of
// 1,000 small opaque patches, found, and the default lens drawn once per
// light, on one core; the patch finding alone; and the whole render through
// the Showcase module.
#include <benchmark/benchmark.h>

#include "bench/fresh_frame.h"

#include <memory>
#include <string>
#include <vector>

#include "frame/showcase_lights.h"
#include "lens/lens.h"
#include "testhost/test_host.h"
#include "tests/support/test_frame.h"

namespace {

using gw::testhost::Image;
using gw::testhost::TestHost;

constexpr int32_t kWidth = 1920, kHeight = 1080;
constexpr int32_t kColumns = 40, kRows = 25;  // 1,000 patches

// Street lights seen from afar: 3 x 3 opaque patches on a 40 x 25 grid, a
// little off the grid's lines, most of them white and every fifth warm.
// `tinted` gives every patch a colour of its own instead.
Image PatchLayer(bool tinted) {
  Image layer(kWidth, kHeight, PF_Pixel{0, 0, 0, 0});
  int32_t n = 0;
  for (int32_t row = 0; row < kRows; ++row) {
    for (int32_t column = 0; column < kColumns; ++column, ++n) {
      const int32_t x0 = column * kWidth / kColumns + 11 + (n * 7) % 17;
      const int32_t y0 = row * kHeight / kRows + 9 + (n * 5) % 13;
      PF_Pixel colour = n % 5 == 0 ? PF_Pixel{255, 255, 200, 140} : PF_Pixel{255, 255, 255, 255};
      if (tinted) {
        colour = PF_Pixel{255, static_cast<uint8_t>(120 + n % 136),
                          static_cast<uint8_t>(255 - n % 97), static_cast<uint8_t>(90 + n % 151)};
      }
      for (int32_t y = y0; y < y0 + 3; ++y) {
        for (int32_t x = x0; x < x0 + 3; ++x) layer.at(x, y) = colour;
      }
    }
  }
  return layer;
}

gw::LayerView ViewOf(const Image& image) {
  return {reinterpret_cast<const uint8_t*>(image.pixels.data()), image.width, image.height,
          static_cast<ptrdiff_t>(image.width) * 4};
}

void BM_ShowcaseFindLights(benchmark::State& state) {
  const Image layer = PatchLayer(false);
  for (auto _ : state) {
    const std::vector<gw::LightSource> lights = gw::FindLightsInLayer(ViewOf(layer));
    if (lights.size() != static_cast<size_t>(gw::kMaxLights)) state.SkipWithError("patches lost");
    benchmark::DoNotOptimize(lights.data());
  }
}
BENCHMARK(BM_ShowcaseFindLights)->Unit(benchmark::kMillisecond);

// Argument: 1 for a colour of its own on every patch. (No counters: a run
// that mixes benchmarks with and without one cannot be written as CSV, which
// bench/interleave.sh reads.)
void BM_ShowcaseDrawn(benchmark::State& state) {
  const Image layer = PatchLayer(state.range(0) != 0);
  const std::vector<gw::LightSource> lights = gw::FindLightsInLayer(ViewOf(layer));
  if (lights.size() != static_cast<size_t>(gw::kMaxLights)) state.SkipWithError("patches lost");
  gw::Lens lens{};
  gw::BuildDefaultLens(lens);
  gw::TestFrame frame(kWidth, kHeight, 0.0f, 0.0f);
  gw::DrawEachTimeAfresh(state, frame, [&] {
    gw::DrawLensPerLight(lens, lights, gw::LayerPixel{255, 255, 255, 255}, 1.0f, frame.target(),
                         frame.profile(), gw::ProgressCallback{});
  });
}
BENCHMARK(BM_ShowcaseDrawn)->ArgName("tinted")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_HostShowcase(benchmark::State& state) {
  auto host = std::make_unique<TestHost>(std::string(GW_PLUGIN_DIR) + "/" +
                                         gw::testhost::ModuleFileName("showcase"));
  host->GlobalSetup();
  host->ParamsSetup();
  host->SequenceSetup();
  host->SetLayer(host->IndexOf("Location layer:"), std::make_shared<const Image>(PatchLayer(false)));
  const Image input(kWidth, kHeight, PF_Pixel{255, 20, 24, 40});
  Image output;
  for (auto _ : state) {
    if (host->Render(0, input, output) != PF_Err_NONE) state.SkipWithError("render failed");
    benchmark::DoNotOptimize(output.pixels.data());
  }
}
BENCHMARK(BM_HostShowcase)->Unit(benchmark::kMillisecond);

}  // namespace
