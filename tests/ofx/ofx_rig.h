// Helpers for driving the OpenFX binary through our OpenFX host, and for
// comparing its frames with the legacy plug-ins' frames of the same shot.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "testhost/image.h"
#include "testhost/ofx/host.h"

namespace gw::testing {

using ofxhost::Host;
using ofxhost::HostImage;
using ofxhost::Instance;
using ofxhost::ParamValue;

inline constexpr char kFull[] = "org.glarewright.Glarewright";
inline constexpr char kShowcase[] = "org.glarewright.GlarewrightShowcase";
inline constexpr char kQuick[] = "org.glarewright.GlarewrightQuick";

inline std::unique_ptr<Host> LoadBinary(ofxhost::HostOptions options = {}) {
  return std::make_unique<Host>(GW_OFX_BINARY, options);
}

inline ParamValue Number(double v) { return ParamValue{{v}, {}}; }
inline ParamValue Numbers(std::vector<double> v) { return ParamValue{std::move(v), {}}; }
inline ParamValue Text(std::string t) { return ParamValue{{}, std::move(t)}; }

// A legacy frame (rows from the top, alpha first) as the host's image of
// its pixels (rows from the bottom), in a depth and component layout.
HostImage FromLegacy(const testhost::Image& image, const std::string& depth,
                     const std::string& components = kOfxImageComponentRGBA);
// An 8-bit host image as a legacy frame; RGB pixels get alpha 255.
testhost::Image ToLegacy(const HostImage& image);

// Connects a clip to one image at every time, over its whole bounds.
void ConnectImage(Instance& instance, const std::string& clip, const HostImage& image,
                  OfxPointD renderScale = {1.0, 1.0});

// The whole frame of an image's bounds as a render request.
inline ofxhost::RenderRequest WholeFrame(const HostImage& image, double time = 0.0,
                                         OfxPointD scale = {1.0, 1.0}) {
  return ofxhost::RenderRequest{time, image.bounds, scale, false};
}

// Checks that the host saw no misuse, and lists what it saw.
inline void ExpectNoProblems(Host& host) {
  std::string seen;
  for (const std::string& p : host.TakeProblems()) seen += p + "\n";
  EXPECT_TRUE(seen.empty()) << seen;
}

// The same pixels over the same bounds, byte for byte.
inline bool SameBytes(const HostImage& a, const HostImage& b) {
  const OfxRectI &p = a.bounds, &q = b.bounds;
  if (p.x1 != q.x1 || p.y1 != q.y1 || p.x2 != q.x2 || p.y2 != q.y2 ||
      a.pixelBytes != b.pixelBytes) {
    return false;
  }
  const size_t row = static_cast<size_t>(a.Width()) * a.pixelBytes;
  for (int32_t y = p.y1; y < p.y2; ++y) {
    if (std::memcmp(a.Pixel(p.x1, y), b.Pixel(p.x1, y), row) != 0) return false;
  }
  return true;
}

// One instance of a plug-in over a plate, in our host, with a project of the
// plate's size; the plate is connected to the source clip.
struct PlateRig {
  PlateRig(const char* id, const char* context, HostImage plate,
           ofxhost::HostOptions options = {})
      : host(LoadBinary(ProjectOf(plate, options))),
        instance(host->CreateInstance(id, context)),
        source(std::move(plate)) {
    EXPECT_TRUE(instance);
    ConnectImage(*instance, kOfxImageEffectSimpleSourceClipName, source);
  }
  static ofxhost::HostOptions ProjectOf(const HostImage& plate, ofxhost::HostOptions o) {
    o.projectSize = {double(plate.Width()), double(plate.Height())};
    return o;
  }
  HostImage Render(OfxStatus expected = kOfxStatOK, double time = 0.0) {
    HostImage out;
    EXPECT_EQ(instance->Render(WholeFrame(source, time), out), expected);
    return out;
  }
  // Ends the instance, checks that the host saw no misuse and that nothing
  // is left allocated, and unloads the binary (one host loads it at a time).
  void Finish() {
    instance.reset();
    ExpectNoProblems(*host);
    EXPECT_EQ(host->LiveAllocations(), 0u);
    host.reset();
  }
  std::unique_ptr<Host> host;
  std::unique_ptr<Instance> instance;
  HostImage source;
};

// Where two legacy frames first differ, for messages ("" when they are equal).
std::string FirstDifference(const testhost::Image& a, const testhost::Image& b);

// Writes an 8-bit RGBA host image as a PNG (for looking at a render).
bool WritePng(const std::string& path, const HostImage& image);

}  // namespace gw::testing
