#include "ofx/render.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <string>

#include "frame/values.h"
#include "ofx/api/rect.h"
#include "ofx/canvas_pool.h"
#include "ofx/flare.h"
#include "ofx/geometry.h"
#include "ofx/images.h"
#include "ofx/messages.h"
#include "ofx/suites.h"

namespace gw::ofx {
namespace {

constexpr int32_t kCanvasBytesPerPixel = 4;  // an unused byte, then red, green, blue

// Four-byte pixels with their bytes turned: each pixel read as a
// little-endian word and rotated left by `bits`.
static_assert(std::endian::native == std::endian::little);
void RotatePixels(const uint8_t* from, uint8_t* to, int32_t n, int bits) {
  for (int32_t i = 0; i < n; ++i, from += 4, to += 4) {
    uint32_t v;
    std::memcpy(&v, from, 4);
    v = std::rotl(v, bits);
    std::memcpy(to, &v, 4);
  }
}

bool AnyEnabled(const Lens& lens) {
  for (uint32_t i = 0; i < UsableCount(lens); ++i) {
    if (lens.elements[i].enabled) return true;
  }
  return false;
}

// One render: the images, the values, and the flare combined into the output.
class RenderAction {
 public:
  RenderAction(const Instance& instance, const PropertySet& inArgs)
      : instance_(instance),
        time_(inArgs.Double(kOfxPropTime, 0.0)),
        window_(inArgs.RectI(kOfxImageEffectPropRenderWindow)),
        renderScale_(inArgs.PointD(kOfxImageEffectPropRenderScale, OfxPointD{1.0, 1.0})),
        draft_(inArgs.Int(kOfxImageEffectPropRenderQualityDraft, 0) != 0) {}

  OfxStatus Run() {
    if (output_.Fetch(instance_.output, time_) != kOfxStatOK) return kOfxStatFailed;
    if (!output_.Copyable()) {
      ReportError(instance_.handle, "the output's pixels (" + output_.Describe() +
                                        ") are of a kind Glarewright does not write");
      return kOfxStatErrImageFormat;
    }
    if (!output_.Covers(window_)) {
      window_ = Intersection(window_, output_.bounds());
      return Fail("the output image is smaller than the render window");
    }
    if (source_.Fetch(instance_.source, time_) != kOfxStatOK) {
      return Fail("there is no source image at this frame");
    }
    if (!source_.Supported() || !output_.Supported() || source_.kind() != output_.kind() ||
        source_.channels() != output_.channels() || source_.channels() < 3) {
      return Fail("the source's pixels (" + source_.Describe() +
                  ") are of a kind Glarewright does not read");
    }
    OfxRectD region{};
    Suites().effect->clipGetRegionOfDefinition(instance_.source, time_, &region);
    OfxPropertySetHandle clipProps = nullptr;
    Suites().effect->clipGetPropertySet(instance_.source, &clipProps);
    geometry_ = GeometryOf(region, renderScale_,
                           PropertySet(clipProps).Double(kOfxImagePropPixelAspectRatio, 1.0));
    if (!geometry_.Usable()) return Fail("the frame is larger than 32767 pixels a side");
    frameWindow_ = geometry_.FrameWindow(window_);
    if (!source_.Covers(geometry_.HostWindow(frameWindow_))) {
      return Fail("the source image is smaller than the render window");
    }
    std::string error;
    if (!ReadSettings(instance_, time_, settings_, error)) return Fail(error);
    if (!LensOf(instance_, settings_, lens_, error)) return Fail(error);
    const OfxStatus status = DrawAndWrite();
    if (status == kOfxStatOK) ClearError(instance_.handle);
    return status;
  }

  // After a failure the source passes through, with the reason on the instance.
  OfxStatus Fail(const std::string& text, OfxStatus status = kOfxStatOK) {
    ReportError(instance_.handle, text);
    for (int32_t y = window_.y1; y < window_.y2; ++y) PassRow(y, window_.x1, window_.x2, false);
    return status;
  }

