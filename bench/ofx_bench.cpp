// Whole renders through our OpenFX host and the OpenFX binary: the default
// lens over a 1080p frame of every depth, and a frame rendered as tiles by
// one thread or four. BM_HostRenderDefaultLens is the legacy module's
// figure through its own test host, in the same run.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ofx/api/image_effect.h"
#include "testhost/ofx/host.h"

namespace {

using gw::ofxhost::Host;
using gw::ofxhost::HostImage;
using gw::ofxhost::Instance;

constexpr int32_t kWidth = 1920, kHeight = 1080;
const char* const kDepths[] = {kOfxBitDepthByte, kOfxBitDepthShort, kOfxBitDepthFloat};

// The host hands out its images whole, as an application does, rather than
// copying the region asked for.
struct Rig {
  explicit Rig(const char* depth)
      : host(std::make_unique<Host>(
            GW_OFX_BINARY,
            gw::ofxhost::HostOptions{.cropImages = false, .projectSize = {kWidth, kHeight}})),
        instance(
            host->CreateInstance("org.glarewright.Glarewright", kOfxImageEffectContextFilter)) {
    auto plate = std::make_shared<HostImage>(
        HostImage::Make(OfxRectI{0, 0, kWidth, kHeight}, depth, kOfxImageComponentRGBA));
    // A dark plate, opaque: the legacy benchmark's plate in every depth.
    const uint8_t bytes[4] = {20, 24, 40, 255};
    const size_t sampleBytes = plate->SampleBytes();
    for (int32_t y = 0; y < kHeight; ++y) {
      for (int32_t x = 0; x < kWidth; ++x) {
        uint8_t* pixel = plate->Pixel(x, y);
        for (int c = 0; c < 4; ++c) {
          if (sampleBytes == 1) {
            pixel[c] = bytes[c];
          } else if (sampleBytes == 2) {
            const auto v = static_cast<uint16_t>(bytes[c] * 257);
            std::memcpy(pixel + 2 * c, &v, 2);
          } else {
            const float v = static_cast<float>(bytes[c]) / 255.0f;
            std::memcpy(pixel + 4 * c, &v, 4);
          }
        }
      }
    }
    instance->Connect(
        kOfxImageEffectSimpleSourceClipName,
        [plate](double) { return std::shared_ptr<const HostImage>(plate); },
        OfxRectD{0, 0, kWidth, kHeight}, depth, kOfxImageComponentRGBA);
  }
  std::unique_ptr<Host> host;
  std::unique_ptr<Instance> instance;
};

// Argument: the depth (0 bytes, 1 shorts, 2 floats).
void BM_OfxRenderDefaultLens(benchmark::State& state) {
  Rig rig(kDepths[state.range(0)]);
  HostImage out;
  for (auto _ : state) {
    if (rig.instance->Render({0.0, OfxRectI{0, 0, kWidth, kHeight}, {1.0, 1.0}, false}, out) !=
        kOfxStatOK) {
      state.SkipWithError("render failed");
    }
    benchmark::DoNotOptimize(out.bytes.data());
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_OfxRenderDefaultLens)
    ->ArgName("depth")
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond);

// The float frame in 16 tiles (4 x 4), rendered by `threads` threads at once,
// each taking the next tile not yet taken, as an application's render threads
// do: the tiles do not cost the same.
void BM_OfxRenderTiles(benchmark::State& state) {
  Rig rig(kOfxBitDepthFloat);
  const int threads = static_cast<int>(state.range(0));
  std::vector<OfxRectI> tiles;
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 0; x < 4; ++x) {
      tiles.push_back(
          OfxRectI{x * kWidth / 4, y * kHeight / 4, (x + 1) * kWidth / 4, (y + 1) * kHeight / 4});
    }
  }
  std::vector<HostImage> parts(tiles.size());
  for (auto _ : state) {
    std::vector<std::thread> pool;
    std::atomic<size_t> next{0};
    for (int t = 0; t < threads; ++t) {
      pool.emplace_back([&] {
        for (size_t i = next++; i < tiles.size(); i = next++) {
          rig.instance->Render({0.0, tiles[i], {1.0, 1.0}, false}, parts[i]);
        }
      });
    }
    for (std::thread& t : pool) t.join();
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_OfxRenderTiles)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
