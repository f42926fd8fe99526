// Drags that end in ways the window system may bring about: "Fast Drags"
// switched off half-way, a release nobody saw; and clipboard bitmaps that
// carry colour masks.
#include <gtest/gtest.h>

#include <cstring>

#include "lens/control_ids.h"
#include "editor/dib.h"
#include "tests/editor/editor_test_support.h"

namespace gw::testing {
namespace {

using enum ElementType;

class DragFaultsTest : public EditorTest {};

TEST_F(DragFaultsTest, FastDragsSwitchedOffDuringADragStillEndsAtFullSize) {
  Open(LensOfTypes({GlowBall}, 1));
  const std::vector<uint8_t> still = preview().DisplayedRgb();
  editor->SetFastDrags(true);
  preview().ImageMouseDown({101, 60});
  ASSERT_TRUE(preview().fast());
  editor->SetFastDrags(false);  // the check box clicked with the other hand
  preview().ImageMouseMove({140, 60});
  preview().ImageMouseUp();
  EXPECT_FALSE(preview().fast());
  EXPECT_EQ(preview().target().width, 320);
  EXPECT_EQ(preview().target().height, 240);
  EXPECT_EQ(preview().target().lightX, 140.0f);
  EXPECT_EQ(DibWidth(preview().Displayed().info.data()), 320);
  EXPECT_EQ(preview().DisplayedRgb().size(), 320u * 240 * 3);
  // The same for a light slider, and a drag begun with the box off and
  // ended with it on changes nothing.
  editor->SetFastDrags(true);
  preview().lightX().MouseDown({5 + 20, 6});
  editor->SetFastDrags(false);
  preview().lightX().MouseUp();
  EXPECT_EQ(preview().target().width, 320);
  preview().ImageMouseDown({100, 100});
  editor->SetFastDrags(true);
  preview().ImageMouseUp();
  EXPECT_EQ(preview().target().width, 320);
  EXPECT_EQ(preview().DisplayedRgb(), still);
}

TEST_F(DragFaultsTest, ASliderWhoseReleaseWasLostStopsFollowingThePointer) {
  Open(LensOfTypes({Disc}, 1));
  list().Select(0);
  WinSlider& angle = *editor->SliderById(111);  // -90 .. 90 over 190 pixels
  angle.MouseDown({5 + 95, 18});
  EXPECT_EQ(lens().elements[0].angle, 0.0f);
  angle.MouseMove({5 + 150, 18}, /*buttonDown=*/false);  // the release happened elsewhere
  EXPECT_FALSE(angle.dragging());
  angle.MouseMove({5 + 190, 18});  // hovering
  EXPECT_EQ(lens().elements[0].angle, 0.0f);
  // The mouse taken away by the window system: the same.
  angle.MouseDown({5 + 190, 18});
  angle.CaptureLost();
  angle.MouseMove({5, 18});
  EXPECT_EQ(lens().elements[0].angle, 90.0f);
  EXPECT_FALSE(angle.dragging());
}

TEST_F(DragFaultsTest, AListDragWhoseReleaseWasLostDropsNothing) {
  Open(LensOfTypes({GlowBall, Disc}, 5));
  const Lens before = lens();
  list().MouseDown({40, 7});
  list().MouseMove({40, 37});
  ASSERT_EQ(list().indicatorRow(), 2);
  list().MouseMove({40, 52}, /*buttonDown=*/false);
  EXPECT_FALSE(list().dragging());
  EXPECT_EQ(list().indicatorRow(), -1);
  EXPECT_EQ(list().cursor(), DragCursor::Arrow);
  list().MouseUp({40, 52});  // a late release: no drop
  list().MouseDown({40, 22});
  list().MouseMove({40, 52});
  list().CaptureLost();
  list().MouseMove({40, 67});
  list().MouseUp({40, 67});
  EXPECT_EQ(std::memcmp(&lens(), &before, sizeof(Lens)), 0);
  EXPECT_EQ(list().selection(), 1);
}

TEST_F(DragFaultsTest, ALightDragWhoseReleaseWasLostEndsTheFastDrag) {
  Open(LensOfTypes({StarFilter}, 1));
  editor->SetFastDrags(true);
  preview().ImageMouseDown({60, 40});
  preview().ImageMouseMove({200, 90}, /*buttonDown=*/false);
  EXPECT_FALSE(preview().fast());
  EXPECT_EQ(preview().target().lightX, 60.0f);
  preview().ImageMouseMove({250, 120});  // hovering
  EXPECT_EQ(preview().target().lightX, 60.0f);
  preview().ImageMouseDown({10, 10});
  preview().ImageCaptureLost();
  preview().ImageMouseMove({300, 200});
  EXPECT_EQ(preview().target().lightX, 10.0f);
  EXPECT_EQ(preview().target().width, 320);
}

// A bitmap of `bitCount` bits with colour masks (compression 3): the three
// 4-byte masks between the header and the rows.
std::vector<uint8_t> MaskedDib(uint16_t bitCount, const uint32_t masks[3],
                               std::initializer_list<uint32_t> pixels) {
  const size_t stride = (pixels.size() * bitCount / 8 + 3) / 4 * 4;
  std::vector<uint8_t> dib(kDibHeaderSize + 12 + stride, 0);
  WriteDibHeader(dib.data(), static_cast<int32_t>(pixels.size()), -1, bitCount, 0);
  dib[16] = 3;  // BI_BITFIELDS
  for (int c = 0; c < 3; ++c) std::memcpy(&dib[kDibHeaderSize + 4 * c], &masks[c], 4);
  size_t at = kDibHeaderSize + 12;
  for (uint32_t p : pixels) {
    std::memcpy(&dib[at], &p, bitCount / 8);
    at += bitCount / 8;
  }
  return dib;
}

TEST(DibMasks, ThePixelsFollowTheThreeMasks) {
  const uint32_t bgr32[3] = {0x00ff0000, 0x0000ff00, 0x000000ff};
  const std::vector<uint8_t> dib32 = MaskedDib(32, bgr32, {0x00102030, 0x00ff8000});
  const auto layout = ReadDibLayout(dib32);
  ASSERT_TRUE(layout);
  EXPECT_EQ(layout->bitsOffset, kDibHeaderSize + 12);
  EXPECT_EQ(DibToRgb(dib32, *layout), (std::vector<uint8_t>{0x10, 0x20, 0x30, 0xff, 0x80, 0}));
  // 5-6-5: full red, full green, and blue at 16 of 31.
  const uint32_t rgb565[3] = {0xf800, 0x07e0, 0x001f};
  const std::vector<uint8_t> dib16 = MaskedDib(16, rgb565, {0xf800, 0x07e0, 0x0010});
  const auto layout16 = ReadDibLayout(dib16);
  ASSERT_TRUE(layout16);
  EXPECT_EQ(DibToRgb(dib16, *layout16),
            (std::vector<uint8_t>{255, 0, 0, 0, 255, 0, 0, 0, 16 * 255 / 31}));
  // Masks make no sense for 24 bits, nor do masks cut off.
  std::vector<uint8_t> dib24 = MaskedDib(32, bgr32, {0});
  dib24[14] = 24;
  EXPECT_FALSE(ReadDibLayout(dib24));
  EXPECT_FALSE(ReadDibLayout(std::span(dib32).first(kDibHeaderSize + 8)));
}

TEST_F(DragFaultsTest, TheComparisonShowsAMaskedBitmapWhereItsRowsBegin) {
  Open(LensOfTypes({GlowBall}, 1));
  const uint32_t bgr32[3] = {0x00ff0000, 0x0000ff00, 0x000000ff};
  frontEnd.clipboard = {true, MaskedDib(32, bgr32, {0x00c08040, 0x00010203})};
  editor->CompareButtonDrawn(true);
  ASSERT_TRUE(preview().showingClipboard());
  EXPECT_EQ(preview().DisplayedRgb(), (std::vector<uint8_t>{0xc0, 0x80, 0x40, 1, 2, 3}));
  const DisplayImage shown = preview().Displayed();
  EXPECT_EQ(shown.info.size(), kDibHeaderSize + 12);  // the masks go with the header
  EXPECT_EQ(shown.bits[0], 0x40);
}

}  // namespace
}  // namespace gw::testing
