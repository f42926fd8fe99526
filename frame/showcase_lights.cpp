#include "frame/showcase_lights.h"

#include <algorithm>
#include <new>

#include "render/numeric.h"

namespace gw {
namespace {

struct Run {
  int32_t x, y;
};

// A pixel that may join the region.
bool Joins(const PixelMask& region, const LayerView& layer, int32_t x, int32_t y) {
  return !region.Test(x, y) && layer.Alpha(x, y) != 0;
}

// Sums become averages, and the centre a fraction of the layer size.
void Finish(LightSource& light, const LayerView& layer) {
  const double count = static_cast<double>(light.pixelCount);
  const double weight = static_cast<double>(light.alphaWeight);
  light.red = static_cast<float>(light.red / count / 255.0);
  light.green = static_cast<float>(light.green / count / 255.0);
  light.blue = static_cast<float>(light.blue / count / 255.0);
  light.alpha = static_cast<float>(light.alpha / count / 255.0);
  light.x = static_cast<float>((light.x / weight - 1.0) / layer.width);
  light.y = static_cast<float>((light.y / weight - 1.0) / layer.height);
}

// Grows every patch in raster order of its first pixel, at most `limit` of
// them, each into a light of `lights` (whose last entry is reused when only
// counting). Returns the number of patches. Throws std::bad_alloc.
int32_t ScanPatches(const LayerView& layer, int32_t limit, bool keep,
                    std::vector<LightSource>& lights) {
  // Patches are disjoint, so one mask serves as both the visited mask and
  // the mask of the light being grown.
  PixelMask visited(layer.width, layer.height);
  int32_t patches = 0;
  for (int32_t y = 0; y < layer.height && patches < limit; ++y) {
    for (int32_t x = 0; x < layer.width; ++x) {
      if (layer.Alpha(x, y) == 0 || visited.Test(x, y)) continue;
      if (keep || lights.empty()) lights.emplace_back();
      GrowRegion(x, y, visited, layer, lights.back());
      if (++patches == limit) break;
    }
  }
  return patches;
}

}  // namespace

PixelMask::PixelMask(int32_t width, int32_t height)
    : rowBytes_(static_cast<size_t>(width >> 3) + 1),
      bits_(rowBytes_ * static_cast<size_t>(height), 0) {}

void GrowRegion(int32_t seedX, int32_t seedY, PixelMask& region, const LayerView& layer,
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
    for (int32_t x = left; x <= right; ++x) {
      const LayerPixel p = layer.At(x, seed.y);
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

std::vector<LightSource> FindLightsInLayer(const LayerView& layer) {
  std::vector<LightSource> lights;
  if (!layer.HasPixels()) return lights;
  try {
    lights.reserve(kMaxLights);
    ScanPatches(layer, kMaxLights, true, lights);
  } catch (const std::bad_alloc&) {
    return {};
  }
  for (LightSource& light : lights) Finish(light, layer);
  return lights;
}

int32_t CountOpaquePatches(const LayerView& layer) {
  if (!layer.HasPixels()) return 0;
  std::vector<LightSource> scratch;
  return ScanPatches(layer, INT32_MAX, false, scratch);
}

void AimAtLight(const LightSource& light, LayerPixel colour, float brightnessFactor,
                RenderTarget& target) {
  const float brightness = std::min(light.alpha, 3.0f);
  // The patch's hue, largest component 1 (a black patch counts as white).
  float r = light.red, g = light.green, b = light.blue;
  float m = std::max({r, g, b});
  if (m == 0.0f) r = g = b = m = 1.0f;
  target.lightX = static_cast<float>(target.width) * light.x;
  target.lightY = static_cast<float>(target.height) * light.y;

  const float tintR = static_cast<float>(colour.red) * (r / m);
  const float tintG = static_cast<float>(colour.green) * (g / m);
  const float tintB = static_cast<float>(colour.blue) * (b / m);
  const int32_t largest = std::max({TruncToInt(tintR), TruncToInt(tintG), TruncToInt(tintB)});
  SetFlareColour(tintR, tintG, tintB, largest, brightness * brightnessFactor, target);
}

int32_t DrawLensPerLight(const Lens& lens, const std::vector<LightSource>& lights,
                         LayerPixel colour, float brightnessFactor, RenderTarget& target,
                         ProfileStore& profile, const ProgressCallback& progress) {
  Scratch scratch{profile};
  const int32_t count = static_cast<int32_t>(lights.size());
  for (int32_t j = 0; j < count; ++j) {
    AimAtLight(lights[j], colour, brightnessFactor, target);
    if (target.brightness > 0.0f) {
      if (const int32_t code = DrawLens(lens, target, scratch, j, count, progress)) return code;
    }
  }
  return 0;
}

}  // namespace gw
