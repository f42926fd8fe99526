#include "host/showcase_lights.h"

#include <new>

#include "host/host_calls.h"

namespace gw {
namespace {

struct Run {
  int32_t x, y;
};

// A pixel that may join the region.
bool Joins(const PixelMask& region, const PF_LayerDef& layer, int32_t x, int32_t y) {
  return !region.Test(x, y) && LayerRow(layer, y)[x].alpha != 0;
}

// Sums become averages, and the centre a fraction of the layer size.
void Finish(LightSource& light, const PF_LayerDef& layer) {
  const double count = static_cast<double>(light.pixelCount);
  const double weight = static_cast<double>(light.alphaWeight);
  light.red = static_cast<float>(light.red / count / 255.0);
  light.green = static_cast<float>(light.green / count / 255.0);
  light.blue = static_cast<float>(light.blue / count / 255.0);
  light.alpha = static_cast<float>(light.alpha / count / 255.0);
  light.x = static_cast<float>((light.x / weight - 1.0) / layer.width);
  light.y = static_cast<float>((light.y / weight - 1.0) / layer.height);
}

}  // namespace

PixelMask::PixelMask(int32_t width, int32_t height)
    : rowBytes_(static_cast<size_t>(width >> 3) + 1),
      bits_(rowBytes_ * static_cast<size_t>(height), 0) {}

void GrowRegion(int32_t seedX, int32_t seedY, PixelMask& region, const PF_LayerDef& layer,
                LightSource& light) {
  double red = 0, green = 0, blue = 0, alpha = 0, xSum = 0, ySum = 0;
  std::vector<Run> pending{{seedX, seedY}};
  while (!pending.empty()) {
    const Run seed = pending.back();
    pending.pop_back();
    if (!Joins(region, layer, seed.x, seed.y)) continue;
    // The whole run of joining pixels through the seed, left and right.
    int32_t left = seed.x, right = seed.x;
    while (left > 0 && Joins(region, layer, left - 1, seed.y)) --left;
    while (right + 1 < layer.width && Joins(region, layer, right + 1, seed.y)) ++right;
    const PF_Pixel* row = LayerRow(layer, seed.y);
    for (int32_t x = left; x <= right; ++x) {
      const PF_Pixel& p = row[x];
      region.Set(x, seed.y);
      alpha += p.alpha;
      red += p.red;
      green += p.green;
      blue += p.blue;
      xSum += static_cast<double>(x) * p.alpha;
      ySum += static_cast<double>(seed.y) * p.alpha;
      light.alphaWeight += p.alpha;
      light.pixelCount += 1;
    }
    // One pending seed per run of joining pixels in the rows above and below.
    for (const int32_t y : {seed.y - 1, seed.y + 1}) {
      if (y < 0 || y >= layer.height) continue;
      for (int32_t x = left; x <= right; ++x) {
        if (!Joins(region, layer, x, y)) continue;
        pending.push_back({x, y});
        while (x + 1 <= right && Joins(region, layer, x + 1, y)) ++x;
      }
    }
  }
  light.red += static_cast<float>(red);
  light.green += static_cast<float>(green);
  light.blue += static_cast<float>(blue);
  light.alpha += static_cast<float>(alpha);
  light.x += static_cast<float>(xSum);
  light.y += static_cast<float>(ySum);
}

std::vector<LightSource> FindLightsInLayer(const PF_LayerDef& layer) {
  std::vector<LightSource> lights;
  try {
    // Patches are disjoint, so one mask serves as both the visited mask and
    // the mask of the light being grown.
    PixelMask visited(layer.width, layer.height);
    lights.reserve(kMaxLights);
    for (int32_t y = 0; y < layer.height && lights.size() < kMaxLights; ++y) {
      const PF_Pixel* row = LayerRow(layer, y);
      for (int32_t x = 0; x < layer.width; ++x) {
        if (row[x].alpha == 0 || visited.Test(x, y)) continue;
        LightSource& light = lights.emplace_back();
        GrowRegion(x, y, visited, layer, light);
        if (lights.size() == kMaxLights) break;
      }
    }
  } catch (const std::bad_alloc&) {
    return {};
  }
  for (LightSource& light : lights) Finish(light, layer);
  return lights;
}

PF_Err FindLightSources(const PF_InData& in, int32_t layerIndex, std::vector<LightSource>& list) {
  list.clear();
  CheckedOutParam layer(in, layerIndex, in.current_time);
  if (layer.checkoutError()) return layer.checkoutError();
  if (HasPixels(layer.def().u.ld)) list = FindLightsInLayer(layer.def().u.ld);
  return layer.Checkin();
}

}  // namespace gw
