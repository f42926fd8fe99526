// The editor's preview render, which runs on every pointer move while the
// light is dragged: the default lens and every preset at 320 x 240.
#include <benchmark/benchmark.h>

#include <string>

#include "editor/control_ids.h"
#include "editor/lens_editor.h"
#include "presets/presets.h"

namespace {

// A window system that builds everything and asks nobody anything.
class QuietFrontEnd final : public gw::EditorFrontEnd {
 public:
  int32_t RunDialog(gw::LensEditor&, void*) override { return 0; }
  bool Acquire(gw::EditorResource, int, void*) override { return true; }
  void Release(gw::EditorResource, int) override {}
  bool ScreenHasPalette() override { return false; }
  gw::MessageAnswer ShowMessage(const gw::MessageBoxRequest&) override {
    return gw::MessageAnswer::Ok;
  }
  void Beep(gw::BeepKind) override {}
  void Redraw(gw::EditorArea, int) override {}
  void SetWaitCursor(bool) override {}
  bool AltHeld() override { return false; }
  std::optional<std::string> ChooseFileToOpen(std::span<const gw::FileFilter>) override {
    return {};
  }
  std::optional<std::string> ChooseFileToSave(std::span<const gw::FileFilter>) override {
    return {};
  }
  std::optional<uint32_t> ChooseColour(uint32_t, std::array<uint32_t, 16>&) override { return {}; }
  std::optional<std::string> EditName(std::string_view) override { return {}; }
  std::optional<std::string> EditSliderValue(const gw::SliderControlTexts&) override { return {}; }
  void RunAddElementWindow(gw::AddElementWindow&) override {}
  gw::ClipboardContents ReadClipboard() override { return {}; }
};

// The light dragged to and fro: each step renders the whole lens once.
void DragTheLight(benchmark::State& state, const gw::Lens& lens) {
  QuietFrontEnd frontEnd;
  gw::LensEditor editor(lens, frontEnd, nullptr);
  if (editor.Open() != 0) state.SkipWithError("the editor did not open");
  int32_t x = 40;
  for (auto _ : state) {
    x = x >= 280 ? 40 : x + 7;
    editor.Command(gw::ids::kLightFromImage, x | (90 << 16));
    benchmark::DoNotOptimize(editor.preview().pixels().data());
  }
}

void BM_PreviewDefaultLens(benchmark::State& state) {
  gw::Lens lens{};
  gw::BuildDefaultLens(lens);
  DragTheLight(state, lens);
}
BENCHMARK(BM_PreviewDefaultLens)->Unit(benchmark::kMillisecond);

void BM_PreviewPreset(benchmark::State& state) {
  const auto value = static_cast<int16_t>(state.range(0));
  gw::Lens lens{};
  gw::BuildPreset(lens, value);
  DragTheLight(state, lens);
  state.SetLabel(std::string(gw::PresetName(value)));
}
BENCHMARK(BM_PreviewPreset)->DenseRange(1, gw::kPresetCount)->Unit(benchmark::kMillisecond);

}  // namespace
