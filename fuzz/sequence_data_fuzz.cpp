// Random bytes as the stored sequence data of a saved project: resetup, then
// render a small frame through the test host, in any edition and path.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "host/commands.h"
#include "testhost/test_host.h"

namespace {

const gw::EditionTable* fuzzedEdition = nullptr;

PF_Err Entry(PF_Cmd cmd, PF_InData* in, PF_OutData* out, PF_ParamDef* params[],
             PF_LayerDef* output, void*) {
  return gw::HostMain(*fuzzedEdition, cmd, in, out, params, output);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint8_t choice = data[0];
  const gw::EditionTable* editions[] = {&gw::FullEdition(), &gw::ShowcaseEdition(),
                                        &gw::QuickEdition()};
  fuzzedEdition = editions[choice % 3];
  std::vector<uint8_t> stored(gw::kSequenceDataSize, 0);
  std::memcpy(stored.data(), data + 1, std::min(size - 1, stored.size()));

  gw::testhost::TestHost host(&Entry, "fuzz");
  host.settings().shutterAngle = (choice & 4) ? 0x8000 : 0;
  host.settings().quality = (choice & 8) ? PF_Quality_HI : PF_Quality_LO;
  host.settings().downsample = (choice & 16) ? 2 : 1;
  host.settings().totalTime = 2;
  host.GlobalSetup();
  host.ParamsSetup();
  host.SequenceResetup(stored);

  // A location layer with a few lit pixels, for the Showcase lights.
  auto layer = std::make_shared<gw::testhost::Image>(48, 32, PF_Pixel{0, 0, 0, 0});
  for (size_t i = 0; i + 2 < size && i < 24; i += 3) {
    layer->at(data[i] % 48, data[i + 1] % 32) = PF_Pixel{data[i + 2], 255, 200, 100};
  }
  const int32_t location = host.IndexOf("Location layer:");
  if (location > 0 && (choice & 32)) host.SetLayer(location, layer);

  gw::testhost::Image out;
  host.Render(0, gw::testhost::Image(48, 32, PF_Pixel{255, 40, 40, 40}), out);
  host.DoDialog();
  host.SequenceSetdown();
  host.GlobalSetdown();
  if (!host.TakeProblems().empty()) __builtin_trap();  // a leak or a misused callback
  return 0;
}
