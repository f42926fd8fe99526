#include "editor/qt/preview_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "render/pixels.h"

namespace gw::qt {
namespace {

const QColor kLetterbox(52, 52, 56);

RgbImage ToRgbImage(const QImage& image) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  RgbImage out{rgb.width(), rgb.height(), {}};
  const auto row = static_cast<size_t>(rgb.width()) * 3;
  out.rgb.resize(row * static_cast<size_t>(rgb.height()));
  for (int y = 0; y < rgb.height(); ++y) {
    std::memcpy(out.rgb.data() + row * static_cast<size_t>(y), rgb.constScanLine(y), row);
  }
  return out;
}

QImage ToQImage(const RgbImage& image) {
  QImage out(image.width, image.height, QImage::Format_RGB888);
  const auto row = static_cast<size_t>(image.width) * 3;
  for (int y = 0; y < image.height; ++y) {
    std::memcpy(out.scanLine(y), image.rgb.data() + row * static_cast<size_t>(y), row);
  }
  return out;
}

}  // namespace

// ------------------------------------------------------------ render thread

PreviewRenderThread::PreviewRenderThread(Deliver deliver)
    : deliver_(std::move(deliver)), screenTable_(kScreenTableSize) {
  BuildScreenTable(screenTable_.data());
  thread_ = std::thread([this] { Run(); });
}

PreviewRenderThread::~PreviewRenderThread() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void PreviewRenderThread::Submit(std::unique_ptr<Request> request) {
  {
    std::lock_guard lock(mutex_);
    pending_ = std::move(request);  // an older one waiting is dropped
  }
  wake_.notify_one();
}

void PreviewRenderThread::Run() {
  for (;;) {
    std::unique_ptr<Request> request;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || pending_; });
      if (stopping_) return;
      request = std::move(pending_);
    }
    Draw(*request);
  }
}

void PreviewRenderThread::Draw(const Request& request) {
  const QSize size = request.size;
  if (request.background.isNull()) {
    scaled_ = {};
    scaledFrom_ = {};
  } else if (request.background.cacheKey() != scaledFrom_.cacheKey() ||
             QSize(scaled_.width, scaled_.height) != size) {
    scaled_ = ToRgbImage(
        request.background.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    scaledFrom_ = request.background;
  }
  RgbImage picture{size.width(), size.height(), {}};
  // Every picture started is finished and shown (a newer request waits for
  // it), so that the preview keeps up however fast requests come; only the
  // view going away stops one.
  const auto stopping = [this] {
    std::lock_guard lock(mutex_);
    return stopping_;
  };
  if (!RenderPreview(request.lens, request.settings, request.frameWidth, request.frameHeight,
                     scaled_, screenTable_.data(), picture, stopping)) {
    return;
  }
  deliver_(ToQImage(picture), request.serial, request.coarse);
}

// ------------------------------------------------------------ view

PreviewView::PreviewView(int frameWidth, int frameHeight, QImage background, QWidget* parent)
    : QWidget(parent),
      frameWidth_(std::max(frameWidth, 1)),
      frameHeight_(std::max(frameHeight, 1)),
      background_(std::move(background)),
      settings_(DefaultPreviewSettings(frameWidth_, frameHeight_)) {
  setObjectName("preview");
  setMinimumSize(160, 90);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  setCursor(Qt::CrossCursor);
  renderer_ = std::make_unique<PreviewRenderThread>(
      [this](const QImage& picture, uint64_t serial, bool coarse) {
        QMetaObject::invokeMethod(
            this, [this, picture, serial, coarse] { Show(picture, serial, coarse); },
            Qt::QueuedConnection);
      });
}

// The thread goes first: nothing is delivered to a view being taken down.
PreviewView::~PreviewView() { renderer_.reset(); }

void PreviewView::SetLens(const Lens& lens) {
  lens_ = lens;
  Render();
}

void PreviewView::SetSettings(const PreviewSettings& settings) {
  if (settings == settings_) return;
  settings_ = settings;
  Render();
}

void PreviewView::SetSliderDragging(bool on) {
  if (on == sliderDragging_) return;
  sliderDragging_ = on;
  if (!on) Render();  // whole again
}

void PreviewView::Compare(const QImage& picture) {
  comparison_ = picture;
  update();
}

QRectF PreviewView::FrameRect() const {
  const double scale = std::min(static_cast<double>(width()) / frameWidth_,
                                static_cast<double>(height()) / frameHeight_);
  const double w = frameWidth_ * scale, h = frameHeight_ * scale;
  return {(width() - w) / 2.0, (height() - h) / 2.0, w, h};
}

bool PreviewView::Idle() const { return shownSerial_ == serial_ && !shownCoarse_; }

void PreviewView::Render() {
  // As many pixels as the frame takes on the screen, never more than the
  // frame has; half as many each way while the light is dragged.
  const double pixels = FrameRect().width() * devicePixelRatioF();
  int w = std::min(static_cast<int>(std::lround(pixels)), frameWidth_);
  const bool coarse = (dragging_ || sliderDragging_) && fastDrags_;
  if (coarse) w /= 2;
  w = std::max(w, 1);
  const double height = static_cast<double>(w) * frameHeight_ / frameWidth_;
  const int h = std::max(1, static_cast<int>(std::lround(height)));
  auto request = std::make_unique<PreviewRenderThread::Request>();
  request->lens = lens_;
  request->settings = settings_;
  request->frameWidth = frameWidth_;
  request->frameHeight = frameHeight_;
  request->background = background_;
  request->size = QSize(w, h);
  request->coarse = coarse;
  request->serial = ++serial_;
  renderer_->Submit(std::move(request));
}

void PreviewView::Show(const QImage& picture, uint64_t serial, bool coarse) {
  if (serial < shownSerial_) return;  // overtaken
  picture_ = picture;
  shownSerial_ = serial;
  shownCoarse_ = coarse;
  repaint();
  if (pictureShown) pictureShown();
}

void PreviewView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kLetterbox);
  const QRectF frame = FrameRect();
  painter.fillRect(frame, Qt::black);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  if (!comparison_.isNull()) {
    // The other picture at its own aspect ratio, inside the frame.
    const QSizeF fitted = QSizeF(comparison_.size()).scaled(frame.size(), Qt::KeepAspectRatio);
    const QPointF corner = frame.center() - QPointF(fitted.width(), fitted.height()) / 2.0;
    painter.drawImage(QRectF(corner, fitted), comparison_);
  } else if (!picture_.isNull()) {
    painter.drawImage(frame, picture_);
  }
}

void PreviewView::resizeEvent(QResizeEvent*) { Render(); }

void PreviewView::DragTo(QPointF at) {
  const QRectF frame = FrameRect();
  if (frame.width() <= 0 || frame.height() <= 0) return;
  const double x = (at.x() - frame.left()) * frameWidth_ / frame.width();
  const double y = (at.y() - frame.top()) * frameHeight_ / frame.height();
  PreviewSettings moved = settings_;
  const double right = frameWidth_, bottom = frameHeight_;
  moved.lightX = static_cast<float>(std::clamp(std::round(x), 0.0, right));
  moved.lightY = static_cast<float>(std::clamp(std::round(y), 0.0, bottom));
  if (moved == settings_) return;
  settings_ = moved;
  Render();
  if (lightMoved) lightMoved(settings_.lightX, settings_.lightY);
}

void PreviewView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  dragging_ = true;
  DragTo(event->position());
}

void PreviewView::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_ && (event->buttons() & Qt::LeftButton)) DragTo(event->position());
}

void PreviewView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !dragging_) return;
  dragging_ = false;
  Render();  // whole again
}

}  // namespace gw::qt
