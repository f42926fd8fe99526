#include "editor/lens_editor.h"

#include <cstdio>
#include <new>
#include <string>
#include <utility>

#include "lens/control_ids.h"
#include "lensfile/lensfile.h"

namespace gw {
namespace {

constexpr DialogControl kControls[] = {
    {ids::kOk, "OK", Rect::At(461, 12, 75, 21)},
    {ids::kCancel, "Cancel", Rect::At(376, 12, 75, 21)},
    {ids::kLoad, "Load...", Rect::At(376, 37, 75, 21)},
    {ids::kSave, "Save...", Rect::At(461, 37, 75, 21)},
    {ids::kElementsLabel, "Elements:",
     Rect::At(kElementsLabelPlace.x, kElementsLabelPlace.y, 0, 0)},
    {ids::kAddIcon, "", Rect::At(kAddIconPlace.x, kAddIconPlace.y, 32, 24)},
    {ids::kDeleteIcon, "", Rect::At(kDeleteIconPlace.x, kDeleteIconPlace.y, 32, 24)},
    {ids::kPreviewGroup, "Preview:", Rect::At(16, 4, 349, 322)},
    {ids::kReset, "Reset", Rect::At(175, 282, 53, 21)},
    {ids::kFastDrags, "Fast Drags", Rect::At(255, 305, 0, 0)},
    {ids::kCompare, "", Rect::At(319, 275, 28, 26)},
    {ids::kParameterGroup, "Element Parameters:", kParameterFrame},
    {ids::kAnamorphic, "Anamorphic", Rect::At(kAnamorphicPlace.x, kAnamorphicPlace.y, 0, 0)},
    {ids::kOption, "Ring", Rect::At(kOptionPlace.x, kOptionPlace.y, 0, 0)},
};

bool IsFastDragControl(int id) {
  return id == ids::kLightY || id == ids::kLightX || id == ids::kPreviewWnd;
}

}  // namespace

std::span<const DialogControl> DialogControls() { return kControls; }

LensEditor::LensEditor(const Lens& lens, EditorFrontEnd& frontEnd, const uint8_t* screenTable)
    : frontEnd_(frontEnd),
      document_(lens),
      list_(document_, *this, frontEnd),
      preview_(document_.lens(), *this, frontEnd, screenTable),
      panel_(document_, *this, frontEnd) {}

LensEditor::~LensEditor() { Close(); }

int32_t LensEditor::Open() {
  opened_ = true;
  EditorStatus status = EditorStatus::Ok;
  paletteMode_ = frontEnd_.ScreenHasPalette();
  palette_ = paletteMode_ && frontEnd_.Acquire(EditorResource::Palette, 0, this);
  if (paletteMode_ && !palette_) status = EditorStatus::NoMemory;
  if (status == EditorStatus::Ok) {
    sliderClass_ = frontEnd_.Acquire(EditorResource::SliderClass, 0, this);
    colorboxClass_ = sliderClass_ && frontEnd_.Acquire(EditorResource::ColorboxClass, 0, this);
    if (!colorboxClass_) status = EditorStatus::NoWindow;
  }
  if (status == EditorStatus::Ok) status = list_.Create();
  if (status == EditorStatus::Ok) status = preview_.Create(paletteMode_);
  if (status == EditorStatus::Ok) status = panel_.Create();
  if (status == EditorStatus::Ok) {
    panel_.Show(-1);
    bitmapsLoaded_ = frontEnd_.Acquire(EditorResource::ButtonBitmaps, ids::kCompare, this);
    if (!bitmapsLoaded_) status = EditorStatus::NoBitmap;
  }
  openStatus_ = status;
  if (status != EditorStatus::Ok) {
    ShowErrorBox(frontEnd_, static_cast<int32_t>(status));
    End(0);
  }
  return static_cast<int32_t>(status);
}

void LensEditor::Close() {
  if (!opened_) return;
  opened_ = false;
  if (palette_) frontEnd_.Release(EditorResource::Palette, 0);
  palette_ = false;
  if (bitmapsLoaded_) frontEnd_.Release(EditorResource::ButtonBitmaps, ids::kCompare);
  bitmapsLoaded_ = false;
  panel_.Destroy();
  preview_.Destroy();
  list_.Destroy();
  if (colorboxClass_) frontEnd_.Release(EditorResource::ColorboxClass, 0);
  if (sliderClass_) frontEnd_.Release(EditorResource::SliderClass, 0);
  colorboxClass_ = sliderClass_ = false;
}

void LensEditor::End(int32_t result) {
  result_ = result;
  ended_ = true;
}

void LensEditor::LensChanged(bool heavy) { preview_.Render(heavy); }

void LensEditor::Command(int id, int32_t param, float real) {
  if (ended_) return;
  const int selection = list_.selection();
  switch (id) {
    case ids::kOk: End(1); break;
    case ids::kCancel: End(0); break;
    case ids::kElemList: LensChanged(param != 0); break;
    case ids::kLightY:
    case ids::kLightX: preview_.SetLightFromSlider(id, param); break;
    case ids::kLightFromImage: preview_.SetLightFromImage(param); break;
    case ids::kPreviewColour: preview_.SetColour(static_cast<uint32_t>(param)); break;
    case ids::kPreviewBrightness: preview_.SetBrightness(real); break;
    case ids::kPreviewScale: preview_.SetScale(real); break;
    case ids::kColour1:
    case ids::kColour2:
      if (panel_.SetColour(selection, id, static_cast<uint32_t>(param))) LensChanged(true);
      break;
    case ids::kAnamorphic:
    case ids::kOption:
      if (panel_.SetFlag(selection, id, param != 0)) LensChanged(true);
      break;
    case ids::kReset: preview_.Reset(); break;
    case ids::kLoad: Load(); break;
    case ids::kSave: Save(); break;
    case ids::kAddIcon: list_.OpenAddWindow(); break;
    case ids::kDeleteIcon: list_.DeleteSelected(); break;
    default:
      if (id >= ids::kFirstParameterSlider && id <= ids::kLastParameterSlider) {
        if (panel_.SetParameter(selection, id, real)) LensChanged(false);
      }
      break;  // every other command, Escape's among them, is ignored
  }
}

void LensEditor::Message(int message, int32_t wparam) {
  if (ended_) return;
  switch (message) {
    case ids::kElementSelected: panel_.Show(wparam); break;
    case ids::kDragBegins:
      if (fastDrags_ && IsFastDragControl(wparam)) preview_.FastDragBegin();
      break;
    case ids::kDragEnds:
      // Whatever "Fast Drags" says now: a drag that began at half size ends
      // at full size.
      if (IsFastDragControl(wparam)) preview_.FastDragEnd();
      break;
    default: break;
  }
}

void LensEditor::RequestClose() {
  if (ended_) return;
  const MessageAnswer answer = frontEnd_.ShowMessage(
      {"Save Changes to Lens Editor?", "", MessageIcon::None, MessageButtons::YesNo});
  End(answer == MessageAnswer::Yes ? 1 : 0);
}

void LensEditor::CompareButtonDrawn(bool pressed) {
  if (pressed && !comparing_) {
    comparing_ = true;
    preview_.ShowClipboard();
  } else if (!pressed && comparing_) {
    comparing_ = false;
    preview_.HideClipboard();
  }
}

WinSlider* LensEditor::SliderById(int id) {
  if (WinSlider* s = panel_.SliderById(id)) return s;
  return preview_.SliderById(id);
}

Colorbox* LensEditor::ColorboxById(int id) {
  if (id == ids::kColour1) return &panel_.colourBox(1);
  if (id == ids::kColour2) return &panel_.colourBox(2);
  if (id == ids::kPreviewColour) return &preview_.colourBox();
  return nullptr;
}

void LensEditor::Load() {
  const bool append = frontEnd_.AltHeld();  // as the command arrives
  const auto path = frontEnd_.ChooseFileToOpen(kLoadFilters);
  if (!path) return;
  const int32_t status = document_.Load(*path, append);
  if (status < 0) {
    ShowErrorBox(frontEnd_, status);  // the lens keeps what it held
    return;
  }
  list_.ResetAfterLoad();
}

void LensEditor::Save() {
  const auto path = frontEnd_.ChooseFileToSave(kSaveFilters);
  if (!path) return;
  const int32_t status = SaveLensFile(path->c_str(), document_.lens());
  if (status < 0) ShowErrorBox(frontEnd_, status);
}

EditorRun RunLensEditor(Lens& lens, void* parent, EditorFrontEnd& frontEnd,
                        std::vector<uint8_t> background) {
  std::unique_ptr<LensEditor> editor;
  try {
    editor = std::make_unique<LensEditor>(lens, frontEnd, CurrentScreenTable());
  } catch (const std::bad_alloc&) {
    return {};  // nothing shown
  }
  editor->preview().SetBackground(std::move(background));  // drawn once the preview is built
  frontEnd.RunDialog(*editor, parent);
  editor->Close();
  EditorRun run{true, editor->openStatus(), false};
  run.kept = run.status == EditorStatus::Ok && editor->ended() && editor->result() == 1;
  if (run.kept) lens = editor->lens();
  return run;
}

bool RunLensEditor(Lens& lens, void* parent, EditorFrontEnd& frontEnd) {
  return RunLensEditor(lens, parent, frontEnd, {}).started;
}

bool RunLensEditor(Lens& lens, void* parent) { return RunLensEditor(lens, parent, ModuleFrontEnd()); }

void ShowErrorBox(EditorFrontEnd& frontEnd, int32_t code) {
  frontEnd.ShowMessage({"The following error has occured:\n" + std::to_string(code) + "\n",
                        "Fatal Error", MessageIcon::Stop, MessageButtons::Ok});
}

void ShowErrorBox(void*, int32_t code) { ShowErrorBox(ModuleFrontEnd(), code); }

}  // namespace gw
