// Recipe steps the compiler must refuse, one per GW_CASE (tests/CMakeLists.txt
// expects each refusal's message), and one it must take.
#include "presets/recipes.h"

namespace gw::presets {
using namespace settings;
using enum ElementType;

#if defined(GW_CASE_OtherType)
constexpr Step kStep{Ellipse, {disc::centerOffset(3)}};
#elif defined(GW_CASE_RawSlot)
constexpr Step kStep{Disc, {iparam5(221)}};
#elif defined(GW_CASE_UnknownLabel)
constexpr Step kStep{Disc, {TypedSetting{type_table::SlotSetting(Disc, "Sides", 6)}}};
#else
constexpr Step kStep{Disc, {brightness(0.5f), disc::outsideRampWidth(221), disc::smoothing(1)}};
static_assert(kStep.count == 3);
static_assert(kStep.settings[1].field == ElementField::Iparam5 && kStep.settings[1].whole == 221);
static_assert(kStep.settings[2].field == ElementField::Option && kStep.settings[2].whole == 1);
#endif

}  // namespace gw::presets
