// Preset recipes as data: one step per element.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>

#include "lens/element_fields.h"
#include "lens/lens.h"

namespace gw::presets {

inline constexpr int kMaxSettingsPerStep = 12;

// One element of a recipe: its type and the fields it sets after the type's
// defaults, in order.
struct Step {
  ElementType type;
  FieldSetting settings[kMaxSettingsPerStep];
  int count;

  constexpr Step(ElementType t, std::initializer_list<FieldSetting> list)
      : type(t), settings{}, count(static_cast<int>(list.size())) {
    if (list.size() > kMaxSettingsPerStep) throw "a step sets at most 12 fields";
    int i = 0;
    for (const FieldSetting& s : list) settings[i++] = s;
  }

  constexpr std::span<const FieldSetting> Settings() const { return {settings, size_t(count)}; }
};

// The recipe of popup value 1..39 (empty outside that range).
std::span<const Step> Recipe(int16_t value);

}  // namespace gw::presets
