#include "editor/qt/widgets.h"

#include <QBitmap>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "editor/control_ids.h"

namespace gw::qt {
namespace {

const QColor kGrey(0xC0, 0xC0, 0xC0);
const QColor kBoxGrey(0xA0, 0xA0, 0xA0);

gw::Point ToPoint(const QPoint& p) { return {p.x(), p.y()}; }
gw::Point EventPoint(const QMouseEvent* event) { return ToPoint(event->position().toPoint()); }

QRect InDialog(const QWidget* widget, const QWidget* dialog) {
  return QRect(widget->mapTo(dialog, QPoint(0, 0)), widget->size());
}

gw::Rect ToRect(const QRect& r) { return gw::Rect::At(r.x(), r.y(), r.width(), r.height()); }

}  // namespace

// ------------------------------------------------------------ element list

ElemListWidget::ElemListWidget(ElemList& model, QWidget* parent)
    : QAbstractScrollArea(parent), model_(model), dragCursor_(DragCursorShape()) {
  setObjectName("control" + QString::number(ids::kElemList));
  setGeometry(kListPlace.left, kListPlace.top, kListPlace.Width(), kListPlace.Height());
  setFrameShape(QFrame::Box);
  setLineWidth(1);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  viewport()->setAutoFillBackground(true);
  QPalette white = viewport()->palette();
  white.setColor(QPalette::Window, Qt::white);
  viewport()->setPalette(white);
  connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this](int action) {
    switch (action) {
      case QAbstractSlider::SliderSingleStepAdd: model_.Scroll(ScrollRequest::LineDown); break;
      case QAbstractSlider::SliderSingleStepSub: model_.Scroll(ScrollRequest::LineUp); break;
      case QAbstractSlider::SliderPageStepAdd: model_.Scroll(ScrollRequest::PageDown); break;
      case QAbstractSlider::SliderPageStepSub: model_.Scroll(ScrollRequest::PageUp); break;
      case QAbstractSlider::SliderMove:
        model_.Scroll(ScrollRequest::ThumbTrack, verticalScrollBar()->sliderPosition());
        break;
      default:
        model_.Scroll(ScrollRequest::ThumbPosition, verticalScrollBar()->sliderPosition());
        break;
    }
    verticalScrollBar()->setSliderPosition(model_.top());
  });
  show();
}

void ElemListWidget::Sync() {
  QWidget* dialog = window();
  const QWidget* add = dialog->findChild<QWidget*>("control" + QString::number(ids::kAddIcon));
  const QWidget* del = dialog->findChild<QWidget*>("control" + QString::number(ids::kDeleteIcon));
  model_.SetClientSize(viewport()->width(), viewport()->height());
  model_.SetScreenRects(ToRect(InDialog(viewport(), dialog)),
                        add ? ToRect(InDialog(add, dialog)) : gw::Rect{},
                        del ? ToRect(InDialog(del, dialog)) : gw::Rect{});
  QScrollBar* bar = verticalScrollBar();
  const QSignalBlocker quiet(bar);
  bar->setRange(0, std::max(0, model_.scrollMax() + 1 - model_.visibleRows()));
  bar->setPageStep(std::max(1, model_.visibleRows()));
  bar->setValue(model_.top());
}

void ElemListWidget::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  Sync();
}

void ElemListWidget::paintEvent(QPaintEvent*) {
  Sync();
  QPainter p(viewport());
  const int width = viewport()->width();
  p.setPen(Qt::black);
  for (const ListRow& row : model_.Rows()) {
    const int y = row.y;
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(QPoint(2, y + 2), QPoint(12, y + 12)));
    if (row.enabled) {
      p.drawLine(2, y + 2, 12, y + 12);
      p.drawLine(12, y + 2, 2, y + 12);
    }
    p.drawLine(14, y, 14, y + kRowHeight);
    if (row.selected) {
      p.fillRect(QRect(15, y + 1, width - 15, kRowHeight - 1), Qt::black);
      p.setPen(Qt::white);
    }
    p.drawText(QRect(16, y + 1, width - 16, kRowHeight - 1), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromLatin1(row.name.data(), static_cast<int>(row.name.size())));
    p.setPen(Qt::black);
    p.drawLine(0, y + kRowHeight, width, y + kRowHeight);
  }
  if (const auto y = model_.DropLineY()) p.drawLine(15, *y, width - 1, *y);
}

