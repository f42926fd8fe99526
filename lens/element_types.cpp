#include "lens/element_types.h"

#include "lens/element_type_table.h"

namespace gw {
namespace {

using namespace settings;

// clang-format off
constexpr FieldSetting kBase[] = {
  brightness(1.0f), scale(1.0f), angle(15.0f), spread(50.0f), position(1.0f),
  spare1(-1.0f), spare2(1.0f), iparam0(20), iparam1(8), iparam2(5), iparam3(200),
  iparam4(1000), iparam5(300), anamorphic(0), option(0), enabled(1),
  color1(255, 255, 255), color1Extra(255), color2(255, 255, 255), color2Extra(255),
};
// clang-format on

using type_table::kSlots;
using type_table::kTypes;

}  // namespace

std::span<const PanelSlotInfo> PanelSlots() { return kSlots; }

const PanelSlotInfo& Describe(PanelSlot slot) { return kSlots[static_cast<int>(slot)]; }

std::span<const ElementTypeInfo> ElementTypes() { return kTypes; }

const ElementTypeInfo* FindElementType(int16_t type) {
  for (const ElementTypeInfo& info : kTypes) {
    if (static_cast<int16_t>(info.type) == type) return &info;
  }
  return nullptr;
}

std::span<const FieldSetting> BaseElementValues() { return kBase; }

}  // namespace gw
