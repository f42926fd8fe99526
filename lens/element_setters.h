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

using type_table::SlotSetting;

namespace glowBall {
inline constexpr ElementType kType = ElementType::GlowBall;
consteval TypedSetting rampGamma(int16_t v) { return SlotSetting(kType, "Ramp Gamma", v); }
consteval TypedSetting doRing(uint8_t v) { return SlotSetting(kType, "Do Ring", v); }
}  // namespace glowBall

namespace spikeBall {
inline constexpr ElementType kType = ElementType::SpikeBall;
consteval TypedSetting spikeCount(int16_t v) { return SlotSetting(kType, "Spike Count", v); }
consteval TypedSetting randomSeed1(int16_t v) { return SlotSetting(kType, "Random Seed 1", v); }
}  // namespace spikeBall

namespace starFilter {
inline constexpr ElementType kType = ElementType::StarFilter;
consteval TypedSetting count(int16_t v) { return SlotSetting(kType, "Count", v); }
consteval TypedSetting width(int16_t v) { return SlotSetting(kType, "Width", v); }
consteval TypedSetting thick(uint8_t v) { return SlotSetting(kType, "Thick", v); }
}  // namespace starFilter

namespace polySpread {
inline constexpr ElementType kType = ElementType::PolySpread;
consteval TypedSetting count(int16_t v) { return SlotSetting(kType, "Count", v); }
consteval TypedSetting sides(int16_t v) { return SlotSetting(kType, "Sides", v); }
consteval TypedSetting sizeRandomSeed(int16_t v) {
  return SlotSetting(kType, "Size Random Seed", v);
}
consteval TypedSetting brightnessRandomSeed(int16_t v) {
  return SlotSetting(kType, "Brightness Random Seed", v);
}
consteval TypedSetting colorRandomSeed(int16_t v) {
  return SlotSetting(kType, "Color Random Seed", v);
}
}  // namespace polySpread

namespace circleSpread {
inline constexpr ElementType kType = ElementType::CircleSpread;
consteval TypedSetting count(int16_t v) { return SlotSetting(kType, "Count", v); }
consteval TypedSetting sizeRandomSeed(int16_t v) {
  return SlotSetting(kType, "Size Random Seed", v);
}
consteval TypedSetting brightnessRandomSeed(int16_t v) {
  return SlotSetting(kType, "Brightness Random Seed", v);
}
consteval TypedSetting colorRandomSeed(int16_t v) {
  return SlotSetting(kType, "Color Random Seed", v);
}
}  // namespace circleSpread

namespace stripe {
inline constexpr ElementType kType = ElementType::Stripe;
consteval TypedSetting center(uint8_t v) { return SlotSetting(kType, "Center", v); }
}  // namespace stripe

namespace randomFan {
inline constexpr ElementType kType = ElementType::RandomFan;
consteval TypedSetting count(int16_t v) { return SlotSetting(kType, "Count", v); }
consteval TypedSetting randomSeed1(int16_t v) { return SlotSetting(kType, "Random Seed 1", v); }
}  // namespace randomFan

namespace polySpikeBall {
inline constexpr ElementType kType = ElementType::PolySpikeBall;
consteval TypedSetting count(int16_t v) { return SlotSetting(kType, "Count", v); }
consteval TypedSetting randomSeed1(int16_t v) { return SlotSetting(kType, "Random Seed 1", v); }
consteval TypedSetting randomSeed2(int16_t v) { return SlotSetting(kType, "Random Seed 2", v); }
}  // namespace polySpikeBall

namespace photonSpikeBall {
inline constexpr ElementType kType = ElementType::PhotonSpikeBall;
consteval TypedSetting count(int16_t v) { return SlotSetting(kType, "Count", v); }
consteval TypedSetting randomSeed1(int16_t v) { return SlotSetting(kType, "Random Seed 1", v); }
}  // namespace photonSpikeBall

