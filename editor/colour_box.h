// The editor's colour control: a swatch under a label; a click opens the
// colour chooser, whose sixteen custom colours all boxes share.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "editor/front_end.h"
#include "editor/geometry.h"
#include "lens/lens.h"

namespace gw {

inline constexpr int kColorboxWidth = 60;
inline constexpr int kColorboxHeight = 31;
inline constexpr int kColorboxLabelMax = 33;

// Colours travel as red in the low byte, then green, then blue.
constexpr uint32_t PackColour(Rgb c) { return c.r | (uint32_t{c.g} << 8) | (uint32_t{c.b} << 16); }
constexpr Rgb UnpackColour(uint32_t c) {
  return {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16)};
}
inline constexpr uint32_t kWhite = 0xFFFFFF;

// The chooser's custom colours: shared by every colour box, black at first,
// kept for as long as the module stays loaded.
std::array<uint32_t, 16>& SharedCustomColours();

class Colorbox {
 public:
  Colorbox(DialogSink& dialog, EditorFrontEnd& frontEnd, int id, Point place, uint32_t colour);

  int id() const { return id_; }
  Rect place() const { return Rect::At(place_.x, place_.y, kColorboxWidth, kColorboxHeight); }
  uint32_t colour() const { return colour_; }
  const std::string& label() const { return label_; }
  bool enabled() const { return enabled_; }

  void SetColour(uint32_t colour);
  void SetLabel(std::string_view text);
  void SetEnabled(bool on);

  // A left-button press. When enabled, the chooser opens on the box's colour;
  // a confirmed choice becomes the box's colour and is sent to the dialog.
  void Click();

 private:
  DialogSink& dialog_;
  EditorFrontEnd& frontEnd_;
  int id_;
  Point place_;
  uint32_t colour_;
  std::string label_;
  bool enabled_ = true;
};

}  // namespace gw
