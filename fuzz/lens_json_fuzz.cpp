// Random text as the JSON form of a lens: import must report a problem or
// produce a lens that exports and imports back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "lensfile/lens_json.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  gw::Lens lens{};
  std::string error;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (!gw::LensFromJson(text, lens, error)) {
    if (error.empty()) std::abort();
    return 0;
  }
  gw::Lens again{};
  if (!gw::LensFromJson(gw::LensToJson(lens), again, error)) std::abort();
  if (std::memcmp(&lens, &again, sizeof lens) != 0) std::abort();
  return 0;
}