namespace apertureReflection {
inline constexpr ElementType kType = ElementType::ApertureReflection;
consteval TypedSetting width(int16_t v) { return SlotSetting(kType, "Width", v); }
consteval TypedSetting noise(int16_t v) { return SlotSetting(kType, "Noise", v); }
consteval TypedSetting size(int16_t v) { return SlotSetting(kType, "Size", v); }
consteval TypedSetting apertureOffset(int16_t v) {
  return SlotSetting(kType, "Aperture Offset", v);
}
consteval TypedSetting doCore(uint8_t v) { return SlotSetting(kType, "Do Core", v); }
}  // namespace apertureReflection

namespace chromaHoop {
inline constexpr ElementType kType = ElementType::ChromaHoop;
consteval TypedSetting density(int16_t v) { return SlotSetting(kType, "Density", v); }
consteval TypedSetting noise(int16_t v) { return SlotSetting(kType, "Noise", v); }
consteval TypedSetting arcCompleteness(int16_t v) {
  return SlotSetting(kType, "Arc Completeness", v);
}
}  // namespace chromaHoop

namespace singlePoly {
inline constexpr ElementType kType = ElementType::SinglePoly;
consteval TypedSetting centerFadeRate(int16_t v) {
  return SlotSetting(kType, "Center Fade Rate", v);
}
consteval TypedSetting sides(int16_t v) { return SlotSetting(kType, "Sides", v); }
consteval TypedSetting centerFade(uint8_t v) { return SlotSetting(kType, "Center Fade", v); }
}  // namespace singlePoly

namespace disc {
inline constexpr ElementType kType = ElementType::Disc;
consteval TypedSetting centerOffset(int16_t v) { return SlotSetting(kType, "Center Offset", v); }
consteval TypedSetting insideRampWidth(int16_t v) {
  return SlotSetting(kType, "Inside Ramp Width", v);
}
consteval TypedSetting middleRampWidth(int16_t v) {
  return SlotSetting(kType, "Middle Ramp Width", v);
}
consteval TypedSetting outsideRampWidth(int16_t v) {
  return SlotSetting(kType, "Outside Ramp Width", v);
}
consteval TypedSetting smoothing(uint8_t v) { return SlotSetting(kType, "Smoothing", v); }
}  // namespace disc

namespace ellipse {
inline constexpr ElementType kType = ElementType::Ellipse;
consteval TypedSetting count(int16_t v) { return SlotSetting(kType, "Count", v); }
consteval TypedSetting insideRampWidth(int16_t v) {
  return SlotSetting(kType, "Inside Ramp Width", v);
}
consteval TypedSetting middleRampWidth(int16_t v) {
  return SlotSetting(kType, "Middle Ramp Width", v);
}
consteval TypedSetting outsideRampWidth(int16_t v) {
  return SlotSetting(kType, "Outside Ramp Width", v);
}
consteval TypedSetting smoothing(uint8_t v) { return SlotSetting(kType, "Smoothing", v); }
}  // namespace ellipse

namespace sparkle {
inline constexpr ElementType kType = ElementType::Sparkle;
consteval TypedSetting count(int16_t v) { return SlotSetting(kType, "Count", v); }
consteval TypedSetting randomSeed1(int16_t v) { return SlotSetting(kType, "Random Seed 1", v); }
consteval TypedSetting randomSeed2(int16_t v) { return SlotSetting(kType, "Random Seed 2", v); }
consteval TypedSetting oneWay(uint8_t v) { return SlotSetting(kType, "One Way", v); }
}  // namespace sparkle

namespace chromaFan {
inline constexpr ElementType kType = ElementType::ChromaFan;
consteval TypedSetting cycles(int16_t v) { return SlotSetting(kType, "Cycles", v); }
consteval TypedSetting density(int16_t v) { return SlotSetting(kType, "Density", v); }
consteval TypedSetting spread(int16_t v) { return SlotSetting(kType, "Spread", v); }
consteval TypedSetting radialOffset(int16_t v) { return SlotSetting(kType, "Radial Offset", v); }
consteval TypedSetting noise(int16_t v) { return SlotSetting(kType, "Noise", v); }
consteval TypedSetting taper(uint8_t v) { return SlotSetting(kType, "Taper", v); }
}  // namespace chromaFan

}  // namespace settings

}  // namespace gw
