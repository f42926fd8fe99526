// Random sessions of the Lens Editor: a lens from random bytes, then random
// presses, drags, commands, messages, answers, clipboard bytes, undo and
// redo. Nothing may crash, and the lens never holds more than 100 elements.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstring>
#include <string>

#include <unistd.h>

#include "lens/control_ids.h"
#include "editor/lens_editor.h"

namespace gw {
namespace {

const char* LensFilePath() {
  static const std::string path = "/tmp/gw_editor_fuzz_" + std::to_string(getpid()) + ".gwr";
  return path.c_str();
}

// Every question is answered from the fuzz data.
class FuzzFrontEnd final : public EditorFrontEnd {
 public:
  // One chosen acquisition of a window or resource fails (0: none), so that
  // every failure path is reached and what follows in the input does not
  // depend on how many the editor makes.
  explicit FuzzFrontEnd(FuzzedDataProvider& data)
      : data_(data), failAt_(data.ConsumeIntegralInRange(0, 60)) {}

  int32_t RunDialog(LensEditor&, void*) override { return 0; }
  bool Acquire(EditorResource, int, void*) override { return ++acquired_ != failAt_; }
  void Release(EditorResource, int) override {}
  bool ScreenHasPalette() override { return data_.ConsumeBool(); }
  MessageAnswer ShowMessage(const MessageBoxRequest&) override {
    return data_.ConsumeBool() ? MessageAnswer::Yes : MessageAnswer::No;
  }
  void Beep(BeepKind) override {}
  void Redraw(EditorArea, int) override {}
  void SetWaitCursor(bool) override {}
  bool AltHeld() override { return data_.ConsumeBool(); }
  std::optional<std::string> ChooseFileToOpen(std::span<const FileFilter>) override {
    if (!data_.ConsumeBool()) return std::nullopt;
    const std::string bytes = data_.ConsumeRandomLengthString(12000);
    if (std::FILE* f = std::fopen(LensFilePath(), "wb")) {
      std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fclose(f);
    }
    return LensFilePath();
  }
  std::optional<std::string> ChooseFileToSave(std::span<const FileFilter>) override {
    if (!data_.ConsumeBool()) return std::nullopt;
    return LensFilePath();
  }
  std::optional<uint32_t> ChooseColour(uint32_t, std::array<uint32_t, 16>& custom) override {
    custom[data_.ConsumeIntegralInRange(0, 15)] = data_.ConsumeIntegral<uint32_t>();
    if (!data_.ConsumeBool()) return std::nullopt;
    return data_.ConsumeIntegral<uint32_t>();
  }
  std::optional<std::string> EditName(std::string_view) override {
    if (!data_.ConsumeBool()) return std::nullopt;
    return data_.ConsumeRandomLengthString(100);
  }
  std::optional<std::string> EditSliderValue(const SliderControlTexts&) override {
    if (!data_.ConsumeBool()) return std::nullopt;
    return data_.ConsumeRandomLengthString(80);
  }
  void RunAddElementWindow(AddElementWindow& window) override {
    for (int i = data_.ConsumeIntegralInRange(0, 6); i > 0; --i) {
      switch (data_.ConsumeIntegralInRange(0, 3)) {
        case 0: window.Add(); break;
        case 1: window.Undo(); break;
        case 2: window.Select(data_.ConsumeIntegralInRange(-2, 21)); break;
        default: window.Close({data_.ConsumeIntegral<int16_t>(), data_.ConsumeIntegral<int16_t>()});
      }
    }
  }
  ClipboardContents ReadClipboard() override {
    ClipboardContents c;
    c.opened = data_.ConsumeBool();
    const std::string bytes = data_.ConsumeRandomLengthString(4096);
    c.dib.assign(bytes.begin(), bytes.end());
    return c;
  }

