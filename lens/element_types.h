// The one description of every element type: its list name, the name a new
// element receives, its default values, and the editor panel's label for each
// slot it uses. The panel's slots themselves (the field each one edits, its
// slider and range) are described here too, once.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "lens/element_fields.h"
#include "lens/lens.h"

namespace gw {

// The panel's controls, each bound to one field of LensElement.
enum class PanelSlot : uint8_t {
  Position,
  Brightness,
  Scale,
  Spread,
  Angle,
  Iparam0,
  Iparam2,
  Iparam3,
  Iparam4,
  Iparam5,
  Color1,      // colour box
  Color2,      // colour box
  Anamorphic,  // check box
  Option,      // check box
};
inline constexpr int kPanelSlotCount = 14;
inline constexpr int kPanelSliderCount = 10;  // Position .. Iparam5

enum class SliderScale : uint8_t {
  Linear,  // the value moves evenly along the track
  Square,  // fine control near the minimum
};

struct PanelSlotInfo {
  PanelSlot slot;
  int controlId;       // the dialog's control
  ElementField field;  // the field it shows and edits
  // Sliders only: the track's mapping and range. A whole-number field shows
  // and takes whole numbers.
  SliderScale scale;
  float minimum;
  float maximum;
};

// The 14 slots in PanelSlot order.
std::span<const PanelSlotInfo> PanelSlots();
const PanelSlotInfo& Describe(PanelSlot slot);

struct ElementTypeInfo {
  ElementType type;
  const char* listName;     // as the add-element list shows it
  const char* defaultName;  // the name a new element receives
  // The fields a new element of this type sets after the base values.
  std::span<const FieldSetting> defaults;
  // Panel label of each slot, trailing blanks included; nullptr where the
  // type does not use the slot (disabled slider or colour box, hidden box).
  std::array<const char*, kPanelSlotCount> labels;
};

// The 19 types with a renderer, ascending by value (the add-element list).
std::span<const ElementTypeInfo> ElementTypes();

// nullptr for 7, 8 and anything outside 0..20.
const ElementTypeInfo* FindElementType(int16_t type);

// The values every element starts from, whatever its type (the type field
// and the name aside).
std::span<const FieldSetting> BaseElementValues();

}  // namespace gw
