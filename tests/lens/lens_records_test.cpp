#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "lens/byte_order.h"
#include "lens/element_types.h"
#include "lens/lens.h"

namespace gw {
namespace {

std::vector<uint8_t> Bytes(const void* p, size_t n) {
  const auto* b = static_cast<const uint8_t*>(p);
  return std::vector<uint8_t>(b, b + n);
}

SequenceData StoredDefault() {
  SequenceData data{};
  data.version = kSequenceDataVersion;
  BuildDefaultLens(data.lens);
  Flatten(data);
  return data;
}

TEST(DefaultLens, StoredBytesBeginWithVersionAndCount) {
  const SequenceData data = StoredDefault();
  const auto b = Bytes(&data, sizeof data);
  EXPECT_EQ(std::vector<uint8_t>(b.begin(), b.begin() + 8),
            (std::vector<uint8_t>{0x00, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 0x03}));
  // Element 0 (GlowBall) starts at byte 8: brightness 1.0, angle 20.0 big-endian.
  EXPECT_EQ(std::vector<uint8_t>(b.begin() + 8, b.begin() + 12),
            (std::vector<uint8_t>{0x3f, 0x80, 0x00, 0x00}));
  EXPECT_EQ(std::vector<uint8_t>(b.begin() + 16, b.begin() + 20),
            (std::vector<uint8_t>{0x41, 0xa0, 0x00, 0x00}));
  // type 0, iparam5 500 (0x01f4), option and anamorphic on.
  EXPECT_EQ(b[8 + 28], 0);
  EXPECT_EQ(b[8 + 29], 0);
  EXPECT_EQ(b[8 + 40], 0x01);
  EXPECT_EQ(b[8 + 41], 0xf4);
  EXPECT_EQ(b[8 + 42], 1);
  EXPECT_EQ(b[8 + 43], 1);
  // Marker byte: "GlowBall" is 8 characters, the marker counts itself.
  EXPECT_EQ(b[8 + 53], 9);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[8 + 54])), "GlowBall");
  // Element 1 (PolySpread) at 128: type 3, iparam0 42.
  EXPECT_EQ(b[128 + 29], 3);
  EXPECT_EQ(b[128 + 31], 42);
}

TEST(DefaultLens, ValuesOfItsThreeElements) {
  Lens lens{};
  BuildDefaultLens(lens);
  ASSERT_EQ(lens.count, 3u);
  const LensElement& glow = lens.elements[0];
  EXPECT_EQ(glow.type, 0);
  EXPECT_EQ(glow.option, 1);
  EXPECT_EQ(glow.anamorphic, 1);
  EXPECT_EQ(glow.iparam5, 500);
  EXPECT_EQ(glow.color1.r, 200);
  EXPECT_EQ(glow.color2.b, 150);
  EXPECT_EQ(ElementName(glow), "GlowBall");

  const LensElement& spread = lens.elements[1];
  LensElement plain{};
  InitElement(3, plain);
  EXPECT_EQ(spread.position, 0.0f);
  EXPECT_EQ(plain.position, 0.0f);
  EXPECT_EQ(spread.spare1, -2.0f);
  EXPECT_EQ(spread.spare2, 0.625f);
  EXPECT_EQ(spread.scale, 0.37f);
  EXPECT_EQ(spread.iparam0, 42);
  EXPECT_EQ(spread.iparam3, 291);
  EXPECT_EQ(spread.iparam4, 1458);
  EXPECT_EQ(spread.iparam5, 437);
  EXPECT_EQ(spread.color1.r, 20);
  EXPECT_EQ(spread.color1.g, 30);
  EXPECT_EQ(spread.color1.b, 50);
  // Apart from the listed fields it is the plain PolySpread.
  LensElement adjusted = plain;
  adjusted.spare1 = spread.spare1;
  adjusted.spare2 = spread.spare2;
  adjusted.iparam0 = spread.iparam0;
  adjusted.scale = spread.scale;
  adjusted.color1 = spread.color1;
  adjusted.iparam3 = spread.iparam3;
  adjusted.iparam4 = spread.iparam4;
  adjusted.iparam5 = spread.iparam5;
  adjusted.anamorphic = spread.anamorphic;
  EXPECT_EQ(Bytes(&adjusted, sizeof adjusted), Bytes(&spread, sizeof spread));

  const LensElement& star = lens.elements[2];
  EXPECT_EQ(star.type, 2);
  EXPECT_EQ(star.brightness, 2.0f);
  EXPECT_EQ(star.iparam0, 12);
  EXPECT_EQ(star.anamorphic, 1);
}

