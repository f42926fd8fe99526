// Whole renders through the test host and the real full-edition module: the
// default lens over a frame, on the direct path and the motion-blur path.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "testhost/test_host.h"

namespace {

using gw::testhost::Image;
using gw::testhost::TestHost;

std::unique_ptr<TestHost> FullEditionInstance() {
  auto host = std::make_unique<TestHost>(std::string(GW_PLUGIN_DIR) + "/" +
                                         gw::testhost::ModuleFileName("full"));
  host->GlobalSetup();
  host->ParamsSetup();
  host->SequenceSetup();
  return host;
}

// Arguments: width, height, shutter angle in degrees.
void BM_HostRenderDefaultLens(benchmark::State& state) {
  auto host = FullEditionInstance();
  host->settings().shutterAngle = static_cast<PF_Fixed>(state.range(2) * 65536 / 360);
  host->settings().totalTime = 2;
  const Image input(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)),
                    PF_Pixel{255, 20, 24, 40});
  Image output;
  for (auto _ : state) {
    if (host->Render(0, input, output) != PF_Err_NONE) state.SkipWithError("render failed");
    benchmark::DoNotOptimize(output.pixels.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(1));
}

BENCHMARK(BM_HostRenderDefaultLens)
    ->ArgNames({"w", "h", "shutter"})
    ->Args({1920, 1080, 0})
    ->Args({3840, 2160, 0})
    ->Args({1920, 1080, 180})
    ->Args({3840, 2160, 180})
    ->Unit(benchmark::kMillisecond);

}  // namespace
