// The shots that the OpenFX binary renders for comparison: against the
// legacy plug-ins' frames of the same shot (Linux), and the Windows binary's
// frames against the Linux binary's (under 64-bit Wine).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "testhost/image.h"
#include "testhost/ofx/host.h"

namespace gw::testing {

inline constexpr int32_t kShotWidth = 400, kShotHeight = 240;

// A shot set up the same way on every side.
struct Shot {
  std::string edition;                    // "full", "showcase", "quick"
  float lightX = 120.0f, lightY = 80.0f;  // frame pixels from the top left
  double brightness = 100.0;
  double angle = 0.0;
  int flareType = 1;
  PF_Pixel colour{255, 255, 255, 255};
  std::shared_ptr<testhost::Image> location{}, obscuration{};
  int obscurationType = 2;
  int sourceSize = 2;
  float nextLightX = -1.0f, nextLightY = -1.0f;  // a moving light (motion blur)
  int factor = 1;                                // downsampling
  bool draft = false;
  // Pixels twice as wide as high: the legacy host's horizontal half
  // resolution over the same pixels.
  bool widePixels = false;
};

struct NamedShot {
  std::string group;  // what the shots of a group check together
  std::string name;   // unique, fit for a file name
  Shot shot;
};

// The comparison's shots, over PatternPlate(kShotWidth, kShotHeight).
std::vector<NamedShot> ComparisonShots();

// The left half of a frame (the plate of a wide-pixel shot).
testhost::Image LeftHalf(const testhost::Image& image);

// Renders the shot through the OpenFX binary at GW_OFX_BINARY in our host,
// 8 bits a channel. False with the reason when the render fails, the host saw
// misuse, or the images fetched were not the source's window and the layers
// whole.
bool RenderOfxShot(const Shot& shot, const testhost::Image& frame, testhost::Image& out,
                   std::string& error);

// The same over the frame and layers in `depth` (an OpenFX bit depth); the
// source's samples are multiplied by `sourceGain` first (float sources: a gain
// above 1 puts highlights above white).
bool RenderOfxShotInDepth(const Shot& shot, const testhost::Image& frame, const std::string& depth,
                          float sourceGain, ofxhost::HostImage& out, std::string& error);

}  // namespace gw::testing
