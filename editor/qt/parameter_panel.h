// The selected element's parameters: for each slot its type uses, a
// labelled slider with an editable number beside it (the slot's range and
// format), a colour button opening the platform's colour chooser, or a
// check box. Labels, ranges and formats come from the one table in lens/.
#pragma once

#include <QIcon>
#include <QWidget>
#include <array>
#include <functional>

#include "editor/lens_document.h"
#include "lens/element_types.h"

class QAbstractSpinBox;
class QCheckBox;
class QGridLayout;
class QLabel;
class QSlider;
class QToolButton;

namespace gw::qt {

class ParameterPanel final : public QWidget {
 public:
  // Positions along a slider's track.
  static constexpr int kTrackSteps = 1000;

  ParameterPanel(LensDocument& document, QWidget* parent);
  ~ParameterPanel() override;

  // The editors of a slot (null for a slot without that kind of editor).
  QSlider* slider(PanelSlot slot) const { return Row(slot).slider; }
  QAbstractSpinBox* number(PanelSlot slot) const { return Row(slot).number; }
  QToolButton* colourButton(PanelSlot slot) const { return Row(slot).colour; }
  QCheckBox* checkBox(PanelSlot slot) const { return Row(slot).check; }
  QLabel* label(PanelSlot slot) const { return Row(slot).label; }
  QLabel* heading() const { return heading_; }

  // Told when a slider is pressed (true) and released (false).
  std::function<void(bool held)> sliderHeld;

 private:
  struct SlotRow {
    const PanelSlotInfo* info = nullptr;
    QLabel* label = nullptr;
    QSlider* slider = nullptr;
    QAbstractSpinBox* number = nullptr;
    QToolButton* colour = nullptr;
    QCheckBox* check = nullptr;
  };

  const SlotRow& Row(PanelSlot slot) const { return rows_[static_cast<size_t>(slot)]; }
  void Build(QGridLayout* grid);
  void Changed(const LensChange& change);
  void Show();                         // the selected element, or nothing
  void ShowValue(const SlotRow& row);  // one slot from its field
  void SetNumber(const SlotRow& row, float value);
  void ChooseColour(const SlotRow& row);

  LensDocument& document_;
  int listener_ = 0;
  bool showing_ = false;  // widgets being set from the lens: no edits
  QLabel* heading_ = nullptr;
  QWidget* fields_ = nullptr;
  std::array<SlotRow, kPanelSlotCount> rows_{};
};

// A table label as a form shows it: "Ring Brightness: " becomes
// "Ring Brightness:".
QString FormLabel(const char* label);

// How the editor shows a colour on a button: a swatch with a thin edge.
inline const QSize kSwatchSize{36, 18};
QIcon ColourSwatch(Rgb c);

}  // namespace gw::qt
