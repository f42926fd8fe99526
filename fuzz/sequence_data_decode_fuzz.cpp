// Random bytes as the stored sequence data of a saved project, decoded every
// way the plug-ins decode it, without drawing: the conversion to working
// order and back, and through the test host resetup, flatten and the dialog
// command's round trip. Nothing may crash or leak; a decoded lens addresses
// at most 100 elements, its names end within their field, and storing it
// again loses nothing.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz/edition_hosts.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

// Working order, stored again and read back, says the same: every field,
// and each name's text (bytes after a name's end carry no meaning).
void RoundTrip(const std::vector<uint8_t>& stored) {
  gw::SequenceData first;
  std::memcpy(&first, stored.data(), sizeof first);
  gw::Unflatten(first);
  const uint32_t count = gw::UsableCount(first.lens);
  Check(count <= gw::kMaxElements);
  gw::SequenceData again = first;
  gw::Flatten(again);
  gw::Unflatten(again);
  Check(again.version == first.version && again.lens.count == first.lens.count);
  for (uint32_t i = 0; i < count; ++i) {
    const gw::LensElement& a = first.lens.elements[i];
    const gw::LensElement& b = again.lens.elements[i];
    Check(gw::ElementName(a).size() <= gw::kMaxNameLength);
    Check(gw::ElementName(a) == gw::ElementName(b));
    Check(std::memcmp(&a, &b, offsetof(gw::LensElement, name)) == 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  std::vector<uint8_t> stored(gw::kSequenceDataSize, 0);
  std::memcpy(stored.data(), data + 1, std::min(size - 1, stored.size()));
  RoundTrip(stored);

  // The first byte chooses the edition (and the dialog); the stored bytes follow.
  gw::testhost::TestHost& host = gw::fuzz::HostOfEdition(data[0]);
  host.SequenceResetup(stored);
  host.SequenceFlatten();
  if (data[0] & 0x40) host.DoDialog();  // the editor on half the inputs: it is the slow part
  host.SequenceSetdown();
  Check(host.TakeProblems().empty());  // a leak or a misused callback
  return 0;
}
