// The fields of an element record by name: what each holds and how to read
// and write it without knowing which one it is. The JSON form, `lens show`,
// the editor's panel, the element defaults and the preset recipes all reach
// the fields through this table.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "lens/lens.h"

namespace gw {

enum class FieldKind : uint8_t {
  Real,    // f32
  Whole,   // i16
  Byte,    // u8
  Colour,  // three bytes, red first
  Name,    // the name field: marker, text, NUL
};

// Every field of LensElement, in record order (unused tail bytes aside).
enum class ElementField : uint8_t {
  Brightness,
  Scale,
  Angle,
  Spread,
  Position,
  Spare1,
  Spare2,
  Type,
  Iparam0,
  Iparam1,
  Iparam2,
  Iparam3,
  Iparam4,
  Iparam5,
  Anamorphic,
  Option,
  Enabled,
  Color1,
  Color1Extra,
  Color2,
  Color2Extra,
  Name,
};
inline constexpr int kElementFieldCount = 22;

struct ElementFieldInfo {
  ElementField field;
  const char* key;  // the record field's name; also its key in the JSON form
  FieldKind kind;
  uint16_t offset;  // within LensElement
};

// All fields in record order.
std::span<const ElementFieldInfo> ElementFields();
const ElementFieldInfo& Describe(ElementField field);
// By key; nullopt for a key that names no field.
std::optional<ElementField> FindElementField(std::string_view key);

// Numbers of the Real, Whole and Byte fields, as a double (exact for all).
double ReadNumber(const LensElement& e, ElementField field);
float ReadReal(const LensElement& e, ElementField field);
int16_t ReadWhole(const LensElement& e, ElementField field);
uint8_t ReadByte(const LensElement& e, ElementField field);
Rgb ReadColour(const LensElement& e, ElementField field);

// Each writes a field of its own kind; a field of another kind is left alone.
void WriteReal(LensElement& e, ElementField field, float value);
void WriteWhole(LensElement& e, ElementField field, int16_t value);
void WriteByte(LensElement& e, ElementField field, uint8_t value);
void WriteColour(LensElement& e, ElementField field, Rgb value);

// One field set to a constant: a line of the element defaults or of a preset
// recipe.
struct FieldSetting {
  ElementField field = ElementField::Brightness;
  float real = 0.0f;  // for real fields
  int32_t whole = 0;  // for whole-number and byte fields
  Rgb rgb{};          // for colours
};

// Writes the setting's value into its field, converted to the field's kind.
void ApplySetting(LensElement& e, const FieldSetting& setting);

// The setters that defaults and recipes are written with.
namespace settings {
constexpr FieldSetting brightness(float v) { return {ElementField::Brightness, v}; }
constexpr FieldSetting scale(float v) { return {ElementField::Scale, v}; }
constexpr FieldSetting angle(float v) { return {ElementField::Angle, v}; }
constexpr FieldSetting spread(float v) { return {ElementField::Spread, v}; }
constexpr FieldSetting position(float v) { return {ElementField::Position, v}; }
constexpr FieldSetting spare1(float v) { return {ElementField::Spare1, v}; }
constexpr FieldSetting spare2(float v) { return {ElementField::Spare2, v}; }
constexpr FieldSetting iparam0(int16_t v) { return {ElementField::Iparam0, 0.0f, v}; }
constexpr FieldSetting iparam1(int16_t v) { return {ElementField::Iparam1, 0.0f, v}; }
constexpr FieldSetting iparam2(int16_t v) { return {ElementField::Iparam2, 0.0f, v}; }
constexpr FieldSetting iparam3(int16_t v) { return {ElementField::Iparam3, 0.0f, v}; }
constexpr FieldSetting iparam4(int16_t v) { return {ElementField::Iparam4, 0.0f, v}; }
constexpr FieldSetting iparam5(int16_t v) { return {ElementField::Iparam5, 0.0f, v}; }
constexpr FieldSetting anamorphic(uint8_t v) { return {ElementField::Anamorphic, 0.0f, v}; }
constexpr FieldSetting option(uint8_t v) { return {ElementField::Option, 0.0f, v}; }
constexpr FieldSetting enabled(uint8_t v) { return {ElementField::Enabled, 0.0f, v}; }
constexpr FieldSetting color1(uint8_t r, uint8_t g, uint8_t b) {
  return {ElementField::Color1, 0.0f, 0, {r, g, b}};
}
constexpr FieldSetting color1Extra(uint8_t v) { return {ElementField::Color1Extra, 0.0f, v}; }
constexpr FieldSetting color2(uint8_t r, uint8_t g, uint8_t b) {
  return {ElementField::Color2, 0.0f, 0, {r, g, b}};
}
constexpr FieldSetting color2Extra(uint8_t v) { return {ElementField::Color2Extra, 0.0f, v}; }
}  // namespace settings

}  // namespace gw
