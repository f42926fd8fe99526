// The editor's numeric control: a real value within a range, shown as a
// small triangle on a line. Labelled kinds print their label and value above
// the line and open the "Slider Control" window when the label is clicked.
#pragma once

#include <cstdint>
#include <string>

#include "editor/front_end.h"
#include "editor/geometry.h"
#include "lens/element_types.h"

namespace gw {

enum class SliderKind : uint8_t {
  Horizontal,     // light position, horizontal
  Vertical,       // light position, vertical
  Labelled,       // "%s %.2f"
  LabelledWhole,  // "%s %d"
  Square,         // "%s %.2f", fine control near the minimum
  SquareWhole,    // "%s %d"
};

inline constexpr int kSliderLabelMax = 63;
inline constexpr int kSliderLabelLineHeight = 14;  // a press above this opens the window
inline constexpr int kSliderTrackInset = 5;
inline constexpr int kSliderTextMax = 62;  // characters read from the window's edit field

// A value's place on a track, 0..1, and back: linear, or square (fine
// control near the minimum). Every slider of both editors maps through these.
float NormaliseOnTrack(SliderScale scale, float value, float minimum, float maximum);
float ValueOnTrack(SliderScale scale, float t, float minimum, float maximum);

class WinSlider {
 public:
  WinSlider(DialogSink& dialog, EditorFrontEnd& frontEnd, int id, Rect place);
  virtual ~WinSlider() = default;
  WinSlider(const WinSlider&) = delete;
  WinSlider& operator=(const WinSlider&) = delete;

  virtual SliderKind Kind() const = 0;
  // The value's place on the track, 0..1, and back.
  virtual float Normalise(float value) const;
  virtual float ValueAt(float t) const;
  // Labelled kinds: the line above the track and the window's three texts.
  virtual std::string LabelLine() const { return {}; }
  virtual std::string FormatValue() const { return {}; }
  virtual std::string FormatMinimum() const { return {}; }
  virtual std::string FormatMaximum() const { return {}; }

  bool Labelled() const { return Kind() != SliderKind::Horizontal && Kind() != SliderKind::Vertical; }
  bool Vertical() const { return Kind() == SliderKind::Vertical; }

  int id() const { return id_; }
  Rect place() const { return place_; }
  bool enabled() const { return enabled_; }
  float value() const { return value_; }
  float minimum() const { return minimum_; }
  float maximum() const { return maximum_; }
  const std::string& label() const { return label_; }
  // The window's length along the track less 10 pixels.
  int32_t trackLength() const;
  // Where the thumb's tip stands along the track: normalise(value) x track
  // length, truncated.
  int32_t ThumbPlace() const;
  bool dragging() const { return dragging_; }

  void SetEnabled(bool on);
  void SetRange(float minimum, float maximum);
  void SetLabel(std::string_view text);  // at most 63 characters
  // The value, raised to the minimum and lowered to the maximum (NaN counts
  // as the minimum); redraws at once.
  void SetValue(float v);

  // The pointer, in the slider's own coordinates. A press sends drag begins,
  // a release drag ends, enabled or not. When enabled, a press on a
  // labelled slider's label line opens the "Slider Control" window, any
  // other press starts a drag, which follows the pointer until the release.
  // A move with the button no longer down, or the mouse taken away by the
  // window system, ends the drag as a release there would: the window system
  // lost a release, and hovering must not edit.
  void MouseDown(Point p);
  void MouseMove(Point p, bool buttonDown = true);
  void MouseUp();
  void CaptureLost() { MouseUp(); }

  // The "Slider Control" window: the texts it opens with, and what its OK
  // does with the edit field's text.
  SliderControlTexts ControlTexts() const;
  void AcceptText(std::string_view text);

 protected:
  float Clamp(float v) const;

 private:
  void DragTo(int32_t q);
  void Notify();

  DialogSink& dialog_;
  EditorFrontEnd& frontEnd_;
  int id_;
  Rect place_;
  bool enabled_ = false;
  float minimum_ = 0.0f;
  float maximum_ = 100.0f;
  float value_ = 0.0f;
  std::string label_;
  bool dragging_ = false;
  int32_t lastQ_ = 0;
  bool seenQ_ = false;
};

class HorizontalSlider final : public WinSlider {
 public:
  using WinSlider::WinSlider;
  SliderKind Kind() const override { return SliderKind::Horizontal; }
};

class VerticalSlider final : public WinSlider {
 public:
  using WinSlider::WinSlider;
  SliderKind Kind() const override { return SliderKind::Vertical; }
};

class LabelledSlider : public WinSlider {
 public:
  using WinSlider::WinSlider;
  SliderKind Kind() const override { return SliderKind::Labelled; }
  std::string LabelLine() const override;
  std::string FormatValue() const override;
  std::string FormatMinimum() const override;
  std::string FormatMaximum() const override;

 protected:
  virtual std::string Format(float v) const;  // "%.2f"
};

class LabelledWholeSlider : public LabelledSlider {
 public:
  using LabelledSlider::LabelledSlider;
  SliderKind Kind() const override { return SliderKind::LabelledWhole; }
  std::string LabelLine() const override;

 protected:
  std::string Format(float v) const override;  // "%d", truncated
};

class SquareSlider final : public LabelledSlider {
 public:
  using LabelledSlider::LabelledSlider;
  SliderKind Kind() const override { return SliderKind::Square; }
  float Normalise(float value) const override;
  float ValueAt(float t) const override;
};

class SquareWholeSlider final : public LabelledWholeSlider {
 public:
  using LabelledWholeSlider::LabelledWholeSlider;
  SliderKind Kind() const override { return SliderKind::SquareWhole; }
  float Normalise(float value) const override;
  float ValueAt(float t) const override;
};

// The leading decimal number of a text, as the standard conversion reads it
// (blanks first allowed); 0 when the text starts with no number.
float LeadingNumber(std::string_view text);

}  // namespace gw
