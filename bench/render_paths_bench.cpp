// Every element type and every preset at 1920 x 1080 and 3840 x 2160 on one
// core, and whole renders through the full-edition module on the direct and
// motion-blurred paths (4, 10 and 16 samples).
#include <benchmark/benchmark.h>

#include "bench/fresh_frame.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "lens/element_types.h"
#include "lens/lens.h"
#include "presets/presets.h"
#include "render/draw_lens.h"
#include "testhost/test_host.h"
#include "tests/support/test_frame.h"

namespace {

using gw::testhost::Image;
using gw::testhost::ParamValue;
using gw::testhost::TestHost;

// The light where a flare is usually placed: up and left of the centre.
constexpr double kLightPlace = 0.3;

// Arguments: element index in the add-element list, frame width, height.
void BM_Element(benchmark::State& state) {
  const gw::ElementTypeInfo& info = gw::ElementTypes()[static_cast<size_t>(state.range(0))];
  const auto width = static_cast<int>(state.range(1)), height = static_cast<int>(state.range(2));
  gw::TestFrame frame(width, height, static_cast<float>(width * kLightPlace),
                      static_cast<float>(height * kLightPlace));
  gw::LensElement element{};
  gw::InitElement(static_cast<int16_t>(info.type), element);
  gw::DrawEachTimeAfresh(state, frame,
                         [&] { gw::DrawElement(element, frame.target(), frame.scratch()); });
  state.SetLabel(info.listName);
}

void ElementArguments(benchmark::internal::Benchmark* b) {
  b->ArgNames({"type", "w", "h"});
  for (const auto& [w, h] : {std::pair{1920, 1080}, std::pair{3840, 2160}}) {
    for (size_t i = 0; i < gw::ElementTypes().size(); ++i) b->Args({int64_t(i), w, h});
  }
}
BENCHMARK(BM_Element)->Apply(ElementArguments)->Unit(benchmark::kMillisecond);

// Arguments: preset popup value, frame width, height. The preset is built
// once; only the drawing is measured.
void BM_PresetDrawn(benchmark::State& state) {
  const auto value = static_cast<int16_t>(state.range(0));
  const auto width = static_cast<int>(state.range(1)), height = static_cast<int>(state.range(2));
  gw::Lens lens{};
  gw::BuildPreset(lens, value);
  gw::TestFrame frame(width, height, static_cast<float>(width * kLightPlace),
                      static_cast<float>(height * kLightPlace));
  gw::DrawEachTimeAfresh(state, frame, [&] { gw::DrawLensInto(lens, frame); });
  state.SetLabel(std::string(gw::PresetName(value)));
}

void PresetArguments(benchmark::internal::Benchmark* b) {
  b->ArgNames({"preset", "w", "h"});
  for (const auto& [w, h] : {std::pair{1920, 1080}, std::pair{3840, 2160}}) {
    for (int v = 1; v <= gw::kPresetCount; ++v) b->Args({v, w, h});
  }
}
BENCHMARK(BM_PresetDrawn)->Apply(PresetArguments)->Unit(benchmark::kMillisecond);

// The default lens drawn over black, without the host's copying of frames.
void BM_DefaultLensDrawn(benchmark::State& state) {
  const auto width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
  gw::Lens lens{};
  gw::BuildDefaultLens(lens);
  gw::TestFrame frame(width, height, static_cast<float>(width * kLightPlace),
                      static_cast<float>(height * kLightPlace));
  gw::DrawEachTimeAfresh(state, frame, [&] { gw::DrawLensInto(lens, frame); });
}
BENCHMARK(BM_DefaultLensDrawn)
    ->ArgNames({"w", "h"})
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond);

// The stored bytes of a lens, as a saved project holds them.
std::vector<uint8_t> StoredLens(const gw::Lens& lens) {
  auto data = std::make_unique<gw::SequenceData>();
  std::memset(data.get(), 0, sizeof(gw::SequenceData));
  data->version = gw::kSequenceDataVersion;
  data->lens = lens;
  gw::Flatten(*data);
  const auto* p = reinterpret_cast<const uint8_t*>(data.get());
  return std::vector<uint8_t>(p, p + sizeof(gw::SequenceData));
}

