// The field table reaches each field of the record, and the panel's slot
// table binds the editor's controls to the right fields and ranges.
#include <gtest/gtest.h>

#include <cstring>

#include "lens/element_fields.h"
#include "lens/element_types.h"

namespace gw {
namespace {

LensElement Filled(uint8_t byte) {
  LensElement e;
  std::memset(&e, byte, sizeof e);
  return e;
}

TEST(ElementFields, EachWriterReachesItsOwnMemberAndNothingElse) {
  LensElement e = Filled(0xAB);
  WriteReal(e, ElementField::Spread, 2.5f);
  WriteWhole(e, ElementField::Iparam4, -1234);
  WriteByte(e, ElementField::Option, 7);
  WriteColour(e, ElementField::Color2, {1, 2, 3});
  EXPECT_EQ(e.spread, 2.5f);
  EXPECT_EQ(e.iparam4, -1234);
  EXPECT_EQ(e.option, 7);
  EXPECT_EQ(e.color2.r, 1);
  EXPECT_EQ(e.color2.b, 3);
  // Everything else is as it was.
  LensElement expected = Filled(0xAB);
  expected.spread = 2.5f;
  expected.iparam4 = -1234;
  expected.option = 7;
  expected.color2 = {1, 2, 3};
  EXPECT_EQ(std::memcmp(&e, &expected, sizeof e), 0);
}

TEST(ElementFields, ReadersAndKeysMatchTheRecord) {
  LensElement e = Filled(0);
  e.brightness = 0.5f;
  e.spare2 = -3.0f;
  e.type = 17;
  e.iparam1 = 99;
  e.enabled = 1;
  e.color1Extra = 200;
  EXPECT_EQ(ReadReal(e, ElementField::Brightness), 0.5f);
  EXPECT_EQ(ReadNumber(e, ElementField::Spare2), -3.0);
  EXPECT_EQ(ReadWhole(e, ElementField::Type), 17);
  EXPECT_EQ(ReadNumber(e, ElementField::Iparam1), 99.0);
  EXPECT_EQ(ReadByte(e, ElementField::Enabled), 1);
  EXPECT_EQ(ReadNumber(e, ElementField::Color1Extra), 200.0);
  for (const ElementFieldInfo& info : ElementFields()) {
    EXPECT_EQ(FindElementField(info.key), info.field) << info.key;
  }
  EXPECT_EQ(*FindElementField("iparam3"), ElementField::Iparam3);
  EXPECT_FALSE(FindElementField("typeName"));
  EXPECT_FALSE(FindElementField("Brightness"));
}

TEST(ElementFields, WritingAFieldOfAnotherKindChangesNothing) {
  LensElement e = Filled(0x11);
  const LensElement before = e;
  WriteReal(e, ElementField::Iparam0, 1.0f);
  WriteWhole(e, ElementField::Brightness, 5);
  WriteByte(e, ElementField::Color1, 5);
  WriteColour(e, ElementField::Name, {9, 9, 9});
  EXPECT_EQ(std::memcmp(&e, &before, sizeof e), 0);
  EXPECT_EQ(ReadReal(e, ElementField::Iparam0), 0.0f);
}

TEST(ElementFields, SettingsWriteExactValues) {
  LensElement e = Filled(0);
  ApplySetting(e, settings::iparam3(-2000));
  ApplySetting(e, settings::position(-0.631579f));
  ApplySetting(e, settings::anamorphic(1));
  ApplySetting(e, settings::color1(255, 168, 71));
  EXPECT_EQ(e.iparam3, -2000);
  EXPECT_EQ(e.position, -0.631579f);
  EXPECT_EQ(e.anamorphic, 1);
  EXPECT_EQ(e.color1.g, 168);
}

TEST(PanelSlots, ControlsFieldsKindsAndRanges) {
  struct Expected {
    int id;
    ElementField field;
    SliderScale scale;
    float minimum, maximum;
  };
  const Expected sliders[kPanelSliderCount] = {
      {117, ElementField::Position, SliderScale::Square, -3.0f, 3.0f},
      {108, ElementField::Brightness, SliderScale::Square, 0.01f, 5.0f},
      {109, ElementField::Scale, SliderScale::Linear, 0.1f, 5.0f},
      {110, ElementField::Spread, SliderScale::Linear, 0.1f, 50.0f},
      {111, ElementField::Angle, SliderScale::Linear, -90.0f, 90.0f},
      {112, ElementField::Iparam0, SliderScale::Square, 1.0f, 100.0f},
      {113, ElementField::Iparam2, SliderScale::Linear, 3.0f, 16.0f},
      {114, ElementField::Iparam3, SliderScale::Linear, 0.0f, 2000.0f},
      {115, ElementField::Iparam4, SliderScale::Linear, 0.0f, 2000.0f},
      {116, ElementField::Iparam5, SliderScale::Linear, 0.0f, 2000.0f},
  };
  for (int i = 0; i < kPanelSliderCount; ++i) {
    const PanelSlotInfo& slot = PanelSlots()[i];
    EXPECT_EQ(slot.controlId, sliders[i].id) << i;
    EXPECT_EQ(slot.field, sliders[i].field) << i;
    EXPECT_EQ(slot.scale, sliders[i].scale) << i;
    EXPECT_EQ(slot.minimum, sliders[i].minimum) << i;
    EXPECT_EQ(slot.maximum, sliders[i].maximum) << i;
  }
  EXPECT_EQ(Describe(PanelSlot::Color1).controlId, 127);
  EXPECT_EQ(Describe(PanelSlot::Color2).field, ElementField::Color2);
  EXPECT_EQ(Describe(PanelSlot::Anamorphic).controlId, 1007);
  EXPECT_EQ(Describe(PanelSlot::Option).field, ElementField::Option);
  EXPECT_EQ(Describe(PanelSlot::Option).controlId, 1039);
}

}  // namespace
}  // namespace gw
