#include "presets/presets.h"

#include <cstring>

#include "presets/recipes.h"

namespace gw {

std::string_view PresetName(int value) {
  std::string_view items = kPresetPopupItems;
  if (value < 1 || value > kPresetCount) return {};
  for (int i = 1; i < value; ++i) items.remove_prefix(items.find('|') + 1);
  return items.substr(0, items.find('|'));
}

int16_t FindPreset(std::string_view name) {
  for (int16_t value = 1; value <= kPresetCount; ++value) {
    if (PresetName(value) == name) return value;
  }
  return 0;
}

void BuildPreset(Lens& lens, int16_t value) {
  // Nothing of the previous contents survives: the lens depends on the value alone.
  std::memset(&lens, 0, sizeof lens);
  for (const presets::Step& step : presets::Recipe(value)) {
    if (lens.count >= kMaxElements) break;
    LensElement& e = lens.elements[lens.count++];
    InitElement(static_cast<int16_t>(step.type), e);
    for (const FieldSetting& s : step.Settings()) ApplySetting(e, s);
  }
}

}  // namespace gw
