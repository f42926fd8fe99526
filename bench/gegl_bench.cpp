// The peer: gegl's lens-flare operation over a 1920 x 1080 frame on one
// thread, measured in the same run as our renders. Built only when libgegl
// is installed.
#include <benchmark/benchmark.h>
#include <gegl.h>

#include <vector>

namespace {

// Width and height of the peer's frame, as our 1080p benchmarks.
constexpr int kWidth = 1920, kHeight = 1080;

void BM_PeerGeglLensFlare(benchmark::State& state) {
  gegl_init(nullptr, nullptr);
  // lens-flare is among gegl's GPL-3 operations, offered only to a program
  // that declares that licence.
  g_object_set(gegl_config(), "threads", 1, "application-license", "GPL3", nullptr);
  const GeglRectangle area = {0, 0, kWidth, kHeight};
  GeglBuffer* input = gegl_buffer_new(&area, babl_format("R'G'B'A u8"));
  std::vector<unsigned char> grey(static_cast<size_t>(kWidth) * kHeight * 4, 40);
  gegl_buffer_set(input, &area, 0, babl_format("R'G'B'A u8"), grey.data(), GEGL_AUTO_ROWSTRIDE);

  GeglNode* graph = gegl_node_new();
  GeglNode* source =
      gegl_node_new_child(graph, "operation", "gegl:buffer-source", "buffer", input, nullptr);
  GeglNode* flare = gegl_node_new_child(graph, "operation", "gegl:lens-flare", "pos-x", 0.3,
                                        "pos-y", 0.3, nullptr);
  gegl_node_link(source, flare);

  std::vector<unsigned char> output(grey.size());
  // gegl sets up its pixel conversions and buffers on the first blit; that
  // is done once here, outside the timing, so the figure is what every
  // further frame costs.
  gegl_node_blit(flare, 1.0, &area, babl_format("R'G'B'A u8"), output.data(), GEGL_AUTO_ROWSTRIDE,
                 GEGL_BLIT_DEFAULT);
  bool nudge = true;  // the first timed frame moves away from the warm-up's
  for (auto _ : state) {
    // A new position every time, so that no cached result is handed back.
    nudge = !nudge;
    gegl_node_set(flare, "pos-x", nudge ? 0.3 : 0.3001, nullptr);
    gegl_node_blit(flare, 1.0, &area, babl_format("R'G'B'A u8"), output.data(),
                   GEGL_AUTO_ROWSTRIDE, GEGL_BLIT_DEFAULT);
    benchmark::DoNotOptimize(output.data());
  }
  g_object_unref(graph);
  g_object_unref(input);
}
BENCHMARK(BM_PeerGeglLensFlare)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
