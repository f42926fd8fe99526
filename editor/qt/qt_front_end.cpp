#include "editor/qt/qt_front_end.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstring>

#include "editor/control_ids.h"
#include "editor/dib.h"
#include "editor/qt/editor_window.h"
#include "editor/qt/widgets.h"

namespace gw::qt {
namespace {

QString Latin1(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToLatin1(const QString& text) { return text.toLatin1().toStdString(); }

QString Filters(std::span<const FileFilter> filters) {
  QStringList list;
  for (const FileFilter& f : filters) list << QString::fromLatin1(f.description);
  return list.join(";;");
}

// "Edit Element Name": one line of at most 62 characters.
std::optional<std::string> AskName(QWidget* parent, std::string_view current) {
  QDialog dialog(parent);
  dialog.setObjectName("nameWindow");
  dialog.setWindowTitle("Edit Element Name");
  auto* edit = new QLineEdit(Latin1(current), &dialog);
  edit->setObjectName("control" + QString::number(ids::kNameEdit));
  edit->setMaxLength(kMaxNameLength);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(edit);
  layout->addWidget(buttons);
  edit->selectAll();
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return ToLatin1(edit->text());
}

// "Slider Control": the label, the range and the value to type.
std::optional<std::string> AskValue(QWidget* parent, const SliderControlTexts& texts) {
  QDialog dialog(parent);
  dialog.setObjectName("sliderControl");
  dialog.setWindowTitle("Slider Control");
  auto* grid = new QGridLayout(&dialog);
  grid->addWidget(new QLabel(Latin1(texts.title)), 0, 0, 1, 4);
  grid->addWidget(new QLabel("Minimum value:"), 1, 0);
  grid->addWidget(new QLabel(Latin1(texts.minimum)), 1, 1);
  grid->addWidget(new QLabel("Maximum value:"), 1, 2);
  grid->addWidget(new QLabel(Latin1(texts.maximum)), 1, 3);
  grid->addWidget(new QLabel("Value:"), 2, 0);
  auto* edit = new QLineEdit(Latin1(texts.value));
  edit->setObjectName("control" + QString::number(ids::kSliderControlValue));
  grid->addWidget(edit, 2, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  grid->addWidget(buttons, 3, 0, 1, 4);
  edit->selectAll();
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return ToLatin1(edit->text().left(kSliderTextMax));
}

}  // namespace

QtFrontEnd::QtFrontEnd() = default;
QtFrontEnd::~QtFrontEnd() = default;

EditorWindow* QtFrontEnd::OpenWindow(LensEditor& editor, QWidget* parent) {
  editor_ = &editor;
  window_ = new EditorWindow(editor, parent);
  window_->setAttribute(Qt::WA_DeleteOnClose, false);
  if (editor.Open() != 0) {
    delete window_;
    return nullptr;
  }
  if (auto* list = dynamic_cast<ElemListWidget*>(window_->Control(ids::kElemList))) list->Sync();
  window_->SyncCheckBoxes();
  window_->show();
  return window_;
}

int32_t QtFrontEnd::RunDialog(LensEditor& editor, void* parent) {
  if (EditorWindow* window = OpenWindow(editor, static_cast<QWidget*>(parent))) {
    if (!editor.ended()) window->exec();
    editor.Close();
    delete window;
  }
  return editor.result();
}

bool QtFrontEnd::Acquire(EditorResource resource, int id, void* model) {
  if (!window_) return false;
  QWidget* widget = nullptr;
  switch (resource) {
    case EditorResource::ElemListWindow:
      widget = new ElemListWidget(*static_cast<ElemList*>(model), window_);
      break;
    case EditorResource::PreviewWindow:
      widget = new PreviewWidget(*static_cast<PreviewPanel*>(model), window_);
      break;
    case EditorResource::SliderWindow:
      widget = new SliderWidget(*static_cast<WinSlider*>(model), window_);
      break;
    case EditorResource::ColorboxWindow:
      widget = new ColorboxWidget(*static_cast<Colorbox*>(model), window_);
      break;
    default: return true;  // classes, bitmaps: nothing to make on Qt
  }
  controls_[id] = widget;
  return true;
}

void QtFrontEnd::Release(EditorResource resource, int id) {
  switch (resource) {
    case EditorResource::ElemListWindow:
    case EditorResource::PreviewWindow:
    case EditorResource::SliderWindow:
    case EditorResource::ColorboxWindow:
      if (auto it = controls_.find(id); it != controls_.end()) {
        delete it->second.data();
        controls_.erase(it);
      }
      break;
    default: break;
  }
}

MessageAnswer QtFrontEnd::ShowMessage(const MessageBoxRequest& request) {
  QMessageBox box(window_);
  box.setObjectName("messageBox");
  box.setText(Latin1(request.text));
  box.setWindowTitle(Latin1(request.caption));
  box.setIcon(request.icon == MessageIcon::Stop          ? QMessageBox::Critical
              : request.icon == MessageIcon::Exclamation ? QMessageBox::Warning
                                                         : QMessageBox::NoIcon);
  if (request.buttons == MessageButtons::YesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
  }
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
  return MessageAnswer::Ok;
}

void QtFrontEnd::Beep(BeepKind) { QApplication::beep(); }

void QtFrontEnd::Redraw(EditorArea area, int id) {
  if (!window_) return;
  switch (area) {
    case EditorArea::Dialog: window_->update(); break;
    case EditorArea::List:
      if (auto* list = dynamic_cast<ElemListWidget*>(window_->Control(ids::kElemList))) {
        list->Sync();
        list->viewport()->update();
      }
      break;
    case EditorArea::Preview:
      if (QWidget* w = window_->Control(ids::kPreviewWnd)) w->repaint();  // at once, as drags need
      window_->UpdateFrameLight();
      break;
    case EditorArea::Slider:
    case EditorArea::Colorbox:
      if (QWidget* w = window_->Control(id)) w->update();
      break;
    case EditorArea::CheckBoxes: window_->SyncCheckBoxes(); break;
  }
}

void QtFrontEnd::SetWaitCursor(bool on) {
  if (on) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

bool QtFrontEnd::AltHeld() {
  return (QGuiApplication::keyboardModifiers() & Qt::AltModifier) != 0;
}

std::optional<std::string> QtFrontEnd::ChooseFileToOpen(std::span<const FileFilter> filters) {
  const QString path =
      QFileDialog::getOpenFileName(window_, QString(), QString(), Filters(filters));
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

std::optional<std::string> QtFrontEnd::ChooseFileToSave(std::span<const FileFilter> filters) {
  const QString path =
      QFileDialog::getSaveFileName(window_, QString(), QString(), Filters(filters));
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

std::optional<uint32_t> QtFrontEnd::ChooseColour(uint32_t initial,
                                                 std::array<uint32_t, 16>& custom) {
  if (colourChooser) return colourChooser(initial, custom);
  for (int i = 0; i < 16; ++i) {
    const Rgb c = UnpackColour(custom[static_cast<size_t>(i)]);
    QColorDialog::setCustomColor(i, QColor(c.r, c.g, c.b));
  }
  const Rgb start = UnpackColour(initial);
  const QColor chosen = QColorDialog::getColor(QColor(start.r, start.g, start.b), window_);
  for (int i = 0; i < 16; ++i) {
    const QColor c = QColorDialog::customColor(i);
    custom[static_cast<size_t>(i)] = PackColour({static_cast<uint8_t>(c.red()),
                                                 static_cast<uint8_t>(c.green()),
                                                 static_cast<uint8_t>(c.blue())});
  }
  if (!chosen.isValid()) return std::nullopt;
  return PackColour({static_cast<uint8_t>(chosen.red()), static_cast<uint8_t>(chosen.green()),
                     static_cast<uint8_t>(chosen.blue())});
}

std::optional<std::string> QtFrontEnd::EditName(std::string_view current) {
  return AskName(window_, current);
}

std::optional<std::string> QtFrontEnd::EditSliderValue(const SliderControlTexts& texts) {
  return AskValue(window_, texts);
}

void QtFrontEnd::RunAddElementWindow(AddElementWindow& model) {
  QDialog dialog(window_, Qt::Dialog | Qt::CustomizeWindowHint);
  dialog.setObjectName("addElementWindow");
  auto* list = new QListWidget(&dialog);
  list->setObjectName("control" + QString::number(ids::kAddElementList));
  for (int i = 0; i < AddElementWindow::kEntries; ++i) list->addItem(AddElementWindow::Entry(i));
  list->setCurrentRow(model.selection());
  auto* add = new QPushButton("Add", &dialog);
  add->setObjectName("control" + QString::number(ids::kAddElementAdd));
  add->setDefault(true);
  auto* undo = new QPushButton("X", &dialog);
  undo->setObjectName("control" + QString::number(ids::kAddElementUndo));
  undo->setFixedWidth(24);
  auto* close = new QPushButton("Close", &dialog);
  close->setObjectName("control" + QString::number(ids::kAddElementClose));
  auto refresh = [&] { undo->setEnabled(model.undoEnabled()); };
  QObject::connect(list, &QListWidget::currentRowChanged, &dialog, [&](int row) {
    model.Select(row);
    refresh();
  });
  auto addSelected = [&] {
    model.Add();
    refresh();
  };
  QObject::connect(add, &QPushButton::clicked, &dialog, addSelected);
  QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, addSelected);
  QObject::connect(undo, &QPushButton::clicked, &dialog, [&] {
    model.Undo();
    refresh();
  });
  QObject::connect(close, &QPushButton::clicked, &dialog, [&] {
    const QPoint place = window_ ? window_->mapFromGlobal(dialog.pos()) : dialog.pos();
    model.Close({place.x(), place.y()});
    dialog.accept();
  });
  auto* layout = new QGridLayout(&dialog);
  layout->addWidget(list, 0, 0, 1, 3);
  layout->addWidget(add, 1, 0);
  layout->addWidget(undo, 1, 1);
  layout->addWidget(close, 1, 2);
  refresh();
  const Point start = model.position();
  dialog.move(window_ ? window_->mapToGlobal(QPoint(start.x, start.y)) : QPoint(start.x, start.y));
  close->setFocus();
  dialog.exec();
}

ClipboardContents QtFrontEnd::ReadClipboard() {
  ClipboardContents contents;
  const QClipboard* clipboard = QGuiApplication::clipboard();
  contents.opened = clipboard != nullptr;
  if (clipboard) {
    const QImage image = clipboard->image();
    if (!image.isNull()) contents.dib = ImageToDib(image);
  }
  return contents;
}

std::vector<uint8_t> ImageToDib(const QImage& image) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  const int width = rgb.width();
  const int height = rgb.height();
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
  std::vector<uint8_t> dib(kDibHeaderSize + stride * static_cast<size_t>(height), 0);
  WriteDibHeader(dib.data(), width, -height, 24, 0);
  for (int y = 0; y < height; ++y) {
    const uchar* from = rgb.constScanLine(y);
    uint8_t* to = dib.data() + kDibHeaderSize + stride * static_cast<size_t>(y);
    for (int x = 0; x < width; ++x) {
      to[3 * x] = from[3 * x + 2];
      to[3 * x + 1] = from[3 * x + 1];
      to[3 * x + 2] = from[3 * x];
    }
  }
  return dib;
}

std::vector<uint8_t> PreviewBackground(const QImage& image) {
  const QImage scaled = image.convertToFormat(QImage::Format_RGB888)
                            .scaled(kPreviewWidth, kPreviewHeight, Qt::IgnoreAspectRatio,
                                    Qt::SmoothTransformation);
  std::vector<uint8_t> rgb(static_cast<size_t>(kPreviewRowBytes) * kPreviewHeight);
  for (int y = 0; y < kPreviewHeight; ++y) {
    std::memcpy(rgb.data() + static_cast<size_t>(y) * kPreviewRowBytes, scaled.constScanLine(y),
                kPreviewRowBytes);
  }
  return rgb;
}

}  // namespace gw::qt
