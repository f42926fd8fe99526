#include "render/blur_tiles.h"

#include <algorithm>

namespace gw {

PixelRect TileGrid::Tile(int32_t index) const {
  const int32_t row = index / across, column = index % across;
  const int32_t top = window.top + tileHeight * row, left = window.left + tileWidth * column;
  return PixelRect{static_cast<int16_t>(top),
                   static_cast<int16_t>(std::min<int32_t>(top + tileHeight, window.bottom)),
                   static_cast<int16_t>(left),
                   static_cast<int16_t>(std::min<int32_t>(left + tileWidth, window.right))};
}

TileGrid BlurTileGrid(const PixelRect& window) {
  const int32_t width = window.Width(), height = window.Height();
  const bool tiled = int64_t{height} * width * kBlurBytesPerPixel >= kBlurUntiledBytes;
  TileGrid grid{};
  grid.window = window;
  grid.tileHeight = tiled ? std::min(height, kBlurTileSide) : height;
  grid.tileWidth = tiled ? std::min(width, kBlurTileSide) : width;
  grid.down = (height + grid.tileHeight - 1) / grid.tileHeight;
  grid.across = (width + grid.tileWidth - 1) / grid.tileWidth;
  return grid;
}

}  // namespace gw
