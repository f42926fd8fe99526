#include "cli/plate_windows.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "testhost/image.h"

namespace gw {
namespace {

bool SameWindow(const ImageWindow& a, const ImageWindow& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

int32_t FloorDivide(int32_t value, int32_t divisor) {
  const int32_t quotient = value / divisor;
  return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}

// Copies the rows of `from` that lie within `to`'s window into `to`.
void CopyOverlap(const Plate& from, const ImageWindow& fromWindow, Plate& to,
                 const ImageWindow& toWindow) {
  const int32_t left = std::max(fromWindow.x, toWindow.x);
  const int32_t right = std::min(fromWindow.x + fromWindow.width, toWindow.x + toWindow.width);
  const int32_t top = std::max(fromWindow.y, toWindow.y);
  const int32_t bottom = std::min(fromWindow.y + fromWindow.height, toWindow.y + toWindow.height);
  if (left >= right || top >= bottom) return;
  const size_t rowSamples = static_cast<size_t>(right - left) * from.channels;
  for (int32_t y = top; y < bottom; ++y) {
    const auto offset = [](const Plate& p, int32_t x, int32_t y) {
      return (static_cast<size_t>(y) * p.width + x) * p.channels;
    };
    const float* source = from.samples.data() + offset(from, left - fromWindow.x, y - fromWindow.y);
    std::copy(source, source + rowSamples,
              to.samples.data() + offset(to, left - toWindow.x, y - toWindow.y));
  }
}

// `plate` with new pixels: `window`'s size and origin, every sample zero.
Plate Resized(const Plate& plate, const ImageWindow& window) {
  Plate out;
  out.channels = plate.channels;
  out.alphaChannel = plate.alphaChannel;
  out.premultiplied = plate.premultiplied;
  out.type = plate.type;
  out.channelNames = plate.channelNames;
  out.display = plate.display;
  out.format = plate.format;
  out.header = plate.header;
  out.width = window.width;
  out.height = window.height;
  out.x = window.x;
  out.y = window.y;
  out.samples.assign(static_cast<size_t>(window.width) * window.height * plate.channels, 0.0f);
  return out;
}

}  // namespace

ImageWindow FrameWindow(const Plate& plate) {
  const ImageWindow data = plate.DataWindow(), display = plate.DisplayWindow();
  const int64_t left = std::min(data.x, display.x), top = std::min(data.y, display.y);
  const int64_t right = std::max(int64_t{data.x} + data.width, int64_t{display.x} + display.width);
  const int64_t bottom =
      std::max(int64_t{data.y} + data.height, int64_t{display.y} + display.height);
  return {static_cast<int32_t>(left), static_cast<int32_t>(top),
          static_cast<int32_t>(right - left), static_cast<int32_t>(bottom - top)};
}

Plate OverFrameWindow(Plate plate) {
  const ImageWindow frame = FrameWindow(plate);
  if (SameWindow(frame, plate.DataWindow())) return plate;
  Plate out = Resized(plate, frame);
  CopyOverlap(plate, plate.DataWindow(), out, frame);
  return out;
}

Plate CutToWindow(Plate plate, const ImageWindow& frame, const ImageWindow& data) {
  if (SameWindow(frame, data)) {
    plate.x = data.x;
    plate.y = data.y;
    return plate;
  }
  Plate out = Resized(plate, data);
  CopyOverlap(plate, frame, out, data);
  return out;
}

ImageWindow DownsampledWindow(const ImageWindow& window, int32_t factor) {
  if (factor <= 1) return window;
  return {FloorDivide(window.x, factor), FloorDivide(window.y, factor),
          testhost::DownsampledSize(window.width, factor),
          testhost::DownsampledSize(window.height, factor)};
}

FrameOffset DisplayOffset(const Plate& plate) {
  const ImageWindow frame = FrameWindow(plate), display = plate.DisplayWindow();
  return {display.x - frame.x, display.y - frame.y};
}

}  // namespace gw
