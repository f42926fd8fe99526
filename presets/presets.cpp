#include "presets/presets.h"

#include <cstring>

#include "presets/recipes.h"

namespace gw {
namespace {

using presets::Field;
using presets::Setting;

void Apply(const Setting& s, LensElement& e) {
  const auto i16 = [&] { return static_cast<int16_t>(s.value); };
  const auto u8 = [&] { return static_cast<uint8_t>(s.value); };
  switch (s.field) {
    case Field::None: break;
    case Field::Brightness: e.brightness = s.value; break;
    case Field::Scale: e.scale = s.value; break;
    case Field::Angle: e.angle = s.value; break;
    case Field::Spread: e.spread = s.value; break;
    case Field::Position: e.position = s.value; break;
    case Field::Iparam0: e.iparam0 = i16(); break;
    case Field::Iparam2: e.iparam2 = i16(); break;
    case Field::Iparam3: e.iparam3 = i16(); break;
    case Field::Iparam4: e.iparam4 = i16(); break;
    case Field::Iparam5: e.iparam5 = i16(); break;
    case Field::Anamorphic: e.anamorphic = u8(); break;
    case Field::Option: e.option = u8(); break;
    case Field::Color1: e.color1 = s.rgb; break;
    case Field::Color2: e.color2 = s.rgb; break;
    case Field::Color1Red: e.color1.r = u8(); break;
    case Field::Color1Green: e.color1.g = u8(); break;
    case Field::Color1Blue: e.color1.b = u8(); break;
    case Field::Color2Red: e.color2.r = u8(); break;
    case Field::Color2Green: e.color2.g = u8(); break;
    case Field::Color2Blue: e.color2.b = u8(); break;
  }
}

}  // namespace

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
    for (const Setting& s : step.settings) Apply(s, e);
  }
}

}  // namespace gw
