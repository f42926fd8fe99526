// The one description of every element type: its list name, the name a new
// element receives, and the editor panel's label for each field it uses.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "lens/lens.h"

namespace gw {

// The panel's controls, each bound to one field of LensElement.
enum class PanelSlot : uint8_t {
  Position,    // f32 position
  Brightness,  // f32 brightness
  Scale,       // f32 scale
  Spread,      // f32 spread
  Angle,       // f32 angle
  Iparam0,
  Iparam2,
  Iparam3,
  Iparam4,
  Iparam5,
  Color1,
  Color2,
  Anamorphic,  // check box
  Option,      // check box
};
inline constexpr int kPanelSlotCount = 14;

// Control ids of the slots, in PanelSlot order.
inline constexpr std::array<int, kPanelSlotCount> kPanelControlIds = {
    117, 108, 109, 110, 111, 112, 113, 114, 115, 116, 127, 128, 1007, 1039};

struct ElementTypeInfo {
  ElementType type;
  const char* listName;     // as the add-element list shows it
  const char* defaultName;  // the name a new element receives
  // Panel label of each slot, trailing blanks included; nullptr where the
  // type does not use the slot (disabled slider or colour box, hidden box).
  std::array<const char*, kPanelSlotCount> labels;
};

// The 19 types with a renderer, ascending by value (the add-element list).
std::span<const ElementTypeInfo> ElementTypes();

// nullptr for 7, 8 and anything outside 0..20.
const ElementTypeInfo* FindElementType(int16_t type);

}  // namespace gw