void ElemListWidget::ShowCursor() {
  switch (model_.cursor()) {
    case DragCursor::Drag: viewport()->setCursor(dragCursor_); break;
    case DragCursor::Forbidden: viewport()->setCursor(Qt::ForbiddenCursor); break;
    case DragCursor::Arrow: viewport()->unsetCursor(); break;
  }
}

void ElemListWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  Sync();
  model_.MouseDown(EventPoint(event));
  viewport()->update();
}

void ElemListWidget::mouseMoveEvent(QMouseEvent* event) {
  if (!model_.dragging()) return;
  model_.MouseMove(EventPoint(event));
  ShowCursor();
  Sync();
  viewport()->update();
}

void ElemListWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  model_.MouseUp(EventPoint(event));
  ShowCursor();
  Sync();
  viewport()->update();
}

void ElemListWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  model_.DoubleClick(EventPoint(event));
  viewport()->update();
}

// ------------------------------------------------------------ slider

SliderWidget::SliderWidget(WinSlider& model, QWidget* parent) : QWidget(parent), model_(model) {
  setObjectName("control" + QString::number(model.id()));
  const gw::Rect r = model.place();
  setGeometry(r.left, r.top, r.Width(), r.Height());
  setAutoFillBackground(true);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  show();
}

void SliderWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QColor ink = model_.enabled() ? QColor(Qt::black) : kGrey;
  p.setPen(ink);
  const int length = model_.trackLength();
  const int place = model_.ThumbPlace();
  const bool thumb = model_.enabled();
  QPolygon triangle;
  if (model_.Vertical()) {
    p.drawLine(0, kSliderTrackInset, 0, kSliderTrackInset + length);
    const int y = kSliderTrackInset + place;
    triangle << QPoint(2, y) << QPoint(7, y - 5) << QPoint(7, y + 5);
  } else {
    const int line = model_.Labelled() ? 13 : 0;
    const int tip = model_.Labelled() ? 15 : 2;
    p.drawLine(kSliderTrackInset, line, kSliderTrackInset + length, line);
    const int x = kSliderTrackInset + place;
    triangle << QPoint(x, tip) << QPoint(x + 5, tip + 5) << QPoint(x - 5, tip + 5);
    if (model_.Labelled()) {
      const std::string text = model_.LabelLine();
      p.drawText(QRect(5, 0, width() - 5, kSliderLabelLineHeight - 1),
                 Qt::AlignLeft | Qt::AlignVCenter, QString::fromLatin1(text.c_str()));
    }
  }
  if (thumb) {
    p.setBrush(Qt::black);
    p.drawPolygon(triangle);
  }
}

void SliderWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) model_.MouseDown(EventPoint(event));
}

void SliderWidget::mouseMoveEvent(QMouseEvent* event) { model_.MouseMove(EventPoint(event)); }

void SliderWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) model_.MouseUp();
}

// ------------------------------------------------------------ colour box

// Wider than the swatch, so that the longest label ("Center Color: ") is
// read whole in any font.
constexpr int kColorboxLabelRoom = 90;

ColorboxWidget::ColorboxWidget(Colorbox& model, QWidget* parent) : QWidget(parent), model_(model) {
  setObjectName("control" + QString::number(model.id()));
  const gw::Rect r = model.place();
  const bool panel = model.id() == ids::kColour1 || model.id() == ids::kColour2;
  setGeometry(r.left, r.top, panel ? kColorboxLabelRoom : r.Width(), r.Height());
  show();
}

void ColorboxWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  if (!model_.enabled()) {
    p.setPen(kBoxGrey);
    p.drawRect(QRect(QPoint(0, 13), QPoint(38, 29)));
    return;
  }
  const Rgb c = UnpackColour(model_.colour());
  p.setPen(Qt::black);
  p.setBrush(QColor(c.r, c.g, c.b));
  p.drawRect(QRect(QPoint(1, 14), QPoint(39, 30)));  // the shadow at the right and bottom
  p.drawRect(QRect(QPoint(0, 13), QPoint(38, 29)));
  p.drawText(QRect(0, 0, width(), 13), Qt::AlignLeft | Qt::AlignVCenter,
             QString::fromLatin1(model_.label().c_str()));
}

void ColorboxWidget::mousePressEvent(QMouseEvent* event) {
  // Only the box itself, not the room its label may take beside it.
  if (event->button() == Qt::LeftButton && event->position().x() < kColorboxWidth) model_.Click();
}


// ------------------------------------------------------------ preview

