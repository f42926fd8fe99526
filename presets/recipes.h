// Preset recipes as data: one step per element.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>

#include "lens/element_fields.h"
#include "lens/element_setters.h"
#include "lens/lens.h"

namespace gw::presets {

inline constexpr int kMaxSettingsPerStep = 12;

// What one line of a recipe sets: a field every type has (`brightness(1.2f)`),
// or one of the type's own slots through its named setter
// (`disc::outsideRampWidth(221)`, lens/element_setters.h).
struct RecipeSetting {
  constexpr RecipeSetting(FieldSetting s) : setting(s) {}
  constexpr RecipeSetting(TypedSetting s) : setting(s.setting), type(s.type), typed(true) {}

  FieldSetting setting;
  ElementType type{};
  bool typed = false;
};

// The fields whose meaning depends on the type: a recipe sets them by name.
constexpr bool MeansSomethingPerType(ElementField field) {
  switch (field) {
    case ElementField::Spare1:
    case ElementField::Spare2:
    case ElementField::Iparam0:
    case ElementField::Iparam1:
    case ElementField::Iparam2:
    case ElementField::Iparam3:
    case ElementField::Iparam4:
    case ElementField::Iparam5:
    case ElementField::Option: return true;
    default: return false;
  }
}

// One element of a recipe: its type and the fields it sets after the type's
// defaults, in order. Recipes are constants, so a step that breaks a rule
// below does not compile.
struct Step {
  ElementType type;
  FieldSetting settings[kMaxSettingsPerStep];
  int count;

  constexpr Step(ElementType t, std::initializer_list<RecipeSetting> list)
      : type(t), settings{}, count(static_cast<int>(list.size())) {
    if (list.size() > kMaxSettingsPerStep) throw "a step sets at most 12 fields";
    int i = 0;
    for (const RecipeSetting& s : list) {
      if (s.typed && s.type != t) throw "a setter of another element type";
      if (!s.typed && MeansSomethingPerType(s.setting.field)) throw "set this slot by its name";
      settings[i++] = s.setting;
    }
  }

  constexpr std::span<const FieldSetting> Settings() const { return {settings, size_t(count)}; }
};

// The recipe of popup value 1..39 (empty outside that range).
std::span<const Step> Recipe(int16_t value);

}  // namespace gw::presets
