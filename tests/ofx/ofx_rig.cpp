#include "tests/ofx/ofx_rig.h"

#include <sstream>

namespace gw::testing {

HostImage FromLegacy(const testhost::Image& image, const std::string& depth,
                     const std::string& components) {
  HostImage out = HostImage::Make(OfxRectI{0, 0, image.width, image.height}, depth, components);
  const int32_t channels = out.Channels();
  for (int32_t y = 0; y < image.height; ++y) {
    for (int32_t x = 0; x < image.width; ++x) {
      const PF_Pixel& p = image.at(x, image.height - 1 - y);
      const uint8_t values[4] = {p.red, p.green, p.blue, p.alpha};
      uint8_t* q = out.Pixel(x, y);
      for (int32_t c = 0; c < channels; ++c) {
        const uint8_t v = channels == 1 ? p.alpha : values[c];
        if (out.depth == kOfxBitDepthByte) {
          q[c] = v;
        } else if (out.depth == kOfxBitDepthShort || out.depth == kOfxBitDepthHalf) {
          const uint16_t s = static_cast<uint16_t>(v * 257);
          std::memcpy(q + 2 * c, &s, 2);
        } else {
          const float f = static_cast<float>(v) / 255.0f;
          std::memcpy(q + 4 * c, &f, 4);
        }
      }
    }
  }
  return out;
}

testhost::Image ToLegacy(const HostImage& image) {
  testhost::Image out(image.Width(), image.Height());
  const int32_t channels = image.Channels();
  for (int32_t y = 0; y < out.height; ++y) {
    for (int32_t x = 0; x < out.width; ++x) {
      const uint8_t* p = image.Pixel(image.bounds.x1 + x, image.bounds.y2 - 1 - y);
      out.at(x, y) = PF_Pixel{channels == 4 ? p[3] : uint8_t{255}, p[0], p[1], p[2]};
    }
  }
  return out;
}

void ConnectImage(Instance& instance, const std::string& clip, const HostImage& image,
                  OfxPointD renderScale) {
  auto shared = std::make_shared<const HostImage>(image);
  const OfxRectD region{image.bounds.x1 / renderScale.x, image.bounds.y1 / renderScale.y,
                        image.bounds.x2 / renderScale.x, image.bounds.y2 / renderScale.y};
  instance.Connect(
      clip, [shared](double) { return shared; }, region, image.depth, image.components);
}

std::string FirstDifference(const testhost::Image& a, const testhost::Image& b) {
  std::ostringstream text;
  if (a.width != b.width || a.height != b.height) {
    text << "sizes " << a.width << "x" << a.height << " and " << b.width << "x" << b.height;
    return text.str();
  }
  int differing = 0;
  for (int32_t y = 0; y < a.height; ++y) {
    for (int32_t x = 0; x < a.width; ++x) {
      const PF_Pixel &p = a.at(x, y), &q = b.at(x, y);
      if (std::memcmp(&p, &q, 4) == 0) continue;
      if (differing++ == 0) {
        text << ", first at (" << x << ", " << y << "): " << int{p.red} << "," << int{p.green}
             << "," << int{p.blue} << "," << int{p.alpha} << " against " << int{q.red} << ","
             << int{q.green} << "," << int{q.blue} << "," << int{q.alpha};
      }
    }
  }
  return differing ? std::to_string(differing) + " pixels differ" + text.str() : "";
}

}  // namespace gw::testing
