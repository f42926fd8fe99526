// Random bytes as the stored sequence data of a saved project: resetup, then
// render a tiny frame through the test host, in any edition and path, with
// a location layer for the Showcase lights, cancelled after a few elements.
// Nothing may crash or leak.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz/edition_hosts.h"
#include "tests/support/host_failures.h"

namespace {

constexpr int32_t kWidth = 12, kHeight = 8;
constexpr int32_t kElementsDrawn = 4;

// Scale, 16.16: mostly the smallest, whose short profiles keep an input of
// a thousand ghosts quick; at times 1 and the largest.
constexpr int32_t kScales[] = {0x1999, 0x1999, 0x10000, 0x50000};

}  // namespace

// The first byte chooses the edition and the path: shutter angle, quality,
// downsampling, a location layer, Scale; the stored bytes follow.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint8_t choice = data[0];
  std::vector<uint8_t> stored(gw::kSequenceDataSize, 0);
  std::memcpy(stored.data(), data + 1, std::min(size - 1, stored.size()));

  gw::testhost::TestHost& host = gw::fuzz::HostOfEdition(choice);
  host.settings().shutterAngle = (choice & 4) ? 0x8000 : 0;
  host.settings().quality = (choice & 8) ? PF_Quality_HI : PF_Quality_LO;
  host.settings().downsample = (choice & 16) ? 2 : 1;
  host.settings().totalTime = 2;
  host.SequenceResetup(stored);
  if (const int32_t scale = host.IndexOf("Scale"); scale > 0) {
    host.SetValue(scale, {kScales[choice >> 6]});
  }

  // A location layer with a few lit pixels, for the Showcase lights.
  auto layer = std::make_shared<gw::testhost::Image>(kWidth, kHeight, PF_Pixel{0, 0, 0, 0});
  for (size_t i = 0; i + 2 < size && i < 24; i += 3) {
    layer->at(data[i] % kWidth, data[i + 1] % kHeight) = PF_Pixel{data[i + 2], 255, 200, 100};
  }
  const int32_t location = host.IndexOf("Location layer:");
  if (location > 0) {
    host.SetLayer(location, (choice & 32) ? layer : std::shared_ptr<gw::testhost::Image>());
  }

  // The host cancels at the fifth element drawn, as a user may: a lens of
  // a hundred elements (or Showcase lights times elements) would otherwise
  // spend each input on the same renderers over and over.
  gw::testing::CancelAtProgress(host, kElementsDrawn + 1);
  gw::testhost::Image out;
  host.Render(0, gw::testhost::Image(kWidth, kHeight, PF_Pixel{255, 40, 40, 40}), out);
  host.SequenceSetdown();
  if (!host.TakeProblems().empty()) __builtin_trap();  // a leak or a misused callback
  return 0;
}
