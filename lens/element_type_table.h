// The table of element types itself, in a header so that a type's labels can
// be read at compile time (the recipes' named setters are checked against
// them). Read it through lens/element_types.h; this is the one copy.
#pragma once

#include "lens/control_ids.h"
#include "lens/element_fields.h"
#include "lens/element_types.h"

namespace gw::type_table {

using namespace settings;
using enum ElementField;
using enum SliderScale;

// clang-format off
inline constexpr PanelSlotInfo kSlots[] = {
  {PanelSlot::Position,   ids::kPositionSlider,   Position,   Square, -3.0f,  3.0f},
  {PanelSlot::Brightness, ids::kBrightnessSlider, Brightness, Square, 0.01f,  5.0f},
  {PanelSlot::Scale,      ids::kScaleSlider,      Scale,      Linear, 0.1f,   5.0f},
  {PanelSlot::Spread,     ids::kSpreadSlider,     Spread,     Linear, 0.1f,   50.0f},
  {PanelSlot::Angle,      ids::kAngleSlider,      Angle,      Linear, -90.0f, 90.0f},
  {PanelSlot::Iparam0,    ids::kIparam0Slider,    Iparam0,    Square, 1.0f,   100.0f},
  {PanelSlot::Iparam2,    ids::kIparam2Slider,    Iparam2,    Linear, 3.0f,   16.0f},
  {PanelSlot::Iparam3,    ids::kIparam3Slider,    Iparam3,    Linear, 0.0f,   2000.0f},
  {PanelSlot::Iparam4,    ids::kIparam4Slider,    Iparam4,    Linear, 0.0f,   2000.0f},
  {PanelSlot::Iparam5,    ids::kIparam5Slider,    Iparam5,    Linear, 0.0f,   2000.0f},
  {PanelSlot::Color1,     ids::kColour1,          Color1,     Linear, 0.0f,   0.0f},
  {PanelSlot::Color2,     ids::kColour2,          Color2,     Linear, 0.0f,   0.0f},
  {PanelSlot::Anamorphic, ids::kAnamorphic,       Anamorphic, Linear, 0.0f,   0.0f},
  {PanelSlot::Option,     ids::kOption,           Option,     Linear, 0.0f,   0.0f},
};

// Each type's own defaults, set after the base values.
inline constexpr FieldSetting kGlowBall[] = {color1(200, 140, 180), color2(130, 115, 150), iparam5(500), spread(1.0f), angle(20.0f), option(0)};
inline constexpr FieldSetting kSpikeBall[] = {iparam0(75), scale(1.0f)};
inline constexpr FieldSetting kStarFilter[] = {iparam0(12), iparam1(8), brightness(2.0f), angle(5.0f), iparam2(8), spread(10.0f)};
inline constexpr FieldSetting kPolySpread[] = {scale(0.4f), spread(10.0f), position(0.0f)};
inline constexpr FieldSetting kCircleSpread[] = {scale(0.25f), spread(10.0f), iparam3(200), iparam4(589), iparam5(300), position(0.0f), color1(100, 255, 122)};
inline constexpr FieldSetting kEllipticalCaustic[] = {position(-0.8f)};
inline constexpr FieldSetting kStarCaustic[] = {position(-0.4f), color1(20, 130, 100), iparam2(32)};
inline constexpr FieldSetting kFadedRing[] = {position(-0.6f)};
inline constexpr FieldSetting kStripe[] = {angle(0.0f), spread(20.0f), color1(25, 64, 255), color2(64, 128, 255), iparam1(1), scale(0.75f), brightness(0.5f), option(1)};
inline constexpr FieldSetting kRandomFan[] = {iparam0(8), iparam3(4), color1(255, 240, 220), brightness(0.25f)};
inline constexpr FieldSetting kPolySpikeBall[] = {brightness(0.25f), iparam0(86), scale(0.75f), iparam3(0), iparam4(0)};
inline constexpr FieldSetting kPhotonSpikeBall[] = {spread(10.0f), iparam0(6), iparam1(1), brightness(0.3f), scale(0.7f), option(1), color1(127, 191, 255)};
inline constexpr FieldSetting kApertureReflection[] = {color1(214, 142, 148), color2(191, 142, 135), option(1), brightness(0.5f), scale(0.36f), angle(0.0f), spread(50.0f), iparam0(70), iparam2(4), iparam3(350), iparam4(1400), iparam5(0), anamorphic(0)};
inline constexpr FieldSetting kChromaHoop[] = {position(0.25f), iparam0(12), iparam3(1750), brightness(1.0f), scale(0.25f), spread(12.0f), angle(40.0f), iparam2(8)};
inline constexpr FieldSetting kSinglePoly[] = {position(-0.5f), brightness(0.5f), scale(0.5f), spread(30.0f), iparam2(5), iparam0(10), color1(255, 200, 150)};
inline constexpr FieldSetting kDisc[] = {angle(90.0f), iparam3(0), iparam4(0), iparam5(500), spread(5.0f), color1(255, 194, 128), iparam0(1), brightness(1.2f)};
inline constexpr FieldSetting kEllipse[] = {angle(-90.0f), position(-0.75f), brightness(0.25f), iparam0(3), iparam3(250), iparam4(0), iparam5(50), spread(5.0f), color1(127, 191, 255)};
inline constexpr std::span<const FieldSetting> kSparkle{};
inline constexpr FieldSetting kChromaFan[] = {iparam0(3), angle(0.0f), spread(25.0f), iparam2(4), iparam3(500), iparam4(300), iparam5(300), option(1)};

inline constexpr const char* _ = nullptr;

// Panel labels by slot: Position, Brightness, Scale, Spread, Angle, Iparam0,
// Iparam2, Iparam3, Iparam4, Iparam5, Color1, Color2, Anamorphic, Option.
inline constexpr ElementTypeInfo kTypes[] = {
  {ElementType::GlowBall, "GlowBall", "GlowBall", kGlowBall,
   {"Position: ", "Ring Brightness: ", "Ramp Scale: ", "Ring Softness: ", "Taper: ",
    _, _, _, _, "Ramp Gamma: ", "Outer Color: ", "Inner Color: ", "Anamorphic", "Do Ring"}},
  {ElementType::SpikeBall, "SpikeBall", "SpikeBall", kSpikeBall,
   {"Position: ", "Brightness: ", "Scale: ", _, "Angle: ",
    "Spike Count: ", _, "Random Seed 1: ", _, _, "Color:", _, "Anamorphic", _}},
  {ElementType::StarFilter, "StarFilter", "StarFilter", kStarFilter,
   {"Position: ", "Brightness: ", "Scale: ", "Thickness: ", "Angle: ",
    "Count: ", "Width: ", _, _, _, "Color: ", _, "Anamorphic", "Thick"}},
  {ElementType::PolySpread, "PolySpread", "PolySpread", kPolySpread,
   {"Position: ", "Brightness: ", "Scale: ", "Spread Width: ", "Angle: ",
    "Count: ", "Sides: ", "Size Random Seed: ", "Brightness Random Seed: ", "Color Random Seed: ",
    "Color: ", _, "Anamorphic", _}},
  {ElementType::CircleSpread, "CircleSpread", "CircleSpread", kCircleSpread,
   {"Position: ", "Brightness: ", "Scale: ", "Spread Width: ", _,
    "Count: ", _, "Size Random Seed: ", "Brightness Random Seed: ", "Color Random Seed: ",
    "Color: ", _, "Anamorphic", _}},
  {ElementType::EllipticalCaustic, "Elliptical Caustic", "Elliptical Caustic", kEllipticalCaustic,
   {"Position: ", "Brightness: ", "Scale: ", _, _,
    _, _, _, _, _, "Color: ", _, "Anamorphic", _}},
  {ElementType::StarCaustic, "Star Caustic", "Star Caustic", kStarCaustic,
   {"Position: ", "Brightness: ", "Scale: ", _, _,
    _, _, _, _, _, "Color: ", _, "Anamorphic", _}},
  {ElementType::FadedRing, "FadedRing", "FadedRing", kFadedRing,
   {"Position: ", "Brightness: ", "Scale: ", _, _,
    _, _, _, _, _, _, _, "Anamorphic", _}},
  {ElementType::Stripe, "Stripe", "Stripe", kStripe,
   {"Position: ", "Brightness: ", "Length: ", "Softness: ", "Angle: ",
    _, _, _, _, _, "Outer Color: ", "Center Color: ", _, "Center"}},
  {ElementType::RandomFan, "RandomFan", "RandomFan", kRandomFan,
   {"Position: ", "Brightness: ", "Scale: ", _, "Angle: ",
    "Count: ", _, "Random Seed 1: ", _, _, "Color: ", _, _, _}},
  {ElementType::PolySpikeBall, "PolySpikeBall", "PolySpikeBall", kPolySpikeBall,
   {"Position: ", "Brightness: ", "Scale: ", _, "Angle: ",
    "Count: ", _, "Random Seed 1: ", "Random Seed 2: ", _, "Color: ", _, "Anamorphic", _}},
  {ElementType::PhotonSpikeBall, "PhotonSpikeBall", "PhotonSpikeBall", kPhotonSpikeBall,
   {"Position: ", "Brightness: ", "Scale: ", _, _,
    "Count: ", _, "Random Seed 1: ", _, _, "Color: ", _, _, _}},
  {ElementType::ApertureReflection, "Aperture Reflection", "Aperture Reflection", kApertureReflection,
   {_, "Brightness: ", "Scale: ", "Spread: ", _,
    "Width: ", "Noise: ", "Size: ", "Aperture Offset: ", _,
    "Outer Color: ", "Inner Color: ", _, "Do Core"}},
  {ElementType::ChromaHoop, "Chroma Hoop", "Chroma Hoop", kChromaHoop,
   {"Position: ", "Brightness: ", "Apogee Scale: ", "Softness: ", "Chroma Spread: ",
    "Density: ", "Noise: ", "Arc Completeness: ", _, _, "Color: ", _, "Anamorphic", _}},
  {ElementType::SinglePoly, "Single Poly", "Single Poly", kSinglePoly,
   {"Position: ", "Brightness: ", "Scale: ", "Softness: ", "Angle: ",
    "Center Fade Rate: ", "Sides: ", _, _, _, "Color: ", _, "Anamorphic", "Center Fade"}},
  {ElementType::Disc, "Disc", "Disc", kDisc,
   {"Position: ", "Brightness: ", "Scale: ", "Softness: ", "Angle: ",
    "Center Offset: ", _, "Inside Ramp Width: ", "Middle Ramp Width: ", "Outside Ramp Width: ",
    "Color: ", _, "Anamorphic", "Smoothing"}},
  {ElementType::Ellipse, "Ellipse", "Ellipse", kEllipse,
   {"Position: ", "Brightness: ", "Scale: ", "Softness: ", "Taper: ",
    "Count: ", _, "Inside Ramp Width: ", "Middle Ramp Width: ", "Outside Ramp Width: ",
    "Color: ", _, "Anamorphic", "Smoothing"}},
  {ElementType::Sparkle, "Sparkle", "Sparkle", kSparkle,
   {"Position: ", "Brightness: ", "Scale: ", _, _,
    "Count: ", _, "Random Seed 1: ", "Random Seed 2: ", _, "Outer Color: ", _, "Anamorphic",
    "One Way"}},
  {ElementType::ChromaFan, "Chroma Fan", "ChromaFan", kChromaFan,
   {"Position: ", "Brightness: ", "Scale: ", "Chroma Spread: ", "Angle: ",
    "Cycles: ", "Density: ", "Spread: ", "Radial Offset: ", "Noise: ",
    "Outer Color: ", _, "Anamorphic", "Taper"}},
};
// clang-format on

inline constexpr bool SlotsInEnumOrder() {
  for (int i = 0; i < kPanelSlotCount; ++i) {
    if (static_cast<int>(kSlots[i].slot) != i) return false;
  }
  return true;
}
static_assert(std::size(kSlots) == kPanelSlotCount);
static_assert(SlotsInEnumOrder(), "the slot table is indexed by PanelSlot");

}  // namespace gw::type_table
