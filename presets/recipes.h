// Preset recipes as data: one step per element, each the element's type and
// the fields it sets after the type's defaults, in order.
#pragma once

#include <cstdint>
#include <span>

#include "lens/lens.h"

namespace gw::presets {

enum class Field : uint8_t {
  None,  // an unused slot of a step
  Brightness,
  Scale,
  Angle,
  Spread,
  Position,
  Iparam0,
  Iparam2,
  Iparam3,
  Iparam4,
  Iparam5,
  Anamorphic,
  Option,
  Color1,  // all three channels
  Color2,
  Color1Red,
  Color1Green,
  Color1Blue,
  Color2Red,
  Color2Green,
  Color2Blue,
};

struct Setting {
  Field field = Field::None;
  float value = 0.0f;  // the constant; integers and bytes are held exactly
  Rgb rgb{};           // for Color1 and Color2
};

inline constexpr int kMaxSettingsPerStep = 12;

struct Step {
  ElementType type;
  Setting settings[kMaxSettingsPerStep];
};

// The setters a recipe line is written with.
constexpr Setting brightness(float v) { return {Field::Brightness, v}; }
constexpr Setting scale(float v) { return {Field::Scale, v}; }
constexpr Setting angle(float v) { return {Field::Angle, v}; }
constexpr Setting spread(float v) { return {Field::Spread, v}; }
constexpr Setting position(float v) { return {Field::Position, v}; }
constexpr Setting iparam0(int16_t v) { return {Field::Iparam0, float(v)}; }
constexpr Setting iparam2(int16_t v) { return {Field::Iparam2, float(v)}; }
constexpr Setting iparam3(int16_t v) { return {Field::Iparam3, float(v)}; }
constexpr Setting iparam4(int16_t v) { return {Field::Iparam4, float(v)}; }
constexpr Setting iparam5(int16_t v) { return {Field::Iparam5, float(v)}; }
constexpr Setting anamorphic(uint8_t v) { return {Field::Anamorphic, float(v)}; }
constexpr Setting option(uint8_t v) { return {Field::Option, float(v)}; }
constexpr Setting color1(uint8_t r, uint8_t g, uint8_t b) { return {Field::Color1, 0.0f, {r, g, b}}; }
constexpr Setting color2(uint8_t r, uint8_t g, uint8_t b) { return {Field::Color2, 0.0f, {r, g, b}}; }
constexpr Setting color1Red(uint8_t v) { return {Field::Color1Red, float(v)}; }
constexpr Setting color1Green(uint8_t v) { return {Field::Color1Green, float(v)}; }
constexpr Setting color1Blue(uint8_t v) { return {Field::Color1Blue, float(v)}; }
constexpr Setting color2Red(uint8_t v) { return {Field::Color2Red, float(v)}; }
constexpr Setting color2Green(uint8_t v) { return {Field::Color2Green, float(v)}; }
constexpr Setting color2Blue(uint8_t v) { return {Field::Color2Blue, float(v)}; }

// The recipe of popup value 1..39 (empty where none is written yet).
std::span<const Step> Recipe(int16_t value);

}  // namespace gw::presets
