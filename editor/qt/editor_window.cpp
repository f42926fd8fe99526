#include "editor/qt/editor_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

#include "editor/control_ids.h"
#include "editor/qt/widgets.h"

namespace gw::qt {
namespace {

QString Name(int id) { return "control" + QString::number(id); }

void Place(QWidget* w, const gw::Rect& r) {
  if (r.Width() > 0) {
    w->setGeometry(r.left, r.top, r.Width(), r.Height());
  } else {
    w->move(r.left, r.top);
    w->adjustSize();
  }
}

}  // namespace

EditorWindow::EditorWindow(LensEditor& editor, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint),
      editor_(editor) {
  setWindowTitle(kEditorTitle);
  setObjectName("LensEditor");
  QFont font("Arial", 9);
  font.setStyleHint(QFont::SansSerif);
  setFont(font);
  setFixedSize(kEditorWidth, kEditorHeight);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  setAutoFillBackground(true);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.x() + (area.width() - kEditorWidth) / 2, area.y() + (area.height() - kEditorHeight) / 2);
  }
  for (const DialogControl& control : DialogControls()) AddControl(control);
  frameLight_ = new QLabel(this);
  frameLight_->setObjectName("frameLight");
  frameLight_->move(110, 3);
  frameLight_->hide();
}

void EditorWindow::AddControl(const DialogControl& c) {
  QWidget* w = nullptr;
  const QString text = QString::fromLatin1(c.text);
  switch (c.id) {
    case ids::kOk:
    case ids::kCancel:
    case ids::kLoad:
    case ids::kSave:
    case ids::kReset: {
      auto* button = new QPushButton(text, this);
      button->setAutoDefault(false);
      button->setDefault(c.id == ids::kOk);  // Enter sends OK
      connect(button, &QPushButton::clicked, this, [this, id = c.id] {
        editor_.Command(id);
        FinishIfEnded();
      });
      w = button;
      break;
    }
    case ids::kAddIcon:
    case ids::kDeleteIcon: {
      auto* icon = new QToolButton(this);
      icon->setAutoRaise(true);
      icon->setIcon(c.id == ids::kAddIcon ? AddIconImage() : DeleteIconImage());
      icon->setIconSize(QSize(32, 24));
      icon->setStyleSheet("QToolButton { border: none; padding: 0; background: white; }");
      connect(icon, &QToolButton::clicked, this, [this, id = c.id] { editor_.Command(id); });
      w = icon;
      break;
    }
    case ids::kPreviewGroup:
    case ids::kParameterGroup: {
      auto* group = new QGroupBox(text, this);
      w = group;
      break;
    }
    case ids::kFastDrags: {
      auto* box = new QCheckBox(text, this);
      connect(box, &QCheckBox::toggled, this, [this](bool on) { editor_.SetFastDrags(on); });
      w = box;
      break;
    }
    case ids::kCompare: {
      auto* button = new QPushButton(this);
      button->setIcon(CompareButtonImage(false));
      button->setIconSize(QSize(28, 28));
      button->setFlat(true);
      button->setAutoDefault(false);
      connect(button, &QPushButton::pressed, this, [this, button] {
        button->setIcon(CompareButtonImage(true));
        editor_.CompareButtonDrawn(true);
      });
      connect(button, &QPushButton::released, this, [this, button] {
        button->setIcon(CompareButtonImage(false));
        editor_.CompareButtonDrawn(false);
      });
      w = button;
      break;
    }
    case ids::kAnamorphic:
    case ids::kOption: {
      auto* box = new QCheckBox(text, this);
      box->hide();
      connect(box, &QCheckBox::clicked, this,
              [this, id = c.id](bool on) { editor_.Command(id, on ? 1 : 0); });
      Place(box, c.place);
      box->setObjectName(Name(c.id));
      return;
    }
    default: w = new QLabel(text, this); break;
  }
  w->setObjectName(Name(c.id));
  Place(w, c.place);
  if (c.id == ids::kPreviewGroup || c.id == ids::kParameterGroup) w->lower();
  w->show();
}

QWidget* EditorWindow::Control(int id) const { return findChild<QWidget*>(Name(id)); }

void EditorWindow::SyncCheckBoxes() {
  for (int which : {1, 2}) {
    const PanelCheckBox& model = editor_.panel().checkBox(which);
    auto* box = static_cast<QCheckBox*>(Control(model.id));
    if (!box) continue;
    box->setText(QString::fromLatin1(model.label.c_str()));
    box->setChecked(model.checked);
    box->adjustSize();
    box->setVisible(model.shown);
  }
}

void EditorWindow::FinishIfEnded() {
  if (editor_.ended()) done(editor_.result());
}

void EditorWindow::SetFrameSize(int width, int height) {
  frameWidth_ = width;
  frameHeight_ = height;
  frameLight_->setVisible(width > 0 && height > 0);
  UpdateFrameLight();
}

void EditorWindow::UpdateFrameLight() {
  if (frameWidth_ <= 0 || frameHeight_ <= 0) return;
  const RenderTarget& t = editor_.preview().target();
  const double scale = editor_.preview().fast() ? 2.0 : 1.0;
  const int x = static_cast<int>(t.lightX * scale * frameWidth_ / kPreviewWidth);
  const int y = static_cast<int>(t.lightY * scale * frameHeight_ / kPreviewHeight);
  frameLight_->setText(QString("Light in the %1 x %2 frame: %3, %4")
                           .arg(frameWidth_).arg(frameHeight_).arg(x).arg(y));
  frameLight_->adjustSize();
  frameLight_->move(110, 3);
  frameLight_->raise();
}

void EditorWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    editor_.Command(ids::kEscape);  // Escape does not close the editor
    return;
  }
  if (event->key() == Qt::Key_F4 && (event->modifiers() & Qt::AltModifier)) {
    editor_.RequestClose();
    FinishIfEnded();
    return;
  }
  QDialog::keyPressEvent(event);
}

void EditorWindow::closeEvent(QCloseEvent* event) {
  if (!editor_.ended()) editor_.RequestClose();
  if (editor_.ended()) {
    QDialog::closeEvent(event);
    done(editor_.result());
  } else {
    event->ignore();
  }
}

void EditorWindow::reject() {
  if (editor_.ended()) QDialog::reject();
}

}  // namespace gw::qt
