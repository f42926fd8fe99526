// Canvases for flares drawn over black, kept clear from one render to the
// next: a render takes one, clears each row once it has combined it (while
// the row is still in the caches) and gives it back clear, so the next
// render of that size need not clear a frame's worth of memory afresh. The
// memory is the host's; the pool lets it go when the host asks the instance
// to purge its caches, and when the instance is destroyed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "ofx/api/image_effect.h"

namespace gw::ofx {

class CanvasPool {
 public:
  // Idle canvases kept at most: renders on two threads at once.
  static constexpr size_t kMaxIdle = 2;

  CanvasPool() = default;
  ~CanvasPool();  // lets the idle canvases go
  CanvasPool(const CanvasPool&) = delete;
  CanvasPool& operator=(const CanvasPool&) = delete;

  // A clear canvas of `bytes`: an idle one of that size, else a new one
  // from the host; null when the host has not the memory.
  uint8_t* Take(OfxImageEffectHandle instance, size_t bytes);
  // Keeps a canvas of `bytes` from Take that is clear again; the longest
  // idle goes when the pool is full.
  void Give(uint8_t* canvas, size_t bytes);
  // Lets every idle canvas go.
  void Purge();

 private:
  struct Idle {
    uint8_t* data;
    size_t bytes;
  };
  std::mutex mutex_;
  std::vector<Idle> idle_;  // the longest idle first
};

// One render's canvas: given back to the pool when the render says it is
// clear again, else let go.
class PooledCanvas {
 public:
  PooledCanvas(CanvasPool& pool, OfxImageEffectHandle instance) : pool_(pool), instance_(instance) {}
  ~PooledCanvas();
  PooledCanvas(const PooledCanvas&) = delete;
  PooledCanvas& operator=(const PooledCanvas&) = delete;

  // False when the host has not the memory.
  bool Take(size_t bytes);
  uint8_t* data() const { return data_; }
  void MarkClear() { clear_ = true; }

 private:
  CanvasPool& pool_;
  OfxImageEffectHandle instance_;
  uint8_t* data_ = nullptr;
  size_t bytes_ = 0;
  bool clear_ = false;
};

}  // namespace gw::ofx
