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

TEST(BlurTiles, LargerFramesAreCutIntoTilesOf256) {
  // 342 x 341 x 9 bytes = 1,049,598: tiled, the last row and column cut short.
  const TileGrid edge = BlurTileGrid(342, 341);
  EXPECT_EQ(edge.across, 2);
  EXPECT_EQ(edge.down, 2);
  const PixelRect last = edge.Tile(3);
  EXPECT_EQ(last.top, 256);
  EXPECT_EQ(last.bottom, 341);
  EXPECT_EQ(last.left, 256);
  EXPECT_EQ(last.right, 342);

  const TileGrid hd = BlurTileGrid(1920, 1080);
  EXPECT_EQ(hd.across, 8);
  EXPECT_EQ(hd.down, 5);
  // Tiles are counted row by row, and cover the frame without overlap.
  int64_t covered = 0;
  for (int32_t i = 0; i < hd.Count(); ++i) {
    const PixelRect t = hd.Tile(i);
    EXPECT_EQ(t.top, 256 * (i / 8));
    EXPECT_EQ(t.left, 256 * (i % 8));
    covered += int64_t{t.Width()} * t.Height();
  }
  EXPECT_EQ(covered, 1920 * 1080);
}

TEST(BlurTiles, ThinFramesKeepTheirWholeShortSide) {
  const TileGrid grid = BlurTileGrid(1000, 120);  // 1000 x 120 x 9 bytes > 1 MiB
  EXPECT_EQ(grid.tileHeight, 120);
  EXPECT_EQ(grid.tileWidth, 256);
  EXPECT_EQ(grid.across, 4);
  EXPECT_EQ(grid.Tile(3).right, 1000);
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
