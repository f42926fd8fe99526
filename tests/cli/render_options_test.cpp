// How `glarewright render` reads its options and numbered file names.
#include <gtest/gtest.h>

#include "cli/errors.h"
#include "cli/render_options.h"
#include "cli/sequence_pattern.h"

namespace gw {
namespace {

TEST(RenderOptions, KeyframesAndPlainValues) {
  const auto keys = ParseKeys("--brightness", {"50@5", "120.5@24", "80"});
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[1].value, "120.5");
  EXPECT_EQ(keys[1].frame, 24);
  EXPECT_EQ(keys[2].frame, 0);  // a plain value is frame 0 ...
  EXPECT_THROW(ParseKeys("--brightness", {"50", "60"}), CommandError);  // ... and only once
  EXPECT_THROW(ParseKeys("--brightness", {"50@x"}), CommandError);
  EXPECT_THROW(ParseKeys("--brightness", {"50@-2"}), CommandError);
  EXPECT_EQ(ParseKeys("--location-layer", {"a@b.png@3"})[0].value, "a@b.png");
}

TEST(RenderOptions, Numbers) {
  EXPECT_EQ(ParseNumber("--scale", " 1.25 "), 1.25);
  EXPECT_THROW(ParseNumber("--scale", "1.2x"), CommandError);
  EXPECT_THROW(ParseNumber("--scale", "nan"), CommandError);
  EXPECT_THROW(ParseNumber("--scale", ""), CommandError);
  EXPECT_EQ(ToFixed("--scale", 1.5), 0x18000);
  EXPECT_THROW(ToFixed("--scale", 1e9), CommandError);
  EXPECT_EQ(ParseInteger("--source-size", "7"), 7);
  EXPECT_THROW(ParseInteger("--source-size", "7.5"), CommandError);
}

TEST(RenderOptions, LightInPixelsOrPercent) {
  const auto px = ParseLight("--light", "120,45.5", 640, 360);
  EXPECT_EQ(px.value, 120 << 16);
  EXPECT_EQ(px.y, 0x2D8000);
  const auto pc = ParseLight("--light", "30%,50%", 640, 360);
  EXPECT_EQ(pc.value, 192 << 16);
  EXPECT_EQ(pc.y, 180 << 16);
  EXPECT_THROW(ParseLight("--light", "30", 640, 360), CommandError);
}

TEST(RenderOptions, ColoursAndObscurationTypes) {
  const auto c = ParseColour("--color", "#FF8000");
  EXPECT_EQ(c.colour.red, 255);
  EXPECT_EQ(c.colour.green, 128);
  EXPECT_EQ(c.colour.blue, 0);
  EXPECT_THROW(ParseColour("--color", "FF80"), CommandError);
  EXPECT_THROW(ParseColour("--color", "GG8000"), CommandError);
  EXPECT_EQ(ParseObscurationType("--obscuration-type", "rgb"), 1);
  EXPECT_EQ(ParseObscurationType("--obscuration-type", "alpha"), 2);
  EXPECT_EQ(ParseObscurationType("--obscuration-type", "rgb+alpha"), 3);
  EXPECT_EQ(ParseObscurationType("--obscuration-type", "inverse-alpha"), 4);
  EXPECT_THROW(ParseObscurationType("--obscuration-type", "Alpha"), CommandError);
}

TEST(SequencePattern, PrintfAndHashForms) {
  EXPECT_TRUE(IsSequencePattern("shot.%04d.png"));
  EXPECT_TRUE(IsSequencePattern("shot.####.png"));
  EXPECT_FALSE(IsSequencePattern("shot.png"));
  EXPECT_FALSE(IsSequencePattern("100%.png"));
  EXPECT_EQ(FrameFileName("shot.%04d.png", 12), "shot.0012.png");
  EXPECT_EQ(FrameFileName("shot.####.png", 12), "shot.0012.png");
  EXPECT_EQ(FrameFileName("shot.%d.png", 12), "shot.12.png");
  EXPECT_EQ(FrameFileName("dir/shot_#.exr", 1001), "dir/shot_1001.exr");
  EXPECT_EQ(FrameFileName("still.png", 5), "still.png");
}

TEST(SequencePattern, FrameRanges) {
  ASSERT_TRUE(ParseFrameRange("1-48"));
  EXPECT_EQ(ParseFrameRange("1-48")->first, 1);
  EXPECT_EQ(ParseFrameRange("1-48")->last, 48);
  EXPECT_EQ(ParseFrameRange("7")->last, 7);
  EXPECT_FALSE(ParseFrameRange("5-3"));
  EXPECT_FALSE(ParseFrameRange("-1"));
  EXPECT_FALSE(ParseFrameRange("a-b"));
  EXPECT_FALSE(ParseFrameRange(""));
  // Every range's frame count, and the frame after its last, fit in an int.
  ASSERT_TRUE(ParseFrameRange("0-999999999"));
  EXPECT_EQ(ParseFrameRange("0-999999999")->last, 999999999);
  EXPECT_FALSE(ParseFrameRange("0-2147483647"));
  EXPECT_FALSE(ParseFrameRange("0-99999999999"));
}

}  // namespace
}  // namespace gw
