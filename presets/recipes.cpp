// The preset recipes, in popup order. Each line is one element, drawn in this
// order; the fields it names are set after the defaults of its type, the
// others keep them.
#include "presets/recipes.h"

#include "presets/presets.h"

namespace gw::presets {
namespace {

using enum ElementType;
using namespace settings;

constexpr Step k35mm[] = {
    {GlowBall, {brightness(3.037727f), scale(1.248853f), angle(23.0f), spread(2.201053f), glowBall::rampGamma(300), glowBall::doRing(1), color1(49, 99, 110), color2(140, 70, 140)}},
    {StarFilter, {brightness(1.682548f), scale(1.802648f), angle(14.210526f), spread(0.1f), starFilter::count(9), starFilter::width(5)}},
    {FadedRing, {brightness(0.558623f), scale(1.15f), position(1.0f)}},
    {StarCaustic, {brightness(3.078781f), scale(1.273964f), position(-0.252632f), color1(20, 130, 184)}},
    {Disc, {brightness(0.474996f), scale(1.012676f), angle(-90.0f), disc::outsideRampWidth(221), color1(255, 168, 71)}},
    {Disc, {brightness(0.649162f), scale(0.784235f), angle(-90.0f), disc::outsideRampWidth(221), color1(248, 186, 33)}},
    {Disc, {brightness(0.939439f), scale(0.495801f), angle(-90.0f), disc::outsideRampWidth(221), color1(222, 207, 133)}},
    {Disc, {brightness(0.277608f), angle(-90.0f), position(-0.631579f), disc::insideRampWidth(200), disc::outsideRampWidth(32), color1(40, 128, 56)}},
    {Disc, {brightness(0.110768f), angle(-90.0f), position(-0.631579f), disc::centerOffset(20), disc::insideRampWidth(15), disc::outsideRampWidth(15), color1(255, 128, 56)}},
    {Disc, {brightness(0.355568f), scale(1.625108f), angle(-43.57895f), position(-0.757895f), disc::outsideRampWidth(100), color1(107, 84, 33)}},
    {StarCaustic, {brightness(0.474996f), scale(0.673476f), position(-0.789474f), color1(179, 133, 89)}},
    {Ellipse, {brightness(0.126249f), angle(-57.789474f), position(-0.28421f), ellipse::count(1), ellipse::insideRampWidth(0), ellipse::outsideRampWidth(442), color1(43, 120, 255)}},
    {CircleSpread, {scale(0.350972f), spread(6.928421f), position(-0.947368f), circleSpread::count(11), circleSpread::brightnessRandomSeed(1000), circleSpread::colorRandomSeed(600), color1(174, 255, 255)}},
    {Disc, {brightness(0.369529f), scale(0.968698f), angle(-90.0f), position(0.473684f), disc::middleRampWidth(31), disc::outsideRampWidth(25), color1(28, 110, 255)}},
    {Disc, {brightness(1.080431f), scale(0.968698f), angle(-49.263157f), position(1.642105f), disc::middleRampWidth(1), disc::outsideRampWidth(30), color1(28, 174, 255)}},
    {Disc, {brightness(0.328475f), scale(1.127371f), angle(-75.789474f), position(1.957895f), disc::middleRampWidth(21), disc::outsideRampWidth(30), anamorphic(1), color1(28, 174, 255)}},
    {StarCaustic, {scale(0.238992f), position(1.989474f), color1(10, 94, 179)}},
};

// A longer lens than the 35mm: a tighter neutral glow with a rim, more and larger
// hexagonal ghosts, a wide ring and an off-axis caustic.
constexpr Step k85mm[] = {
    {GlowBall, {brightness(1.2f), scale(0.7f), angle(10.0f), spread(1.5f), glowBall::rampGamma(350), glowBall::doRing(1), color1(90, 120, 160), color2(160, 150, 190)}},
    {PolySpread, {brightness(0.9f), scale(0.7f), polySpread::count(14), polySpread::sides(6), polySpread::sizeRandomSeed(317), polySpread::brightnessRandomSeed(845), polySpread::colorRandomSeed(412), color1(120, 170, 255)}},
    {StarFilter, {brightness(2.5f), angle(8.0f), spread(0.1f), starFilter::count(10), starFilter::width(6)}},
    {SpikeBall, {brightness(0.4f), scale(0.7f), spikeBall::spikeCount(100)}},
    {FadedRing, {brightness(0.6f), scale(1.0f), position(0.7f)}},
    {EllipticalCaustic, {scale(1.2f), position(-0.9f), color1(200, 220, 255)}},
    {StarCaustic, {brightness(1.5f), scale(1.3f), position(-0.35f), color1(30, 150, 200)}},
};

// A harsh blue-white source: a white-hot core in a blue halo, a cross of
// stripes with shorter diagonals, fine spikes and a few blue ghosts.
constexpr Step kArcWelder[] = {
    {GlowBall, {scale(0.35f), glowBall::rampGamma(400), color1(150, 190, 255), color2(200, 225, 255)}},
    {Disc, {brightness(2.5f), scale(0.2f), angle(0.0f), disc::outsideRampWidth(300), color1(235, 245, 255)}},
    {Disc, {brightness(0.5f), scale(0.6f), spread(20.0f), disc::smoothing(1), color1(90, 140, 255)}},
    {RandomFan, {brightness(0.12f), scale(0.8f), randomFan::count(12), randomFan::randomSeed1(31), color1(200, 225, 255)}},
    {Stripe, {brightness(1.0f), scale(0.9f), spread(6.0f), color1(120, 170, 255), color2(230, 240, 255)}},
    {Stripe, {brightness(0.7f), scale(0.5f), angle(90.0f), spread(4.0f), color1(120, 170, 255), color2(230, 240, 255)}},
    {Ellipse, {brightness(0.3f), scale(0.5f), position(-0.6f), color1(120, 160, 255)}},
    {Stripe, {scale(0.35f), angle(45.0f), spread(3.0f), stripe::center(0), color1(150, 190, 255)}},
    {Stripe, {scale(0.35f), angle(-45.0f), spread(3.0f), stripe::center(0), color1(150, 190, 255)}},
    {SpikeBall, {brightness(0.8f), scale(0.6f), spikeBall::spikeCount(200), color1(170, 200, 255)}},
    {CircleSpread, {brightness(0.8f), scale(0.3f), spread(8.0f), circleSpread::count(14), color1(110, 150, 255)}},
};

constexpr Step kBasicLens[] = {
    {GlowBall, {brightness(1.622281f), angle(17.052628f), spread(0.625263f), glowBall::rampGamma(300), anamorphic(1), glowBall::doRing(1)}},
    {PolySpread, {brightness(0.746612f), scale(0.37f), polySpread::count(42), polySpread::sizeRandomSeed(473), polySpread::brightnessRandomSeed(978), polySpread::colorRandomSeed(437), anamorphic(1), color1(20, 30, 50)}},
    {StarFilter, {brightness(0.962247f), angle(11.368425f), spread(0.1f), starFilter::count(10), anamorphic(1)}},
    {CircleSpread, {brightness(1.104897f), scale(0.28582f), position(-0.347368f), circleSpread::count(24), circleSpread::sizeRandomSeed(273), circleSpread::brightnessRandomSeed(926), circleSpread::colorRandomSeed(547), anamorphic(1), color1(77, 169, 194)}},
    {FadedRing, {brightness(0.277608f), scale(0.691258f), anamorphic(1)}},
    {SpikeBall, {brightness(0.355568f), scale(0.655967f), spikeBall::spikeCount(300), anamorphic(1)}},
};

// A warm white stage spotlight: a soft glow and a clean four-point cross over
// finer rays.
constexpr Step kBasicSpotlight[] = {
    {GlowBall, {scale(0.45f), glowBall::rampGamma(400), color1(255, 240, 215), color2(255, 235, 200)}},
    {StarFilter, {brightness(5.0f), scale(1.4f), angle(45.0f), spread(0.1f), starFilter::count(4), starFilter::width(1), color1(255, 245, 225)}},
    {StarFilter, {brightness(4.0f), scale(0.8f), angle(0.0f), spread(0.1f), starFilter::count(4), starFilter::width(1), color1(255, 245, 225)}},
    {StarFilter, {brightness(2.5f), scale(0.5f), angle(11.25f), starFilter::count(16), starFilter::width(4), color1(255, 245, 225)}},
    {StarFilter, {brightness(2.0f), scale(0.6f), angle(22.5f), spread(30.0f), starFilter::count(8), starFilter::width(3), starFilter::thick(1), color1(255, 245, 225)}},
};

// A cold light with long horizontal stripes, a rainbow hoop and two large
// hexagonal ghosts, one blue and one amber.
constexpr Step kBlimpFlare[] = {
    {GlowBall, {scale(0.4f), glowBall::rampGamma(450), anamorphic(1), color1(180, 200, 255), color2(220, 230, 255)}},
    {Disc, {brightness(1.5f), scale(0.2f), angle(0.0f), disc::outsideRampWidth(300), color1(255, 255, 255)}},
    {StarFilter, {brightness(3.0f), scale(0.8f), starFilter::count(8), color1(200, 220, 255)}},
    {Stripe, {brightness(0.5f), scale(1.2f), spread(40.0f), stripe::center(0), color1(40, 80, 255)}},
    {Stripe, {brightness(1.0f), scale(1.0f), spread(4.0f), color1(120, 170, 255), color2(255, 255, 255)}},
    {Stripe, {brightness(0.5f), scale(0.3f), angle(90.0f), spread(5.0f), stripe::center(0), color1(120, 170, 255)}},
    {Stripe, {brightness(0.6f), scale(0.8f), spread(10.0f), position(-0.3f), stripe::center(0), color1(60, 110, 255)}},
    {RandomFan, {brightness(0.06f), scale(0.8f), randomFan::count(6), randomFan::randomSeed1(19)}},
    {RandomFan, {brightness(0.05f), scale(1.2f), randomFan::count(4), randomFan::randomSeed1(83)}},
    {ChromaHoop, {brightness(3.0f), scale(0.3f), position(0.3f)}},
    {SinglePoly, {brightness(0.8f), scale(0.8f), position(-0.4f), singlePoly::sides(6), color1(150, 200, 255)}},
    {SinglePoly, {brightness(0.6f), scale(1.4f), position(-1.2f), singlePoly::sides(6), color1(255, 180, 120)}},
};

// A bright blue light: blue glow, spikes and star, a strong horizontal stripe
// and a trail of blue ghosts.
constexpr Step kBrightBluelight[] = {
    {GlowBall, {scale(0.6f), glowBall::rampGamma(350), color1(60, 110, 255), color2(140, 180, 255)}},
    {SpikeBall, {brightness(0.8f), scale(0.7f), spikeBall::spikeCount(150), color1(120, 170, 255)}},
    {Stripe, {brightness(1.0f), scale(1.0f), spread(12.0f), color1(30, 80, 255), color2(150, 200, 255)}},
    {StarFilter, {brightness(3.0f), scale(1.0f), starFilter::count(8), color1(140, 180, 255)}},
    {PolySpread, {brightness(0.9f), scale(0.5f), polySpread::count(16), polySpread::sides(6), color1(80, 130, 255)}},
    {Stripe, {brightness(0.6f), scale(0.4f), angle(90.0f), spread(6.0f), stripe::center(0), color1(60, 110, 255)}},
    {Stripe, {brightness(0.4f), scale(0.6f), spread(40.0f), stripe::center(0), color1(20, 40, 200)}},
    {CircleSpread, {scale(0.35f), circleSpread::count(20), circleSpread::sizeRandomSeed(77), color1(60, 110, 255)}},
    {RandomFan, {brightness(0.1f), scale(0.8f), color1(170, 200, 255)}},
};

// Rainbow hoops round the light, a magenta and a cyan stripe and coloured
// ghosts.
constexpr Step kChromaLens2[] = {
    {GlowBall, {scale(0.45f), glowBall::rampGamma(400), color1(200, 170, 220), color2(180, 200, 255)}},
    {Stripe, {brightness(0.6f), scale(0.7f), angle(1.0f), spread(8.0f), stripe::center(0), color1(255, 60, 160)}},
    {Stripe, {brightness(0.6f), scale(0.7f), angle(-1.0f), spread(8.0f), stripe::center(0), color1(40, 200, 255)}},
    {CircleSpread, {scale(0.35f), circleSpread::count(16), circleSpread::sizeRandomSeed(123), color1(255, 255, 255)}},
    {PolySpikeBall, {brightness(0.4f), scale(0.5f), color1(220, 200, 255)}},
    {ChromaHoop, {brightness(5.0f), scale(0.25f), position(0.3f)}},
    {ChromaHoop, {brightness(4.0f), scale(0.15f), angle(60.0f), position(-0.4f)}},
    {PolySpread, {scale(0.5f), polySpread::count(12), polySpread::sizeRandomSeed(91), polySpread::brightnessRandomSeed(1999), polySpread::colorRandomSeed(6)}},
};

// A lilac glow inside two rainbow hoops that strengthen towards the frame edge,
// with magenta and green ghosts.
constexpr Step kChromaLens[] = {
    {GlowBall, {scale(0.5f), glowBall::rampGamma(400), color1(190, 170, 230), color2(160, 180, 230)}},
    {PolySpread, {scale(0.45f), polySpread::count(20), polySpread::sizeRandomSeed(57), polySpread::brightnessRandomSeed(1999), polySpread::colorRandomSeed(7)}},
    {StarFilter, {brightness(2.5f), starFilter::count(10)}},
    {ChromaHoop, {brightness(4.0f), scale(0.3f), position(0.35f)}},
    {ChromaHoop, {brightness(3.0f), scale(0.2f), angle(70.0f), position(0.6f)}},
    {SpikeBall, {brightness(0.4f), scale(0.6f), spikeBall::spikeCount(150)}},
};

// Cyan and teal throughout: a soft spiky star, a cyan stripe and cool ghosts.
constexpr Step kCoolLens[] = {
    {PolySpikeBall, {brightness(0.5f), scale(0.6f), color1(120, 220, 255)}},
    {PolySpread, {scale(0.6f), polySpread::count(10), polySpread::sides(6), color1(60, 200, 220)}},
    {GlowBall, {scale(0.45f), glowBall::rampGamma(400), color1(80, 170, 220), color2(150, 230, 255)}},
    {SpikeBall, {brightness(0.5f), spikeBall::spikeCount(150), color1(150, 230, 255)}},
    {Stripe, {color1(30, 150, 230), color2(150, 240, 255)}},
    {PolySpread, {scale(0.25f), spread(15.0f), polySpread::count(25), polySpread::sizeRandomSeed(333), color1(100, 120, 255)}},
    {CircleSpread, {circleSpread::count(12), circleSpread::sizeRandomSeed(71), color1(80, 255, 230)}},
};

// A hot, warm sun: a white disc in a large amber glow, a three-layer starburst,
// amber ghosts and a heat stripe.
constexpr Step kDesertSun[] = {
    {GlowBall, {scale(0.9f), glowBall::rampGamma(450), color1(255, 170, 60), color2(255, 220, 150)}},
    {Disc, {brightness(3.0f), scale(0.2f), angle(90.0f), disc::outsideRampWidth(300), color1(255, 250, 220)}},
    {StarFilter, {brightness(3.5f), scale(1.5f), starFilter::count(6), color1(255, 220, 150)}},
    {StarFilter, {brightness(2.5f), scale(0.8f), starFilter::count(12), color1(255, 200, 120)}},
    {StarFilter, {brightness(2.0f), scale(0.4f), starFilter::count(24), color1(255, 180, 100)}},
    {PolySpread, {brightness(0.8f), scale(0.7f), polySpread::count(10), polySpread::sides(6), color1(255, 150, 50)}},
    {PolySpread, {brightness(0.9f), scale(0.3f), polySpread::count(20), polySpread::sizeRandomSeed(417), color1(255, 210, 120)}},
    {Stripe, {brightness(0.5f), scale(1.2f), spread(25.0f), color1(255, 120, 30), color2(255, 230, 170)}},
    {Stripe, {brightness(0.8f), scale(1.0f), spread(5.0f), stripe::center(0), color1(255, 170, 70)}},
    {Stripe, {brightness(0.4f), scale(0.4f), angle(90.0f), spread(4.0f), stripe::center(0), color1(255, 170, 70)}},
};

// A point with a fine eight-point diffraction star and chromatic fans beside it
// on the horizontal and vertical.
constexpr Step kDiffraction[] = {
    {Stripe, {brightness(0.8f), scale(0.5f), spread(2.0f), color1(200, 210, 255), color2(255, 255, 255)}},
    {Stripe, {brightness(0.8f), scale(0.5f), angle(90.0f), spread(2.0f), color1(200, 210, 255), color2(255, 255, 255)}},
    {Stripe, {brightness(0.5f), scale(0.3f), angle(45.0f), spread(2.0f), stripe::center(0), color1(200, 210, 255)}},
    {Stripe, {brightness(0.5f), scale(0.3f), angle(-45.0f), spread(2.0f), stripe::center(0), color1(200, 210, 255)}},
    {Disc, {brightness(2.5f), scale(0.2f), angle(0.0f), disc::outsideRampWidth(250), color1(255, 255, 255)}},
    {Disc, {brightness(0.4f), scale(0.3f), disc::smoothing(1), color1(160, 170, 255)}},
    {ChromaFan, {brightness(1.2f), spread(40.0f), chromaFan::spread(300)}},
    {ChromaFan, {brightness(1.2f), angle(90.0f), spread(40.0f), chromaFan::spread(300)}},
};

// Eight arms of chromatic fans round a soft white core, with a four-point star.
constexpr Step kDiffraction2[] = {
    {GlowBall, {scale(0.35f), glowBall::rampGamma(400), color1(200, 200, 230), color2(230, 230, 255)}},
    {StarFilter, {brightness(1.5f), scale(1.4f), angle(45.0f), starFilter::count(4), starFilter::width(4)}},
    {ChromaFan, {chromaFan::spread(150)}},
    {ChromaFan, {angle(45.0f), chromaFan::spread(150)}},
    {ChromaFan, {angle(90.0f), chromaFan::spread(150)}},
    {ChromaFan, {angle(-45.0f), chromaFan::spread(150)}},
    {StarFilter, {brightness(1.0f), scale(0.4f), starFilter::count(16), starFilter::width(4)}},
    {SpikeBall, {brightness(0.3f), scale(0.6f), spikeBall::spikeCount(100)}},
};

// Two wide chromatic fans that close into rainbow rings round the light.
constexpr Step kDiffraction3[] = {
    {GlowBall, {scale(0.3f), glowBall::rampGamma(400), color1(210, 200, 230), color2(230, 225, 255)}},
    {ChromaFan, {brightness(2.0f), angle(30.0f), chromaFan::cycles(4), chromaFan::spread(800)}},
    {ChromaFan, {brightness(2.0f), angle(-60.0f), chromaFan::cycles(4), chromaFan::spread(800)}},
    {SpikeBall, {brightness(0.4f), scale(0.6f), spikeBall::spikeCount(120)}},
};

// A small, far violet point: thin stripes in a six-point star, faint beams and
// tiny ghosts.
constexpr Step kDistantQuantum[] = {
    {PhotonSpikeBall, {brightness(0.3f), scale(0.3f), photonSpikeBall::count(4), color1(170, 150, 255)}},
    {GlowBall, {scale(0.18f), glowBall::rampGamma(400), color1(150, 130, 255), color2(200, 190, 255)}},
    {SpikeBall, {brightness(0.5f), scale(0.3f), spikeBall::spikeCount(60), color1(200, 190, 255)}},
    {Stripe, {brightness(0.6f), scale(0.35f), spread(3.0f), color1(110, 90, 255), color2(220, 210, 255)}},
    {StarFilter, {brightness(1.2f), scale(0.5f), angle(30.0f), starFilter::count(6), color1(190, 180, 255)}},
    {PolySpread, {brightness(0.7f), scale(0.2f), polySpread::count(8), color1(140, 120, 255)}},
    {Stripe, {brightness(0.4f), scale(0.25f), angle(60.0f), spread(2.0f), stripe::center(0), color1(110, 90, 255)}},
    {Stripe, {brightness(0.4f), scale(0.25f), angle(-60.0f), spread(2.0f), stripe::center(0), color1(110, 90, 255)}},
    {CircleSpread, {scale(0.15f), circleSpread::count(10), color1(160, 140, 255)}},
};

constexpr Step kDrydockSpikeball[] = {
    {GlowBall, {scale(0.306452f), angle(25.0f), glowBall::rampGamma(300), color1(142, 32, 3), color2(133, 61, 66)}},
    {StarFilter, {brightness(2.169799f), scale(1.103889f), spread(0.1f), color1(233, 171, 39)}},
};

// An anamorphic lens: the long blue horizontal streak, oval glow and ghosts and
// a wide oval ring.
constexpr Step kGenericPanavision[] = {
    {GlowBall, {scale(0.4f), glowBall::rampGamma(400), anamorphic(1), color1(120, 150, 255), color2(190, 210, 255)}},
    {SpikeBall, {brightness(0.4f), spikeBall::spikeCount(100)}},
    {CircleSpread, {scale(0.4f), circleSpread::count(12), anamorphic(1), color1(80, 140, 255)}},
    {CircleSpread, {scale(0.6f), spread(14.0f), circleSpread::count(8), circleSpread::sizeRandomSeed(97), anamorphic(1), color1(255, 170, 90)}},
    {EllipticalCaustic, {scale(0.5f), position(-0.7f), anamorphic(1), color1(150, 180, 255)}},
    {Stripe, {brightness(1.5f), scale(1.3f), spread(8.0f), color1(20, 70, 255), color2(140, 190, 255)}},
    {StarFilter, {brightness(1.0f), scale(0.5f), starFilter::count(6), anamorphic(1), color1(180, 200, 255)}},
    {FadedRing, {brightness(0.5f), scale(0.5f), position(-0.5f), anamorphic(1)}},
};

// A neutral light whose reflections are green: hexagon and disc ghosts, and a
// green glare where the light nears the frame edge.
constexpr Step kGreenRefls[] = {
    {GlowBall, {scale(0.4f), glowBall::rampGamma(400), color1(190, 220, 170), color2(170, 230, 170)}},
    {PolySpread, {brightness(1.1f), scale(0.55f), polySpread::count(16), polySpread::sides(6), color1(60, 255, 90)}},
    {StarFilter, {brightness(1.3f), starFilter::count(8), color1(220, 255, 210)}},
    {CircleSpread, {brightness(1.2f), scale(0.35f), position(0.2f), circleSpread::count(18), color1(80, 255, 120)}},
    {ApertureReflection, {brightness(0.4f), scale(0.12f), spread(25.0f), apertureReflection::size(1600), apertureReflection::apertureOffset(400), color1(30, 220, 60), color2(120, 255, 140)}},
    {SpikeBall, {brightness(0.4f), spikeBall::spikeCount(100), color1(200, 255, 200)}},
};

// Autumn colours: an orange core, a five-point star and branching stripes, with
// red, orange and gold ghosts.
constexpr Step kMapleTree[] = {
    {GlowBall, {scale(0.5f), glowBall::rampGamma(450), color1(255, 120, 40), color2(255, 190, 110)}},
    {Disc, {brightness(2.0f), scale(0.2f), angle(0.0f), disc::outsideRampWidth(300), color1(255, 235, 190)}},
    {StarFilter, {brightness(3.5f), scale(1.2f), starFilter::count(5), color1(255, 170, 80)}},
    {Stripe, {brightness(0.7f), scale(0.6f), spread(4.0f), stripe::center(0), color1(255, 90, 30)}},
    {Stripe, {brightness(0.6f), scale(0.5f), angle(30.0f), spread(3.0f), stripe::center(0), color1(255, 140, 40)}},
    {Stripe, {brightness(0.6f), scale(0.5f), angle(-30.0f), spread(3.0f), stripe::center(0), color1(255, 140, 40)}},
    {Stripe, {brightness(0.5f), scale(0.4f), angle(60.0f), spread(3.0f), stripe::center(0), color1(230, 60, 20)}},
    {Stripe, {brightness(0.5f), scale(0.4f), angle(-60.0f), spread(3.0f), stripe::center(0), color1(230, 60, 20)}},
    {Stripe, {brightness(0.6f), scale(0.45f), angle(90.0f), spread(3.0f), stripe::center(0), color1(255, 180, 60)}},
    {RandomFan, {brightness(0.06f), randomFan::count(6), randomFan::randomSeed1(29), color1(255, 190, 120)}},
    {RandomFan, {brightness(0.06f), scale(0.6f), randomFan::count(5), randomFan::randomSeed1(61), color1(255, 140, 80)}},
    {Disc, {brightness(0.5f), scale(0.2f), position(-0.2f), color1(200, 40, 20)}},
    {Disc, {brightness(0.5f), scale(0.3f), position(-0.45f), color1(255, 100, 20)}},
    {Disc, {brightness(0.4f), scale(0.4f), position(-0.7f), disc::centerOffset(40), disc::insideRampWidth(100), disc::outsideRampWidth(100), color1(255, 160, 40)}},
    {Disc, {brightness(0.4f), scale(0.25f), position(-1.0f), color1(230, 190, 60)}},
    {Disc, {brightness(0.4f), scale(0.3f), position(0.4f), color1(170, 60, 30)}},
    {Disc, {brightness(0.3f), scale(0.9f), position(1.6f), disc::smoothing(1), color1(255, 80, 40)}},
    {Ellipse, {brightness(0.3f), scale(0.4f), position(-0.35f), color1(255, 120, 50)}},
    {Ellipse, {brightness(0.3f), scale(0.6f), position(-0.85f), color1(200, 60, 30)}},
    {Ellipse, {brightness(0.3f), scale(0.5f), position(-1.3f), color1(255, 180, 80)}},
    {CircleSpread, {scale(0.3f), circleSpread::count(12), circleSpread::sizeRandomSeed(45), color1(255, 110, 50)}},
};

// Layered blue horizontal stripes (a wide haze, a band and a bright line)
// through a blue glow and star.
constexpr Step kNewBlueLens[] = {
    {Stripe, {brightness(0.4f), scale(1.3f), spread(50.0f), stripe::center(0), color1(10, 30, 200)}},
    {Stripe, {brightness(0.8f), scale(1.1f), spread(12.0f), color1(30, 90, 255), color2(150, 200, 255)}},
    {Stripe, {brightness(1.0f), scale(0.9f), spread(2.0f), color1(120, 180, 255), color2(255, 255, 255)}},
    {Stripe, {brightness(0.5f), scale(0.3f), angle(90.0f), spread(4.0f), stripe::center(0), color1(40, 100, 255)}},
    {Stripe, {brightness(0.4f), scale(0.4f), spread(6.0f), position(-0.6f), stripe::center(0), color1(40, 100, 255)}},
    {GlowBall, {scale(0.4f), glowBall::rampGamma(400), color1(60, 110, 255), color2(160, 200, 255)}},
    {SpikeBall, {brightness(0.5f), spikeBall::spikeCount(120), color1(150, 190, 255)}},
    {StarFilter, {brightness(3.0f), scale(0.7f), starFilter::count(6), color1(170, 200, 255)}},
    {RandomFan, {brightness(0.06f), color1(150, 190, 255)}},
    {PolySpread, {scale(0.5f), polySpread::count(14), polySpread::sizeRandomSeed(251), color1(60, 110, 255)}},
};

// Pink: glow, star, stripe and ghosts, inside a large faded ring.
constexpr Step kNiftyPinkLens[] = {
    {GlowBall, {scale(0.55f), glowBall::rampGamma(400), color1(255, 120, 200), color2(255, 170, 220)}},
    {PolySpread, {scale(0.5f), polySpread::count(16), color1(255, 110, 190)}},
    {StarFilter, {brightness(1.2f), starFilter::count(10), color1(255, 190, 230)}},
    {FadedRing, {brightness(0.6f), scale(0.9f), position(-0.5f)}},
    {Stripe, {brightness(0.7f), scale(0.8f), spread(8.0f), color1(255, 60, 170), color2(255, 190, 230)}},
    {CircleSpread, {scale(0.3f), circleSpread::count(14), color1(255, 130, 210)}},
};

// An orange spiky burst with a six-point star of thin stripes.
constexpr Step kOrangespike[] = {
    {PolySpikeBall, {brightness(0.9f), scale(0.9f), polySpikeBall::count(120), color1(255, 130, 30)}},
    {GlowBall, {scale(0.35f), glowBall::rampGamma(400), color1(255, 140, 40), color2(255, 200, 120)}},
    {StarFilter, {brightness(1.6f), scale(1.2f), angle(30.0f), starFilter::count(6), color1(255, 170, 70)}},
    {Stripe, {brightness(0.6f), scale(0.5f), spread(3.0f), color1(255, 110, 20), color2(255, 220, 150)}},
    {Stripe, {brightness(0.6f), scale(0.5f), angle(60.0f), spread(3.0f), color1(255, 110, 20), color2(255, 220, 150)}},
    {Stripe, {brightness(0.6f), scale(0.5f), angle(-60.0f), spread(3.0f), color1(255, 110, 20), color2(255, 220, 150)}},
};

// Anamorphic in another cut: oval glow and star, layered blue stripes, oval
// blue and amber ghosts.
constexpr Step kPv1[] = {
    {GlowBall, {scale(0.35f), glowBall::rampGamma(400), anamorphic(1), color1(140, 160, 255), color2(200, 210, 255)}},
    {StarFilter, {brightness(3.0f), scale(0.5f), angle(45.0f), starFilter::count(4), anamorphic(1)}},
    {Stripe, {brightness(1.3f), scale(1.4f), spread(6.0f), color1(20, 60, 255), color2(160, 200, 255)}},
    {Stripe, {brightness(0.5f), scale(0.9f), spread(30.0f), stripe::center(0), color1(10, 30, 180)}},
    {Stripe, {brightness(1.0f), scale(0.7f), spread(1.5f), stripe::center(0), color1(150, 190, 255)}},
    {Ellipse, {brightness(0.4f), scale(0.25f), position(-0.5f), anamorphic(1), color1(90, 140, 255)}},
    {Ellipse, {brightness(0.3f), scale(0.35f), position(-1.1f), anamorphic(1), color1(255, 170, 90)}},
    {Disc, {brightness(0.4f), scale(0.3f), position(0.5f), anamorphic(1), color1(80, 130, 255)}},
    {Disc, {brightness(0.4f), scale(0.2f), position(-0.3f), anamorphic(1), color1(60, 200, 190)}},
    {Disc, {brightness(0.3f), scale(0.5f), position(-0.8f), anamorphic(1), color1(255, 170, 80)}},
    {RandomFan, {brightness(0.06f), color1(190, 210, 255)}},
};

// Green-cyan: photon beams, a long stripe crossed by two shorter ones, a
// ten-ray star and green ghosts.
constexpr Step kQuantum5[] = {
    {PhotonSpikeBall, {brightness(0.4f), scale(0.6f), photonSpikeBall::count(5), color1(130, 255, 200)}},
    {GlowBall, {scale(0.45f), glowBall::rampGamma(400), color1(80, 220, 170), color2(170, 255, 220)}},
    {SpikeBall, {brightness(0.7f), scale(0.7f), spikeBall::spikeCount(150), color1(160, 255, 210)}},
    {Stripe, {brightness(0.8f), scale(0.9f), spread(10.0f), color1(40, 200, 150), color2(200, 255, 230)}},
    {StarFilter, {brightness(1.5f), scale(0.9f), starFilter::count(10), color1(180, 255, 220)}},
    {PolySpread, {brightness(0.9f), scale(0.5f), polySpread::count(15), color1(90, 230, 170)}},
    {Stripe, {brightness(0.5f), scale(0.5f), angle(72.0f), spread(4.0f), stripe::center(0), color1(40, 200, 150)}},
    {Stripe, {brightness(0.5f), scale(0.5f), angle(-72.0f), spread(4.0f), stripe::center(0), color1(40, 200, 150)}},
    {CircleSpread, {scale(0.3f), circleSpread::count(20), color1(120, 255, 200)}},
};

// A small consumer camera: a vertical smear through the light, a bright core
// and a string of soft green, magenta and cyan ghosts.
constexpr Step kQuicktake200[] = {
    {GlowBall, {scale(0.45f), glowBall::rampGamma(350), color1(230, 220, 200), color2(240, 230, 220)}},
    {Stripe, {brightness(0.9f), scale(1.2f), angle(90.0f), spread(4.0f), color1(200, 190, 255), color2(255, 255, 255)}},
    {Stripe, {brightness(0.4f), scale(0.6f), spread(4.0f), stripe::center(0), color1(200, 190, 255)}},
    {Stripe, {brightness(0.3f), scale(1.2f), angle(90.0f), spread(30.0f), stripe::center(0), color1(120, 110, 255)}},
    {Disc, {brightness(2.0f), scale(0.2f), angle(0.0f), disc::outsideRampWidth(300), color1(255, 255, 245)}},
    {Disc, {brightness(0.4f), scale(0.5f), disc::smoothing(1), color1(200, 190, 220)}},
    {PolySpikeBall, {brightness(0.3f), scale(0.5f)}},
    {Disc, {brightness(0.4f), scale(0.25f), position(-0.3f), color1(90, 255, 120)}},
    {Disc, {brightness(0.4f), scale(0.3f), position(-0.6f), color1(255, 90, 220)}},
    {ChromaHoop, {scale(0.25f), position(0.4f)}},
    {Disc, {brightness(0.3f), scale(0.2f), position(-0.9f), color1(90, 255, 200)}},
    {Disc, {brightness(0.3f), scale(0.35f), position(-1.1f), color1(200, 120, 255)}},
    {Disc, {brightness(0.3f), scale(0.5f), position(-1.4f), color1(90, 200, 255)}},
    {Disc, {brightness(0.3f), scale(0.2f), position(0.5f), color1(255, 200, 90)}},
    {Disc, {brightness(0.3f), scale(0.6f), position(1.5f), disc::smoothing(1), color1(120, 255, 150)}},
};

// A hot red point with a sparkle, a thin stripe and faint red ghosts.
constexpr Step kRedLaser[] = {
    {GlowBall, {scale(0.12f), glowBall::rampGamma(300), color1(255, 20, 10), color2(255, 60, 40)}},
    {Sparkle, {brightness(2.0f), scale(0.2f), color1(255, 40, 30)}},
    {RandomFan, {brightness(0.08f), scale(0.4f), randomFan::count(6), randomFan::randomSeed1(17), color1(255, 50, 40)}},
    {PolySpread, {brightness(0.5f), scale(0.3f), spread(6.0f), polySpread::count(8), polySpread::sides(6), color1(255, 30, 20)}},
    {Stripe, {brightness(0.8f), scale(0.6f), spread(2.0f), color1(255, 20, 10), color2(255, 120, 100)}},
    {Ellipse, {brightness(0.3f), scale(0.3f), position(-0.5f), color1(255, 40, 30)}},
};

// A magenta stage light through a star filter, with violet and orange ghosts.
constexpr Step kRockConcert[] = {
    {GlowBall, {scale(0.7f), glowBall::rampGamma(400), color1(220, 60, 255), color2(255, 140, 255)}},
    {SpikeBall, {brightness(0.8f), scale(0.8f), spikeBall::spikeCount(200), color1(255, 150, 255)}},
    {StarFilter, {brightness(4.0f), scale(1.6f), starFilter::count(8), starFilter::width(10), color1(255, 190, 255)}},
    {PolySpread, {scale(0.6f), polySpread::count(12), polySpread::sides(6), color1(180, 80, 255)}},
    {PolySpread, {scale(0.9f), polySpread::count(8), polySpread::sizeRandomSeed(551), color1(255, 90, 60)}},
};

// A blue stage light through two crossed star filters, with cyan and magenta
// ghosts.
constexpr Step kRockConcert2[] = {
    {GlowBall, {scale(0.6f), glowBall::rampGamma(400), color1(40, 120, 255), color2(120, 200, 255)}},
    {StarFilter, {brightness(4.0f), scale(2.0f), angle(45.0f), spread(0.1f), starFilter::count(4), starFilter::width(3), starFilter::thick(1), color1(150, 210, 255)}},
    {StarFilter, {brightness(3.0f), scale(1.2f), angle(0.0f), spread(0.1f), starFilter::count(4), starFilter::width(3), starFilter::thick(1), color1(150, 210, 255)}},
    {StarFilter, {brightness(2.0f), scale(0.8f), spread(25.0f), starFilter::count(8), starFilter::width(3), starFilter::thick(1), color1(120, 180, 255)}},
    {StarFilter, {brightness(2.5f), scale(0.4f), starFilter::count(16), color1(200, 230, 255)}},
    {PolySpread, {scale(0.5f), polySpread::count(12), polySpread::sides(6), color1(60, 220, 255)}},
    {PolySpread, {scale(0.7f), polySpread::count(8), polySpread::sizeRandomSeed(611), color1(255, 80, 220)}},
};

// A scratched front element: a few long fans of streaks from a small core.
constexpr Step kScratch1[] = {
    {RandomFan, {brightness(0.3f), scale(2.0f), randomFan::count(3), randomFan::randomSeed1(77), color1(255, 250, 240)}},
    {Disc, {brightness(2.0f), scale(0.25f), angle(0.0f), disc::outsideRampWidth(300), color1(255, 255, 250)}},
};

// A cool six-point star: three crossed stripes, vertical first, over a soft
// spiky glow.
constexpr Step kSixPointStar2[] = {
    {PolySpikeBall, {brightness(0.35f), scale(0.6f), color1(210, 220, 255)}},
    {Stripe, {brightness(0.7f), scale(0.55f), angle(90.0f), spread(4.0f), color1(150, 170, 255), color2(255, 255, 255)}},
    {Stripe, {brightness(0.7f), scale(0.55f), angle(30.0f), spread(4.0f), color1(150, 170, 255), color2(255, 255, 255)}},
    {Stripe, {brightness(0.7f), scale(0.55f), angle(-30.0f), spread(4.0f), color1(150, 170, 255), color2(255, 255, 255)}},
    {Disc, {brightness(2.0f), scale(0.2f), angle(0.0f), disc::outsideRampWidth(250), color1(255, 255, 255)}},
    {Disc, {brightness(0.4f), scale(0.35f), disc::smoothing(1), color1(150, 170, 255)}},
};

// A golden six-point star, a hot core inside a warm glow.
constexpr Step kSixPointStar3[] = {
    {PolySpikeBall, {brightness(0.35f), scale(0.65f), color1(255, 220, 160)}},
    {GlowBall, {scale(0.35f), glowBall::rampGamma(400), color1(255, 190, 110), color2(255, 220, 160)}},
    {StarFilter, {brightness(1.3f), scale(1.3f), angle(30.0f), starFilter::count(6), color1(255, 230, 180)}},
    {Stripe, {brightness(0.6f), scale(0.6f), spread(3.0f), color1(255, 170, 80), color2(255, 240, 210)}},
    {Stripe, {brightness(0.6f), scale(0.6f), angle(60.0f), spread(3.0f), color1(255, 170, 80), color2(255, 240, 210)}},
    {Stripe, {brightness(0.6f), scale(0.6f), angle(-60.0f), spread(3.0f), color1(255, 170, 80), color2(255, 240, 210)}},
    {GlowBall, {scale(0.1f), glowBall::rampGamma(300), color1(255, 240, 220), color2(255, 255, 255)}},
};

constexpr Step kSixPointStar[] = {
    {PolySpikeBall, {brightness(0.328475f), scale(0.638729f), angle(-26.526318f), polySpikeBall::count(96), polySpikeBall::randomSeed1(673), polySpikeBall::randomSeed2(873), anamorphic(1), color1(202, 189, 211)}},
    {GlowBall, {brightness(0.010138f), scale(0.275911f), angle(15.0f), spread(50.0f), glowBall::rampGamma(300), anamorphic(1), color1(181, 151, 188), color2(198, 162, 198)}},
    {StarFilter, {brightness(0.894654f), scale(2.358751f), spread(0.1f), anamorphic(1)}},
    {Stripe, {brightness(0.39828f), scale(0.70931f), spread(10.0f), anamorphic(1), color1(163, 138, 181), color2(255, 255, 255)}},
    {Stripe, {brightness(0.39828f), scale(0.70931f), angle(-56.842106f), spread(10.0f), anamorphic(1), color1(163, 138, 181), color2(255, 255, 255)}},
    {Stripe, {brightness(0.39828f), scale(0.70931f), angle(56.842102f), spread(10.080001f), anamorphic(1), color1(163, 138, 181), color2(255, 255, 255)}},
};

// A soft white glow broken into many spikes.
constexpr Step kSpikeyGlow[] = {
    {PolySpikeBall, {brightness(0.6f), scale(0.9f), polySpikeBall::count(150), color1(230, 230, 255)}},
    {GlowBall, {scale(0.4f), glowBall::rampGamma(400), color1(200, 180, 230), color2(220, 210, 240)}},
    {StarFilter, {brightness(1.2f), scale(0.7f), starFilter::count(16), starFilter::width(4)}},
};

// A warm, larger spiky glow.
constexpr Step kSpikeyGlow2[] = {
    {PolySpikeBall, {brightness(0.7f), scale(1.1f), polySpikeBall::count(200), polySpikeBall::randomSeed1(37), polySpikeBall::randomSeed2(91), color1(255, 200, 120)}},
    {GlowBall, {scale(0.5f), glowBall::rampGamma(400), color1(255, 160, 70), color2(255, 210, 140)}},
    {StarFilter, {brightness(1.0f), scale(0.6f), starFilter::count(20), starFilter::width(4), color1(255, 210, 150)}},
};

constexpr Step kSunset[] = {
    {Disc, {brightness(2.41847f), scale(0.387213f), angle(28.421051f), disc::middleRampWidth(105), disc::outsideRampWidth(30), color1(255, 166, 104)}},
    {GlowBall, {scale(1.596468f), angle(25.0f), glowBall::rampGamma(705), color1(255, 158, 35), color2(255, 184, 94)}},
    {PolySpread, {brightness(0.668099f), scale(0.904767f), polySpread::sides(6), polySpread::sizeRandomSeed(315), polySpread::brightnessRandomSeed(821), color1(255, 74, 20)}},
};

// A long lens: a chain of eighteen ghosts along the axis, crisp discs, soft
// discs and rings, larger than the 35mm's.
constexpr Step k105mm[] = {
    {GlowBall, {scale(0.5f), glowBall::rampGamma(400), color1(170, 180, 210), color2(200, 200, 230)}},
    {Disc, {brightness(2.0f), scale(0.2f), angle(0.0f), disc::outsideRampWidth(300), color1(255, 255, 250)}},
    {SpikeBall, {brightness(0.4f), scale(0.7f), spikeBall::spikeCount(120)}},
    {RandomFan, {brightness(0.05f), randomFan::count(6), randomFan::randomSeed1(23)}},
    {RandomFan, {brightness(0.05f), scale(0.6f), randomFan::count(8), randomFan::randomSeed1(71)}},
    {Disc, {brightness(0.2f), scale(0.12f), position(0.75f), angle(0.0f), disc::middleRampWidth(350), disc::outsideRampWidth(80), color1(255, 170, 70)}},
    {Disc, {brightness(0.3f), scale(0.25f), position(0.55f), color1(110, 255, 130)}},
    {Disc, {brightness(0.15f), scale(0.35f), position(0.35f), disc::centerOffset(36), disc::insideRampWidth(120), disc::middleRampWidth(60), disc::outsideRampWidth(120), color1(255, 90, 210)}},
    {Disc, {brightness(0.2f), scale(0.1f), position(0.2f), angle(0.0f), disc::middleRampWidth(350), disc::outsideRampWidth(80), color1(90, 140, 255)}},
    {Disc, {brightness(0.3f), scale(0.4f), position(0.05f), color1(80, 230, 255)}},
    {Disc, {brightness(0.15f), scale(0.2f), position(-0.1f), angle(0.0f), disc::middleRampWidth(350), disc::outsideRampWidth(80), color1(255, 200, 90)}},
    {Disc, {brightness(0.2f), scale(0.5f), position(-0.25f), disc::smoothing(1), color1(160, 110, 255)}},
    {Disc, {brightness(0.2f), scale(0.12f), position(-0.35f), angle(0.0f), disc::middleRampWidth(350), disc::outsideRampWidth(80), color1(110, 255, 130)}},
    {Disc, {brightness(0.15f), scale(0.3f), position(-0.5f), angle(0.0f), disc::middleRampWidth(350), disc::outsideRampWidth(80), color1(255, 140, 60)}},
    {Disc, {brightness(0.15f), scale(0.45f), position(-0.62f), disc::centerOffset(36), disc::insideRampWidth(120), disc::middleRampWidth(60), disc::outsideRampWidth(120), color1(90, 200, 255)}},
    {Disc, {brightness(0.25f), scale(0.15f), position(-0.75f), angle(0.0f), disc::middleRampWidth(350), disc::outsideRampWidth(80), color1(255, 90, 200)}},
    {Disc, {brightness(0.3f), scale(0.45f), position(-0.9f), color1(90, 255, 180)}},
    {Disc, {brightness(0.15f), scale(0.25f), position(-1.05f), angle(0.0f), disc::middleRampWidth(350), disc::outsideRampWidth(80), color1(230, 230, 90)}},
    {Disc, {brightness(0.2f), scale(0.6f), position(-1.2f), disc::smoothing(1), color1(120, 140, 255)}},
    {Disc, {brightness(0.2f), scale(0.15f), position(-1.35f), angle(0.0f), disc::middleRampWidth(350), disc::outsideRampWidth(80), color1(160, 255, 100)}},
    {Disc, {brightness(0.15f), scale(0.35f), position(-1.5f), angle(0.0f), disc::middleRampWidth(350), disc::outsideRampWidth(80), color1(255, 120, 130)}},
    {Disc, {brightness(0.15f), scale(0.55f), position(-1.7f), disc::centerOffset(36), disc::insideRampWidth(120), disc::middleRampWidth(60), disc::outsideRampWidth(120), color1(120, 220, 255)}},
    {Disc, {brightness(0.2f), scale(0.3f), position(-1.9f), color1(255, 180, 90)}},
};

// A long zoom: a veiling glow round the light, large soft ghosts and rings
// along the axis and a spread of thirty more.
constexpr Step k300mmZoom[] = {
    {GlowBall, {scale(0.7f), glowBall::rampGamma(400), color1(180, 180, 210), color2(210, 205, 235)}},
    {Disc, {brightness(2.0f), scale(0.2f), angle(0.0f), disc::outsideRampWidth(300), color1(255, 255, 250)}},
    {Disc, {brightness(0.4f), scale(0.6f), disc::smoothing(1), color1(200, 190, 230)}},
    {Disc, {brightness(0.15f), scale(1.5f), spread(30.0f), disc::smoothing(1), color1(220, 200, 180)}},
    {SpikeBall, {brightness(0.4f), scale(0.8f), spikeBall::spikeCount(150)}},
    {Disc, {brightness(0.2f), scale(0.3f), position(0.6f), angle(0.0f), disc::middleRampWidth(350), disc::outsideRampWidth(80), color1(255, 180, 90)}},
    {Disc, {brightness(0.2f), scale(0.8f), position(0.3f), disc::smoothing(1), color1(120, 255, 160)}},
    {Disc, {brightness(0.15f), scale(0.5f), position(0.05f), angle(0.0f), disc::middleRampWidth(350), disc::outsideRampWidth(80), color1(255, 110, 220)}},
    {Disc, {brightness(0.15f), scale(0.9f), position(-0.2f), disc::centerOffset(36), disc::insideRampWidth(120), disc::middleRampWidth(60), disc::outsideRampWidth(120), color1(90, 170, 255)}},
    {Disc, {brightness(0.25f), scale(0.7f), position(-0.45f), color1(100, 255, 200)}},
    {Disc, {brightness(0.12f), scale(0.6f), position(-0.65f), angle(0.0f), disc::middleRampWidth(350), disc::outsideRampWidth(80), color1(255, 200, 100)}},
    {Disc, {brightness(0.15f), scale(1.0f), position(-0.85f), disc::smoothing(1), color1(150, 120, 255)}},
    {Disc, {brightness(0.12f), scale(1.1f), position(-1.1f), disc::centerOffset(36), disc::insideRampWidth(120), disc::middleRampWidth(60), disc::outsideRampWidth(120), color1(120, 255, 130)}},
    {Disc, {brightness(0.12f), scale(0.8f), position(-1.35f), angle(0.0f), disc::middleRampWidth(350), disc::outsideRampWidth(80), color1(255, 140, 90)}},
    {Disc, {brightness(0.15f), scale(1.2f), position(-1.6f), disc::smoothing(1), color1(90, 200, 255)}},
    {Disc, {brightness(0.15f), scale(0.6f), position(-1.9f), angle(0.0f), disc::middleRampWidth(350), disc::outsideRampWidth(80), color1(255, 120, 200)}},
    {CircleSpread, {scale(0.6f), spread(15.0f), circleSpread::count(30), circleSpread::sizeRandomSeed(131), color1(200, 230, 255)}},
};

// A very bright violet light with three stripes of falling length, like a
// pinwheel, and a long trail of ghosts.
constexpr Step kVortexBright[] = {
    {GlowBall, {scale(0.9f), glowBall::rampGamma(350), color1(200, 170, 255), color2(230, 220, 255)}},
    {Stripe, {brightness(0.9f), scale(1.0f), angle(10.0f), spread(10.0f), color1(120, 90, 255), color2(230, 220, 255)}},
    {PolySpread, {scale(0.5f), spread(20.0f), polySpread::count(30), polySpread::sizeRandomSeed(89), color1(170, 120, 255)}},
    {Stripe, {brightness(0.7f), scale(0.7f), angle(70.0f), spread(8.0f), color1(150, 100, 255), color2(230, 220, 255)}},
    {Stripe, {brightness(0.5f), scale(0.45f), angle(-50.0f), spread(6.0f), color1(180, 110, 255), color2(230, 220, 255)}},
    {CircleSpread, {scale(0.4f), spread(16.0f), circleSpread::count(30), circleSpread::sizeRandomSeed(301), color1(200, 150, 255)}},
};

// A golden sun with fine rays and four spreads of orange, amber, rose and yellow
// ghosts.
constexpr Step kWarmSunflare[] = {
    {GlowBall, {scale(0.8f), glowBall::rampGamma(450), color1(255, 170, 70), color2(255, 215, 150)}},
    {SpikeBall, {brightness(0.6f), spikeBall::spikeCount(150), color1(255, 210, 150)}},
    {RandomFan, {brightness(0.08f), randomFan::count(10), color1(255, 220, 170)}},
    {PolySpread, {brightness(0.9f), scale(0.8f), polySpread::count(8), polySpread::sides(6), color1(255, 130, 40)}},
    {PolySpread, {scale(0.4f), polySpread::count(12), polySpread::sizeRandomSeed(437), color1(255, 190, 80)}},
    {PolySpread, {brightness(0.6f), scale(1.2f), polySpread::count(6), polySpread::sizeRandomSeed(59), color1(255, 110, 90)}},
    {PolySpread, {scale(0.2f), polySpread::count(20), polySpread::sizeRandomSeed(777), color1(255, 230, 120)}},
};

// Indexed by popup value; index 0 is never used.
constexpr std::span<const Step> kRecipes[kPresetCount + 1] = {
    {},                  // (no value 0)
    k35mm,               // 1 "35mm"
    k85mm,               // 2 "85mm"
    kArcWelder,          // 3 "Arc Welder"
    kBasicLens,          // 4 "Basic Lens"
    kBasicSpotlight,     // 5 "Basic Spotlight"
    kBlimpFlare,         // 6 "Blimp flare"
    kBrightBluelight,    // 7 "Bright Bluelight"
    kChromaLens2,        // 8 "Chroma Lens 2"
    kChromaLens,         // 9 "Chroma Lens"
    kCoolLens,           // 10 "Cool Lens"
    kDesertSun,          // 11 "Desert Sun"
    kDiffraction,        // 12 "Diffraction"
    kDiffraction2,       // 13 "Diffraction2"
    kDiffraction3,       // 14 "Diffraction3"
    kDistantQuantum,     // 15 "Distant Quantum"
    kDrydockSpikeball,   // 16 "Drydock Spikeball"
    kGenericPanavision,  // 17 "Generic Panavision"
    kGreenRefls,         // 18 "Green Refls"
    kMapleTree,          // 19 "Maple Tree"
    kNewBlueLens,        // 20 "New Blue Lens"
    kNiftyPinkLens,      // 21 "Nifty Pink Lens"
    kOrangespike,        // 22 "Orangespike"
    kPv1,                // 23 "Pv1"
    kQuantum5,           // 24 "Quantum5"
    kQuicktake200,       // 25 "Quicktake 200"
    kRedLaser,           // 26 "Red Laser"
    kRockConcert,        // 27 "Rock Concert"
    kRockConcert2,       // 28 "Rock Concert2"
    kScratch1,           // 29 "Scratch1"
    kSixPointStar2,      // 30 "Six Point Star 2"
    kSixPointStar3,      // 31 "Six Point Star 3"
    kSixPointStar,       // 32 "Six Point Star"
    kSpikeyGlow,         // 33 "Spikey Glow"
    kSpikeyGlow2,        // 34 "Spikey Glow2"
    kSunset,             // 35 "Sunset"
    k105mm,              // 36 "105mm"
    k300mmZoom,          // 37 "300mm Zoom"
    kVortexBright,       // 38 "Vortex Bright"
    kWarmSunflare,       // 39 "Warm Sunflare"
};

}  // namespace

std::span<const Step> Recipe(int16_t value) {
  if (value < 1 || value > kPresetCount) return {};
  return kRecipes[value];
}

}  // namespace gw::presets
