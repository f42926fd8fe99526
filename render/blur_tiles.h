// The tiles of a motion-blurred draw: the frame is drawn a tile at a time so
// that its sample buffers stay small whatever the frame's size.
#pragma once

#include <cstdint>

#include "render/target.h"

namespace gw {

// A tile is a band of whole rows of the window, as wide as the window up to
// this many columns (wider windows are cut into equal columns of tiles): a
// stamp's row is set up, and a level streak walked, once a row rather than
// once a tile.
inline constexpr int32_t kBlurTileMaxWidth = 4096;

// A tile is at most this many rows high and holds at most this many pixels;
// its buffers take 16 bytes a pixel (two drawn samples and the sums), so at
// most 8 MiB.
inline constexpr int32_t kBlurTileMaxHeight = 256;
inline constexpr int64_t kBlurTileMaxPixels = int64_t{1} << 19;

// Bytes a pixel of the frame counts for the choice below: the drawn sample
// (three colour bytes) and the running sum of the samples (three 16-bit
// values).
inline constexpr int64_t kBlurBytesPerPixel = 9;

// A frame whose blur buffers would stay below this is drawn as one tile.
inline constexpr int64_t kBlurUntiledBytes = 1048576;

// A window of the frame cut into equal tiles, row by row; the last row and
// column of tiles may be cut shorter at the window's edge.
struct TileGrid {
  PixelRect window;
  int32_t tileWidth;   // columns of a whole tile
  int32_t tileHeight;  // rows of a whole tile
  int32_t across;      // tiles in a row
  int32_t down;        // rows of tiles

  int32_t Count() const { return across * down; }
  // Tile `index`, counted row by row from the top left.
  PixelRect Tile(int32_t index) const;
};

// The tiles of a blurred draw of a window (at least a pixel each way).
TileGrid BlurTileGrid(const PixelRect& window);
// The tiles of a blurred draw of a whole W x H frame.
inline TileGrid BlurTileGrid(int32_t width, int32_t height) {
  return BlurTileGrid(WholeFrame(width, height));
}

}  // namespace gw
