#include "render/blur_tiles.h"

#include <algorithm>

namespace gw {

PixelRect TileGrid::Tile(int32_t index) const {
  const int32_t row = index / across, column = index % across;
  const int32_t top = tileHeight * row, left = tileWidth * column;
  return PixelRect{static_cast<int16_t>(top),
                   static_cast<int16_t>(std::min(top + tileHeight, frameHeight)),
                   static_cast<int16_t>(left),
                   static_cast<int16_t>(std::min(left + tileWidth, frameWidth))};
}

TileGrid BlurTileGrid(int32_t width, int32_t height) {
  const bool tiled = int64_t{height} * width * kBlurBytesPerPixel >= kBlurUntiledBytes;
  TileGrid grid{};
  grid.frameWidth = width;
  grid.frameHeight = height;
  grid.tileHeight = tiled ? std::min(height, kBlurTileSide) : height;
  grid.tileWidth = tiled ? std::min(width, kBlurTileSide) : width;
  grid.down = (height + grid.tileHeight - 1) / grid.tileHeight;
  grid.across = (width + grid.tileWidth - 1) / grid.tileWidth;
  return grid;
}

}  // namespace gw
