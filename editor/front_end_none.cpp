// The front-end of a plug-in without a window system (the Linux modules): the
// dialog is cancelled at once and nothing is shown.
#include "editor/front_end.h"

namespace gw {
namespace {

class NoFrontEnd final : public EditorFrontEnd {
 public:
  int32_t RunDialog(LensEditor&, void*) override { return 0; }
  bool Acquire(EditorResource, int, void*) override { return false; }
  void Release(EditorResource, int) override {}
  bool ScreenHasPalette() override { return false; }
  MessageAnswer ShowMessage(const MessageBoxRequest& request) override {
    return request.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
  }
  void Beep(BeepKind) override {}
  void Redraw(EditorArea, int) override {}
  void SetWaitCursor(bool) override {}
  bool AltHeld() override { return false; }
  std::optional<std::string> ChooseFileToOpen(std::span<const FileFilter>) override { return {}; }
  std::optional<std::string> ChooseFileToSave(std::span<const FileFilter>) override { return {}; }
  std::optional<uint32_t> ChooseColour(uint32_t, std::array<uint32_t, 16>&) override { return {}; }
  std::optional<std::string> EditName(std::string_view) override { return {}; }
  std::optional<std::string> EditSliderValue(const SliderControlTexts&) override { return {}; }
  void RunAddElementWindow(AddElementWindow&) override {}
  ClipboardContents ReadClipboard() override { return {}; }
};

}  // namespace

EditorFrontEnd& ModuleFrontEnd() {
  static NoFrontEnd frontEnd;
  return frontEnd;
}

}  // namespace gw
