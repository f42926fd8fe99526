// The Quick edition's built-in lenses, chosen by the "Flare Type" popup.
#pragma once

#include <cstdint>
#include <string_view>

#include "lens/lens.h"

namespace gw {

inline constexpr int16_t kPresetCount = 39;

// The popup's item list, values counted from 1: the one list of preset names.
inline constexpr const char* kPresetPopupItems =
    "35mm|85mm|Arc Welder|Basic Lens|Basic Spotlight|Blimp flare|Bright Bluelight|"
    "Chroma Lens 2|Chroma Lens|Cool Lens|Desert Sun|Diffraction|Diffraction2|Diffraction3|"
    "Distant Quantum|Drydock Spikeball|Generic Panavision|Green Refls|Maple Tree|"
    "New Blue Lens|Nifty Pink Lens|Orangespike|Pv1|Quantum5|Quicktake 200|Red Laser|"
    "Rock Concert|Rock Concert2|Scratch1|Six Point Star 2|Six Point Star 3|Six Point Star|"
    "Spikey Glow|Spikey Glow2|Sunset|105mm|300mm Zoom|Vortex Bright|Warm Sunflare";

// The name of popup value 1..39; empty outside that range.
std::string_view PresetName(int value);

// The popup value of a name (exact match), or 0 when there is none.
int16_t FindPreset(std::string_view name);

// Replaces the lens by the recipe of popup value 1..39. Any other value
// leaves an empty lens.
void BuildPreset(Lens& lens, int16_t value);

}  // namespace gw
