// A plate's data window (where its pixels lie) and display window (the
// picture they belong to). The plug-in draws on one frame covering both, so
// that the flare lies where it would on the whole picture, whatever the file
// crops or adds as overscan; the plate is written back with its own windows.
#pragma once

#include "cli/image_module.h"

namespace gw {

// The smallest window holding the data window and the display window: the
// frame the plug-in draws on.
ImageWindow FrameWindow(const Plate& plate);

// The plate over its frame window, zero outside its data window (the value
// a file gives there). A plate whose data window is its frame window is
// returned as it is.
Plate OverFrameWindow(Plate plate);

// The plate (over `frame`) cut to `data`, which lies within it; the result
// has `data`'s origin.
Plate CutToWindow(Plate plate, const ImageWindow& frame, const ImageWindow& data);

// A window at 1/factor of the size: origins round down, sizes as the host
// downsamples a layer.
ImageWindow DownsampledWindow(const ImageWindow& window, int32_t factor);

// Where the display window's top-left corner lies in the frame's pixels.
struct FrameOffset {
  int32_t x = 0, y = 0;
  bool operator==(const FrameOffset&) const = default;
};
FrameOffset DisplayOffset(const Plate& plate);

}  // namespace gw
