// Images fetched from clips, as the binding reads and writes them, and memory
// from the host's pool. Each is given back to the host when its holder goes
// away, on every path out of an action.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "frame/layer.h"
#include "ofx/api/image_effect.h"
#include "render/composite.h"

namespace gw::ofx {

// A clip the application has connected to something (a null clip is not).
bool ClipConnected(OfxImageClipHandle clip);

class ClipImage {
 public:
  ClipImage() = default;
  ~ClipImage();
  ClipImage(const ClipImage&) = delete;
  ClipImage& operator=(const ClipImage&) = delete;

  // The image of the clip at `time` (over `region`, canonical, or the region
  // of interest when null). Returns the host's status; only kOfxStatOK
  // leaves an image.
  OfxStatus Fetch(OfxImageClipHandle clip, OfxTime time, const OfxRectD* region = nullptr);

  bool Valid() const { return handle_ != nullptr; }
  // Samples of a type and a component layout the binding reads.
  bool Supported() const { return channels_ > 0 && kindKnown_; }
  // Pixels of a known size, which can at least be copied (half floats too).
  bool Copyable() const { return channels_ > 0 && sampleBytes_ > 0; }
  // What the image holds, for messages: "OfxBitDepthHalf OfxImageComponentRGBA".
  std::string Describe() const { return depth_ + " " + components_; }

  SampleKind kind() const { return kind_; }
  int32_t channels() const { return channels_; }  // 4 RGBA, 3 RGB, 1 alpha
  const OfxRectI& bounds() const { return bounds_; }
  size_t PixelBytes() const;
  bool Covers(const OfxRectI& r) const;
  bool Contains(int32_t x, int32_t y) const {
    return x >= bounds_.x1 && x < bounds_.x2 && y >= bounds_.y1 && y < bounds_.y2;
  }
  // The pixel at (x, y) in the host's pixel coordinates; it must lie inside
  // an image that is Copyable.
  uint8_t* Pixel(int32_t x, int32_t y) const {
    return data_ + static_cast<ptrdiff_t>(y - bounds_.y1) * rowBytes_ +
           static_cast<ptrdiff_t>(x - bounds_.x1) * static_cast<ptrdiff_t>(PixelBytes());
  }

 private:
  OfxPropertySetHandle handle_ = nullptr;
  uint8_t* data_ = nullptr;
  OfxRectI bounds_{};
  int32_t rowBytes_ = 0;
  SampleKind kind_ = SampleKind::Byte;
  bool kindKnown_ = false;
  size_t sampleBytes_ = 0;
  int32_t channels_ = 0;
  std::string depth_, components_;
};

// An image's pixels as an 8-bit layer for the frame logic, rows from the
// top; RGB images are opaque, alpha images white. Throws std::bad_alloc.
struct LayerImage {
  std::vector<uint8_t> bytes;
  LayerView view;
  OfxRectI bounds;  // of the image, in the host's pixel coordinates
};
LayerImage ToLayer(const ClipImage& image);

// Memory from the host's pool, given back when this goes away.
class HostBuffer {
 public:
  explicit HostBuffer(OfxImageEffectHandle instance) : instance_(instance) {}
  ~HostBuffer();
  HostBuffer(const HostBuffer&) = delete;
  HostBuffer& operator=(const HostBuffer&) = delete;
  // False when the host has not the memory.
  bool Allocate(size_t bytes);
  uint8_t* data() const { return static_cast<uint8_t*>(data_); }

 private:
  OfxImageEffectHandle instance_;
  void* data_ = nullptr;
};

}  // namespace gw::ofx
