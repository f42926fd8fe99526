// The preset recipes. Each line is one element, drawn in this order; the
// fields it names are set after the defaults of its type, the others keep
// them. Recipes not written here yet build an empty lens.
#include "presets/recipes.h"

#include "presets/presets.h"

namespace gw::presets {
namespace {

using enum ElementType;

constexpr Step k35mm[] = {
    {GlowBall, {brightness(3.037727f), scale(1.248853f), angle(23.0f), spread(2.201053f), iparam5(300), option(1), color1(49, 99, 110), color2(140, 70, 140)}},
    {StarFilter, {brightness(1.682548f), scale(1.802648f), angle(14.210526f), spread(0.1f), iparam0(9), iparam2(5)}},
    {FadedRing, {brightness(0.558623f), scale(1.15f), position(1.0f)}},
    {StarCaustic, {brightness(3.078781f), scale(1.273964f), position(-0.252632f), color1(20, 130, 184)}},
    {Disc, {brightness(0.474996f), scale(1.012676f), angle(-90.0f), iparam5(221), color1(255, 168, 71)}},
    {Disc, {brightness(0.649162f), scale(0.784235f), angle(-90.0f), iparam5(221), color1(248, 186, 33)}},
    {Disc, {brightness(0.939439f), scale(0.495801f), angle(-90.0f), iparam5(221), color1(222, 207, 133)}},
    {Disc, {brightness(0.277608f), angle(-90.0f), position(-0.631579f), iparam3(200), iparam5(32), color1(40, 128, 56)}},
    {Disc, {brightness(0.110768f), angle(-90.0f), position(-0.631579f), iparam0(20), iparam3(15), iparam5(15), color1(255, 128, 56)}},
    {Disc, {brightness(0.355568f), scale(1.625108f), angle(-43.57895f), position(-0.757895f), iparam5(100), color1(107, 84, 33)}},
    {StarCaustic, {brightness(0.474996f), scale(0.673476f), position(-0.789474f), color1(179, 133, 89)}},
    {Ellipse, {brightness(0.126249f), angle(-57.789474f), position(-0.28421f), iparam0(1), iparam3(0), iparam5(442), color1(43, 120, 255)}},
    {CircleSpread, {scale(0.350972f), spread(6.928421f), position(-0.947368f), iparam0(11), iparam4(1000), iparam5(600), color1(174, 255, 255)}},
    {Disc, {brightness(0.369529f), scale(0.968698f), angle(-90.0f), position(0.473684f), iparam4(31), iparam5(25), color1(28, 110, 255)}},
    {Disc, {brightness(1.080431f), scale(0.968698f), angle(-49.263157f), position(1.642105f), iparam4(1), iparam5(30), color1(28, 174, 255)}},
    {Disc, {brightness(0.328475f), scale(1.127371f), angle(-75.789474f), position(1.957895f), iparam4(21), iparam5(30), anamorphic(1), color1(28, 174, 255)}},
    {StarCaustic, {scale(0.238992f), position(1.989474f), color1(10, 94, 179)}},
};

constexpr Step kBasicLens[] = {
    {GlowBall, {brightness(1.622281f), angle(17.052628f), spread(0.625263f), iparam5(300), anamorphic(1), option(1)}},
    {PolySpread, {brightness(0.746612f), scale(0.37f), iparam0(42), iparam3(473), iparam4(978), iparam5(437), anamorphic(1), color1(20, 30, 50)}},
    {StarFilter, {brightness(0.962247f), angle(11.368425f), spread(0.1f), iparam0(10), anamorphic(1)}},
    {CircleSpread, {brightness(1.104897f), scale(0.28582f), position(-0.347368f), iparam0(24), iparam3(273), iparam4(926), iparam5(547), anamorphic(1), color1(77, 169, 194)}},
    {FadedRing, {brightness(0.277608f), scale(0.691258f), anamorphic(1)}},
    {SpikeBall, {brightness(0.355568f), scale(0.655967f), iparam0(300), anamorphic(1)}},
};

constexpr Step kDrydockSpikeball[] = {
    {GlowBall, {scale(0.306452f), angle(25.0f), iparam5(300), color1(142, 32, 3), color2(133, 61, 66)}},
    {StarFilter, {brightness(2.169799f), scale(1.103889f), spread(0.1f), color1(233, 171, 39)}},
};

constexpr Step kSixPointStar[] = {
    {PolySpikeBall, {brightness(0.328475f), scale(0.638729f), angle(-26.526318f), iparam0(96), iparam3(673), iparam4(873), anamorphic(1), color1(202, 189, 211)}},
    {GlowBall, {brightness(0.010138f), scale(0.275911f), angle(15.0f), spread(50.0f), iparam5(300), anamorphic(1), color1(181, 151, 188), color2(198, 162, 198)}},
    {StarFilter, {brightness(0.894654f), scale(2.358751f), spread(0.1f), anamorphic(1)}},
    {Stripe, {brightness(0.39828f), scale(0.70931f), spread(10.0f), anamorphic(1), color1(163, 138, 181), color2(255, 255, 255)}},
    {Stripe, {brightness(0.39828f), scale(0.70931f), angle(-56.842106f), spread(10.0f), anamorphic(1), color1(163, 138, 181), color2(255, 255, 255)}},
    {Stripe, {brightness(0.39828f), scale(0.70931f), angle(56.842102f), spread(10.080001f), anamorphic(1), color1(163, 138, 181), color2(255, 255, 255)}},
};

constexpr Step kSunset[] = {
    {Disc, {brightness(2.41847f), scale(0.387213f), angle(28.421051f), iparam4(105), iparam5(30), color1(255, 166, 104)}},
    {GlowBall, {scale(1.596468f), angle(25.0f), iparam5(705), color1(255, 158, 35), color2(255, 184, 94)}},
    {PolySpread, {brightness(0.668099f), scale(0.904767f), iparam2(6), iparam3(315), iparam4(821), color1(255, 74, 20)}},
};

// Indexed by popup value; index 0 is never used.
constexpr std::span<const Step> kRecipes[kPresetCount + 1] = {
    {},                  // (no value 0)
    k35mm,               // 1 "35mm"
    {},                  // 2 "85mm"
    {},                  // 3 "Arc Welder"
    kBasicLens,          // 4 "Basic Lens"
    {},                  // 5 "Basic Spotlight"
    {},                  // 6 "Blimp flare"
    {},                  // 7 "Bright Bluelight"
    {},                  // 8 "Chroma Lens 2"
    {},                  // 9 "Chroma Lens"
    {},                  // 10 "Cool Lens"
    {},                  // 11 "Desert Sun"
    {},                  // 12 "Diffraction"
    {},                  // 13 "Diffraction2"
    {},                  // 14 "Diffraction3"
    {},                  // 15 "Distant Quantum"
    kDrydockSpikeball,   // 16 "Drydock Spikeball"
    {},                  // 17 "Generic Panavision"
    {},                  // 18 "Green Refls"
    {},                  // 19 "Maple Tree"
    {},                  // 20 "New Blue Lens"
    {},                  // 21 "Nifty Pink Lens"
    {},                  // 22 "Orangespike"
    {},                  // 23 "Pv1"
    {},                  // 24 "Quantum5"
    {},                  // 25 "Quicktake 200"
    {},                  // 26 "Red Laser"
    {},                  // 27 "Rock Concert"
    {},                  // 28 "Rock Concert2"
    {},                  // 29 "Scratch1"
    {},                  // 30 "Six Point Star 2"
    {},                  // 31 "Six Point Star 3"
    kSixPointStar,       // 32 "Six Point Star"
    {},                  // 33 "Spikey Glow"
    {},                  // 34 "Spikey Glow2"
    kSunset,             // 35 "Sunset"
    {},                  // 36 "105mm"
    {},                  // 37 "300mm Zoom"
    {},                  // 38 "Vortex Bright"
    {},                  // 39 "Warm Sunflare"
};

}  // namespace

std::span<const Step> Recipe(int16_t value) {
  if (value < 1 || value > kPresetCount) return {};
  return kRecipes[value];
}

}  // namespace gw::presets
