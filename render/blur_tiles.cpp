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
  // Whole rows where the window is not too wide, the columns and rows shared
  // out evenly.
  const auto share = [](int32_t count, int32_t most) {
    const int32_t parts = (count + most - 1) / most;
    return (count + parts - 1) / parts;
  };
  TileGrid grid{};
  grid.window = window;
  grid.tileWidth = tiled ? share(width, kBlurTileMaxWidth) : width;
  const auto rows = static_cast<int32_t>(std::clamp<int64_t>(
      kBlurTileMaxPixels / grid.tileWidth, 1, kBlurTileMaxHeight));
  grid.tileHeight = tiled ? share(height, rows) : height;
  grid.down = (height + grid.tileHeight - 1) / grid.tileHeight;
  grid.across = (width + grid.tileWidth - 1) / grid.tileWidth;
  return grid;
}

}  // namespace gw
