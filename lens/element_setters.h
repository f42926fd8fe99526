// Named setters for each element type's whole-number slots and check box,
// so that a recipe says what it sets: `disc::outsideRampWidth(221)`, not
// `iparam5(221)`. A setter's name is its slot's panel label, and the slot it
// writes is found from that label in the type table when the recipe is
// compiled: a label the type's panel does not show does not compile, and a
// recipe step refuses a setter of another type (presets/recipes.h).
#pragma once

#include <cstdint>
#include <string_view>

#include "lens/element_type_table.h"

namespace gw {

// A setting of a slot that only one element type has.
struct TypedSetting {
  ElementType type;
  FieldSetting setting;
};

namespace type_table {

// The panel label without its trailing ": ".
constexpr std::string_view Bare(const char* label) {
  std::string_view s = label;
  while (!s.empty() && (s.back() == ' ' || s.back() == ':')) s.remove_suffix(1);
  return s;
}

// The slots named setters exist for: the whole numbers and the check box.
inline constexpr PanelSlot kNamedSlots[] = {PanelSlot::Iparam0, PanelSlot::Iparam2,
                                            PanelSlot::Iparam3, PanelSlot::Iparam4,
                                            PanelSlot::Iparam5, PanelSlot::Option};

// `value` in the slot of `type` whose label reads `label`. Throws, which at
// compile time is an error, when the type has no such slot.
consteval TypedSetting SlotSetting(ElementType type, std::string_view label, int32_t value) {
  for (const ElementTypeInfo& info : kTypes) {
    if (info.type != type) continue;
    for (PanelSlot slot : kNamedSlots) {
      const char* own = info.labels[static_cast<size_t>(slot)];
      if (own != nullptr && Bare(own) == label) {
        return {type, {kSlots[static_cast<size_t>(slot)].field, 0.0f, value}};
      }
    }
  }
  throw "the type's panel has no slot of that label";
}

}  // namespace type_table

namespace settings {

namespace glowBall {
consteval TypedSetting Slot(std::string_view label, int32_t v) {
  return type_table::SlotSetting(ElementType::GlowBall, label, v);
}
consteval TypedSetting rampGamma(int16_t v) { return Slot("Ramp Gamma", v); }
consteval TypedSetting doRing(uint8_t v) { return Slot("Do Ring", v); }
}  // namespace glowBall

namespace spikeBall {
consteval TypedSetting Slot(std::string_view label, int32_t v) {
  return type_table::SlotSetting(ElementType::SpikeBall, label, v);
}
consteval TypedSetting spikeCount(int16_t v) { return Slot("Spike Count", v); }
consteval TypedSetting randomSeed1(int16_t v) { return Slot("Random Seed 1", v); }
}  // namespace spikeBall

namespace starFilter {
consteval TypedSetting Slot(std::string_view label, int32_t v) {
  return type_table::SlotSetting(ElementType::StarFilter, label, v);
}
consteval TypedSetting count(int16_t v) { return Slot("Count", v); }
consteval TypedSetting width(int16_t v) { return Slot("Width", v); }
consteval TypedSetting thick(uint8_t v) { return Slot("Thick", v); }
}  // namespace starFilter

namespace polySpread {
consteval TypedSetting Slot(std::string_view label, int32_t v) {
  return type_table::SlotSetting(ElementType::PolySpread, label, v);
}
consteval TypedSetting count(int16_t v) { return Slot("Count", v); }
consteval TypedSetting sides(int16_t v) { return Slot("Sides", v); }
consteval TypedSetting sizeRandomSeed(int16_t v) { return Slot("Size Random Seed", v); }
consteval TypedSetting brightnessRandomSeed(int16_t v) { return Slot("Brightness Random Seed", v); }
consteval TypedSetting colorRandomSeed(int16_t v) { return Slot("Color Random Seed", v); }
}  // namespace polySpread

namespace circleSpread {
consteval TypedSetting Slot(std::string_view label, int32_t v) {
  return type_table::SlotSetting(ElementType::CircleSpread, label, v);
}
consteval TypedSetting count(int16_t v) { return Slot("Count", v); }
consteval TypedSetting sizeRandomSeed(int16_t v) { return Slot("Size Random Seed", v); }
consteval TypedSetting brightnessRandomSeed(int16_t v) { return Slot("Brightness Random Seed", v); }
consteval TypedSetting colorRandomSeed(int16_t v) { return Slot("Color Random Seed", v); }
}  // namespace circleSpread

namespace stripe {
consteval TypedSetting Slot(std::string_view label, int32_t v) {
  return type_table::SlotSetting(ElementType::Stripe, label, v);
}
consteval TypedSetting center(uint8_t v) { return Slot("Center", v); }
}  // namespace stripe

namespace randomFan {
consteval TypedSetting Slot(std::string_view label, int32_t v) {
  return type_table::SlotSetting(ElementType::RandomFan, label, v);
}
consteval TypedSetting count(int16_t v) { return Slot("Count", v); }
consteval TypedSetting randomSeed1(int16_t v) { return Slot("Random Seed 1", v); }
}  // namespace randomFan

namespace polySpikeBall {
consteval TypedSetting Slot(std::string_view label, int32_t v) {
  return type_table::SlotSetting(ElementType::PolySpikeBall, label, v);
}
consteval TypedSetting count(int16_t v) { return Slot("Count", v); }
consteval TypedSetting randomSeed1(int16_t v) { return Slot("Random Seed 1", v); }
consteval TypedSetting randomSeed2(int16_t v) { return Slot("Random Seed 2", v); }
}  // namespace polySpikeBall

namespace photonSpikeBall {
consteval TypedSetting Slot(std::string_view label, int32_t v) {
  return type_table::SlotSetting(ElementType::PhotonSpikeBall, label, v);
}
consteval TypedSetting count(int16_t v) { return Slot("Count", v); }
consteval TypedSetting randomSeed1(int16_t v) { return Slot("Random Seed 1", v); }
}  // namespace photonSpikeBall

namespace apertureReflection {
consteval TypedSetting Slot(std::string_view label, int32_t v) {
  return type_table::SlotSetting(ElementType::ApertureReflection, label, v);
}
consteval TypedSetting width(int16_t v) { return Slot("Width", v); }
consteval TypedSetting noise(int16_t v) { return Slot("Noise", v); }
consteval TypedSetting size(int16_t v) { return Slot("Size", v); }
consteval TypedSetting apertureOffset(int16_t v) { return Slot("Aperture Offset", v); }
consteval TypedSetting doCore(uint8_t v) { return Slot("Do Core", v); }
}  // namespace apertureReflection

namespace chromaHoop {
consteval TypedSetting Slot(std::string_view label, int32_t v) {
  return type_table::SlotSetting(ElementType::ChromaHoop, label, v);
}
consteval TypedSetting density(int16_t v) { return Slot("Density", v); }
consteval TypedSetting noise(int16_t v) { return Slot("Noise", v); }
consteval TypedSetting arcCompleteness(int16_t v) { return Slot("Arc Completeness", v); }
}  // namespace chromaHoop

namespace singlePoly {
consteval TypedSetting Slot(std::string_view label, int32_t v) {
  return type_table::SlotSetting(ElementType::SinglePoly, label, v);
}
consteval TypedSetting centerFadeRate(int16_t v) { return Slot("Center Fade Rate", v); }
consteval TypedSetting sides(int16_t v) { return Slot("Sides", v); }
consteval TypedSetting centerFade(uint8_t v) { return Slot("Center Fade", v); }
}  // namespace singlePoly

namespace disc {
consteval TypedSetting Slot(std::string_view label, int32_t v) {
  return type_table::SlotSetting(ElementType::Disc, label, v);
}
consteval TypedSetting centerOffset(int16_t v) { return Slot("Center Offset", v); }
consteval TypedSetting insideRampWidth(int16_t v) { return Slot("Inside Ramp Width", v); }
consteval TypedSetting middleRampWidth(int16_t v) { return Slot("Middle Ramp Width", v); }
consteval TypedSetting outsideRampWidth(int16_t v) { return Slot("Outside Ramp Width", v); }
consteval TypedSetting smoothing(uint8_t v) { return Slot("Smoothing", v); }
}  // namespace disc

namespace ellipse {
consteval TypedSetting Slot(std::string_view label, int32_t v) {
  return type_table::SlotSetting(ElementType::Ellipse, label, v);
}
consteval TypedSetting count(int16_t v) { return Slot("Count", v); }
consteval TypedSetting insideRampWidth(int16_t v) { return Slot("Inside Ramp Width", v); }
consteval TypedSetting middleRampWidth(int16_t v) { return Slot("Middle Ramp Width", v); }
consteval TypedSetting outsideRampWidth(int16_t v) { return Slot("Outside Ramp Width", v); }
consteval TypedSetting smoothing(uint8_t v) { return Slot("Smoothing", v); }
}  // namespace ellipse

namespace sparkle {
consteval TypedSetting Slot(std::string_view label, int32_t v) {
  return type_table::SlotSetting(ElementType::Sparkle, label, v);
}
consteval TypedSetting count(int16_t v) { return Slot("Count", v); }
consteval TypedSetting randomSeed1(int16_t v) { return Slot("Random Seed 1", v); }
consteval TypedSetting randomSeed2(int16_t v) { return Slot("Random Seed 2", v); }
consteval TypedSetting oneWay(uint8_t v) { return Slot("One Way", v); }
}  // namespace sparkle

namespace chromaFan {
consteval TypedSetting Slot(std::string_view label, int32_t v) {
  return type_table::SlotSetting(ElementType::ChromaFan, label, v);
}
consteval TypedSetting cycles(int16_t v) { return Slot("Cycles", v); }
consteval TypedSetting density(int16_t v) { return Slot("Density", v); }
consteval TypedSetting spread(int16_t v) { return Slot("Spread", v); }
consteval TypedSetting radialOffset(int16_t v) { return Slot("Radial Offset", v); }
consteval TypedSetting noise(int16_t v) { return Slot("Noise", v); }
consteval TypedSetting taper(uint8_t v) { return Slot("Taper", v); }
}  // namespace chromaFan

}  // namespace settings

}  // namespace gw
