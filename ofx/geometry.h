// Where the frame the flare is drawn in lies among the host's pixels. The
// host counts pixels from the bottom left in canonical coordinates scaled by
// the render scale (and, across, by the pixel aspect ratio); the frame logic
// counts from the top left of the frame, as the legacy host does. The frame
// is the source's region of definition brought to pixels the way the legacy
// host downsamples: its size truncated.
#pragma once

#include <cstdint>

#include "frame/frame.h"
#include "ofx/api/core.h"
#include "render/target.h"

namespace gw::ofx {

struct FrameGeometry {
  FrameSize size{};
  double pixelsPerUnitX = 1.0;  // render scale / pixel aspect ratio
  double pixelsPerUnitY = 1.0;  // render scale
  int32_t left = 0;             // the host's pixel column of frame column 0
  int32_t top = 0;              // the host's pixel row just above frame row 0

  // A frame a render target can address, placed where its rows and columns
  // stay far from the ends of the host's integers.
  bool Usable() const {
    constexpr int32_t kFar = 1 << 30;
    return size.Addressable() && left > -kFar && left < kFar && top > -kFar && top < kFar;
  }
  // A point in canonical coordinates, in frame pixels.
  PointF FromCanonical(OfxPointD p) const;
  // The host's pixel row of a frame row.
  int32_t HostRow(int32_t frameRow) const { return top - 1 - frameRow; }
  // A window of the host's pixels in frame rows and columns, cut to the
  // frame (empty when they do not meet).
  PixelRect FrameWindow(const OfxRectI& window) const;
  // A window in frame rows and columns as the host's pixels.
  OfxRectI HostWindow(const PixelRect& r) const {
    return OfxRectI{left + r.left, top - r.bottom, left + r.right, top - r.top};
  }
};

FrameGeometry GeometryOf(const OfxRectD& sourceRegion, OfxPointD renderScale,
                         double pixelAspectRatio);

}  // namespace gw::ofx
