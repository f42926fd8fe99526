// A front-end for the editor that a test scripts: what the person answers,
// chooses and holds is queued in advance, and what the editor asked for is
// recorded. Linked into the test programs as the module's front-end.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editor/front_end.h"
#include "editor/lens_editor.h"

namespace gw::testing {

class ScriptedFrontEnd : public EditorFrontEnd {
 public:
  // What the person does while the dialog runs (after it opened).
  std::function<void(LensEditor&)> script;
  // What the add-element window's user does.
  std::function<void(AddElementWindow&)> addWindowScript;
  // Answers, taken in order; when a queue is empty: Cancel, No, nothing.
  std::deque<MessageAnswer> answers;
  std::deque<std::optional<std::string>> openPaths;
  std::deque<std::optional<std::string>> savePaths;
  std::deque<std::optional<uint32_t>> colours;
  std::deque<std::optional<std::string>> names;
  std::deque<std::optional<std::string>> sliderTexts;
  // A custom colour the chooser defines (slot, colour) before it answers.
  std::optional<std::pair<int, uint32_t>> defineCustomColour;
  ClipboardContents clipboard;
  bool altHeld = false;
  bool palette = false;
  // Fails the n-th (1-based) acquisition of a resource; 0: never.
  EditorResource failResource = EditorResource::Palette;
  int failAt = 0;

  // What the editor did.
  std::vector<MessageBoxRequest> messages;
  std::vector<BeepKind> beeps;
  std::vector<std::string> log;  // acquisitions and releases, in order
  std::vector<SliderControlTexts> sliderWindows;
  std::vector<std::string> namesOffered;
  std::vector<uint32_t> coloursOffered;
  std::vector<std::array<uint32_t, 16>> customColoursSeen;
  int waitCursorOn = 0;
  int waitCursorOff = 0;
  int redraws = 0;
  int dialogsRun = 0;

  int32_t RunDialog(LensEditor& editor, void* parent) override;
  bool Acquire(EditorResource resource, int id, void* model) override;
  void Release(EditorResource resource, int id) override;
  bool ScreenHasPalette() override { return palette; }
  MessageAnswer ShowMessage(const MessageBoxRequest& request) override;
  void Beep(BeepKind kind) override { beeps.push_back(kind); }
  void Redraw(EditorArea, int) override { ++redraws; }
  void SetWaitCursor(bool on) override { ++(on ? waitCursorOn : waitCursorOff); }
  bool AltHeld() override { return altHeld; }
  std::optional<std::string> ChooseFileToOpen(std::span<const FileFilter> filters) override;
  std::optional<std::string> ChooseFileToSave(std::span<const FileFilter> filters) override;
  std::optional<uint32_t> ChooseColour(uint32_t initial,
                                       std::array<uint32_t, 16>& custom) override;
  std::optional<std::string> EditName(std::string_view current) override;
  std::optional<std::string> EditSliderValue(const SliderControlTexts& texts) override;
  void RunAddElementWindow(AddElementWindow& window) override;
  ClipboardContents ReadClipboard() override { return clipboard; }

 private:
  int acquired_[16] = {};
};

// The front-end that ModuleFrontEnd() hands out in the test programs; each
// test resets it.
ScriptedFrontEnd& TestFrontEnd();
void ResetTestFrontEnd();

std::string ResourceName(EditorResource resource);
std::string Entry(const char* what, EditorResource resource, int id);

}  // namespace gw::testing
