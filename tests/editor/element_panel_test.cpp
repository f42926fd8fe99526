// The parameter panel: labels, enabling, values shown clamped, and edits
// that reach exactly the field behind each control.
#include <gtest/gtest.h>

#include "lens/control_ids.h"
#include "tests/editor/editor_test_support.h"

namespace gw::testing {
namespace {

using enum ElementType;

class ElementPanelTest : public EditorTest {
 protected:
  std::vector<int> EnabledSliders() {
    std::vector<int> ids;
    for (int s = 0; s < kPanelSliderCount; ++s) {
      const WinSlider& slider = panel().slider(static_cast<PanelSlot>(s));
      if (slider.enabled()) ids.push_back(slider.id());
    }
    return ids;
  }
  const WinSlider& Slider(PanelSlot slot) { return panel().slider(slot); }
};

TEST_F(ElementPanelTest, TheTenSlotsAreInTwoColumns) {
  Open(ZeroLens());
  EXPECT_EQ(Slider(PanelSlot::Position).place(), Rect::At(21, 342, 200, 22));
  EXPECT_EQ(Slider(PanelSlot::Angle).place(), Rect::At(21, 442, 200, 22));
  EXPECT_EQ(Slider(PanelSlot::Iparam0).place(), Rect::At(226, 342, 200, 22));
  EXPECT_EQ(Slider(PanelSlot::Iparam5).place(), Rect::At(226, 442, 200, 22));
  EXPECT_EQ(Slider(PanelSlot::Position).Kind(), SliderKind::Square);
  EXPECT_EQ(Slider(PanelSlot::Iparam0).Kind(), SliderKind::SquareWhole);
  EXPECT_EQ(Slider(PanelSlot::Iparam2).Kind(), SliderKind::LabelledWhole);
  EXPECT_EQ(Slider(PanelSlot::Scale).Kind(), SliderKind::Labelled);
  EXPECT_EQ(panel().colourBox(1).label(), "Color1:");
  EXPECT_EQ(panel().colourBox(2).place(), Rect::At(450, 380, 60, 31));
}

TEST_F(ElementPanelTest, GlowBallThenFadedRing) {
  Lens start = LensOfTypes({GlowBall, FadedRing}, 2);
  start.elements[0].spread = 3.5f;
  Open(start);
  list().Select(0);
  EXPECT_EQ(EnabledSliders(), (std::vector<int>{117, 108, 109, 110, 111, 116}));
  EXPECT_TRUE(panel().colourBox(1).enabled());
  EXPECT_EQ(panel().colourBox(1).label(), "Outer Color: ");
  EXPECT_EQ(panel().colourBox(1).colour(), PackColour({200, 140, 180}));
  EXPECT_EQ(panel().colourBox(2).label(), "Inner Color: ");
  EXPECT_TRUE(panel().checkBox(1).shown);
  EXPECT_EQ(panel().checkBox(1).label, "Anamorphic");
  EXPECT_TRUE(panel().checkBox(2).shown);
  EXPECT_EQ(panel().checkBox(2).label, "Do Ring");
  EXPECT_EQ(Slider(PanelSlot::Brightness).label(), "Ring Brightness: ");
  EXPECT_EQ(Slider(PanelSlot::Iparam5).value(), 500.0f);

  list().Select(1);
  EXPECT_EQ(EnabledSliders(), (std::vector<int>{117, 108, 109}));
  EXPECT_EQ(Slider(PanelSlot::Brightness).label(), "Brightness: ");
  EXPECT_EQ(Slider(PanelSlot::Position).value(), -0.6f);
  // The greyed slots keep GlowBall's labels and values.
  EXPECT_EQ(Slider(PanelSlot::Spread).label(), "Ring Softness: ");
  EXPECT_EQ(Slider(PanelSlot::Spread).value(), 3.5f);
  EXPECT_EQ(Slider(PanelSlot::Angle).label(), "Taper: ");
  EXPECT_EQ(Slider(PanelSlot::Iparam5).label(), "Ramp Gamma: ");
  EXPECT_FALSE(panel().colourBox(1).enabled());
  EXPECT_FALSE(panel().colourBox(2).enabled());
  EXPECT_TRUE(panel().checkBox(1).shown);
  EXPECT_FALSE(panel().checkBox(2).shown);
}

TEST_F(ElementPanelTest, SpikeBallsColourLabelHasNoBlank) {
  Open(LensOfTypes({SpikeBall, Stripe}, 2));
  list().Select(0);
  EXPECT_EQ(panel().colourBox(1).label(), "Color:");
  EXPECT_EQ(Slider(PanelSlot::Iparam0).label(), "Spike Count: ");
  list().Select(1);
  EXPECT_FALSE(panel().checkBox(1).shown);  // a Stripe has no anamorphic
  EXPECT_EQ(panel().checkBox(2).label, "Center");
  EXPECT_EQ(Slider(PanelSlot::Scale).label(), "Length: ");
}

TEST_F(ElementPanelTest, ApertureReflectionHasNoPosition) {
  Lens start = LensOfTypes({ApertureReflection}, 1);
  start.elements[0].position = 2.25f;
  Open(start);
  list().Select(0);
  EXPECT_FALSE(Slider(PanelSlot::Position).enabled());
  editor->Command(117, 0, -1.0f);  // a disabled control edits nothing
  EXPECT_EQ(lens().elements[0].position, 2.25f);
  editor->Command(ids::kAnamorphic, 1);  // hidden
  EXPECT_EQ(lens().elements[0].anamorphic, 0);
}

TEST_F(ElementPanelTest, ValuesAreShownClampedAndKeptUntilMoved) {
  Lens start = LensOfTypes({Disc}, 1);
  start.elements[0].angle = 120.0f;
  start.elements[0].iparam3 = -5;
  Open(start);
  list().Select(0);
  EXPECT_EQ(Slider(PanelSlot::Angle).value(), 90.0f);
  EXPECT_EQ(Slider(PanelSlot::Angle).FormatValue(), "90.00");
  EXPECT_EQ(Slider(PanelSlot::Iparam3).value(), 0.0f);
  EXPECT_EQ(lens().elements[0].angle, 120.0f);
  EXPECT_EQ(lens().elements[0].iparam3, -5);
}

TEST_F(ElementPanelTest, EditsReachTheirFields) {
  Open(LensOfTypes({Ellipse}, 2));
  list().Select(1);
  const int renders = frontEnd.waitCursorOn;
  // A whole-number slot moved to 7.9 on its track stores 7.
  editor->Command(112, 7, 7.9f);
  EXPECT_EQ(lens().elements[1].iparam0, 7);
  editor->Command(115, 1999, 1999.99f);
  EXPECT_EQ(lens().elements[1].iparam4, 1999);
  editor->Command(111, 0, -12.75f);
  EXPECT_EQ(lens().elements[1].angle, -12.75f);
  editor->Command(117, 0, 1.5f);
  EXPECT_EQ(lens().elements[1].position, 1.5f);
  EXPECT_EQ(frontEnd.waitCursorOn, renders);  // light renders
  editor->Command(ids::kColour1, static_cast<int32_t>(PackColour({1, 2, 3})));
  EXPECT_EQ(lens().elements[1].color1.g, 2);
  EXPECT_EQ(lens().elements[1].color1Extra, 255);
  editor->Command(ids::kOption, 1);
  EXPECT_EQ(lens().elements[1].option, 1);
  editor->Command(ids::kAnamorphic, 1);
  EXPECT_EQ(lens().elements[1].anamorphic, 1);
  EXPECT_TRUE(panel().checkBox(1).checked);
  editor->Command(ids::kAnamorphic, 0);
  EXPECT_EQ(lens().elements[1].anamorphic, 0);
  EXPECT_EQ(frontEnd.waitCursorOn, renders + 4);  // heavy renders
  // Element 0 was never touched.
  const Lens fresh = LensOfTypes({Ellipse}, 1);
  EXPECT_EQ(std::memcmp(&lens().elements[0], &fresh.elements[0], sizeof(LensElement)), 0);
}

TEST_F(ElementPanelTest, DraggingASlotWritesTheSelectedElement) {
  Open(LensOfTypes({ChromaFan}, 3));
  list().MouseDown({40, 7});  // element 0, dragged to row 2
  list().MouseMove({40, 37});
  list().MouseUp({40, 37});
  ASSERT_EQ(list().selection(), 2);
  WinSlider& spread = *editor->SliderById(114);  // "Spread: " 0..2000
  spread.MouseDown({5 + 95, 18});
  spread.MouseUp();
  EXPECT_EQ(lens().elements[2].iparam3, 1000);
  EXPECT_EQ(lens().elements[0].iparam3, 500);
}

TEST_F(ElementPanelTest, NothingIsShownForNoElementOrAnUnknownType) {
  Lens start = LensOfTypes({GlowBall}, 2);
  start.elements[1].type = 7;
  Open(start);
  list().Select(0);
  list().Select(1);
  EXPECT_TRUE(EnabledSliders().empty());
  EXPECT_FALSE(panel().colourBox(1).enabled());
  EXPECT_FALSE(panel().colourBox(2).enabled());
  EXPECT_FALSE(panel().checkBox(1).shown);
  EXPECT_FALSE(panel().checkBox(2).shown);
  editor->Command(ids::kColour1, 0x123456);
  EXPECT_EQ(lens().elements[1].color1.r, 200);  // as it was
  list().Select(-1);
  EXPECT_TRUE(EnabledSliders().empty());
  editor->Command(110, 0, 7.0f);  // no selection: nothing to edit
  EXPECT_EQ(lens().elements[0].spread, 1.0f);
}

TEST_F(ElementPanelTest, ColourBoxesShareTheirCustomColours) {
  SharedCustomColours().fill(0);
  Open(LensOfTypes({GlowBall}, 1));
  list().Select(0);
  frontEnd.colours = {0x00FF8040u, std::nullopt};
  frontEnd.defineCustomColour = std::make_pair(3, 0x00ABCDEFu);
  panel().colourBox(2).Click();
  EXPECT_EQ(frontEnd.coloursOffered[0], PackColour({130, 115, 150}));
  EXPECT_EQ(lens().elements[0].color2.r, 0x40);
  EXPECT_EQ(lens().elements[0].color2.b, 0xFF);
  panel().colourBox(1).Click();  // cancelled: nothing changes, nothing sent
  EXPECT_EQ(lens().elements[0].color1.r, 200);
  EXPECT_EQ(frontEnd.customColoursSeen[1][3], 0x00ABCDEFu);
  // A later editor run in the same module offers it too.
  editor.reset();
  Open(LensOfTypes({GlowBall}, 1));
  editor->preview().colourBox().Click();
  EXPECT_EQ(frontEnd.customColoursSeen[2][3], 0x00ABCDEFu);
  SharedCustomColours().fill(0);
}

TEST_F(ElementPanelTest, DisabledColourBoxesIgnoreClicks) {
  Open(LensOfTypes({FadedRing}, 1));
  list().Select(0);
  frontEnd.colours = {0x00FFFFFFu};
  panel().colourBox(1).Click();
  EXPECT_TRUE(frontEnd.coloursOffered.empty());
  EXPECT_EQ(frontEnd.colours.size(), 1u);
}

}  // namespace
}  // namespace gw::testing