 private:
  OfxStatus DrawAndWrite() {
    const bool direct = source_.kind() == SampleKind::Byte && settings_.blend == Blend::Screen &&
                        !settings_.flareOnly;
    const int32_t width = frameWindow_.Width(), height = frameWindow_.Height();
    // The 8-bit Screen frame is drawn over the source's own pixels; the
    // others over black, on a canvas the instance keeps clear.
    HostBuffer loaded(instance_.handle);
    PooledCanvas black(*instance_.canvases, instance_.handle);
    uint8_t* canvas = nullptr;
    if (width > 0 && height > 0) {
      const size_t rowBytes = static_cast<size_t>(width) * kCanvasBytesPerPixel;
      const size_t bytes = rowBytes * static_cast<size_t>(height);
      if (direct ? !loaded.Allocate(bytes) : !black.Take(bytes)) {
        return Fail("there is not enough memory to draw the flare", kOfxStatErrMemory);
      }
      canvas = direct ? loaded.data() : black.data();
      if (direct) LoadCanvas(canvas);
      const Canvas target{canvas, static_cast<int32_t>(rowBytes), kCanvasBytesPerPixel,
                          frameWindow_};
      std::string error;
      const FlareRequest request{instance_, time_, geometry_, settings_, lens_, !draft_};
      const OfxStatus status = DrawFlareInto(request, target, error);
      if (status == kOfxStatFailed) return kOfxStatFailed;  // aborted: nothing more to do
      if (status == kOfxStatErrMemory) {
        return Fail("there is not enough memory to draw the flare", kOfxStatErrMemory);
      }
      if (status != kOfxStatOK) return Fail(error);
    }
    if (WriteOutput(canvas, direct) == height) black.MarkClear();
    return kOfxStatOK;
  }

  // The source's pixels of the frame window as the canvas's four-byte pixels.
  void LoadCanvas(uint8_t* canvas) const {
    const int32_t channels = source_.channels();
    for (int32_t row = frameWindow_.top; row < frameWindow_.bottom; ++row) {
      const uint8_t* p = source_.Pixel(geometry_.left + frameWindow_.left, geometry_.HostRow(row));
      uint8_t* q = canvas + static_cast<size_t>(row - frameWindow_.top) * frameWindow_.Width() *
                                kCanvasBytesPerPixel;
      if (channels == 4) {
        RotatePixels(p, q, frameWindow_.Width(), 8);  // red, green, blue, alpha -> alpha first
        continue;
      }
      for (int32_t x = 0; x < frameWindow_.Width(); ++x, p += channels, q += 4) {
        q[0] = 255;
        q[1] = p[0];
        q[2] = p[1];
        q[3] = p[2];
      }
    }
  }

  // Writes the output's rows; a canvas drawn over black is cleared row by
  // row behind the writing. Returns the number of canvas rows written.
  int32_t WriteOutput(uint8_t* canvas, bool direct) {
    const int32_t flareLeft = geometry_.left + frameWindow_.left;
    const int32_t flareRight = geometry_.left + frameWindow_.right;
    const size_t rowBytes = static_cast<size_t>(frameWindow_.Width()) * kCanvasBytesPerPixel;
    int32_t written = 0;
    for (int32_t y = window_.y1; y < window_.y2; ++y) {
      const int32_t row = geometry_.HostRow(y);  // the frame row of the host's row y
      if (row < frameWindow_.top || row >= frameWindow_.bottom || flareLeft >= flareRight) {
        PassRow(y, window_.x1, window_.x2, settings_.flareOnly);
        continue;
      }
      uint8_t* flare = canvas + static_cast<size_t>(row - frameWindow_.top) * rowBytes;
      PassRow(y, window_.x1, flareLeft, settings_.flareOnly);
      DrawnRow(y, flareLeft, flare, direct);
      PassRow(y, flareRight, window_.x2, settings_.flareOnly);
      if (!direct) std::memset(flare, 0, rowBytes);
      ++written;
    }
    return written;
  }

