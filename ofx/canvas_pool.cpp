#include "ofx/canvas_pool.h"

#include <cstring>
#include <new>

#include "ofx/suites.h"

namespace gw::ofx {
namespace {

void Free(uint8_t* canvas) {
  if (canvas) Suites().memory->memoryFree(canvas);
}

}  // namespace

CanvasPool::~CanvasPool() { Purge(); }

uint8_t* CanvasPool::Take(OfxImageEffectHandle instance, size_t bytes) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (size_t i = idle_.size(); i-- > 0;) {
      if (idle_[i].bytes == bytes) {
        uint8_t* canvas = idle_[i].data;
        idle_.erase(idle_.begin() + static_cast<ptrdiff_t>(i));
        return canvas;
      }
    }
  }
  void* data = nullptr;
  if (Suites().memory->memoryAlloc(instance, bytes, &data) != kOfxStatOK || !data) return nullptr;
  std::memset(data, 0, bytes);
  return static_cast<uint8_t*>(data);
}

void CanvasPool::Give(uint8_t* canvas, size_t bytes) {
  uint8_t* dropped = nullptr;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    try {
      if (idle_.size() >= kMaxIdle) {
        dropped = idle_.front().data;
        idle_.erase(idle_.begin());
      }
      idle_.push_back(Idle{canvas, bytes});
    } catch (const std::bad_alloc&) {
      dropped = canvas;  // not kept: the next render clears one afresh
    }
  }
  Free(dropped);
}

void CanvasPool::Purge() {
  std::vector<Idle> idle;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    idle.swap(idle_);
  }
  for (const Idle& canvas : idle) Free(canvas.data);
}

PooledCanvas::~PooledCanvas() {
  if (!data_) return;
  if (clear_) {
    pool_.Give(data_, bytes_);
  } else {
    Free(data_);
  }
}

bool PooledCanvas::Take(size_t bytes) {
  data_ = pool_.Take(instance_, bytes);
  bytes_ = bytes;
  return data_ != nullptr;
}

}  // namespace gw::ofx
