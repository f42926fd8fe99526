// The preview: the lens drawn over the frame at the frame's aspect ratio,
// letterboxed in whatever space the window gives it, rendered on a thread
// of its own so that the window never waits for it. The light is dragged
// on the picture; while it moves the preview is drawn at half size each way
// ("Fast Drags"), then whole again.
#pragma once

#include <QImage>
#include <QWidget>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "editor/preview_render.h"

namespace gw::qt {

// Draws previews on its own thread, newest request first: of the requests
// that come in while a picture is drawn, only the last is drawn next.
class PreviewRenderThread {
 public:
  struct Request {
    Lens lens;
    PreviewSettings settings;
    int32_t frameWidth = 0;
    int32_t frameHeight = 0;
    QImage background;  // the frame's picture at its own size; null: black
    QSize size;         // of the picture to draw
    bool coarse = false;
    uint64_t serial = 0;
  };
  // Called on the render thread with each finished picture.
  using Deliver = std::function<void(const QImage& picture, uint64_t serial, bool coarse)>;

  explicit PreviewRenderThread(Deliver deliver);
  ~PreviewRenderThread();  // stops and waits for the thread
  PreviewRenderThread(const PreviewRenderThread&) = delete;
  PreviewRenderThread& operator=(const PreviewRenderThread&) = delete;

  void Submit(std::unique_ptr<Request> request);

 private:
  void Run();
  void Draw(const Request& request);

  Deliver deliver_;
  std::vector<uint8_t> screenTable_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::unique_ptr<Request> pending_;
  bool stopping_ = false;
  // The background scaled to the last size asked for.
  QImage scaledFrom_;
  RgbImage scaled_;
  std::thread thread_;
};

class PreviewView final : public QWidget {
 public:
  PreviewView(int frameWidth, int frameHeight, QImage background, QWidget* parent);
  ~PreviewView() override;

  void SetLens(const Lens& lens);
  void SetSettings(const PreviewSettings& settings);
  const PreviewSettings& settings() const { return settings_; }
  void SetFastDrags(bool on) { fastDrags_ = on; }
  // A parameter's slider held: the lens changes as fast as the pointer
  // moves, and the preview is drawn as during a drag of the light.
  void SetSliderDragging(bool on);
  bool fastDrags() const { return fastDrags_; }
  QSize frameSize() const { return {frameWidth_, frameHeight_}; }

  // Shows `picture` (the clipboard's, say) in place of the flare until
  // called with a null image.
  void Compare(const QImage& picture);

  // Where the frame lies in the widget: the largest rectangle of its aspect
  // ratio, centred.
  QRectF FrameRect() const;
  // The picture shown and whether it is a half-size one; Idle() once it
  // shows the lens and settings as they now are, at full size.
  const QImage& picture() const { return picture_; }
  bool showingCoarse() const { return shownCoarse_; }
  bool Idle() const;

  // Told of each light position a drag sets (frame pixels), and of the end
  // of the drag.
  std::function<void(float x, float y)> lightMoved;
  // Told whenever a new picture is shown.
  std::function<void()> pictureShown;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void Render();
  void DragTo(QPointF at);
  void Show(const QImage& picture, uint64_t serial, bool coarse);

  int frameWidth_;
  int frameHeight_;
  QImage background_;
  Lens lens_{};
  PreviewSettings settings_;
  bool fastDrags_ = true;
  bool dragging_ = false;
  bool sliderDragging_ = false;
  uint64_t serial_ = 0;       // of the last request
  uint64_t shownSerial_ = 0;  // of the picture shown
  bool shownCoarse_ = false;
  QImage picture_;
  QImage comparison_;
  std::unique_ptr<PreviewRenderThread> renderer_;
};

}  // namespace gw::qt
