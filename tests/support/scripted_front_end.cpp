#include "tests/support/scripted_front_end.h"

#include <memory>

namespace gw {
namespace testing {
namespace {

std::unique_ptr<ScriptedFrontEnd>& Instance() {
  static std::unique_ptr<ScriptedFrontEnd> frontEnd = std::make_unique<ScriptedFrontEnd>();
  return frontEnd;
}

template <typename T>
std::optional<T> Take(std::deque<std::optional<T>>& queue) {
  if (queue.empty()) return std::nullopt;
  std::optional<T> v = queue.front();
  queue.pop_front();
  return v;
}

}  // namespace

// "+slider 108", "-palette", "failed list window 119".
std::string Entry(const char* what, EditorResource resource, int id) {
  std::string entry(what);
  entry.append(ResourceName(resource));
  if (id) entry.append(" ").append(std::to_string(id));
  return entry;
}

std::string ResourceName(EditorResource resource) {
  switch (resource) {
    case EditorResource::Palette: return "palette";
    case EditorResource::SliderClass: return "WinSlider class";
    case EditorResource::ColorboxClass: return "Colorbox class";
    case EditorResource::ElemListClass: return "ElemList class";
    case EditorResource::PreviewClass: return "PreviewWnd class";
    case EditorResource::ElemListWindow: return "list window";
    case EditorResource::PreviewWindow: return "preview window";
    case EditorResource::SliderWindow: return "slider";
    case EditorResource::ColorboxWindow: return "colour box";
    case EditorResource::ButtonBitmaps: return "bitmaps";
  }
  return "?";
}

ScriptedFrontEnd& TestFrontEnd() { return *Instance(); }
void ResetTestFrontEnd() { Instance() = std::make_unique<ScriptedFrontEnd>(); }

int32_t ScriptedFrontEnd::RunDialog(LensEditor& editor, void*) {
  ++dialogsRun;
  if (editor.Open() == 0 && script && !editor.ended()) script(editor);
  editor.Close();
  return editor.result();
}

bool ScriptedFrontEnd::Acquire(EditorResource resource, int id, void*) {
  const int n = ++acquired_[static_cast<int>(resource)];
  const bool fail = failAt != 0 && resource == failResource && n == failAt;
  log.push_back(Entry(fail ? "failed " : "+", resource, id));
  return !fail;
}

void ScriptedFrontEnd::Release(EditorResource resource, int id) {
  log.push_back(Entry("-", resource, id));
}

MessageAnswer ScriptedFrontEnd::ShowMessage(const MessageBoxRequest& request) {
  messages.push_back(request);
  MessageAnswer answer = request.buttons == MessageButtons::YesNo ? MessageAnswer::No
                                                                  : MessageAnswer::Ok;
  if (request.buttons == MessageButtons::YesNo && !answers.empty()) {
    answer = answers.front();
    answers.pop_front();
  }
  return answer;
}

std::optional<std::string> ScriptedFrontEnd::ChooseFileToOpen(std::span<const FileFilter>) {
  return Take(openPaths);
}

std::optional<std::string> ScriptedFrontEnd::ChooseFileToSave(std::span<const FileFilter>) {
  return Take(savePaths);
}

std::optional<uint32_t> ScriptedFrontEnd::ChooseColour(uint32_t initial,
                                                       std::array<uint32_t, 16>& custom) {
  coloursOffered.push_back(initial);
  customColoursSeen.push_back(custom);
  if (defineCustomColour) custom[defineCustomColour->first] = defineCustomColour->second;
  defineCustomColour.reset();
  return Take(colours);
}

std::optional<std::string> ScriptedFrontEnd::EditName(std::string_view current) {
  namesOffered.emplace_back(current);
  return Take(names);
}

std::optional<std::string> ScriptedFrontEnd::EditSliderValue(const SliderControlTexts& texts) {
  sliderWindows.push_back(texts);
  return Take(sliderTexts);
}

void ScriptedFrontEnd::RunAddElementWindow(AddElementWindow& window) {
  if (addWindowScript) addWindowScript(window);
}

}  // namespace testing

EditorFrontEnd& ModuleFrontEnd() { return testing::TestFrontEnd(); }

}  // namespace gw
