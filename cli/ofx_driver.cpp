// Rendering through the OpenFX edition: one instance of the plan's plug-in in
// our OpenFX host, set up for the whole run. The plate goes to the plug-in as
// it is (8 bits, 16 bits or float) and the plug-in blends the flare itself;
// only an 8-bit plate is first made the 8-bit frame the legacy host would
// hand over, so that both interfaces give the same bytes.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <stdexcept>

#include "cli/effect_driver.h"
#include "cli/errors.h"
#include "cli/image_io.h"
#include "cli/plugin_modules.h"
#include "lensfile/lens_text.h"
#include "render/composite.h"
#include "testhost/ofx/host.h"

namespace gw {
namespace {

using ofxhost::HostImage;

// The clips the layers become, as applications and projects know them.
const char* ClipOf(ParamRole role) {
  return role == ParamRole::LocationLayer ? "Location" : "Obscuration";
}

ofxhost::ParamValue Numbers(std::vector<double> numbers) { return {std::move(numbers), {}}; }

// An 8-bit frame (rows from the top) as the host's RGBA or RGB image over
// `bounds` (rows from the bottom).
HostImage FromFrame(const testhost::Image& frame, OfxRectI bounds, bool alpha) {
  HostImage image = HostImage::Make(bounds, kOfxBitDepthByte,
                                    alpha ? kOfxImageComponentRGBA : kOfxImageComponentRGB);
  for (int32_t y = 0; y < frame.height; ++y) {
    uint8_t* q = image.Pixel(bounds.x1, bounds.y2 - 1 - y);
    for (int32_t x = 0; x < frame.width; ++x, q += image.PixelBytes()) {
      const PF_Pixel& p = frame.at(x, y);
      q[0] = p.red;
      q[1] = p.green;
      q[2] = p.blue;
      if (alpha) q[3] = p.alpha;
    }
  }
  return image;
}

// One sample of a host image as a value (bytes and shorts in 0..1).
float SampleAt(const HostImage& image, const uint8_t* pixel, int32_t channel) {
  if (image.depth == kOfxBitDepthByte) return ByteToUnit(pixel[channel]);
  if (image.depth == kOfxBitDepthShort) {
    uint16_t v;
    std::memcpy(&v, pixel + 2 * channel, 2);
    return static_cast<float>(v) / 65535.0f;
  }
  float v;
  std::memcpy(&v, pixel + 4 * channel, 4);
  return v;
}

void PutSample(const HostImage& image, uint8_t* pixel, int32_t channel, float value) {
  if (image.depth == kOfxBitDepthShort) {
    const float unit = std::clamp(value, 0.0f, 1.0f);
    const auto v = static_cast<uint16_t>(std::lround(unit * 65535.0f));
    std::memcpy(pixel + 2 * channel, &v, 2);
  } else {
    std::memcpy(pixel + 4 * channel, &value, 4);
  }
}

class OfxDriver final : public EffectDriver {
 public:
  explicit OfxDriver(const EffectSetUp& s) : plan_(s.plan), width_(s.width), height_(s.height) {
    const std::string path = FindOfxBinary(s.pluginDir);
    ofxhost::HostOptions options;
    options.projectSize = {static_cast<double>(width_), static_cast<double>(height_)};
    options.cropImages = false;  // the images as they are: no copies
    try {
      host_ = std::make_unique<ofxhost::Host>(path, options);
      ofxhost::ParamValues project;
      if (s.lens) project["lens"] = ofxhost::ParamValue{{}, LensToText(*s.lens)};
      instance_ = host_->CreateInstance(OfxIdentifier(plan_.edition), kOfxImageEffectContextGeneral,
                                        project);
    } catch (const std::runtime_error& e) {
      throw FileError(path, e.what());
    }
    name_ = path.substr(path.find_last_of('/') + 1);
    if (!instance_) Fail("the plug-in refused to make an instance");
    instance_->AbortWhen([this] { return cancelled_ && cancelled_(); });
    const EditionTable& table = EditionNamed(plan_.edition);
    for (const ParamRow& row : table.params) {
      if (row.type == PF_Param_LAYER) continue;
      params_[row.role] = ParamLabelled(row.name);
    }
    if (plan_.flareOnly) SetNumber(ParamLabelled("Output"), 1);
    if (plan_.blend == Blend::Add) SetNumber(ParamLabelled("Blend"), 1);
    if (plan_.shutterAngle > 0.0 && table.IndexOf(ParamRole::LightPoint) > 0) {
      SetNumber(ParamLabelled("Motion Blur"), 1);
      SetNumber(ParamLabelled("Shutter Angle"), plan_.shutterAngle);
    }
    CheckConduct();
    const OfxPointD scale = RenderScale();
    instance_->BeginSequenceRender(plan_.range.first, plan_.range.last, scale);
  }