PreviewWidget::PreviewWidget(PreviewPanel& model, QWidget* parent)
    : QWidget(parent), model_(model) {
  setObjectName("control" + QString::number(ids::kPreviewWnd));
  setGeometry(kPreviewPlace.left, kPreviewPlace.top, kPreviewPlace.Width(),
              kPreviewPlace.Height());
  show();
}

void PreviewWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const RgbPicture picture = model_.DisplayedPicture();
  const QImage image(picture.rgb.data(), picture.width, picture.height, picture.width * 3,
                     QImage::Format_RGB888);
  // A half-size image during a fast drag fills the window all the same.
  p.drawImage(QRect(0, 0, kPreviewWidth, kPreviewHeight), image);
}

void PreviewWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) model_.ImageMouseDown(EventPoint(event));
}

void PreviewWidget::mouseMoveEvent(QMouseEvent* event) { model_.ImageMouseMove(EventPoint(event)); }

void PreviewWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) model_.ImageMouseUp();
}

// ------------------------------------------------------------ images

namespace {

void DrawPage(QPainter& p, int x, int y) {
  p.setPen(Qt::black);
  p.setBrush(Qt::white);
  const QPolygon page({QPoint(x, y), QPoint(x + 11, y), QPoint(x + 15, y + 4),
                       QPoint(x + 15, y + 19), QPoint(x, y + 19)});
  p.drawPolygon(page);
  p.drawLine(x + 11, y, x + 11, y + 4);
  p.drawLine(x + 11, y + 4, x + 15, y + 4);
  p.setPen(QColor(0x80, 0x80, 0x80));
  for (int line = y + 7; line < y + 17; line += 3) p.drawLine(x + 3, line, x + 12, line);
}

}  // namespace

QPixmap AddIconImage() {
  QPixmap image(32, 24);
  image.fill(Qt::white);
  QPainter p(&image);
  DrawPage(p, 4, 2);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  p.drawPolygon(QPolygon({QPoint(22, 10), QPoint(30, 10), QPoint(26, 15)}));  // the menu arrow
  return image;
}

QPixmap DeleteIconImage() {
  QPixmap image(32, 24);
  image.fill(Qt::white);
  QPainter p(&image);
  DrawPage(p, 8, 2);
  p.setPen(QPen(QColor(0xE0, 0, 0), 2));
  p.drawLine(5, 21, 27, 1);
  p.drawLine(5, 1, 27, 21);
  return image;
}

QPixmap CompareButtonImage(bool pressed) {
  QPixmap image(28, 28);
  image.fill(QColor(0xC0, 0xC0, 0xC0));
  QPainter p(&image);
  p.setPen(pressed ? Qt::black : Qt::white);
  p.drawLine(0, 0, 27, 0);
  p.drawLine(0, 0, 0, 27);
  p.setPen(pressed ? Qt::white : Qt::black);
  p.drawLine(27, 0, 27, 27);
  p.drawLine(0, 27, 27, 27);
  const int shift = pressed ? 1 : 0;
  // A small photograph: sky, sun and hills.
  p.fillRect(5 + shift, 6 + shift, 18, 14, QColor(0x60, 0x90, 0xE0));
  p.setBrush(QColor(0xFF, 0xE0, 0x40));
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPoint(17 + shift, 10 + shift), 3, 3);
  p.setBrush(QColor(0x30, 0x90, 0x30));
  p.drawPolygon(QPolygon({QPoint(5 + shift, 20 + shift), QPoint(11 + shift, 13 + shift),
                          QPoint(16 + shift, 17 + shift), QPoint(23 + shift, 12 + shift),
                          QPoint(23 + shift, 20 + shift)}));
  return image;
}

QCursor DragCursorShape() {
  QBitmap shape(32, 32);
  QBitmap mask(32, 32);
  shape.clear();
  mask.clear();
  QPainter s(&shape);
  QPainter m(&mask);
  // An arrow with its tip at (0, 0), carrying a small page.
  const QPolygon arrow({QPoint(0, 0), QPoint(0, 15), QPoint(4, 11), QPoint(7, 17),
                        QPoint(9, 16), QPoint(6, 10), QPoint(11, 10)});
  m.setPen(Qt::color1);
  m.setBrush(Qt::color1);
  m.drawPolygon(arrow);
  m.drawRect(12, 14, 10, 13);
  s.setPen(Qt::color1);
  s.setBrush(Qt::color0);
  s.drawPolygon(arrow);
  s.drawRect(12, 14, 9, 12);
  s.drawLine(14, 18, 19, 18);
  s.drawLine(14, 21, 19, 21);
  return QCursor(shape, mask, 0, 0);
}

}  // namespace gw::qt
