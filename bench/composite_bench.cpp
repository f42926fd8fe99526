// The float frame's combine: the default lens drawn over black at 1080p,
// laid over a float RGBA plate row by row, against a plain copy of the plate
// (the memory traffic any combine pays); on its own, and after the drawing.
#include <benchmark/benchmark.h>

#include <emmintrin.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "lens/lens.h"
#include "render/composite.h"
#include "tests/support/test_frame.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

// The light is where the benchmarks of earlier rounds had it, or where the
// plug-ins put it by default (30 % across and down).
struct FloatFrame {
  explicit FloatFrame(float lightX = 1500.0f, float lightY = 250.0f)
      : flare(kWidth, kHeight, lightX, lightY),
        plate(size_t{kWidth} * kHeight * 4),
        out(plate.size()) {
    gw::Lens lens{};
    gw::BuildDefaultLens(lens);
    gw::DrawLensInto(lens, flare);
    for (size_t i = 0; i < plate.size(); i += 4) {
      plate[i] = plate[i + 1] = plate[i + 2] = 0.25f;
      plate[i + 3] = 1.0f;
    }
  }
  gw::TestFrame flare;
  std::vector<float> plate, out;
};

// The flare laid over the plate row by row, with Screen, into the output.
void CombineFrame(FloatFrame& f) {
  const size_t rowFloats = size_t{kWidth} * 4;
  for (int y = 0; y < kHeight; ++y) {
    gw::CombineFlareRow(f.plate.data() + y * rowFloats, f.out.data() + y * rowFloats,
                        gw::SampleKind::Float, 4, gw::FlareRow{f.flare.Pixel(0, y), kWidth},
                        gw::Blend::Screen);
  }
}

void BM_CombineFloatFrame(benchmark::State& state) {
  FloatFrame f;
  for (auto _ : state) {
    CombineFrame(f);
    benchmark::DoNotOptimize(f.out.data());
  }
  int lit = gw::LitCount(f.flare);
  state.counters["lit"] = static_cast<double>(lit) / (kWidth * kHeight);
}
BENCHMARK(BM_CombineFloatFrame)->Unit(benchmark::kMillisecond);

void BM_CopyFloatFrame(benchmark::State& state) {
  FloatFrame f;
  for (auto _ : state) {
    std::memcpy(f.out.data(), f.plate.data(), f.plate.size() * sizeof(float));
    benchmark::DoNotOptimize(f.out.data());
  }
}
BENCHMARK(BM_CopyFloatFrame)->Unit(benchmark::kMillisecond);

// A copy that writes past the caches, as the combine does (memcpy does not,
// for a frame this size on a machine with a large shared cache). `n` is a
// multiple of 4, and both ends are 16-byte aligned, as vectors of floats are.
void StreamCopy(const float* from, float* to, size_t n) {
  for (size_t i = 0; i < n; i += 4) _mm_stream_ps(to + i, _mm_load_ps(from + i));
  _mm_sfence();
}

void BM_StreamCopyFloatFrame(benchmark::State& state) {
  FloatFrame f;
  for (auto _ : state) {
    StreamCopy(f.plate.data(), f.out.data(), f.plate.size());
    benchmark::DoNotOptimize(f.out.data());
  }
}
BENCHMARK(BM_StreamCopyFloatFrame)->Unit(benchmark::kMillisecond);

// The float frame as a render meets it: the canvas cleared and the default
// lens drawn over black, then laid over the plate (after:0) or the plate
// only copied past the caches (after:1), the least that any frame drawing
// first can do after it. The plate was last read a drawing ago, and reading
// it costs more then than in the loops above, which read it back to back.
// The light is the plug-ins' default, as in their benchmarks. `drawing` and
// `after` are the two parts' times.
void BM_FloatFrameAfterDrawing(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  FloatFrame f(0.3f * kWidth, 0.3f * kHeight);
  gw::Lens lens{};
  gw::BuildDefaultLens(lens);
  Clock::duration drawing{}, after{};
  for (auto _ : state) {
    const Clock::time_point start = Clock::now();
    std::memset(f.flare.Pixel(0, 0), 0, f.flare.bytes().size());
    gw::DrawLensInto(lens, f.flare);
    const Clock::time_point drawn = Clock::now();
    if (state.range(0) == 0) {
      CombineFrame(f);
    } else {
      StreamCopy(f.plate.data(), f.out.data(), f.plate.size());
    }
    benchmark::DoNotOptimize(f.out.data());
    drawing += drawn - start;
    after += Clock::now() - drawn;
  }
  const auto ms = [&](Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count() / state.iterations();
  };
  state.counters["drawing"] = ms(drawing);
  state.counters["after"] = ms(after);
}
BENCHMARK(BM_FloatFrameAfterDrawing)
    ->ArgName("after")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