 private:
  FuzzedDataProvider& data_;
  int failAt_;
  int acquired_ = 0;
};

constexpr int kIds[] = {ids::kOk, ids::kCancel, ids::kLoad, ids::kSave, ids::kElemList,
                        ids::kLightY, ids::kLightX, ids::kLightFromImage, ids::kPreviewColour,
                        ids::kPreviewBrightness, ids::kPreviewScale, ids::kColour1,
                        ids::kColour2, ids::kAnamorphic, ids::kOption, ids::kReset,
                        ids::kAddIcon, ids::kDeleteIcon, 108, 109, 110, 111, 112, 113, 114,
                        115, 116, 117, ids::kEscape};

Point AnyPoint(FuzzedDataProvider& data) {
  return {data.ConsumeIntegralInRange(-300, 600), data.ConsumeIntegralInRange(-300, 600)};
}

constexpr uint32_t kDrawnAtStart = 3;

// Operations in one session. Nearly every operation redraws the preview, and
// the drawing costs far more than the editing: short sessions spend the
// inputs on more sessions, long ones on the same drawings again.
constexpr int kMaxOperations = 24;

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace
}  // namespace gw

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  using namespace gw;
  FuzzedDataProvider data(bytes, size);
  Lens lens;
  std::memset(&lens, 0, sizeof lens);
  const std::string raw = data.ConsumeBytesAsString(data.ConsumeIntegralInRange<size_t>(0, 2000));
  std::memcpy(&lens, raw.data(), std::min(raw.size(), sizeof lens));
  lens.count = data.ConsumeIntegralInRange<uint32_t>(0, 100);
  // The preview draws every enabled element after each change: a session of
  // a hundred strange elements would spend its time in the renderers (the
  // render target's ground). Past the first few they start disabled; the
  // session may enable them again.
  for (uint32_t i = kDrawnAtStart; i < kMaxElements; ++i) lens.elements[i].enabled = 0;
  FuzzFrontEnd frontEnd(data);
  LensEditor editor(lens, frontEnd, nullptr);
  if (editor.Open() != 0) return 0;
  editor.SetFastDrags(data.ConsumeBool());
  for (int step = 0; step < kMaxOperations && data.remaining_bytes() > 0 && !editor.ended();
       ++step) {
    const int operation = data.ConsumeIntegralInRange(0, 15);
    switch (operation) {
      case 0: editor.list().MouseDown(AnyPoint(data)); break;
      case 1: editor.list().MouseMove(AnyPoint(data)); break;
      case 2: editor.list().MouseUp(AnyPoint(data)); break;
      case 3: editor.list().DoubleClick(AnyPoint(data)); break;
      case 4:
        editor.list().Scroll(static_cast<ScrollRequest>(data.ConsumeIntegralInRange(0, 6)),
                             data.ConsumeIntegralInRange(-5, 120));
        break;
      case 5:
        editor.Command(data.PickValueInArray(kIds), data.ConsumeIntegral<int32_t>(),
                       data.ConsumeFloatingPoint<float>());
        break;
      case 6:
        editor.Message(data.ConsumeIntegralInRange(1024, 1028),
                       data.ConsumeIntegralInRange(-2, 400));
        break;
      case 7: {
        WinSlider* slider = editor.SliderById(data.PickValueInArray(kIds));
        if (!slider) break;
        slider->MouseDown(AnyPoint(data));
        slider->MouseMove(AnyPoint(data));
        slider->MouseUp();
        break;
      }
      case 8:
        if (Colorbox* box = editor.ColorboxById(data.PickValueInArray(kIds))) box->Click();
        break;
      case 9:
        editor.preview().ImageMouseDown(AnyPoint(data));
        editor.preview().ImageMouseMove(AnyPoint(data));
        editor.preview().ImageMouseUp();
        break;
      case 10: editor.CompareButtonDrawn(data.ConsumeBool()); break;
      case 11: editor.RequestClose(); break;
      case 12: editor.list().Add(data.ConsumeIntegralInRange(-1, 20)); break;
      case 13:
        if (data.ConsumeBool()) {
          editor.document().Undo();
        } else {
          editor.document().Redo();
        }
        break;
      case 14:
        // A release the window system lost: a move without the button, or
        // the mouse taken away.
        editor.list().MouseMove(AnyPoint(data), false);
        editor.preview().ImageCaptureLost();
        if (WinSlider* slider = editor.SliderById(data.PickValueInArray(kIds))) {
          slider->CaptureLost();
        }
        break;
      default: editor.SetFastDrags(data.ConsumeBool()); break;
    }
    const Lens& l = editor.lens();
    Check(l.count <= kMaxElements);
    Check(editor.list().selection() < static_cast<int>(l.count));
    Check(editor.list().top() >= 0);
    // The picture shown, after what changes it most directly (a drag in the
    // preview, the comparison button) and at the end: taking it copies the
    // whole preview, the slowest step of a session.
    if (operation == 9 || operation == 10) (void)editor.preview().DisplayedRgb();
  }
  (void)editor.preview().DisplayedRgb();
  editor.Close();
  std::remove(LensFilePath());
  return 0;
}
