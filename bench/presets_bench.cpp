// Every preset built and drawn at 1920x1080 over black, the light at 30%, 30%.
#include <benchmark/benchmark.h>

#include "bench/fresh_frame.h"

#include <string>

#include "presets/presets.h"
#include "tests/support/test_frame.h"

namespace {

void BM_Preset(benchmark::State& state) {
  const auto value = static_cast<int16_t>(state.range(0));
  gw::Lens lens{};
  gw::TestFrame frame(1920, 1080, 576.0f, 324.0f);
  gw::DrawEachTimeAfresh(state, frame, [&] {
    gw::BuildPreset(lens, value);
    gw::DrawLensInto(lens, frame);
  });
  state.SetLabel(std::string(gw::PresetName(value)));
}
BENCHMARK(BM_Preset)->DenseRange(1, gw::kPresetCount)->Unit(benchmark::kMillisecond);

}  // namespace
