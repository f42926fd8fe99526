// The editors' preview renders, which run on every pointer move while the
// light is dragged: the Win32 dialog's at 320 x 240, and the native editor's
// at 960 x 540 (a 1920 x 1080 frame in a preview about 960 pixels wide) and
// at 480 x 270 (the same during a drag). The default lens and every preset.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "lens/control_ids.h"
#include "editor/lens_editor.h"
#include "editor/preview_render.h"
#include "presets/presets.h"
#include "render/pixels.h"

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

// One picture of the native editor's preview, as its render thread draws it.
void DrawNativePreview(benchmark::State& state, const gw::Lens& lens) {
  std::vector<uint8_t> table(gw::kScreenTableSize);
  gw::BuildScreenTable(table.data());
  const gw::PreviewSettings settings = gw::DefaultPreviewSettings(1920, 1080);
  gw::RgbImage picture;
  for (auto _ : state) {
    picture.width = static_cast<int32_t>(state.range(1));
    picture.height = picture.width * 9 / 16;
    gw::RenderPreview(lens, settings, 1920, 1080, {}, table.data(), picture);
    benchmark::DoNotOptimize(picture.rgb.data());
  }
}

// range(0): 0 the default lens, 1..39 a preset; range(1): the picture's width.
void BM_NativePreview(benchmark::State& state) {
  const auto value = static_cast<int16_t>(state.range(0));
  gw::Lens lens{};
  if (value == 0) {
    gw::BuildDefaultLens(lens);
    state.SetLabel("default lens");
  } else {
    gw::BuildPreset(lens, value);
    state.SetLabel(std::string(gw::PresetName(value)));
  }
  DrawNativePreview(state, lens);
}
BENCHMARK(BM_NativePreview)
    ->ArgsProduct({benchmark::CreateDenseRange(0, gw::kPresetCount, 1), {960, 480}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