TEST(DefaultLens, LeavesLaterSlotsAlone) {
  Lens lens;
  std::memset(&lens, 0xab, sizeof lens);
  BuildDefaultLens(lens);
  const auto b = Bytes(&lens.elements[3], sizeof(LensElement) * 97);
  for (uint8_t v : b) ASSERT_EQ(v, 0xab);
}

TEST(InitElement, EveryTypeIsEnabledAndNamed) {
  for (const ElementTypeInfo& info : ElementTypes()) {
    LensElement e{};
    InitElement(static_cast<int16_t>(info.type), e);
    EXPECT_EQ(e.enabled, 1);
    EXPECT_EQ(e.type, static_cast<int16_t>(info.type));
    EXPECT_EQ(e.name[0], 'p');
    EXPECT_EQ(ElementName(e), info.defaultName);
    EXPECT_EQ(e.spare1, -1.0f);
    EXPECT_EQ(e.spare2, 1.0f);
    EXPECT_EQ(e.color1Extra, 255);
    EXPECT_EQ(e.color2Extra, 255);
  }
}

TEST(InitElement, TypesWithoutRowKeepBaseValuesAndEmptyName) {
  for (int16_t type : {int16_t{7}, int16_t{8}, int16_t{-1}, int16_t{21}, int16_t{32767}}) {
    LensElement e;
    std::memset(&e, 0x55, sizeof e);
    InitElement(type, e);
    EXPECT_EQ(e.type, type);
    EXPECT_EQ(e.brightness, 1.0f);
    EXPECT_EQ(e.angle, 15.0f);
    EXPECT_EQ(e.spread, 50.0f);
    EXPECT_EQ(e.iparam0, 20);
    EXPECT_EQ(e.iparam1, 8);
    EXPECT_EQ(e.iparam2, 5);
    EXPECT_EQ(e.iparam3, 200);
    EXPECT_EQ(e.iparam4, 1000);
    EXPECT_EQ(e.iparam5, 300);
    EXPECT_EQ(e.name[0], 0);
    EXPECT_EQ(ElementName(e), "");
  }
}

TEST(InitElement, OverridesOfSomeTypes) {
  LensElement e{};
  InitElement(static_cast<int16_t>(ElementType::ApertureReflection), e);
  EXPECT_EQ(e.iparam3, 350);
  EXPECT_EQ(e.iparam4, 1400);
  EXPECT_EQ(e.iparam5, 0);
  EXPECT_EQ(e.scale, 0.36f);
  EXPECT_EQ(e.position, 1.0f);
  InitElement(static_cast<int16_t>(ElementType::ChromaFan), e);
  EXPECT_EQ(ElementName(e), "ChromaFan");
  EXPECT_EQ(e.iparam5, 300);
  EXPECT_EQ(e.option, 1);
  InitElement(static_cast<int16_t>(ElementType::Ellipse), e);
  EXPECT_EQ(e.angle, -90.0f);
  EXPECT_EQ(e.position, -0.75f);
  EXPECT_EQ(e.iparam5, 50);
  InitElement(static_cast<int16_t>(ElementType::Sparkle), e);
  EXPECT_EQ(e.angle, 15.0f);
  EXPECT_EQ(e.iparam0, 20);
}

TEST(InitElement, KeepsNameBytesAfterTheTerminatorAndTheTail) {
  LensElement e;
  std::memset(&e, 0x77, sizeof e);
  InitElement(static_cast<int16_t>(ElementType::Disc), e);  // "Disc": NUL at name[5]
  EXPECT_EQ(e.name[5], 0);
  EXPECT_EQ(static_cast<uint8_t>(e.name[6]), 0x77);
  EXPECT_EQ(e.unused[0], 0x77);
  EXPECT_EQ(e.unused[2], 0x77);
}

