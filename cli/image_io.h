// Reading and writing frames through OpenImageIO, as 8-bit ARGB.
#pragma once

#include <string>

#include "testhost/image.h"

namespace gw {

// The largest frame side the program accepts.
inline constexpr int kMaxImageSide = 30000;

struct Frame {
  testhost::Image argb;    // 8-bit alpha, red, green, blue
  bool hasAlpha = false;   // the file had an alpha channel (else alpha is 255)
};

// Reads any image OpenImageIO knows; throws CommandError naming the file.
Frame ReadFrame(const std::string& path);

// Writes the frame whole or not at all (a temporary beside the file is
// renamed over it). Alpha is written when asked and the format can hold it.
void WriteFrame(const std::string& path, const Frame& frame);

// The built-in frame: a dark gradient.
Frame BuiltInFrame(int width, int height);

}  // namespace gw