  ~OfxDriver() override {
    if (!instance_) return;
    instance_->EndSequenceRender(plan_.range.first, plan_.range.last, RenderScale());
    instance_.reset();
  }

  void SetKey(ParamRole role, int frame, const testhost::ParamValue& v) override {
    if (role == ParamRole::LightPoint) lightKeys_[frame] = v;
    instance_->SetKey(params_.at(role), frame, ValueOf(role, v));
  }

  void SetValue(ParamRole role, const testhost::ParamValue& v) override {
    instance_->SetValue(params_.at(role), ValueOf(role, v));
  }

  // The layer laid on the frame from its top left, as the legacy host lays
  // it, at the render scale.
  void SetLayer(ParamRole role, testhost::LayerSource frames) override {
    const int32_t factor = plan_.downsample;
    const int32_t top = testhost::DownsampledSize(height_, factor);
    // The last images converted: a frame's and, for motion blur, the next one's.
    auto recent = std::make_shared<std::vector<ConvertedLayer>>();
    ofxhost::ImageSource images =
        [frames, factor, top, recent](double time) -> std::shared_ptr<const HostImage> {
      const std::shared_ptr<const testhost::Image> image = frames(static_cast<int32_t>(time));
      if (!image) return nullptr;
      for (const ConvertedLayer& layer : *recent) {
        if (layer.image == image) return layer.pixels;
      }
      const testhost::Image scaled = testhost::Downsample(*image, factor);
      auto pixels = std::make_shared<const HostImage>(
          FromFrame(scaled, OfxRectI{0, top - scaled.height, scaled.width, top}, true));
      if (recent->size() >= 2) recent->erase(recent->begin());
      recent->push_back({image, pixels});
      return pixels;
    };
    // Its region of definition: the first frame's pixels brought back to
    // the canonical plane.
    const std::shared_ptr<const HostImage> first = images(plan_.range.first);
    const OfxRectI b = first->bounds;
    const double f = factor;
    instance_->Connect(ClipOf(role), images, OfxRectD{b.x1 * f, b.y1 * f, b.x2 * f, b.y2 * f},
                       kOfxBitDepthByte, kOfxImageComponentRGBA);
  }

  Plate Render(int frame, const Plate& plate, ItemContext& context) override {
    cancelled_ = context.cancelled;
    if (plate.height != height_) {
      // The light's keys count from the frame's bottom: a frame of another
      // height moves them.
      height_ = plate.height;
      for (const auto& [key, value] : lightKeys_) {
        instance_->SetKey(params_.at(ParamRole::LightPoint), key, ValueOf(ParamRole::LightPoint, value));
      }
    }
    const int32_t factor = plan_.downsample;
    Plate under = DownsamplePlate(plate, factor);
    const ColourChannels rgb = FindColourChannels(plate);
    // A flare-only pass needs an alpha to write to.
    const bool alpha = plate.alphaChannel >= 0 || plan_.flareOnly;
    const OfxRectI bounds{0, 0, under.width, under.height};
    const HostImage source = plate.type == SampleType::UInt8
                                 ? FromFrame(testhost::Downsample(PlateToFrame(plate).argb, factor),
                                             bounds, alpha)
                                 : FromPlate(under, rgb, alpha);
    auto shared = std::make_shared<const HostImage>(source);
    instance_->Connect(
        kOfxImageEffectSimpleSourceClipName, [shared](double) { return shared; },
        OfxRectD{0.0, 0.0, static_cast<double>(plate.width), static_cast<double>(plate.height)},
        source.depth, source.components);

    HostImage output;
    const ofxhost::RenderRequest request{static_cast<double>(frame), bounds, RenderScale(),
                                         !plan_.highQuality};
    const OfxStatus status = instance_->Render(request, output);
    if (context.cancelled()) throw ItemCancelled{};
    CheckRendered(status, frame);
    return plan_.flareOnly ? FlarePass(output) : WithOutput(std::move(under), rgb, output);
  }

 private:
  struct ConvertedLayer {
    std::shared_ptr<const testhost::Image> image;  // kept alive while its pixels are
    std::shared_ptr<const HostImage> pixels;
  };

  OfxPointD RenderScale() const { return {1.0 / plan_.downsample, 1.0 / plan_.downsample}; }

  // The instance's parameter that goes by a label (the tables' names).
  std::string ParamLabelled(const std::string& label) const {
    for (const std::string& name : instance_->ParamNames()) {
      if (instance_->ParamProps(name).String(kOfxPropLabel) == label) return name;
    }
    Fail("the plug-in has no parameter \"" + label + "\"");
    return {};
  }

  void SetNumber(const std::string& name, double v) { instance_->SetValue(name, Numbers({v})); }

