// The slider family: mappings, the thumb, drags, labels and the "Slider
// Control" window, with the numbers the editor's users see.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "lens/control_ids.h"
#include "editor/slider.h"
#include "tests/support/scripted_front_end.h"

namespace gw::testing {
namespace {

struct Notice {
  int id;
  int32_t param;
  float real;
};

class Recorder final : public DialogSink {
 public:
  void Command(int id, int32_t param, float real) override { commands.push_back({id, param, real}); }
  void Message(int message, int32_t wparam) override { messages.push_back({message, wparam}); }
  std::vector<Notice> commands;
  std::vector<std::pair<int, int32_t>> messages;
};

class SliderTest : public ::testing::Test {
 protected:
  template <typename Kind>
  std::unique_ptr<Kind> Make(float minimum, float maximum) {
    auto slider = std::make_unique<Kind>(dialog, frontEnd, 111, Rect::At(21, 342, 200, 22));
    slider->SetRange(minimum, maximum);
    slider->SetEnabled(true);
    return slider;
  }
  Recorder dialog;
  ScriptedFrontEnd frontEnd;
};

TEST_F(SliderTest, SetValueClampsToTheRange) {
  LabelledSlider s(dialog, frontEnd, 109, Rect::At(21, 342, 200, 22));
  s.SetRange(0.1f, 5.0f);
  s.SetLabel("Scale: ");
  s.SetValue(7.5f);
  EXPECT_EQ(s.value(), 5.0f);
  EXPECT_EQ(s.LabelLine(), "Scale:  5.00");
  s.SetValue(-2.0f);
  EXPECT_EQ(s.value(), 0.1f);
  s.SetValue(NAN);  // a NaN from a damaged file or typed "nan" sits at the bottom
  EXPECT_EQ(s.value(), 0.1f);
  s.SetValue(INFINITY);
  EXPECT_EQ(s.value(), 5.0f);
  EXPECT_TRUE(dialog.commands.empty());  // setting is not editing
}

TEST_F(SliderTest, ANewSliderIsDisabledOverZeroToHundred) {
  HorizontalSlider s(dialog, frontEnd, 121, Rect::At(21, 261, 330, 12));
  EXPECT_FALSE(s.enabled());
  EXPECT_EQ(s.minimum(), 0.0f);
  EXPECT_EQ(s.maximum(), 100.0f);
  EXPECT_EQ(s.value(), 0.0f);
  EXPECT_EQ(s.trackLength(), 320);
  VerticalSlider v(dialog, frontEnd, 120, Rect::At(348, 14, 12, 250));
  EXPECT_EQ(v.trackLength(), 240);
}

TEST_F(SliderTest, DragOnALinearTrackOf190Pixels) {
  auto s = Make<LabelledSlider>(-90.0f, 90.0f);
  ASSERT_EQ(s->trackLength(), 190);
  s->MouseDown({100, 18});  // 95 / 190 = 0.5
  EXPECT_EQ(s->value(), 0.0f);
  ASSERT_EQ(dialog.commands.size(), 1u);
  EXPECT_EQ(dialog.commands[0].id, 111);
  EXPECT_EQ(dialog.commands[0].real, 0.0f);
  s->MouseMove({100, 19});  // the same place along the track: no notice
  EXPECT_EQ(dialog.commands.size(), 1u);
  s->MouseMove({2, 18});  // left of the track's start
  EXPECT_EQ(s->value(), -90.0f);
  s->MouseMove({500, 18});  // beyond its end
  EXPECT_EQ(s->value(), 90.0f);
  s->MouseMove({195, 18});  // its last pixel
  EXPECT_EQ(s->value(), 90.0f);
  s->MouseUp();
  s->MouseMove({5, 18});  // no longer dragging
  EXPECT_EQ(s->value(), 90.0f);
  // Drag begins at the press and ends at the release.
  ASSERT_EQ(dialog.messages.size(), 2u);
  EXPECT_EQ(dialog.messages[0], std::make_pair(ids::kDragBegins, 111));
  EXPECT_EQ(dialog.messages[1], std::make_pair(ids::kDragEnds, 111));
}

TEST_F(SliderTest, VerticalSlidersFollowThePointerDown) {
  VerticalSlider s(dialog, frontEnd, 120, Rect::At(348, 14, 12, 250));
  s.SetRange(0.0f, 240.0f);
  s.SetEnabled(true);
  s.MouseDown({300, 105});  // x does not matter
  EXPECT_EQ(s.value(), 100.0f);
  EXPECT_EQ(dialog.commands.back().param, 100);
  s.SetValue(60.0f);
  EXPECT_EQ(s.ThumbPlace(), 60);
}

TEST_F(SliderTest, SquareThumbAndValues) {
  auto s = Make<SquareSlider>(0.01f, 5.0f);
  s->SetValue(1.0f);
  EXPECT_NEAR(s->Normalise(1.0f), std::sqrt(0.99 / 4.99), 1e-6);  // about 0.445
  EXPECT_EQ(s->ThumbPlace(), static_cast<int>(s->Normalise(1.0f) * 190.0f));
  EXPECT_EQ(s->ThumbPlace(), 84);
  EXPECT_FLOAT_EQ(s->ValueAt(0.5f), 0.01f + 0.25f * 4.99f);
  // Fine control near the minimum: the first tenth of the track covers 1 %.
  s->MouseDown({5 + 19, 18});
  EXPECT_NEAR(s->value(), 0.01f + 0.01f * 4.99f, 1e-6f);
}

TEST_F(SliderTest, WholeNumberLabelsTruncateAndReport) {
  auto s = Make<LabelledWholeSlider>(1.0f, 100.0f);
  s->SetLabel("Count: ");
  s->SetValue(7.9f);
  EXPECT_EQ(s->LabelLine(), "Count:  7");
  EXPECT_EQ(s->FormatValue(), "7");
  EXPECT_EQ(s->FormatMinimum(), "1");
  EXPECT_EQ(s->FormatMaximum(), "100");
  s->AcceptText("7.9");
  EXPECT_EQ(dialog.commands.back().param, 7);
  EXPECT_EQ(dialog.commands.back().real, 7.9f);
  auto real = Make<LabelledSlider>(0.1f, 50.0f);
  real->SetLabel("Spread: ");
  real->SetValue(12.345f);
  EXPECT_EQ(real->LabelLine(), "Spread:  12.35");
  EXPECT_EQ(real->FormatMinimum(), "0.10");
}

TEST_F(SliderTest, PressOnTheLabelOpensTheSliderControlWindow) {
  auto s = Make<SquareSlider>(0.01f, 5.0f);
  s->SetLabel("Brightness: ");
  s->SetValue(1.0f);
  frontEnd.sliderTexts = {"  2.5e0 units", std::nullopt};
  s->MouseDown({40, 13});
  ASSERT_EQ(frontEnd.sliderWindows.size(), 1u);
  const SliderControlTexts& texts = frontEnd.sliderWindows[0];
  EXPECT_EQ(texts.title, "Brightness: ");
  EXPECT_EQ(texts.minimum, "0.01");
  EXPECT_EQ(texts.maximum, "5.00");
  EXPECT_EQ(texts.value, "1.00");
  EXPECT_EQ(s->value(), 2.5f);
  ASSERT_EQ(dialog.commands.size(), 1u);
  EXPECT_EQ(dialog.commands[0].real, 2.5f);
  // Begins and ends around the window; the release that follows adds nothing.
  s->MouseUp();
  EXPECT_EQ(dialog.messages.size(), 2u);
  // Cancel changes nothing and sends nothing.
  s->MouseDown({40, 0});
  EXPECT_EQ(s->value(), 2.5f);
  EXPECT_EQ(dialog.commands.size(), 1u);
}

TEST_F(SliderTest, TextThatIsNoNumberGivesZeroRaisedToTheMinimum) {
  auto s = Make<LabelledSlider>(0.1f, 5.0f);
  s->AcceptText("abc");
  EXPECT_EQ(s->value(), 0.1f);
  auto angle = Make<LabelledSlider>(-90.0f, 90.0f);
  angle->SetValue(45.0f);
  angle->AcceptText("");
  EXPECT_EQ(angle->value(), 0.0f);
  angle->AcceptText("-1e999");
  EXPECT_EQ(angle->value(), -90.0f);
  angle->AcceptText("nan");
  EXPECT_EQ(angle->value(), -90.0f);
  angle->AcceptText("+12.5abc");
  EXPECT_EQ(angle->value(), 12.5f);
  // Only the first 62 characters are read.
  angle->AcceptText(std::string(61, ' ') + "99");
  EXPECT_EQ(angle->value(), 9.0f);
}

TEST(LeadingNumber, ReadsAsTheStandardConversionDoes) {
  EXPECT_EQ(LeadingNumber("3.25"), 3.25f);
  EXPECT_EQ(LeadingNumber("\t -7x"), -7.0f);
  EXPECT_EQ(LeadingNumber(".5"), 0.5f);
  EXPECT_EQ(LeadingNumber("1e3"), 1000.0f);
  EXPECT_EQ(LeadingNumber("x1"), 0.0f);
  EXPECT_EQ(LeadingNumber("--1"), 0.0f);
  EXPECT_EQ(LeadingNumber("1e-999"), 0.0f);
  EXPECT_TRUE(std::isinf(LeadingNumber("1e60")));
  EXPECT_TRUE(std::isinf(LeadingNumber("inf")));
}

TEST_F(SliderTest, DisabledSlidersIgnorePressesButStillSendBeginsAndEnds) {
  LabelledSlider s(dialog, frontEnd, 113, Rect::At(226, 367, 200, 22));
  s.SetRange(3.0f, 16.0f);
  s.SetValue(5.0f);
  s.MouseDown({100, 18});
  s.MouseMove({150, 18});
  s.MouseDown({20, 2});  // the label: no window either
  s.MouseUp();
  EXPECT_EQ(s.value(), 5.0f);
  EXPECT_TRUE(dialog.commands.empty());
  EXPECT_TRUE(frontEnd.sliderWindows.empty());
  ASSERT_EQ(dialog.messages.size(), 4u);
  EXPECT_EQ(dialog.messages[0].first, ids::kDragBegins);
  EXPECT_EQ(dialog.messages[1].first, ids::kDragEnds);
}

}  // namespace
}  // namespace gw::testing
