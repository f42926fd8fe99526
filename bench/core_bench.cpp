// Baselines of the core: screen table, distance, noise, stored order, lens files.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "lens/lens.h"
#include "lensfile/lensfile.h"
#include "render/numeric.h"
#include "render/pixels.h"

namespace {

gw::Lens FullLens() {
  gw::Lens lens{};
  for (uint32_t i = 0; i < gw::kMaxElements; ++i) {
    gw::InitElement(static_cast<int16_t>(i % 21), lens.elements[i]);
  }
  lens.count = gw::kMaxElements;
  return lens;
}

void BM_BuildScreenTable(benchmark::State& state) {
  std::vector<uint8_t> table(gw::kScreenTableSize);
  for (auto _ : state) {
    gw::BuildScreenTable(table.data());
    benchmark::DoNotOptimize(table.data());
  }
}
BENCHMARK(BM_BuildScreenTable);

void BM_FastHypot(benchmark::State& state) {
  int32_t sum = 0;
  for (auto _ : state) {
    for (int32_t dy = -64; dy < 64; ++dy) {
      for (int32_t dx = -64; dx < 64; ++dx) sum += gw::FastHypot(dx * 7, dy * 5);
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 128 * 128);
}
BENCHMARK(BM_FastHypot);

void BM_Noise(benchmark::State& state) {
  float sum = 0.0f;
  for (auto _ : state) {
    for (int32_t n = 0; n < 4096; ++n) sum += gw::Noise(n);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 4096);
}
BENCHMARK(BM_Noise);

void BM_FlattenUnflatten(benchmark::State& state) {
  gw::SequenceData data{};
  data.version = gw::kSequenceDataVersion;
  data.lens = FullLens();
  for (auto _ : state) {
    gw::Flatten(data);
    gw::Unflatten(data);
    benchmark::DoNotOptimize(&data);
  }
}
BENCHMARK(BM_FlattenUnflatten);

void BM_LensFileWrite(benchmark::State& state) {
  const gw::Lens lens = FullLens();
  const std::string path = "gw_bench_lens.gwr";
  for (auto _ : state) benchmark::DoNotOptimize(gw::SaveLensFile(path.c_str(), lens));
  std::remove(path.c_str());
}
BENCHMARK(BM_LensFileWrite);

void BM_LensFileRead(benchmark::State& state) {
  const std::string path = "gw_bench_lens.gwr";
  gw::SaveLensFile(path.c_str(), FullLens());
  gw::Lens lens{};
  for (auto _ : state) benchmark::DoNotOptimize(gw::LoadLensFile(path.c_str(), lens, false));
  std::remove(path.c_str());
}
BENCHMARK(BM_LensFileRead);

void BM_LensFileDecode(benchmark::State& state) {
  const std::vector<uint8_t> bytes = gw::EncodeLensFile(FullLens());
  gw::Lens lens{};
  for (auto _ : state) benchmark::DoNotOptimize(gw::DecodeLensFile(bytes, lens, false));
}
BENCHMARK(BM_LensFileDecode);

}  // namespace
