#include "cli/compositing.h"

#include <algorithm>

#include "cli/image_io.h"

namespace gw {

bool DrawsOverPlate(const Plate& plate, Blend blend, bool flareOnly) {
  return !flareOnly && blend == Blend::Screen && plate.type == SampleType::UInt8 &&
         plate.channels >= 3;
}

Plate DownsamplePlate(const Plate& plate, int32_t factor) {
  if (factor <= 1) return plate;
  Plate out = plate;
  out.width = testhost::DownsampledSize(plate.width, factor);
  out.height = testhost::DownsampledSize(plate.height, factor);
  out.samples.assign(static_cast<size_t>(out.width) * out.height * plate.channels, 0.0f);
  for (int32_t y = 0; y < out.height; ++y) {
    for (int32_t x = 0; x < out.width; ++x) {
      const int32_t y1 = std::min(plate.height, (y + 1) * factor);
      const int32_t x1 = std::min(plate.width, (x + 1) * factor);
      for (int32_t c = 0; c < plate.channels; ++c) {
        double sum = 0.0;
        for (int32_t sy = y * factor; sy < y1; ++sy) {
          for (int32_t sx = x * factor; sx < x1; ++sx) sum += plate.at(sx, sy, c);
        }
        out.at(x, y, c) = static_cast<float>(sum / ((y1 - y * factor) * (x1 - x * factor)));
      }
    }
  }
  return out;
}

Plate WithRenderedPixels(Plate plate, const testhost::Image& rendered) {
  const ColourChannels rgb = FindColourChannels(plate);
  for (int32_t y = 0; y < plate.height; ++y) {
    for (int32_t x = 0; x < plate.width; ++x) {
      const PF_Pixel& p = rendered.at(x, y);
      plate.at(x, y, rgb.red) = ByteToUnit(p.red);
      plate.at(x, y, rgb.green) = ByteToUnit(p.green);
      plate.at(x, y, rgb.blue) = ByteToUnit(p.blue);
      if (plate.alphaChannel >= 0) plate.at(x, y, plate.alphaChannel) = ByteToUnit(p.alpha);
    }
  }
  return plate;
}

Plate CombineFlare(Plate plate, const testhost::Image& flare, Blend blend) {
  const ColourChannels rgb = FindColourChannels(plate);
  const bool grey = rgb.red == rgb.green;
  for (int32_t y = 0; y < plate.height; ++y) {
    for (int32_t x = 0; x < plate.width; ++x) {
      const PF_Pixel& f = flare.at(x, y);
      if ((f.red | f.green | f.blue) == 0) continue;
      if (grey) {
        const float luma = FlareLuma(f.red, f.green, f.blue);
        plate.at(x, y, rgb.red) = CombineSample(plate.at(x, y, rgb.red), luma, blend);
        continue;
      }
      plate.at(x, y, rgb.red) = CombineSample(plate.at(x, y, rgb.red), ByteToUnit(f.red), blend);
      plate.at(x, y, rgb.green) =
          CombineSample(plate.at(x, y, rgb.green), ByteToUnit(f.green), blend);
      plate.at(x, y, rgb.blue) = CombineSample(plate.at(x, y, rgb.blue), ByteToUnit(f.blue), blend);
    }
  }
  return plate;
}

Plate FlareOnly(const testhost::Image& flare) {
  Plate plate;
  plate.width = flare.width;
  plate.height = flare.height;
  plate.channels = 4;
  plate.alphaChannel = 3;
  plate.premultiplied = true;
  plate.channelNames = {"R", "G", "B", "A"};
  plate.samples.resize(flare.pixels.size() * 4);
  for (size_t i = 0; i < flare.pixels.size(); ++i) {
    const PF_Pixel& f = flare.pixels[i];
    float* q = &plate.samples[i * 4];
    q[0] = ByteToUnit(f.red);
    q[1] = ByteToUnit(f.green);
    q[2] = ByteToUnit(f.blue);
    q[3] = ByteToUnit(FlareAlpha(f.red, f.green, f.blue));
  }
  return plate;
}

testhost::Image BlackFrame(int32_t width, int32_t height) {
  return testhost::Image(width, height, PF_Pixel{255, 0, 0, 0});
}

}  // namespace gw
