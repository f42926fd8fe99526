// Random bytes as a lens file, read both ways into a lens that already holds
// elements: the reader must refuse or accept without touching memory it does
// not own, and a refused file must leave the lens as it was.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "lensfile/lensfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static gw::Lens before = [] {
    gw::Lens lens{};
    gw::BuildDefaultLens(lens);
    return lens;
  }();
  for (const bool append : {false, true}) {
    gw::Lens lens = before;
    const int32_t status = gw::DecodeLensFile({data, size}, lens, append);
    if (status != gw::kLensFileOk && std::memcmp(&lens, &before, sizeof lens) != 0) std::abort();
    if (lens.count > gw::kMaxElements) std::abort();
    if (status == gw::kLensFileOk) {
      // What was read can be written and read back to the same records.
      const auto bytes = gw::EncodeLensFile(lens);
      gw::Lens again = before;
      if (gw::DecodeLensFile(bytes, again, false) != gw::kLensFileOk) std::abort();
      if (again.count != lens.count) std::abort();
    }
  }
  return 0;
}
