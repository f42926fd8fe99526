#include "editor/slider.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "lens/control_ids.h"
#include "render/numeric.h"

namespace gw {
namespace {

std::string Printf(const char* format, auto... values) {
  char text[160];
  std::snprintf(text, sizeof text, format, values...);
  return text;
}

float Span(float minimum, float maximum) { return maximum - minimum; }

}  // namespace

float NormaliseOnTrack(SliderScale scale, float value, float minimum, float maximum) {
  const float span = Span(minimum, maximum);
  if (!(span != 0.0f)) return 0.0f;
  const float linear = (value - minimum) / span;
  if (scale == SliderScale::Linear) return linear;
  return std::sqrt(linear > 0.0f ? linear : 0.0f);
}

float ValueOnTrack(SliderScale scale, float t, float minimum, float maximum) {
  return minimum + (scale == SliderScale::Square ? t * t : t) * Span(minimum, maximum);
}

WinSlider::WinSlider(DialogSink& dialog, EditorFrontEnd& frontEnd, int id, Rect place)
    : dialog_(dialog), frontEnd_(frontEnd), id_(id), place_(place) {}

float WinSlider::Normalise(float value) const {
  return NormaliseOnTrack(SliderScale::Linear, value, minimum_, maximum_);
}

float WinSlider::ValueAt(float t) const {
  return ValueOnTrack(SliderScale::Linear, t, minimum_, maximum_);
}

int32_t WinSlider::trackLength() const {
  return (Vertical() ? place_.Height() : place_.Width()) - 2 * kSliderTrackInset;
}

int32_t WinSlider::ThumbPlace() const {
  return TruncToInt(Normalise(value_) * static_cast<float>(trackLength()));
}

void WinSlider::SetEnabled(bool on) {
  enabled_ = on;
  frontEnd_.Redraw(EditorArea::Slider, id_);
}

void WinSlider::SetRange(float minimum, float maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
}

void WinSlider::SetLabel(std::string_view text) {
  label_ = std::string(text.substr(0, kSliderLabelMax));
}

float WinSlider::Clamp(float v) const {
  if (v != v) return minimum_;  // NaN typed or loaded: the bottom of the range
  if (v < minimum_) return minimum_;
  if (v > maximum_) return maximum_;
  return v;
}

void WinSlider::SetValue(float v) {
  value_ = Clamp(v);
  frontEnd_.Redraw(EditorArea::Slider, id_);
}

void WinSlider::Notify() { dialog_.Command(id_, TruncToInt(value_), value_); }

void WinSlider::MouseDown(Point p) {
  dialog_.Message(ids::kDragBegins, id_);
  if (enabled_ && Labelled() && p.y < kSliderLabelLineHeight) {
    if (const auto text = frontEnd_.EditSliderValue(ControlTexts())) AcceptText(*text);
  } else if (enabled_) {
    dragging_ = true;
    seenQ_ = false;
    DragTo(Vertical() ? p.y : p.x);
    return;  // drag ends comes with the release
  }
  dialog_.Message(ids::kDragEnds, id_);
}

void WinSlider::MouseMove(Point p, bool buttonDown) {
  if (!dragging_) return;
  if (!buttonDown) return MouseUp();
  DragTo(Vertical() ? p.y : p.x);
}

void WinSlider::MouseUp() {
  if (!dragging_) return;
  dragging_ = false;
  dialog_.Message(ids::kDragEnds, id_);
}

void WinSlider::DragTo(int32_t q) {
  if (seenQ_ && q == lastQ_) return;
  seenQ_ = true;
  lastQ_ = q;
  const int32_t length = trackLength();
  int32_t position = length;
  if (q < kSliderTrackInset) {
    position = 0;
  } else if (q <= length + kSliderTrackInset) {
    position = q - kSliderTrackInset;
  }
  const float t = length > 0 ? static_cast<float>(position) / static_cast<float>(length) : 0.0f;
  value_ = ValueAt(t);
  frontEnd_.Redraw(EditorArea::Slider, id_);
  Notify();
}

SliderControlTexts WinSlider::ControlTexts() const {
  return {label_, FormatMinimum(), FormatMaximum(), FormatValue()};
}

void WinSlider::AcceptText(std::string_view text) {
  SetValue(LeadingNumber(text.substr(0, kSliderTextMax)));
  Notify();
}

std::string LabelledSlider::Format(float v) const { return Printf("%.2f", double{v}); }
std::string LabelledSlider::LabelLine() const { return label() + " " + Format(value()); }
std::string LabelledSlider::FormatValue() const { return Format(value()); }
std::string LabelledSlider::FormatMinimum() const { return Format(minimum()); }
std::string LabelledSlider::FormatMaximum() const { return Format(maximum()); }

std::string LabelledWholeSlider::Format(float v) const { return Printf("%d", TruncToInt(v)); }
std::string LabelledWholeSlider::LabelLine() const { return label() + " " + Format(value()); }

float SquareSlider::Normalise(float v) const {
  return NormaliseOnTrack(SliderScale::Square, v, minimum(), maximum());
}
float SquareSlider::ValueAt(float t) const {
  return ValueOnTrack(SliderScale::Square, t, minimum(), maximum());
}
float SquareWholeSlider::Normalise(float v) const {
  return NormaliseOnTrack(SliderScale::Square, v, minimum(), maximum());
}
float SquareWholeSlider::ValueAt(float t) const {
  return ValueOnTrack(SliderScale::Square, t, minimum(), maximum());
}

float LeadingNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  text.remove_prefix(i);
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) return 0.0f;  // one sign only
  double v = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (end == text.data()) return 0.0f;  // no number
  if (error == std::errc::result_out_of_range) {
    // Too large for a double becomes infinite; too small, zero.
    const std::string_view number(text.data(), static_cast<size_t>(end - text.data()));
    const size_t e = number.find_first_of("eE");
    const bool tiny = e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
    v = tiny ? 0.0 : std::numeric_limits<double>::infinity();
  }
  if (negative) v = -v;
  constexpr double kLargest = std::numeric_limits<float>::max();
  if (v > kLargest) return std::numeric_limits<float>::infinity();
  if (v < -kLargest) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(v);
}

}  // namespace gw
