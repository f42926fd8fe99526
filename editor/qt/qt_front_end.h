// The Lens Editor on Qt 6 Widgets: a front-end of the editing model. Every
// widget shows one model object and turns its events into model calls; the
// dialogs a person answers are Qt's own or small ones of ours.
#pragma once

#include <QImage>
#include <QPointer>
#include <functional>
#include <map>

#include "editor/front_end.h"
#include "editor/lens_editor.h"

class QWidget;

namespace gw::qt {

class EditorWindow;

class QtFrontEnd final : public EditorFrontEnd {
 public:
  QtFrontEnd();
  ~QtFrontEnd() override;

  // Builds the dialog over `editor` and shows it (not modal); null when the
  // editor could not open. RunDialog is this, then the modal loop.
  EditorWindow* OpenWindow(LensEditor& editor, QWidget* parent);
  EditorWindow* window() const { return window_; }

  // Replaces the colour chooser (tests script it); unset: QColorDialog.
  std::function<std::optional<uint32_t>(uint32_t, std::array<uint32_t, 16>&)> colourChooser;

  int32_t RunDialog(LensEditor& editor, void* parent) override;
  bool Acquire(EditorResource resource, int id, void* model) override;
  void Release(EditorResource resource, int id) override;
  bool ScreenHasPalette() override { return false; }
  MessageAnswer ShowMessage(const MessageBoxRequest& request) override;
  void Beep(BeepKind kind) override;
  void Redraw(EditorArea area, int id) override;
  void SetWaitCursor(bool on) override;
  bool AltHeld() override;
  std::optional<std::string> ChooseFileToOpen(std::span<const FileFilter> filters) override;
  std::optional<std::string> ChooseFileToSave(std::span<const FileFilter> filters) override;
  std::optional<uint32_t> ChooseColour(uint32_t initial,
                                       std::array<uint32_t, 16>& customColours) override;
  std::optional<std::string> EditName(std::string_view current) override;
  std::optional<std::string> EditSliderValue(const SliderControlTexts& texts) override;
  void RunAddElementWindow(AddElementWindow& window) override;
  ClipboardContents ReadClipboard() override;

 private:
  QPointer<EditorWindow> window_;
  LensEditor* editor_ = nullptr;
  std::map<int, QPointer<QWidget>> controls_;  // by control id
};

// A Qt image as the bytes of a device-independent bitmap (24 bits, rows from
// the top), as the editor's clipboard comparison takes them.
std::vector<uint8_t> ImageToDib(const QImage& image);

// A picture scaled to the preview's 320 x 240, as rows of red, green, blue.
std::vector<uint8_t> PreviewBackground(const QImage& image);

}  // namespace gw::qt
