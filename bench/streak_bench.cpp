// The streak primitive and the streak elements with their defaults on a
// 1920 x 1080 frame, light at (1400, 300).
#include <benchmark/benchmark.h>

#include "bench/fresh_frame.h"

#include "lens/lens.h"
#include "render/draw_lens.h"
#include "render/streak.h"
#include "tests/support/test_frame.h"

namespace {

void BM_DrawStreak(benchmark::State& state) {
  gw::TestFrame frame(1920, 1080, 1400.0f, 300.0f);
  const gw::Streak streak{100.0f, 200.0f, 1800.0f, 900.0f, 0.01f, gw::kStreakThickness,
                          0.01f, 0.01f, gw::StreakAnchor::Start};
  gw::DrawEachTimeAfresh(state, frame, [&] { gw::DrawStreak(streak, frame.target(), nullptr); });
  state.SetItemsProcessed(state.iterations() * 1700);  // columns
}
BENCHMARK(BM_DrawStreak);

// Each element drawn through the dispatcher, as a lens draws it.
void BM_StreakElement(benchmark::State& state, gw::ElementType type) {
  gw::TestFrame frame(1920, 1080, 1400.0f, 300.0f);
  gw::LensElement element{};
  gw::InitElement(static_cast<int16_t>(type), element);
  gw::DrawEachTimeAfresh(state, frame,
                         [&] { gw::DrawElement(element, frame.target(), frame.scratch()); });
}
BENCHMARK_CAPTURE(BM_StreakElement, StarFilter, gw::ElementType::StarFilter)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StreakElement, SpikeBall, gw::ElementType::SpikeBall)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StreakElement, RandomFan, gw::ElementType::RandomFan)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StreakElement, Stripe, gw::ElementType::Stripe)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StreakElement, Sparkle, gw::ElementType::Sparkle)
    ->Unit(benchmark::kMillisecond);

}  // namespace
