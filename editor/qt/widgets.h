// The editor's own controls on Qt: each draws one model object and hands its
// pointer events to it.
#pragma once

#include <QAbstractScrollArea>
#include <QCursor>
#include <QDialog>
#include <QWidget>

#include "editor/colour_box.h"
#include "editor/element_list.h"
#include "editor/preview.h"
#include "editor/slider.h"

class QCheckBox;
class QPushButton;

namespace gw::qt {

// The element list: rows with check boxes and names, a drop line while a row
// is dragged, and a vertical scroll bar.
class ElemListWidget final : public QAbstractScrollArea {
 public:
  ElemListWidget(ElemList& model, QWidget* parent);
  // Tells the model where the list and the two icons lie (dialog coordinates
  // stand for the screen) and brings the scroll bar up to date.
  void Sync();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ShowCursor();

  ElemList& model_;
  QCursor dragCursor_;
};

class SliderWidget final : public QWidget {
 public:
  SliderWidget(WinSlider& model, QWidget* parent);
  WinSlider& model() { return model_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  WinSlider& model_;
};

class ColorboxWidget final : public QWidget {
 public:
  ColorboxWidget(Colorbox& model, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  Colorbox& model_;
};

class PreviewWidget final : public QWidget {
 public:
  PreviewWidget(PreviewPanel& model, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  PreviewPanel& model_;
};

// The images of the dialog, drawn rather than loaded: the add and delete
// icons, the comparison button's two faces and the drag cursor.
QPixmap AddIconImage();
QPixmap DeleteIconImage();
QPixmap CompareButtonImage(bool pressed);
QCursor DragCursorShape();

}  // namespace gw::qt
