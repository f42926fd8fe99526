// Renders a picture through the OpenFX binary in our OpenFX host, as an
// application would: the Showcase edition over a dusk plate in float, a
// flare on each of four lights of its location layer, rendered as four
// tiles from four threads, written as an 8-bit PNG.
//   render_ofx_png OFX_BINARY OUT.png [WIDTH HEIGHT]
#include <OpenImageIO/imageio.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "testhost/ofx/host.h"

namespace {

using gw::ofxhost::HostImage;

float& At(HostImage& image, int32_t x, int32_t y, int c) {
  return reinterpret_cast<float*>(image.Pixel(x, y))[c];
}

// A dusk sky over a dark ground, in linear light (rows from the bottom).
HostImage Plate(int32_t w, int32_t h) {
  HostImage plate =
      HostImage::Make(OfxRectI{0, 0, w, h}, kOfxBitDepthFloat, kOfxImageComponentRGBA);
  for (int32_t y = 0; y < h; ++y) {
    const float up = static_cast<float>(y) / h;
    for (int32_t x = 0; x < w; ++x) {
      const bool ground = up < 0.28f + 0.03f * std::sin(x * 0.02f);
      At(plate, x, y, 0) = ground ? 0.010f : 0.020f + 0.05f * up;
      At(plate, x, y, 1) = ground ? 0.012f : 0.025f + 0.08f * up;
      At(plate, x, y, 2) = ground ? 0.015f : 0.060f + 0.20f * up;
      At(plate, x, y, 3) = 1.0f;
    }
  }
  return plate;
}

// Four small lamps: the Showcase edition's lights.
HostImage Lamps(int32_t w, int32_t h) {
  HostImage layer =
      HostImage::Make(OfxRectI{0, 0, w, h}, kOfxBitDepthFloat, kOfxImageComponentRGBA);
  const struct {
    float x, y, r, g, b;
  } lamps[] = {{0.18f, 0.62f, 1.0f, 0.8f, 0.5f},
               {0.47f, 0.80f, 0.7f, 0.8f, 1.0f},
               {0.71f, 0.40f, 1.0f, 0.5f, 0.3f},
               {0.88f, 0.70f, 0.9f, 1.0f, 0.8f}};
  for (const auto& lamp : lamps) {
    const int32_t cx = static_cast<int32_t>(lamp.x * w), cy = static_cast<int32_t>(lamp.y * h);
    for (int32_t y = cy - 2; y <= cy + 2; ++y) {
      for (int32_t x = cx - 2; x <= cx + 2; ++x) {
        At(layer, x, y, 0) = lamp.r;
        At(layer, x, y, 1) = lamp.g;
        At(layer, x, y, 2) = lamp.b;
        At(layer, x, y, 3) = 1.0f;
      }
    }
  }
  return layer;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 5) {
    std::fprintf(stderr, "usage: render_ofx_png OFX_BINARY OUT.png [WIDTH HEIGHT]\n");
    return 2;
  }
  const int32_t w = argc == 5 ? std::atoi(argv[3]) : 960, h = argc == 5 ? std::atoi(argv[4]) : 540;
  gw::ofxhost::Host host(argv[1], {.projectSize = {double(w), double(h)}});
  auto instance =
      host.CreateInstance("org.glarewright.GlarewrightShowcase", kOfxImageEffectContextGeneral);
  if (!instance) return 1;
  const auto plate = std::make_shared<const HostImage>(Plate(w, h));
  const auto lamps = std::make_shared<const HostImage>(Lamps(w, h));
  const OfxRectD region{0, 0, double(w), double(h)};
  instance->Connect(
      "Source", [plate](double) { return plate; }, region, kOfxBitDepthFloat,
      kOfxImageComponentRGBA);
  instance->Connect(
      "Location", [lamps](double) { return lamps; }, region, kOfxBitDepthFloat,
      kOfxImageComponentRGBA);
  instance->SetValue("brightness", {{80.0}, {}});
  instance->SetValue("scale", {{0.7}, {}});

  // Four tiles, each from its own thread.
  std::vector<OfxRectI> tiles{
      {0, 0, w / 2, h / 2}, {w / 2, 0, w, h / 2}, {0, h / 2, w / 2, h}, {w / 2, h / 2, w, h}};
  std::vector<HostImage> parts(tiles.size());
  std::vector<std::thread> threads;
  for (size_t i = 0; i < tiles.size(); ++i) {
    threads.emplace_back([&, i] {
      instance->Render({0.0, tiles[i], {1.0, 1.0}, false}, parts[i]);
    });
  }
  for (std::thread& t : threads) t.join();

  // Rows from the top, gently tone-mapped to 8 bits.
  std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
  for (const HostImage& part : parts) {
    for (int32_t y = part.bounds.y1; y < part.bounds.y2; ++y) {
      for (int32_t x = part.bounds.x1; x < part.bounds.x2; ++x) {
        const float* p = reinterpret_cast<const float*>(part.Pixel(x, y));
        for (int c = 0; c < 3; ++c) {
          const float v = std::pow(std::max(p[c], 0.0f) / (1.0f + p[c] * 0.2f), 1.0f / 2.2f);
          rgb[(static_cast<size_t>(h - 1 - y) * w + x) * 3 + c] =
              static_cast<uint8_t>(std::min(255.0f, v * 255.0f + 0.5f));
        }
      }
    }
  }
  instance.reset();
  for (const std::string& problem : host.TakeProblems())
    std::fprintf(stderr, "%s\n", problem.c_str());
  auto out = OIIO::ImageOutput::create(argv[2]);
  const OIIO::ImageSpec format(w, h, 3, OIIO::TypeDesc::UINT8);
  return out && out->open(argv[2], format) && out->write_image(OIIO::TypeDesc::UINT8, rgb.data()) &&
                 out->close()
             ? 0
             : 1;
}
