// The effect parameters of `glarewright render` as the user writes them:
// VALUE or VALUE@FRAME, repeatable, turned into the host's values.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "testhost/tracks.h"

namespace gw {

// One keyframe as written: the value text and its frame (0 without @FRAME).
struct KeyText {
  std::string value;
  int frame = 0;
};

// Splits "VALUE@FRAME" forms; throws CommandError naming the option when a
// frame is malformed or two values share a frame.
std::vector<KeyText> ParseKeys(const std::string& option, const std::vector<std::string>& texts);

// Value readers; each throws CommandError("--option: ...") on bad text.
double ParseNumber(const std::string& option, const std::string& text);
int32_t ParseInteger(const std::string& option, const std::string& text);
// A 16.16 fixed value.
int32_t ToFixed(const std::string& option, double value);
// "X,Y": pixels, or percentages of the frame ("30%,30%"); 16.16 pixels.
testhost::ParamValue ParseLight(const std::string& option, const std::string& text, int width,
                                int height);
// "RRGGBB" (a leading # is allowed).
testhost::ParamValue ParseColour(const std::string& option, const std::string& text);
// "WxH", each side within smallest..largest.
struct FrameDimensions {
  int width, height;
};
FrameDimensions ParseFrameSize(const std::string& option, const std::string& text, int smallest,
                               int largest);
// rgb | alpha | rgb+alpha | inverse-alpha → 1..4.
int32_t ParseObscurationType(const std::string& option, const std::string& text);

}  // namespace gw
