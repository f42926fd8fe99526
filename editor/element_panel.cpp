#include "editor/element_panel.h"

#include "lens/control_ids.h"

namespace gw {
namespace {

// Slots 0-4 in the left column, 5-9 in the right, 25 pixels apart.
Rect SlotPlace(int slot) {
  const int column = slot / 5;
  const int row = slot % 5;
  return Rect::At(column == 0 ? 21 : 226, 342 + 25 * row, kSlotWidth, kSlotHeight);
}

std::unique_ptr<WinSlider> MakeSlider(const PanelSlotInfo& info, DialogSink& dialog,
                                      EditorFrontEnd& frontEnd) {
  const bool whole = Describe(info.field).kind == FieldKind::Whole;
  const Rect place = SlotPlace(static_cast<int>(info.slot));
  std::unique_ptr<WinSlider> slider;
  if (info.scale == SliderScale::Square) {
    if (whole) {
      slider = std::make_unique<SquareWholeSlider>(dialog, frontEnd, info.controlId, place);
    } else {
      slider = std::make_unique<SquareSlider>(dialog, frontEnd, info.controlId, place);
    }
  } else if (whole) {
    slider = std::make_unique<LabelledWholeSlider>(dialog, frontEnd, info.controlId, place);
  } else {
    slider = std::make_unique<LabelledSlider>(dialog, frontEnd, info.controlId, place);
  }
  slider->SetRange(info.minimum, info.maximum);
  return slider;
}

const PanelSlotInfo* SlotByControl(int id) {
  for (const PanelSlotInfo& slot : PanelSlots()) {
    if (slot.controlId == id) return &slot;
  }
  return nullptr;
}

}  // namespace

ElementPanel::ElementPanel(LensDocument& document, DialogSink& dialog, EditorFrontEnd& frontEnd)
    : document_(document),
      frontEnd_(frontEnd),
      colour1_(dialog, frontEnd, ids::kColour1, {450, 346}, kWhite),
      colour2_(dialog, frontEnd, ids::kColour2, {450, 380}, kWhite),
      anamorphic_{ids::kAnamorphic, kAnamorphicPlace, "Anamorphic"},
      option_{ids::kOption, kOptionPlace, "Ring"} {
  for (int i = 0; i < kPanelSliderCount; ++i) {
    sliders_[static_cast<size_t>(i)] = MakeSlider(PanelSlots()[static_cast<size_t>(i)], dialog,
                                                  frontEnd);
  }
  colour1_.SetLabel("Color1:");
  colour2_.SetLabel("Color2:");
}

ElementPanel::~ElementPanel() = default;

EditorStatus ElementPanel::Create() {
  for (auto& slider : sliders_) {
    if (!frontEnd_.Acquire(EditorResource::SliderWindow, slider->id(), slider.get())) {
      return EditorStatus::NoWindow;
    }
    ++created_;
  }
  for (Colorbox* box : {&colour1_, &colour2_}) {
    if (!frontEnd_.Acquire(EditorResource::ColorboxWindow, box->id(), box)) {
      return EditorStatus::NoWindow;
    }
    ++coloursCreated_;
  }
  return EditorStatus::Ok;
}

void ElementPanel::Destroy() {
  for (int i = 0; i < created_; ++i) {
    frontEnd_.Release(EditorResource::SliderWindow, sliders_[static_cast<size_t>(i)]->id());
  }
  if (coloursCreated_ > 0) frontEnd_.Release(EditorResource::ColorboxWindow, colour1_.id());
  if (coloursCreated_ > 1) frontEnd_.Release(EditorResource::ColorboxWindow, colour2_.id());
  created_ = 0;
  coloursCreated_ = 0;
}

WinSlider* ElementPanel::SliderById(int id) {
  for (auto& slider : sliders_) {
    if (slider->id() == id) return slider.get();
  }
  return nullptr;
}

void ElementPanel::ShowNothing() {
  for (auto& slider : sliders_) slider->SetEnabled(false);
  colour1_.SetEnabled(false);
  colour2_.SetEnabled(false);
  anamorphic_.shown = false;
  option_.shown = false;
}

void ElementPanel::Show(int index) {
  shown_ = index;
  const LensElement* e = document_.element(index);
  const ElementTypeInfo* info = e ? FindElementType(e->type) : nullptr;
  if (!info) {
    ShowNothing();
  } else {
    for (const PanelSlotInfo& slot : PanelSlots()) {
      const char* label = info->labels[static_cast<size_t>(slot.slot)];
      if (static_cast<int>(slot.slot) < kPanelSliderCount) {
        WinSlider& s = slider(slot.slot);
        if (label) {
          s.SetLabel(label);
          // Shown clamped to the slider's range; the field keeps its value.
          s.SetValue(static_cast<float>(ReadNumber(*e, slot.field)));
        }
        s.SetEnabled(label != nullptr);
      } else if (slot.slot == PanelSlot::Color1 || slot.slot == PanelSlot::Color2) {
        Colorbox& box = slot.slot == PanelSlot::Color1 ? colour1_ : colour2_;
        if (label) {
          box.SetLabel(label);
          box.SetColour(PackColour(ReadColour(*e, slot.field)));
        }
        box.SetEnabled(label != nullptr);
      } else {
        PanelCheckBox& box = slot.slot == PanelSlot::Anamorphic ? anamorphic_ : option_;
        if (label) {
          box.label = label;
          box.checked = ReadByte(*e, slot.field) != 0;
        }
        box.shown = label != nullptr;
      }
    }
  }
  for (auto& s : sliders_) frontEnd_.Redraw(EditorArea::Slider, s->id());
  frontEnd_.Redraw(EditorArea::Colorbox, colour1_.id());
  frontEnd_.Redraw(EditorArea::Colorbox, colour2_.id());
  frontEnd_.Redraw(EditorArea::CheckBoxes);
}

// The element's slot, when its type uses it: a disabled or hidden control
// edits nothing.
const PanelSlotInfo* ElementPanel::UsedSlot(int index, int controlId) const {
  const LensElement* e = document_.element(index);
  const PanelSlotInfo* slot = SlotByControl(controlId);
  const ElementTypeInfo* info = e ? FindElementType(e->type) : nullptr;
  if (!slot || !info || !info->labels[static_cast<size_t>(slot->slot)]) return nullptr;
  return slot;
}

bool ElementPanel::SetParameter(int index, int sliderId, float value) {
  const PanelSlotInfo* slot = UsedSlot(index, sliderId);
  if (!slot || static_cast<int>(slot->slot) >= kPanelSliderCount) return false;
  document_.SetNumber(index, slot->field, value);
  return true;
}

bool ElementPanel::SetColour(int index, int boxId, uint32_t colour) {
  const PanelSlotInfo* slot = UsedSlot(index, boxId);
  if (!slot || Describe(slot->field).kind != FieldKind::Colour) return false;
  document_.SetColour(index, slot->field, UnpackColour(colour));
  return true;
}

bool ElementPanel::SetFlag(int index, int checkBoxId, bool on) {
  const PanelSlotInfo* slot = UsedSlot(index, checkBoxId);
  if (!slot || Describe(slot->field).kind != FieldKind::Byte) return false;
  (slot->slot == PanelSlot::Anamorphic ? anamorphic_ : option_).checked = on;
  document_.SetNumber(index, slot->field, on ? 1.0f : 0.0f);
  return true;
}

}  // namespace gw
