// What the Lens Editor needs from a person or a window system. The editing
// model calls these and nothing else of the outside world; the Win32 editor,
// the Linux editor and the tests' scripted front-end implement them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace gw {

class AddElementWindow;
class LensEditor;

// How the controls reach the dialog: command notices by control id and the
// private messages (element selected, drag begins, drag ends).
class DialogSink {
 public:
  // `param` is the notice's whole value (a slider's value truncated, a
  // colour, a packed point, a flag); `real` a slider's real value.
  virtual void Command(int id, int32_t param = 0, float real = 0.0f) = 0;
  virtual void Message(int message, int32_t wparam) = 0;

 protected:
  ~DialogSink() = default;
};

// Why the dialog could not open: the code its error box shows.
enum class EditorStatus : int32_t {
  Ok = 0,
  NoMemory = -1,
  NoBitmap = -3,
  NoWindow = -7,
  NoPreviewBuffer = -8,
};

enum class MessageIcon : uint8_t { None, Stop, Exclamation };
enum class MessageButtons : uint8_t { Ok, YesNo };
enum class MessageAnswer : uint8_t { Ok, Yes, No };

struct MessageBoxRequest {
  std::string text;
  std::string caption;
  MessageIcon icon = MessageIcon::None;
  MessageButtons buttons = MessageButtons::Ok;
};

enum class BeepKind : uint8_t { Simple, Exclamation };

// A file chooser's filter: "lns Files (*.gwr)" and "*.gwr".
struct FileFilter {
  const char* description;
  const char* pattern;
};

// What the clipboard held when the comparison button was pressed.
struct ClipboardContents {
  bool opened = false;           // false: the clipboard could not be opened
  std::vector<uint8_t> dib;      // a device-independent bitmap's bytes; empty: none
};

// The texts of the "Slider Control" window.
struct SliderControlTexts {
  std::string title;    // the slider's label
  std::string minimum;  // formatted by the slider's kind
  std::string maximum;
  std::string value;
};

// The window-system pieces the editor asks for while it opens and gives back
// when it closes, in the order the dialog builds and destroys them.
enum class EditorResource : uint8_t {
  Palette,        // the preview palette (8-bit screens only)
  SliderClass,    // the WinSlider window class
  ColorboxClass,  // the Colorbox window class
  ElemListClass,
  PreviewClass,
  ElemListWindow,
  PreviewWindow,
  SliderWindow,    // one per slider (id)
  ColorboxWindow,  // one per colour box (id)
  ButtonBitmaps,   // bitmaps 129 and 130 of the comparison button
};

// Redraw requests.
enum class EditorArea : uint8_t {
  Dialog,     // everything
  List,       // the element list
  Preview,    // the preview image
  Slider,     // one slider (id)
  Colorbox,   // one colour box (id)
  CheckBoxes, // the two option check boxes of the panel
};

class EditorFrontEnd {
 public:
  virtual ~EditorFrontEnd() = default;

  // Runs the modal dialog over `editor` and returns its result (1 OK, 0
  // Cancel). A front-end calls editor.Open() when the dialog is created and
  // editor.Close() when it is destroyed; it returns once editor.Ended().
  virtual int32_t RunDialog(LensEditor& editor, void* parent) = 0;

  // A window-system piece for the control `id` (0 where there is none);
  // false when it cannot be made. `model` is the object behind the control.
  virtual bool Acquire(EditorResource resource, int id, void* model) = 0;
  virtual void Release(EditorResource resource, int id) = 0;
  // True when the screen has 8 bits per pixel (the preview then dithers to a
  // palette of 216 colours).
  virtual bool ScreenHasPalette() = 0;

  virtual MessageAnswer ShowMessage(const MessageBoxRequest& request) = 0;
  virtual void Beep(BeepKind kind) = 0;
  virtual void Redraw(EditorArea area, int id = 0) = 0;
  virtual void SetWaitCursor(bool on) = 0;
  virtual bool AltHeld() = 0;

  // The file choosers; nullopt when closed without a choice.
  virtual std::optional<std::string> ChooseFileToOpen(std::span<const FileFilter> filters) = 0;
  virtual std::optional<std::string> ChooseFileToSave(std::span<const FileFilter> filters) = 0;
  // The colour chooser, fully opened with the sixteen shared custom colours
  // (which it may change); colours with red in the low byte.
  virtual std::optional<uint32_t> ChooseColour(uint32_t initial,
                                               std::array<uint32_t, 16>& customColours) = 0;
  // The name window; nullopt on Cancel.
  virtual std::optional<std::string> EditName(std::string_view current) = 0;
  // The "Slider Control" window; the edit field's text, or nullopt on Cancel.
  virtual std::optional<std::string> EditSliderValue(const SliderControlTexts& texts) = 0;
  // The add-element window, modal over the editor until its "Close".
  virtual void RunAddElementWindow(AddElementWindow& window) = 0;
  virtual ClipboardContents ReadClipboard() = 0;
};

// The front-end the module was built with: the Win32 editor in the Windows
// plug-ins; on Linux a plug-in has no window system, so its front-end
// cancels at once.
EditorFrontEnd& ModuleFrontEnd();

}  // namespace gw
