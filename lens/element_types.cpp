#include "lens/element_types.h"

namespace gw {
namespace {

constexpr const char* _ = nullptr;

// clang-format off
// Slots: Position, Brightness, Scale, Spread, Angle, Iparam0, Iparam2, Iparam3,
//        Iparam4, Iparam5, Color1, Color2, Anamorphic, Option.
constexpr ElementTypeInfo kTypes[] = {
  {ElementType::GlowBall, "GlowBall", "GlowBall",
   {"Position: ", "Ring Brightness: ", "Ramp Scale: ", "Ring Softness: ", "Taper: ",
    _, _, _, _, "Ramp Gamma: ", "Outer Color: ", "Inner Color: ", "Anamorphic", "Do Ring"}},
  {ElementType::SpikeBall, "SpikeBall", "SpikeBall",
   {"Position: ", "Brightness: ", "Scale: ", _, "Angle: ",
    "Spike Count: ", _, "Random Seed 1: ", _, _, "Color:", _, "Anamorphic", _}},
  {ElementType::StarFilter, "StarFilter", "StarFilter",
   {"Position: ", "Brightness: ", "Scale: ", "Thickness: ", "Angle: ",
    "Count: ", "Width: ", _, _, _, "Color: ", _, "Anamorphic", "Thick"}},
  {ElementType::PolySpread, "PolySpread", "PolySpread",
   {"Position: ", "Brightness: ", "Scale: ", "Spread Width: ", "Angle: ",
    "Count: ", "Sides: ", "Size Random Seed: ", "Brightness Random Seed: ", "Color Random Seed: ",
    "Color: ", _, "Anamorphic", _}},
  {ElementType::CircleSpread, "CircleSpread", "CircleSpread",
   {"Position: ", "Brightness: ", "Scale: ", "Spread Width: ", _,
    "Count: ", _, "Size Random Seed: ", "Brightness Random Seed: ", "Color Random Seed: ",
    "Color: ", _, "Anamorphic", _}},
  {ElementType::EllipticalCaustic, "Elliptical Caustic", "Elliptical Caustic",
   {"Position: ", "Brightness: ", "Scale: ", _, _,
    _, _, _, _, _, "Color: ", _, "Anamorphic", _}},
  {ElementType::StarCaustic, "Star Caustic", "Star Caustic",
   {"Position: ", "Brightness: ", "Scale: ", _, _,
    _, _, _, _, _, "Color: ", _, "Anamorphic", _}},
  {ElementType::FadedRing, "FadedRing", "FadedRing",
   {"Position: ", "Brightness: ", "Scale: ", _, _,
    _, _, _, _, _, _, _, "Anamorphic", _}},
  {ElementType::Stripe, "Stripe", "Stripe",
   {"Position: ", "Brightness: ", "Length: ", "Softness: ", "Angle: ",
    _, _, _, _, _, "Outer Color: ", "Center Color: ", _, "Center"}},
  {ElementType::RandomFan, "RandomFan", "RandomFan",
   {"Position: ", "Brightness: ", "Scale: ", _, "Angle: ",
    "Count: ", _, "Random Seed 1: ", _, _, "Color: ", _, _, _}},
  {ElementType::PolySpikeBall, "PolySpikeBall", "PolySpikeBall",
   {"Position: ", "Brightness: ", "Scale: ", _, "Angle: ",
    "Count: ", _, "Random Seed 1: ", "Random Seed 2: ", _, "Color: ", _, "Anamorphic", _}},
  {ElementType::PhotonSpikeBall, "PhotonSpikeBall", "PhotonSpikeBall",
   {"Position: ", "Brightness: ", "Scale: ", _, _,
    "Count: ", _, "Random Seed 1: ", _, _, "Color: ", _, _, _}},
  {ElementType::ApertureReflection, "Aperture Reflection", "Aperture Reflection",
   {_, "Brightness: ", "Scale: ", "Spread: ", _,
    "Width: ", "Noise: ", "Size: ", "Aperture Offset: ", _,
    "Outer Color: ", "Inner Color: ", _, "Do Core"}},
  {ElementType::ChromaHoop, "Chroma Hoop", "Chroma Hoop",
   {"Position: ", "Brightness: ", "Apogee Scale: ", "Softness: ", "Chroma Spread: ",
    "Density: ", "Noise: ", "Arc Completeness: ", _, _, "Color: ", _, "Anamorphic", _}},
  {ElementType::SinglePoly, "Single Poly", "Single Poly",
   {"Position: ", "Brightness: ", "Scale: ", "Softness: ", "Angle: ",
    "Center Fade Rate: ", "Sides: ", _, _, _, "Color: ", _, "Anamorphic", "Center Fade"}},
  {ElementType::Disc, "Disc", "Disc",
   {"Position: ", "Brightness: ", "Scale: ", "Softness: ", "Angle: ",
    "Center Offset: ", _, "Inside Ramp Width: ", "Middle Ramp Width: ", "Outside Ramp Width: ",
    "Color: ", _, "Anamorphic", "Smoothing"}},
  {ElementType::Ellipse, "Ellipse", "Ellipse",
   {"Position: ", "Brightness: ", "Scale: ", "Softness: ", "Taper: ",
    "Count: ", _, "Inside Ramp Width: ", "Middle Ramp Width: ", "Outside Ramp Width: ",
    "Color: ", _, "Anamorphic", "Smoothing"}},
  {ElementType::Sparkle, "Sparkle", "Sparkle",
   {"Position: ", "Brightness: ", "Scale: ", _, _,
    "Count: ", _, "Random Seed 1: ", "Random Seed 2: ", _, "Outer Color: ", _, "Anamorphic",
    "One Way"}},
  {ElementType::ChromaFan, "Chroma Fan", "ChromaFan",
   {"Position: ", "Brightness: ", "Scale: ", "Chroma Spread: ", "Angle: ",
    "Cycles: ", "Density: ", "Spread: ", "Radial Offset: ", "Noise: ",
    "Outer Color: ", _, "Anamorphic", "Taper"}},
};
// clang-format on

}  // namespace

std::span<const ElementTypeInfo> ElementTypes() { return kTypes; }

const ElementTypeInfo* FindElementType(int16_t type) {
  for (const ElementTypeInfo& info : kTypes) {
    if (static_cast<int16_t>(info.type) == type) return &info;
  }
  return nullptr;
}

}  // namespace gw
