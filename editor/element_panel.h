// The lower area of the editor: ten labelled sliders, two colour boxes and
// two check boxes, each bound to one field of the selected element; the
// element's type decides which are in use and what their labels say.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "editor/colour_box.h"
#include "editor/front_end.h"
#include "editor/lens_document.h"
#include "editor/slider.h"
#include "lens/element_types.h"
#include "lens/lens.h"

namespace gw {

inline constexpr Rect kParameterFrame = Rect::At(16, 326, 520, 144);
inline constexpr int kSlotWidth = 200;
inline constexpr int kSlotHeight = 22;

// Where the panel's two check boxes sit in the dialog.
inline constexpr Point kAnamorphicPlace{438, 422};
inline constexpr Point kOptionPlace{438, 442};

// A check box of the panel: its label, whether it is checked and shown.
struct PanelCheckBox {
  int id;
  Point place;
  std::string label;
  bool checked = false;
  bool shown = false;
};

class ElementPanel {
 public:
  ElementPanel(LensDocument& document, DialogSink& dialog, EditorFrontEnd& frontEnd);
  ~ElementPanel();

  // Builds the sliders and colour boxes; Ok or NoWindow.
  EditorStatus Create();
  void Destroy();

  // Rebuilds the panel for element `index`, or for none (-1).
  void Show(int index);

  // Edits of element `index` (the list's selection; -1 changes nothing).
  // Each returns true when it changed the element.
  bool SetParameter(int index, int sliderId, float value);  // 108..117
  bool SetColour(int index, int boxId, uint32_t colour);    // 127, 128
  bool SetFlag(int index, int checkBoxId, bool on);         // 1007, 1039

  WinSlider& slider(PanelSlot slot) { return *sliders_[static_cast<size_t>(slot)]; }
  const WinSlider& slider(PanelSlot slot) const { return *sliders_[static_cast<size_t>(slot)]; }
  // The slider with control id `id`; null for any other id.
  WinSlider* SliderById(int id);
  Colorbox& colourBox(int which) { return which == 1 ? colour1_ : colour2_; }
  const PanelCheckBox& checkBox(int which) const { return which == 1 ? anamorphic_ : option_; }
  int shownIndex() const { return shown_; }

 private:
  const PanelSlotInfo* UsedSlot(int index, int controlId) const;
  void ShowNothing();

  LensDocument& document_;
  EditorFrontEnd& frontEnd_;
  std::array<std::unique_ptr<WinSlider>, kPanelSliderCount> sliders_;
  Colorbox colour1_;
  Colorbox colour2_;
  PanelCheckBox anamorphic_;
  PanelCheckBox option_;
  int shown_ = -1;
  int created_ = 0;  // sliders whose window exists
  int coloursCreated_ = 0;
};

}  // namespace gw