LensElement OddElement(int i) {
  LensElement e{};
  InitElement(static_cast<int16_t>(i % 21), e);
  e.brightness = FloatFromBits(0x7fc01234u);  // a NaN with a payload
  e.scale = -0.0f;
  e.angle = FloatFromBits(0x00000001u);       // the smallest denormal
  e.spread = -INFINITY;
  e.position = 1.0f / 3.0f + static_cast<float>(i);
  e.spare1 = 1e30f;
  e.spare2 = -1e-30f;
  e.iparam0 = -32768;
  e.iparam1 = 32767;
  e.iparam2 = static_cast<int16_t>(-i);
  e.iparam3 = 0x1234;
  e.iparam4 = static_cast<int16_t>(0x8001);
  e.iparam5 = 7;
  e.anamorphic = 200;
  e.option = 3;
  e.enabled = static_cast<uint8_t>(i % 2);
  e.color1 = {1, 2, 3};
  e.color1Extra = 4;
  e.color2 = {250, 251, 252};
  e.color2Extra = 9;
  SetElementName(e, std::string(static_cast<size_t>(i % 63), 'a' + i % 26));
  return e;
}

TEST(StoredOrder, RoundTripRestoresEveryFieldBitForBit) {
  SequenceData data{};
  data.version = kSequenceDataVersion;
  data.lens.count = 100;
  for (int i = 0; i < 100; ++i) data.lens.elements[i] = OddElement(i);
  const SequenceData original = data;
  Flatten(data);
  EXPECT_NE(Bytes(&data, sizeof data), Bytes(&original, sizeof original));
  Unflatten(data);
  EXPECT_EQ(data.version, kSequenceDataVersion);
  EXPECT_EQ(data.lens.count, 100u);
  for (int i = 0; i < 100; ++i) {
    const LensElement& a = original.lens.elements[i];
    const LensElement& b = data.lens.elements[i];
    EXPECT_EQ(Bytes(&a, 53), Bytes(&b, 53)) << "element " << i;
    EXPECT_EQ(ElementName(a), ElementName(b));
    EXPECT_EQ(b.name[0], 'p');
  }
}

TEST(StoredOrder, FieldsAreBigEndianWhenStored) {
  SequenceData data{};
  data.lens.count = 1;
  data.lens.elements[0] = OddElement(5);
  Flatten(data);
  const auto b = Bytes(&data.lens.elements[0], sizeof(LensElement));
  EXPECT_EQ(b[0], 0x7f);  // NaN 0x7fc01234, high byte first
  EXPECT_EQ(b[3], 0x34);
  EXPECT_EQ(b[28], 0x00);  // type 5
  EXPECT_EQ(b[29], 0x05);
  EXPECT_EQ(b[36], 0x12);  // iparam3 0x1234
  EXPECT_EQ(b[37], 0x34);
  EXPECT_EQ(b[42], 200);   // bytes are never swapped
  EXPECT_EQ(b[45], 1);
  EXPECT_EQ(b[53], 6);     // five name characters and the marker
}

TEST(StoredOrder, EmptyNameWithZeroMarker) {
  SequenceData data{};
  data.lens.count = 1;
  InitElement(7, data.lens.elements[0]);  // marker 0, empty text
  Flatten(data);
  EXPECT_EQ(data.lens.elements[0].name[0], 0);
  Unflatten(data);
  EXPECT_EQ(data.lens.elements[0].name[0], 'p');
  EXPECT_EQ(ElementName(data.lens.elements[0]), "");
}

TEST(StoredOrder, AnyMarkerComesBackAsP) {
  SequenceData data{};
  data.lens.count = 1;
  InitElement(0, data.lens.elements[0]);
  data.lens.elements[0].name[0] = 'Z';
  Flatten(data);
  Unflatten(data);
  EXPECT_EQ(data.lens.elements[0].name[0], 'p');
  EXPECT_EQ(ElementName(data.lens.elements[0]), "GlowBall");
}

TEST(StoredOrder, ElementsBeyondCountAreUntouched) {
  SequenceData data;
  std::memset(&data, 0x3c, sizeof data);
  data.version = kSequenceDataVersion;
  data.lens.count = 2;
  InitElement(0, data.lens.elements[0]);
  InitElement(1, data.lens.elements[1]);
  const auto tail = Bytes(&data.lens.elements[2], sizeof(LensElement) * 98);
  Flatten(data);
  EXPECT_EQ(Bytes(&data.lens.elements[2], sizeof(LensElement) * 98), tail);
  Unflatten(data);
  EXPECT_EQ(Bytes(&data.lens.elements[2], sizeof(LensElement) * 98), tail);
}

