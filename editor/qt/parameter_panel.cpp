#include "editor/qt/parameter_panel.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "editor/qt/element_list_model.h"
#include "editor/slider.h"
#include "render/numeric.h"

namespace gw::qt {
namespace {

bool Whole(const PanelSlotInfo& info) { return Describe(info.field).kind == FieldKind::Whole; }
bool IsSlider(const PanelSlotInfo& info) { return static_cast<int>(info.slot) < kPanelSliderCount; }
bool IsColour(const PanelSlotInfo& info) { return Describe(info.field).kind == FieldKind::Colour; }

// A step of the arrows: about a hundredth of the range, in the slot's format.
double StepOf(const PanelSlotInfo& info) {
  if (Whole(info)) return 1.0;
  const double span = double{info.maximum} - double{info.minimum};
  return span <= 10.0 ? 0.01 : span <= 100.0 ? 0.1 : 1.0;
}

QString ObjectName(const PanelSlotInfo& info, const char* what) {
  return QString("%1.%2").arg(Describe(info.field).key, what);
}

}  // namespace

QString FormLabel(const char* label) { return QString::fromLatin1(label).trimmed(); }

QIcon ColourSwatch(Rgb c) {
  QPixmap pixmap(kSwatchSize);
  pixmap.fill(QColor(c.r, c.g, c.b));
  QPainter painter(&pixmap);
  painter.setPen(QColor(0, 0, 0, 120));
  painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
  return pixmap;
}

ParameterPanel::ParameterPanel(LensDocument& document, QWidget* parent)
    : QWidget(parent), document_(document) {
  auto* layout = new QVBoxLayout(this);
  heading_ = new QLabel(this);
  heading_->setObjectName("heading");
  heading_->setTextFormat(Qt::PlainText);
  QFont bold = heading_->font();
  bold.setBold(true);
  heading_->setFont(bold);
  layout->addWidget(heading_);
  fields_ = new QWidget(this);
  auto* grid = new QGridLayout(fields_);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setColumnStretch(1, 1);
  Build(grid);
  layout->addWidget(fields_);
  layout->addStretch(1);
  listener_ = document_.AddListener([this](const LensChange& change) { Changed(change); });
  Show();
}

ParameterPanel::~ParameterPanel() { document_.RemoveListener(listener_); }

void ParameterPanel::Build(QGridLayout* grid) {
  int line = 0;
  for (const PanelSlotInfo& info : PanelSlots()) {
    SlotRow& row = rows_[static_cast<size_t>(info.slot)];
    row.info = &info;
    if (Describe(info.field).kind == FieldKind::Byte) {
      row.check = new QCheckBox(fields_);
      row.check->setObjectName(ObjectName(info, "check"));
      connect(row.check, &QCheckBox::toggled, this,
              [this, &row](bool on) { SetNumber(row, on ? 1.0f : 0.0f); });
      grid->addWidget(row.check, line++, 1, 1, 2);
      continue;
    }
    row.label = new QLabel(fields_);
    grid->addWidget(row.label, line, 0);
    if (IsColour(info)) {
      row.colour = new QToolButton(fields_);
      row.colour->setObjectName(ObjectName(info, "button"));
      row.colour->setIconSize(kSwatchSize);
      row.label->setBuddy(row.colour);
      connect(row.colour, &QToolButton::clicked, this, [this, &row] { ChooseColour(row); });
      grid->addWidget(row.colour, line++, 1, Qt::AlignLeft);
      continue;
    }
    row.slider = new QSlider(Qt::Horizontal, fields_);
    row.slider->setObjectName(ObjectName(info, "slider"));
    row.slider->setRange(0, kTrackSteps);
    row.slider->setPageStep(kTrackSteps / 10);
    row.slider->setMinimumWidth(120);
    // One drag is one step of undo.
    connect(row.slider, &QSlider::sliderPressed, this, [this] {
      document_.BeginGesture();
      if (sliderHeld) sliderHeld(true);
    });
    connect(row.slider, &QSlider::sliderReleased, this, [this] {
      document_.EndGesture();
      if (sliderHeld) sliderHeld(false);
    });
    connect(row.slider, &QSlider::valueChanged, this, [this, &row](int position) {
      const float t = static_cast<float>(position) / static_cast<float>(kTrackSteps);
      SetNumber(row, ValueOnTrack(row.info->scale, t, row.info->minimum, row.info->maximum));
    });
    if (Whole(info)) {
      auto* number = new QSpinBox(fields_);
      number->setRange(TruncToInt(info.minimum), TruncToInt(info.maximum));
      connect(number, &QSpinBox::valueChanged, this,
              [this, &row](int v) { SetNumber(row, static_cast<float>(v)); });
      row.number = number;
    } else {
      auto* number = new QDoubleSpinBox(fields_);
      number->setDecimals(2);
      number->setRange(info.minimum, info.maximum);
      number->setSingleStep(StepOf(info));
      connect(number, &QDoubleSpinBox::valueChanged, this,
              [this, &row](double v) { SetNumber(row, static_cast<float>(v)); });
      row.number = number;
    }
    // Typed numbers count when Enter is pressed or the field is left.
    row.number->setKeyboardTracking(false);
    row.number->setObjectName(ObjectName(info, "value"));
    row.number->setAlignment(Qt::AlignRight);
    row.number->setMinimumWidth(row.number->fontMetrics().horizontalAdvance("-0000.00") + 30);
    row.label->setBuddy(row.number);
    grid->addWidget(row.slider, line, 1);
    grid->addWidget(row.number, line++, 2);
  }
}

void ParameterPanel::Changed(const LensChange& change) {
  switch (change.kind) {
    case LensChangeKind::Field:
      if (change.index != document_.selection()) return;
      for (const SlotRow& row : rows_) {
        if (row.info->field == change.field) ShowValue(row);
      }
      break;
    case LensChangeKind::Name:
      if (change.index == document_.selection()) Show();
      break;
    case LensChangeKind::Enabled:
      break;
    case LensChangeKind::Selection:
    case LensChangeKind::Elements:
    case LensChangeKind::Whole:
      Show();
      break;
  }
}

void ParameterPanel::Show() {
  const LensElement* e = document_.element(document_.selection());
  const ElementTypeInfo* type = e ? FindElementType(e->type) : nullptr;
  fields_->setVisible(type != nullptr);
  if (!e) {
    heading_->setText("Select an element to see its parameters.");
    return;
  }
  if (!type) {
    heading_->setText(
        QString("%1: type %2 draws nothing and has no parameters").arg(NameOf(*e)).arg(e->type));
    return;
  }
  const QString typeName = QString::fromLatin1(type->listName);
  heading_->setText(NameOf(*e) == typeName ? typeName
                                           : QString("%1 \u2014 %2").arg(NameOf(*e), typeName));
  for (const SlotRow& row : rows_) {
    const char* label = type->labels[static_cast<size_t>(row.info->slot)];
    for (QWidget* w : std::initializer_list<QWidget*>{row.label, row.slider, row.number, row.colour,
                                                      row.check}) {
      if (w) w->setVisible(label != nullptr);
    }
    if (!label) continue;
    if (row.label) row.label->setText(FormLabel(label));
    if (row.check) row.check->setText(FormLabel(label));
    ShowValue(row);
  }
}

void ParameterPanel::ShowValue(const SlotRow& row) {
  const LensElement* e = document_.element(document_.selection());
  if (!e) return;
  const PanelSlotInfo& info = *row.info;
  showing_ = true;
  if (row.check) row.check->setChecked(ReadByte(*e, info.field) != 0);
  if (row.colour) row.colour->setIcon(ColourSwatch(ReadColour(*e, info.field)));
  if (IsSlider(info)) {
    // A value outside the range is shown at its end and kept until edited.
    const auto value = static_cast<float>(ReadNumber(*e, info.field));
    const float t = NormaliseOnTrack(info.scale, value, info.minimum, info.maximum);
    const int position = std::clamp(TruncToInt(t * kTrackSteps + 0.5f), 0, kTrackSteps);
    // The slider being dragged is where the pointer put it.
    if (!row.slider->isSliderDown()) row.slider->setValue(position);
    if (auto* whole = qobject_cast<QSpinBox*>(row.number)) whole->setValue(TruncToInt(value));
    if (auto* real = qobject_cast<QDoubleSpinBox*>(row.number)) real->setValue(value);
  }
  showing_ = false;
}

void ParameterPanel::SetNumber(const SlotRow& row, float value) {
  if (showing_) return;
  document_.SetNumber(document_.selection(), row.info->field, value);
}

void ParameterPanel::ChooseColour(const SlotRow& row) {
  const LensElement* e = document_.element(document_.selection());
  if (!e) return;
  const Rgb now = ReadColour(*e, row.info->field);
  const QColor chosen =
      QColorDialog::getColor(QColor(now.r, now.g, now.b), this, row.label->text());
  if (!chosen.isValid()) return;
  document_.SetColour(document_.selection(), row.info->field,
                      {static_cast<uint8_t>(chosen.red()), static_cast<uint8_t>(chosen.green()),
                       static_cast<uint8_t>(chosen.blue())});
}

}  // namespace gw::qt