  // A value of the legacy encoding as the OpenFX parameter holds it.
  ofxhost::ParamValue ValueOf(ParamRole role, const testhost::ParamValue& v) const {
    switch (role) {
      case ParamRole::LightPoint:  // canonical coordinates count from the bottom left
        return Numbers({v.value / 65536.0, height_ - v.y / 65536.0});
      case ParamRole::Color:
        return Numbers({v.colour.red / 255.0, v.colour.green / 255.0, v.colour.blue / 255.0});
      case ParamRole::FlareType:
      case ParamRole::ObscurationType:  // choices count from 0
        return Numbers({static_cast<double>(v.value - 1)});
      case ParamRole::SourceSize:
        return Numbers({static_cast<double>(v.value)});
      default:  // Brightness, Scale, Angle: 16.16
        return Numbers({v.value / 65536.0});
    }
  }

  // The plate's colours (grey given thrice) and alpha as 16-bit or float samples.
  static HostImage FromPlate(const Plate& plate, const ColourChannels& rgb, bool alpha) {
    const char* depth = plate.type == SampleType::UInt16 ? kOfxBitDepthShort : kOfxBitDepthFloat;
    HostImage image = HostImage::Make(OfxRectI{0, 0, plate.width, plate.height}, depth,
                                      alpha ? kOfxImageComponentRGBA : kOfxImageComponentRGB);
    const int32_t channels[4] = {rgb.red, rgb.green, rgb.blue, plate.alphaChannel};
    for (int32_t y = 0; y < plate.height; ++y) {
      uint8_t* q = image.Pixel(0, plate.height - 1 - y);
      for (int32_t x = 0; x < plate.width; ++x, q += image.PixelBytes()) {
        for (int32_t c = 0; c < image.Channels(); ++c) {
          PutSample(image, q, c, channels[c] >= 0 ? plate.at(x, y, channels[c]) : 1.0f);
        }
      }
    }
    return image;
  }

  // The plate with the output's colours; a grey plate takes their luminance.
  static Plate WithOutput(Plate plate, const ColourChannels& rgb, const HostImage& output) {
    const bool grey = rgb.red == rgb.green;
    for (int32_t y = 0; y < plate.height; ++y) {
      const uint8_t* p = output.Pixel(0, plate.height - 1 - y);
      for (int32_t x = 0; x < plate.width; ++x, p += output.PixelBytes()) {
        const float r = SampleAt(output, p, 0), g = SampleAt(output, p, 1),
                    b = SampleAt(output, p, 2);
        if (grey) {
          plate.at(x, y, rgb.red) = Luma(r, g, b);
          continue;
        }
        plate.at(x, y, rgb.red) = r;
        plate.at(x, y, rgb.green) = g;
        plate.at(x, y, rgb.blue) = b;
      }
    }
    return plate;
  }

  // The flare alone, premultiplied, as the plug-in wrote it.
  static Plate FlarePass(const HostImage& output) {
    Plate plate;
    plate.width = output.Width();
    plate.height = output.Height();
    plate.channels = 4;
    plate.alphaChannel = 3;
    plate.premultiplied = true;
    plate.channelNames = {"R", "G", "B", "A"};
    plate.samples.resize(static_cast<size_t>(plate.width) * plate.height * 4);
    for (int32_t y = 0; y < plate.height; ++y) {
      const uint8_t* p = output.Pixel(0, plate.height - 1 - y);
      for (int32_t x = 0; x < plate.width; ++x, p += output.PixelBytes()) {
        for (int32_t c = 0; c < 4; ++c) plate.at(x, y, c) = SampleAt(output, p, c);
      }
    }
    return plate;
  }

  // A render the plug-in did not finish, or finished by passing the source
  // through with a message, stops the work with its words.
  void CheckRendered(OfxStatus status, int frame) {
    const std::string message = instance_->PersistentMessage();
    const std::string what = "frame " + std::to_string(frame);
    if (!message.empty()) Fail(what + ": " + message);
    if (status != kOfxStatOK) Fail(what + ": the render failed (status " + std::to_string(status) + ")");
    CheckConduct();
  }

  // Throws when the host saw the plug-in misuse a suite.
  void CheckConduct() {
    const std::vector<std::string> problems = host_->TakeProblems();
    if (!problems.empty()) Fail(problems.front());
  }

  [[noreturn]] void Fail(const std::string& what) const { throw FileError(name_, what); }

  const RenderPlan& plan_;
  const int width_;
  int height_;  // of the frame the light's keys count from
  std::string name_ = "Glarewright.ofx";
  std::unique_ptr<ofxhost::Host> host_;
  std::unique_ptr<ofxhost::Instance> instance_;
  std::map<ParamRole, std::string> params_;
  std::function<bool()> cancelled_;
  std::map<int, testhost::ParamValue> lightKeys_;  // as the options give them
};

}  // namespace

std::unique_ptr<EffectDriver> MakeOfxDriver(const EffectSetUp& setUp) {
  return std::make_unique<OfxDriver>(setUp);
}

}  // namespace gw
