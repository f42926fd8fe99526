// Drawing benchmarks start every iteration from the same pixels: stamps,
// fills and streaks pass over white pixels, so a frame drawn over and over
// would grow white and draw ever faster.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/support/test_frame.h"

namespace gw {

// Calls `draw` once an iteration, the frame's pixels put back as they were
// before each call (outside the timing).
template <typename Draw>
void DrawEachTimeAfresh(benchmark::State& state, TestFrame& frame, Draw draw) {
  const std::vector<uint8_t> start = frame.bytes();
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(frame.Pixel(0, 0), start.data(), start.size());
    state.ResumeTiming();
    draw();
    benchmark::DoNotOptimize(frame.bytes().data());
    benchmark::ClobberMemory();
  }
}

}  // namespace gw
