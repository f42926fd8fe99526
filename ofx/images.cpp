#include "ofx/images.h"

#include <algorithm>
#include <cstring>

#include "ofx/properties.h"
#include "ofx/suites.h"
#include "render/numeric.h"

namespace gw::ofx {
namespace {

size_t SampleBytes(SampleKind kind) {
  return kind == SampleKind::Byte ? 1 : kind == SampleKind::Short ? 2 : 4;
}

// One sample as an 8-bit value, rounded.
uint8_t ToByte(const uint8_t* sample, SampleKind kind) {
  switch (kind) {
    case SampleKind::Byte:
      return *sample;
    case SampleKind::Short: {
      uint16_t v;
      std::memcpy(&v, sample, sizeof v);
      return static_cast<uint8_t>((uint32_t{v} * 255 + 32767) / 65535);
    }
    case SampleKind::Float: {
      float v;
      std::memcpy(&v, sample, sizeof v);
      return static_cast<uint8_t>(std::clamp(TruncToInt(v * 255.0f + 0.5f), 0, 255));
    }
  }
  return 0;
}

}  // namespace

bool ClipConnected(OfxImageClipHandle clip) {
  OfxPropertySetHandle props = nullptr;
  if (!clip || Suites().effect->clipGetPropertySet(clip, &props) != kOfxStatOK) return false;
  return PropertySet(props).Int(kOfxImageClipPropConnected, 0) != 0;
}

ClipImage::~ClipImage() {
  if (handle_) Suites().effect->clipReleaseImage(handle_);
}

OfxStatus ClipImage::Fetch(OfxImageClipHandle clip, OfxTime time, const OfxRectD* region) {
  OfxPropertySetHandle handle = nullptr;
  const OfxStatus status = Suites().effect->clipGetImage(clip, time, region, &handle);
  if (status != kOfxStatOK || !handle) return status == kOfxStatOK ? kOfxStatFailed : status;
  handle_ = handle;
  const PropertySet props(handle);
  data_ = static_cast<uint8_t*>(props.Pointer(kOfxImagePropData));
  bounds_ = props.RectI(kOfxImagePropBounds);
  rowBytes_ = props.Int(kOfxImagePropRowBytes, 0);
  depth_ = props.String(kOfxImageEffectPropPixelDepth);
  components_ = props.String(kOfxImageEffectPropComponents);
  kindKnown_ = true;
  if (depth_ == kOfxBitDepthByte) {
    kind_ = SampleKind::Byte;
  } else if (depth_ == kOfxBitDepthShort) {
    kind_ = SampleKind::Short;
  } else if (depth_ == kOfxBitDepthFloat) {
    kind_ = SampleKind::Float;
  } else {
    kindKnown_ = false;
  }
  sampleBytes_ = kindKnown_ ? SampleBytes(kind_) : depth_ == kOfxBitDepthHalf ? 2 : 0;
  channels_ = components_ == kOfxImageComponentRGBA    ? 4
              : components_ == kOfxImageComponentRGB   ? 3
              : components_ == kOfxImageComponentAlpha ? 1
                                                       : 0;
  // An image must hold its bounds: pixels, and rows long enough.
  const int64_t width = int64_t{bounds_.x2} - bounds_.x1;
  const int64_t height = int64_t{bounds_.y2} - bounds_.y1;
  const int64_t row = rowBytes_ < 0 ? -int64_t{rowBytes_} : rowBytes_;
  if (!data_ || width < 0 || height < 0 || row < width * static_cast<int64_t>(PixelBytes())) {
    channels_ = 0;  // unusable
  }
  return kOfxStatOK;
}

size_t ClipImage::PixelBytes() const { return sampleBytes_ * static_cast<size_t>(channels_); }

bool ClipImage::Covers(const OfxRectI& r) const {
  return r.x1 >= r.x2 || r.y1 >= r.y2 ||
         (r.x1 >= bounds_.x1 && r.x2 <= bounds_.x2 && r.y1 >= bounds_.y1 && r.y2 <= bounds_.y2);
}

LayerImage ToLayer(const ClipImage& image) {
  LayerImage layer;
  layer.bounds = image.bounds();
  const int32_t width = image.bounds().x2 - image.bounds().x1;
  const int32_t height = image.bounds().y2 - image.bounds().y1;
  layer.bytes.resize(static_cast<size_t>(width) * height * kLayerBytesPerPixel);
  const size_t sample = SampleBytes(image.kind());
  const int32_t channels = image.channels();
  for (int32_t row = 0; row < height; ++row) {
    // Layer rows run from the top; the host's from the bottom.
    const uint8_t* p = image.Pixel(image.bounds().x1, image.bounds().y2 - 1 - row);
    uint8_t* q = &layer.bytes[static_cast<size_t>(row) * width * kLayerBytesPerPixel];
    for (int32_t x = 0; x < width; ++x, p += sample * channels, q += kLayerBytesPerPixel) {
      if (channels == 1) {
        q[kLayerAlpha] = ToByte(p, image.kind());
        q[kLayerRed] = q[kLayerGreen] = q[kLayerBlue] = 255;
        continue;
      }
      q[kLayerRed] = ToByte(p, image.kind());
      q[kLayerGreen] = ToByte(p + sample, image.kind());
      q[kLayerBlue] = ToByte(p + 2 * sample, image.kind());
      q[kLayerAlpha] = channels == 4 ? ToByte(p + 3 * sample, image.kind()) : 255;
    }
  }
  layer.view = LayerView{layer.bytes.data(), width, height,
                         static_cast<ptrdiff_t>(width) * kLayerBytesPerPixel};
  return layer;
}

HostBuffer::~HostBuffer() {
  if (data_) Suites().memory->memoryFree(data_);
}

bool HostBuffer::Allocate(size_t bytes) {
  void* data = nullptr;
  if (Suites().memory->memoryAlloc(instance_, bytes, &data) != kOfxStatOK || !data) return false;
  data_ = data;
  return true;
}

}  // namespace gw::ofx
