// Numbered file names: "shot.%04d.png" or "shot.####.png".
#pragma once

#include <optional>
#include <string>

namespace gw {

// True when the name holds a frame-number pattern.
bool IsSequencePattern(const std::string& name);

// The file name of frame `frame`: "%04d" and "####" give 4 digits, zero
// padded ("%d" and "#" none); a name without a pattern is returned as is.
std::string FrameFileName(const std::string& pattern, int frame);

// A frame range: "A-B" or a single frame "N"; nothing when malformed.
struct FrameRange {
  int first;
  int last;
};
std::optional<FrameRange> ParseFrameRange(const std::string& text);

}  // namespace gw
