// Writes seeds for the fuzz targets that cannot start from a file a user
// would have (fuzz/make_seeds.sh runs it):
//   seeds sequence-data LENS.gwr CHOICE OUT   the choice byte (edition and
//       render path), then the stored sequence data a saved project holds
//   seeds editor LENS.gwr OUT                 a Lens Editor session on the
//       lens: each element selected in turn, then a slider dragged
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "editor/element_list.h"
#include "lens/lens.h"
#include "lensfile/lensfile.h"

namespace {

// The bytes FuzzedDataProvider reads: strings from the front, numbers from
// the back, each number's most significant byte first.
class ProviderInput {
 public:
  void Front(const void* bytes, size_t size) {
    const auto* p = static_cast<const uint8_t*>(bytes);
    front_.insert(front_.end(), p, p + size);
  }
  // A value ConsumeIntegralInRange(low, high) gives back.
  void Number(int64_t value, int64_t low, int64_t high) {
    int bytes = 0;
    for (uint64_t range = static_cast<uint64_t>(high - low); range > 0 && bytes < 8; range >>= 8) {
      ++bytes;
    }
    const auto offset = static_cast<uint64_t>(value - low);
    for (int i = bytes - 1; i >= 0; --i) back_.push_back(static_cast<uint8_t>(offset >> (8 * i)));
  }
  std::vector<uint8_t> Bytes() const {
    std::vector<uint8_t> all = front_;
    all.insert(all.end(), back_.rbegin(), back_.rend());
    return all;
  }

 private:
  std::vector<uint8_t> front_, back_;
};

bool Write(const char* path, const std::vector<uint8_t>& bytes) {
  std::FILE* out = std::fopen(path, "wb");
  const bool written = out && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  if (out) std::fclose(out);
  return written;
}

// The editor fuzz target's opening: a lens from its first bytes (at most
// 2000) and its count; no acquisition failing, no palette, Fast Drags off.
// Then a click on each element's row (operation 0), which shows its type's
// panel, and a drag on the last one's first slider (operation 7, control
// 108), which renders the preview.
std::vector<uint8_t> EditorSession(const gw::Lens& lens) {
  constexpr size_t kLensBytes = 2000;
  const uint32_t count =
      std::min<uint32_t>(lens.count, (kLensBytes - 4) / sizeof(gw::LensElement));
  const size_t bytes = 4 + count * sizeof(gw::LensElement);
  ProviderInput input;
  input.Front(&lens, bytes);
  input.Number(static_cast<int64_t>(bytes), 0, kLensBytes);
  input.Number(count, 0, 100);
  input.Number(0, 0, 60);   // no acquisition fails
  input.Number(0, 0, 255);  // no palette
  input.Number(0, 0, 255);  // Fast Drags off
  for (uint32_t i = 0; i < count; ++i) {
    input.Number(0, 0, 13);
    input.Number(20, -300, 600);
    input.Number(static_cast<int64_t>(i) * gw::kRowHeight + 5, -300, 600);
  }
  input.Number(7, 0, 13);
  input.Number(18, 0, 28);  // kIds[18]
  for (const int64_t coordinate : {10, 5, 90, 5}) input.Number(coordinate, -300, 600);
  return input.Bytes();
}

std::vector<uint8_t> StoredWithChoice(const gw::Lens& lens, uint8_t choice) {
  const gw::SequenceData stored = gw::StoredSequenceData(lens);
  const auto* p = reinterpret_cast<const uint8_t*>(&stored);
  std::vector<uint8_t> bytes{choice};
  bytes.insert(bytes.end(), p, p + sizeof stored);
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string what = argc > 1 ? argv[1] : "";
  if (!((what == "sequence-data" && argc == 5) || (what == "editor" && argc == 4))) {
    std::fprintf(stderr, "usage: seeds sequence-data LENS.gwr CHOICE OUT | editor LENS.gwr OUT\n");
    return 2;
  }
  gw::Lens lens{};
  if (gw::LoadLensFile(argv[2], lens, false) != gw::kLensFileOk) {
    std::fprintf(stderr, "%s: not a lens file\n", argv[2]);
    return 1;
  }
  if (what == "editor") return Write(argv[3], EditorSession(lens)) ? 0 : 1;
  const auto choice = static_cast<uint8_t>(std::strtoul(argv[3], nullptr, 0));
  return Write(argv[4], StoredWithChoice(lens, choice)) ? 0 : 1;
}