ParamValue PointAt(double x, double y) {
  ParamValue p;
  p.value = static_cast<int32_t>(x * 65536.0);
  p.y = static_cast<int32_t>(y * 65536.0);
  return p;
}

// How far the light travels to the next frame for a blur of `samples`
// samples at high quality with a full shutter (a third of a sample a pixel).
double TravelFor(int64_t samples) {
  if (samples <= 4) return 12.0;
  return static_cast<double>(samples) * 3.0;
}

// A full-edition instance holding the preset (0: the default lens), the light
// moving to the right when `samples` is nonzero.
std::unique_ptr<TestHost> BlurInstance(int16_t preset, int32_t width, int32_t height,
                                       int64_t samples) {
  auto host = std::make_unique<TestHost>(std::string(GW_PLUGIN_DIR) + "/" +
                                         gw::testhost::ModuleFileName("full"));
  host->GlobalSetup();
  host->ParamsSetup();
  host->SequenceSetup();
  if (preset > 0) {
    gw::Lens lens{};
    gw::BuildPreset(lens, preset);
    host->SequenceResetup(StoredLens(lens));
  }
  host->settings().width = width;
  host->settings().height = height;
  host->settings().totalTime = 2;
  host->settings().strictOutput = false;  // as the program renders
  const int32_t point = host->IndexOf("Light Source Location");
  const double x = width * kLightPlace, y = height * kLightPlace;
  host->SetKey(point, 0, PointAt(x, y));
  if (samples > 0) {
    host->settings().shutterAngle = 0x10000;
    host->SetKey(point, 1, PointAt(x + TravelFor(samples), y));
  }
  return host;
}

void RenderThrough(benchmark::State& state, TestHost& host, int32_t width, int32_t height) {
  const Image input(width, height, PF_Pixel{255, 20, 24, 40});
  Image output;
  for (auto _ : state) {
    if (host.Render(0, input, output) != PF_Err_NONE) state.SkipWithError("render failed");
    benchmark::DoNotOptimize(output.pixels.data());
  }
  state.SetItemsProcessed(state.iterations() * int64_t{width} * height);
}

// Arguments: width, height, samples (0: the direct path).
void BM_HostDefaultLens(benchmark::State& state) {
  const auto width = static_cast<int32_t>(state.range(0));
  const auto height = static_cast<int32_t>(state.range(1));
  auto host = BlurInstance(0, width, height, state.range(2));
  RenderThrough(state, *host, width, height);
}
BENCHMARK(BM_HostDefaultLens)
    ->ArgNames({"w", "h", "samples"})
    ->ArgsProduct({{1920}, {1080}, {0, 4, 10, 16}})
    ->ArgsProduct({{3840}, {2160}, {0, 4, 16}})
    ->Unit(benchmark::kMillisecond);

// Arguments: preset, width, height, samples (0: the direct path).
void BM_HostPreset(benchmark::State& state) {
  const auto preset = static_cast<int16_t>(state.range(0));
  const auto width = static_cast<int32_t>(state.range(1));
  const auto height = static_cast<int32_t>(state.range(2));
  auto host = BlurInstance(preset, width, height, state.range(3));
  RenderThrough(state, *host, width, height);
  state.SetLabel(std::string(gw::PresetName(preset)));
}

void HostPresetArguments(benchmark::internal::Benchmark* b) {
  b->ArgNames({"preset", "w", "h", "samples"});
  for (const auto& [w, h] : {std::pair{1920, 1080}, std::pair{3840, 2160}}) {
    for (int64_t samples : {0, 4}) {
      for (int v = 1; v <= gw::kPresetCount; ++v) b->Args({v, w, h, samples});
    }
  }
}
BENCHMARK(BM_HostPreset)->Apply(HostPresetArguments)->Unit(benchmark::kMillisecond);

}  // namespace
