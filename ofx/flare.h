// The flare of one render, drawn into a canvas: the light and obscuration
// from the parameters and layers at the render's time, the lens walked once,
// motion-blurred, or once per light of the Showcase edition.
#pragma once

#include <optional>
#include <string>

#include "frame/frame.h"
#include "frame/layer.h"
#include "frame/light.h"
#include "lens/lens.h"
#include "ofx/geometry.h"
#include "ofx/images.h"
#include "ofx/instance.h"

namespace gw::ofx {

// The parameter values as the frame logic reads them: through the tables'
// 16.16 encoding, so that they give the legacy plug-ins' floats.
float BrightnessFactor(const Settings& s);
float ScaleFactor(const Settings& s);
float AnglePhase(const Settings& s);
LayerPixel ColourOf(const Settings& s);
float ShutterFraction(const Settings& s);

// The lens a render draws: the instance's lens parameter, or the Quick
// edition's preset. False with a message for a lens that does not parse.
bool LensOf(const Instance& instance, const Settings& s, Lens& lens, std::string& error);

// The image of a layer clip at a time as an 8-bit layer; none when the clip
// is not connected or has no image there. False with a message when its
// pixels cannot be read.
bool LayerAt(OfxImageClipHandle clip, OfxTime time, std::optional<LayerImage>& layer,
             std::string& error);

struct FlareRequest {
  const Instance& instance;
  OfxTime time;
  const FrameGeometry& geometry;
  const Settings& now;
  const Lens& lens;
  bool highQuality;
};

// Draws the flare into the canvas (four bytes a pixel over its window of the
// frame): kOfxStatOK, kOfxStatFailed when the host aborts the render,
// kOfxStatErrMemory, or kOfxStatErrImageFormat / kOfxStatErrValue with a
// message in `error`.
OfxStatus DrawFlareInto(const FlareRequest& request, const Canvas& canvas, std::string& error);

}  // namespace gw::ofx