  void DrawnRow(int32_t y, int32_t x, const uint8_t* flare, bool direct) {
    const int32_t n = frameWindow_.Width();
    uint8_t* out = output_.Pixel(x, y);
    const uint8_t* in = source_.Pixel(x, y);
    const int32_t channels = output_.channels();
    if (direct && channels == 4) {
      RotatePixels(flare, out, n, 24);  // alpha first -> red, green, blue, alpha
    } else if (direct) {
      for (int32_t i = 0; i < n; ++i, out += channels, flare += 4) {
        out[0] = flare[1];
        out[1] = flare[2];
        out[2] = flare[3];
      }
    } else if (settings_.flareOnly) {
      FlareOnlyRow(out, output_.kind(), channels, FlareRow{flare, n});
    } else {
      CombineFlareRow(in, out, output_.kind(), channels, FlareRow{flare, n}, settings_.blend);
    }
  }

  // The output's pixels x1..x2-1 of row y as the source has them (transparent
  // black where it has none), or cleared.
  void PassRow(int32_t y, int32_t x1, int32_t x2, bool clear) {
    if (x1 >= x2) return;
    const size_t pixel = output_.PixelBytes();
    uint8_t* out = output_.Pixel(x1, y);
    const bool readable = !clear && source_.Valid() && source_.Copyable() &&
                          source_.Describe() == output_.Describe() && y >= source_.bounds().y1 &&
                          y < source_.bounds().y2;
    const int32_t from = readable ? std::clamp(source_.bounds().x1, x1, x2) : x2;
    const int32_t to = readable ? std::clamp(source_.bounds().x2, from, x2) : x2;
    std::memset(out, 0, static_cast<size_t>(from - x1) * pixel);
    if (to > from) std::memcpy(output_.Pixel(from, y), source_.Pixel(from, y), (to - from) * pixel);
    std::memset(output_.Pixel(to, y), 0, static_cast<size_t>(x2 - to) * pixel);
  }

  const Instance& instance_;
  const OfxTime time_;
  OfxRectI window_;
  const OfxPointD renderScale_;
  const bool draft_;
  ClipImage output_, source_;
  FrameGeometry geometry_;
  PixelRect frameWindow_{};
  Settings settings_;
  Lens lens_{};
};

}  // namespace

OfxStatus Render(const Instance& instance, const PropertySet& inArgs) {
  RenderAction action(instance, inArgs);
  try {
    return action.Run();
  } catch (const std::bad_alloc&) {
    return action.Fail("there is not enough memory to draw the flare", kOfxStatErrMemory);
  }
}

OfxStatus IsIdentity(const Instance& instance, const PropertySet& inArgs,
                     const PropertySet& outArgs) {
  const OfxTime time = inArgs.Double(kOfxPropTime, 0.0);
  Settings now;
  std::string error;
  Lens lens{};
  if (!ReadSettings(instance, time, now, error) || now.flareOnly ||
      !LensOf(instance, now, lens, error)) {
    return kOfxStatReplyDefault;  // the render tells what is wrong, or draws the pass
  }
  bool dark = FixedFromDouble(now.brightness) <= 0;
  if (dark && now.motionBlur && ShutterFraction(now) != 0.0f) {
    Settings next;
    dark = FixedFromDouble(now.brightness) == 0 &&
           ReadSettings(instance, time + 1.0, next, error) && FixedFromDouble(next.brightness) == 0;
  }
  const bool noLight = !instance.edition->OneLight() && !ClipConnected(instance.location);
  if (!(dark || noLight || !AnyEnabled(lens))) return kOfxStatReplyDefault;
  outArgs.Set(kOfxPropName, kOfxImageEffectSimpleSourceClipName);
  outArgs.Set(kOfxPropTime, time);
  return kOfxStatOK;
}

}  // namespace gw::ofx
