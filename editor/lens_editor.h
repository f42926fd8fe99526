// The Lens Editor: the modal dialog in which the user builds a lens. This is
// its editing model, free of any window system: the working copy of the lens,
// the three areas (element list, preview, element parameters), the commands
// of the dialog's controls and the notices that tie them together. A
// front-end (Win32, Qt, or a test's script) turns events into these calls.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "editor/element_list.h"
#include "editor/element_panel.h"
#include "editor/front_end.h"
#include "editor/lens_document.h"
#include "editor/preview.h"
#include "lens/lens.h"

namespace gw {

inline constexpr char kEditorTitle[] = "       Lens Editor";
inline constexpr int kEditorWidth = 550;
inline constexpr int kEditorHeight = 500;

// The file choosers' filters.
inline constexpr std::array<FileFilter, 2> kLoadFilters = {
    FileFilter{"lns Files (*.gwr)", "*.gwr"}, FileFilter{"AllFiles (*.*)", "*.*"}};
inline constexpr std::array<FileFilter, 2> kSaveFilters = {
    FileFilter{"gwr Files (*.gwr)", "*.gwr"}, FileFilter{"AllFiles (*.*)", "*.*"}};

// A dialog control the editor places and shows as it opens.
struct DialogControl {
  int id;
  const char* text;
  Rect place;  // width and height 0: the control keeps its size from the resource
};
// The dialog's own buttons, labels and frames, where the editor places them.
std::span<const DialogControl> DialogControls();

class LensEditor final : public DialogSink {
 public:
  // `screenTable` is the plug-in's (null: the preview builds its own).
  LensEditor(const Lens& lens, EditorFrontEnd& frontEnd, const uint8_t* screenTable);
  ~LensEditor();
  LensEditor(const LensEditor&) = delete;
  LensEditor& operator=(const LensEditor&) = delete;

  // Builds the dialog's areas in order. On a failure the error box shows
  // its code and the dialog ends at once with 0; the code is returned.
  int32_t Open();
  // Gives everything back, in the order the dialog's destruction does.
  void Close();

  // Command notices and private messages from the controls.
  void Command(int id, int32_t param = 0, float real = 0.0f) override;
  void Message(int message, int32_t wparam) override;
  // A request to close the window (Alt+F4, or from outside): asks whether to
  // keep the changes.
  void RequestClose();
  // The check box "Fast Drags" and the comparison button.
  void SetFastDrags(bool on) { fastDrags_ = on; }
  bool fastDrags() const { return fastDrags_; }
  void CompareButtonDrawn(bool pressed);

  bool ended() const { return ended_; }
  int32_t result() const { return result_; }
  // What opening the dialog came to; NoWindow until Open was called (the
  // window system made no dialog).
  EditorStatus openStatus() const { return openStatus_; }
  bool paletteMode() const { return paletteMode_; }
  const Lens& lens() const { return document_.lens(); }
  LensDocument& document() { return document_; }
  ElemList& list() { return list_; }
  PreviewPanel& preview() { return preview_; }
  ElementPanel& panel() { return panel_; }
  EditorFrontEnd& frontEnd() { return frontEnd_; }
  // Every slider of the dialog by its id (parameters and preview); null if none.
  WinSlider* SliderById(int id);
  Colorbox* ColorboxById(int id);

 private:
  void End(int32_t result);
  void LensChanged(bool heavy);
  void Load();
  void Save();

  EditorFrontEnd& frontEnd_;
  LensDocument document_;  // the working copy
  int32_t result_ = 0;
  bool ended_ = false;
  EditorStatus openStatus_ = EditorStatus::NoWindow;
  bool paletteMode_ = false;
  bool fastDrags_ = false;
  bool comparing_ = false;
  bool bitmapsLoaded_ = false;
  bool palette_ = false;
  bool sliderClass_ = false;
  bool colorboxClass_ = false;
  bool opened_ = false;
  ElemList list_;
  PreviewPanel preview_;
  ElementPanel panel_;
};

// How one run of the editor ended.
struct EditorRun {
  bool started = false;  // false: the editor's state could not be allocated (nothing shown)
  EditorStatus status = EditorStatus::Ok;  // why the dialog did not open; Ok when it did
  bool kept = false;                       // OK: the lens is the edited lens
};

// Runs the editor on its own copy of `lens` with `frontEnd`, the preview
// over `background` (a picture SetBackground takes; empty: black). On OK the
// edited lens is copied back; otherwise `lens` is as it was.
EditorRun RunLensEditor(Lens& lens, void* parent, EditorFrontEnd& frontEnd,
                        std::vector<uint8_t> background);
// The same over black. False, with nothing shown, when the editor's state
// cannot be allocated; true otherwise, whatever the user chose.
bool RunLensEditor(Lens& lens, void* parent, EditorFrontEnd& frontEnd);
// The same with the module's front-end and its current screen table.
bool RunLensEditor(Lens& lens, void* parent);

// "The following error has occured:\n%d\n", captioned "Fatal Error", with
// the stop icon.
void ShowErrorBox(EditorFrontEnd& frontEnd, int32_t code);
void ShowErrorBox(void* parent, int32_t code);

}  // namespace gw