TEST(StoredOrder, EmptyLensFlattensToVersionAndZeroCount) {
  SequenceData data{};
  data.version = kSequenceDataVersion;
  Flatten(data);
  const auto b = Bytes(&data, sizeof data);
  EXPECT_EQ(std::vector<uint8_t>(b.begin(), b.begin() + 8),
            (std::vector<uint8_t>{0, 1, 0, 2, 0, 0, 0, 0}));
  for (size_t i = 8; i < b.size(); ++i) ASSERT_EQ(b[i], 0);
}

// A damaged project may store any count: only the 100 slots are converted.
TEST(StoredOrder, CountAbove100ConvertsOnlyTheHundredSlots) {
  SequenceData data{};
  data.lens.count = 100;
  for (int i = 0; i < 100; ++i) data.lens.elements[i] = OddElement(i);
  const SequenceData original = data;
  data.lens.count = 0xffffffffu;
  Flatten(data);
  EXPECT_EQ(data.lens.count, 0xffffffffu);
  Unflatten(data);
  EXPECT_EQ(data.lens.count, 0xffffffffu);
  EXPECT_EQ(UsableCount(data.lens), 100u);
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(Bytes(&original.lens.elements[i], 53), Bytes(&data.lens.elements[i], 53));
  }
}

// A stored marker larger than any name never writes past the name field.
TEST(StoredOrder, HugeMarkerKeepsTheNameInsideItsField) {
  SequenceData data{};
  data.lens.count = 1;
  InitElement(0, data.lens.elements[0]);
  Flatten(data);
  LensElement& e = data.lens.elements[0];
  std::memset(e.name, 'x', sizeof e.name);
  e.name[0] = static_cast<char>(255);
  e.unused[0] = e.unused[1] = e.unused[2] = 0x5a;
  Unflatten(data);
  EXPECT_EQ(ElementName(e), std::string(62, 'x'));
  EXPECT_EQ(e.unused[0], 0x5a);
  EXPECT_EQ(e.unused[1], 0x5a);
}

TEST(ElementName, SetCutsTo62AndClearsTheField) {
  LensElement e;
  std::memset(&e, 0x11, sizeof e);
  SetElementName(e, std::string(80, 'n'));
  EXPECT_EQ(ElementName(e), std::string(62, 'n'));
  EXPECT_EQ(e.name[0], 'p');
  EXPECT_EQ(e.name[63], 0);
  EXPECT_EQ(e.unused[0], 0x11);
  SetElementName(e, "Ghost");
  EXPECT_EQ(ElementName(e), "Ghost");
  for (int i = 6; i < 64; ++i) EXPECT_EQ(e.name[i], 0);
}

TEST(ElementName, AnUnterminatedFieldReadsAtMost63Characters) {
  LensElement e;
  std::memset(&e, 'q', sizeof e);
  EXPECT_EQ(ElementName(e).size(), 63u);
}

TEST(ElementTypes, ListOrderNamesAndLabels) {
  const auto types = ElementTypes();
  ASSERT_EQ(types.size(), 19u);
  int16_t previous = -1;
  for (const ElementTypeInfo& info : types) {
    EXPECT_GT(static_cast<int16_t>(info.type), previous);
    previous = static_cast<int16_t>(info.type);
  }
  EXPECT_EQ(FindElementType(7), nullptr);
  EXPECT_EQ(FindElementType(8), nullptr);
  EXPECT_EQ(FindElementType(21), nullptr);
  EXPECT_EQ(FindElementType(-3), nullptr);
  const ElementTypeInfo* fan = FindElementType(20);
  ASSERT_NE(fan, nullptr);
  EXPECT_STREQ(fan->listName, "Chroma Fan");
  EXPECT_STREQ(fan->defaultName, "ChromaFan");
  EXPECT_STREQ(FindElementType(1)->labels[static_cast<int>(PanelSlot::Color1)], "Color:");
  EXPECT_STREQ(FindElementType(0)->labels[static_cast<int>(PanelSlot::Brightness)],
               "Ring Brightness: ");
  EXPECT_EQ(FindElementType(14)->labels[static_cast<int>(PanelSlot::Position)], nullptr);
  EXPECT_STREQ(FindElementType(10)->labels[static_cast<int>(PanelSlot::Scale)], "Length: ");
  EXPECT_EQ(FindElementType(10)->labels[static_cast<int>(PanelSlot::Anamorphic)], nullptr);
  EXPECT_STREQ(FindElementType(15)->labels[static_cast<int>(PanelSlot::Scale)],
               "Apogee Scale: ");
}

}  // namespace
}  // namespace gw
