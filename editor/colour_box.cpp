#include "editor/colour_box.h"

namespace gw {

std::array<uint32_t, 16>& SharedCustomColours() {
  static std::array<uint32_t, 16> colours{};
  return colours;
}

Colorbox::Colorbox(DialogSink& dialog, EditorFrontEnd& frontEnd, int id, Point place,
                   uint32_t colour)
    : dialog_(dialog), frontEnd_(frontEnd), id_(id), place_(place), colour_(colour) {}

void Colorbox::SetColour(uint32_t colour) {
  colour_ = colour & kWhite;
  frontEnd_.Redraw(EditorArea::Colorbox, id_);
}

void Colorbox::SetLabel(std::string_view text) {
  label_ = std::string(text.substr(0, kColorboxLabelMax));
}

void Colorbox::SetEnabled(bool on) {
  enabled_ = on;
  frontEnd_.Redraw(EditorArea::Colorbox, id_);
}

void Colorbox::Click() {
  if (!enabled_) return;
  const auto chosen = frontEnd_.ChooseColour(colour_, SharedCustomColours());
  if (!chosen) return;
  colour_ = *chosen & kWhite;
  dialog_.Command(id_, static_cast<int32_t>(colour_));
  frontEnd_.Redraw(EditorArea::Colorbox, id_);
}

}  // namespace gw
