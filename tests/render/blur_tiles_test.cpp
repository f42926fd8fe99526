// The tiles and sample counts of the motion-blurred draw.
#include <gtest/gtest.h>

#include <limits>

#include "render/blur_tiles.h"
#include "render/draw_lens_blurred.h"

namespace gw {
namespace {

TEST(BlurTiles, SmallFramesAreOneTile) {
  // 341 x 341 x 9 bytes = 1,046,529, just under a MiB.
  const TileGrid grid = BlurTileGrid(341, 341);
  EXPECT_EQ(grid.Count(), 1);
  const PixelRect whole = grid.Tile(0);
  EXPECT_EQ(whole.top, 0);
  EXPECT_EQ(whole.bottom, 341);
  EXPECT_EQ(whole.left, 0);
  EXPECT_EQ(whole.right, 341);
}

TEST(BlurTiles, LargerFramesAreCutIntoBandsOfWholeRows) {
  // 342 x 341 x 9 bytes = 1,049,598: tiled, in two bands of rows shared out
  // evenly, the last cut at the frame's edge.
  const TileGrid edge = BlurTileGrid(342, 341);
  EXPECT_EQ(edge.across, 1);
  EXPECT_EQ(edge.down, 2);
  EXPECT_EQ(edge.tileHeight, 171);
  const PixelRect last = edge.Tile(1);
  EXPECT_EQ(last.top, 171);
  EXPECT_EQ(last.bottom, 341);
  EXPECT_EQ(last.left, 0);
  EXPECT_EQ(last.right, 342);

  // At most 256 rows: five bands of 216.
  const TileGrid hd = BlurTileGrid(1920, 1080);
  EXPECT_EQ(hd.across, 1);
  EXPECT_EQ(hd.down, 5);
  // Tiles are counted row by row, and cover the frame without overlap.
  int64_t covered = 0;
  for (int32_t i = 0; i < hd.Count(); ++i) {
    const PixelRect t = hd.Tile(i);
    EXPECT_EQ(t.top, 216 * i);
    EXPECT_EQ(t.left, 0);
    EXPECT_EQ(t.Width(), 1920);
    covered += int64_t{t.Width()} * t.Height();
  }
  EXPECT_EQ(covered, 1920 * 1080);

  // At most 2^19 pixels: 136 rows of 3840 would be more, so 16 bands of 135.
  const TileGrid uhd = BlurTileGrid(3840, 2160);
  EXPECT_EQ(uhd.across, 1);
  EXPECT_EQ(uhd.tileHeight, 135);
  EXPECT_EQ(uhd.down, 16);
  EXPECT_LE(int64_t{uhd.tileWidth} * uhd.tileHeight, kBlurTileMaxPixels);
}

TEST(BlurTiles, VeryWideFramesAreCutIntoColumnsToo) {
  // 8,000 columns: two columns of tiles of 4,000, at most 131 rows each
  // (2^19 / 4000): eight bands of 125.
  const TileGrid wide = BlurTileGrid(8000, 1000);
  EXPECT_EQ(wide.across, 2);
  EXPECT_EQ(wide.tileWidth, 4000);
  EXPECT_LE(int64_t{wide.tileWidth} * wide.tileHeight, kBlurTileMaxPixels);
  EXPECT_EQ(wide.down, 8);
  EXPECT_EQ(wide.tileHeight, 125);
  // The widest frame still gets tiles of at least a row.
  const TileGrid widest = BlurTileGrid(32767, 32767);
  EXPECT_LE(widest.tileWidth, kBlurTileMaxWidth);
  EXPECT_GE(widest.tileHeight, 1);
  EXPECT_GE(int64_t{widest.across} * widest.tileWidth, 32767);
  EXPECT_GE(int64_t{widest.down} * widest.tileHeight, 32767);
  EXPECT_LE(int64_t{widest.tileWidth} * widest.tileHeight, kBlurTileMaxPixels);
}

TEST(BlurTiles, ThinFramesKeepTheirWholeShortSide) {
  const TileGrid grid = BlurTileGrid(1000, 120);  // 1000 x 120 x 9 bytes > 1 MiB
  EXPECT_EQ(grid.tileHeight, 120);
  EXPECT_EQ(grid.tileWidth, 1000);
  EXPECT_EQ(grid.Count(), 1);
}

TEST(BlurSamples, OnePerThreePixelsAtHighQualityOnePerEightOtherwise) {
  EXPECT_EQ(BlurSampleCount(0.0f, true), 4);
  EXPECT_EQ(BlurSampleCount(14.9f, true), 4);
  EXPECT_EQ(BlurSampleCount(15.0f, true), 5);
  EXPECT_EQ(BlurSampleCount(30.0f, true), 10);
  EXPECT_EQ(BlurSampleCount(48.0f, true), 16);
  EXPECT_EQ(BlurSampleCount(1e9f, true), 16);
  EXPECT_EQ(BlurSampleCount(0.0f, false), 3);
  EXPECT_EQ(BlurSampleCount(40.0f, false), 5);
  EXPECT_EQ(BlurSampleCount(1e9f, false), 8);
  // A NaN length (a light at infinity) takes the fewest samples.
  EXPECT_EQ(BlurSampleCount(std::numeric_limits<float>::quiet_NaN(), true), 4);
}

}  // namespace
}  // namespace gw
