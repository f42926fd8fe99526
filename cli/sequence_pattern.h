// Numbered file names: "shot.%04d.png" or "shot.####.png".
#pragma once

#include <optional>
#include <string>

namespace gw {

// True when the name holds a frame-number pattern.
bool IsSequencePattern(const std::string& name);

// The file name of frame `frame`: "%04d" and "####" give 4 digits, zero
// padded ("%d" and "#" none); "%%" is a percent sign.
std::string FrameFileName(const std::string& pattern, int frame);

// Why a name cannot be a file name or numbered pattern: two frame numbers,
// or a % form that is none ("%s", "%5x", a lone "%"); empty when it can.
std::string PatternProblem(const std::string& name);

// The highest frame number: nine digits, so that a range's frame count and
// the frame after its last always fit in an int.
inline constexpr int kLastFrameNumber = 999999999;

// A frame range: "A-B" or a single frame "N" (0..kLastFrameNumber); nothing
// when malformed.
struct FrameRange {
  int first;
  int last;
};
std::optional<FrameRange> ParseFrameRange(const std::string& text);

// Why a frame range text is refused ("reversed", "not A-B or N", too high).
std::string FrameRangeProblem(const std::string& text);

// The first and last frame numbers of the files on disk that the pattern
// names; nothing when there are none (or the name holds no pattern).
std::optional<FrameRange> FramesOnDisk(const std::string& pattern);

// A sequence holds its first and last frames outside its range, as
// compositors do.
inline int HeldFrame(const FrameRange& onDisk, int frame) {
  return frame < onDisk.first ? onDisk.first : (frame > onDisk.last ? onDisk.last : frame);
}

}  // namespace gw
