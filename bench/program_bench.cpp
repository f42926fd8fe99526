// The glarewright program as a user runs it: how long commands that touch no
// image take to start, and a 1920 x 1080 sequence on one and two worker
// processes. Each iteration runs the program once (fork and exec included).
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

const std::string kProgram = GW_PROGRAM;
const std::string kScratch = GW_BENCH_TMPDIR;

bool Run(const std::string& arguments) {
  const std::string command = "'" + kProgram + "' " + arguments + " >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Commands that load no image library: they should start at once.
void BM_ProgramStart(benchmark::State& state, const char* arguments) {
  for (auto _ : state) {
    if (!Run(arguments)) state.SkipWithError("the program failed");
  }
}
BENCHMARK_CAPTURE(BM_ProgramStart, help, "--help")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ProgramStart, presets_list, "presets list")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ProgramStart, inspect, "inspect")->Unit(benchmark::kMillisecond);

// A command that reads and writes images: the image module is loaded.
void BM_ProgramOneFrame(benchmark::State& state) {
  for (auto _ : state) {
    if (!Run("render --size 320x180 -q -o '" + kScratch + "/bench_one.png'")) {
      state.SkipWithError("the program failed");
    }
  }
}
BENCHMARK(BM_ProgramOneFrame)->Unit(benchmark::kMillisecond);

// Argument: worker processes. 48 frames at 1920 x 1080, written as PNG;
// frames per second are reported.
void BM_ProgramSequence1080p(benchmark::State& state) {
  const int jobs = static_cast<int>(state.range(0));
  constexpr int kFrames = 48;
  const std::string output = "'" + kScratch + "/bench_seq_" + std::to_string(jobs) + ".%04d.png'";
  for (auto _ : state) {
    if (!Run("render --frames 1-48 -q --jobs " + std::to_string(jobs) + " -o " + output)) {
      state.SkipWithError("the program failed");
    }
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(kFrames) * state.iterations(),
                                             benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ProgramSequence1080p)->Arg(1)->Arg(2)->Unit(benchmark::kSecond)->Iterations(1)
    ->UseRealTime();

}  // namespace
