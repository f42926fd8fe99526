// The effect's values in the encoding the edition tables use, 16.16 fixed
// point, and as the frame logic reads them. A binding whose host hands out
// doubles encodes them first, so every binding computes the same floats.
#pragma once

#include <cstdint>

#include "render/numeric.h"

namespace gw {

inline float FixedToFloat(int32_t v) { return static_cast<float>(v) / 65536.0f; }
// A percentage (Brightness) as a factor: 100 % is 1.0.
inline float FixedPercentToFactor(int32_t v) { return static_cast<float>(v) / 6553600.0f; }
// Degrees (Angle) as the renderers' animation phase.
inline float FixedDegreesToPhase(int32_t v) { return static_cast<float>(v) / 65536.0f / 24.0f; }

// The nearest 16.16 value; NaN gives 0 and values beyond the range saturate.
inline int32_t FixedFromDouble(double v) {
  const double scaled = v * 65536.0;
  return TruncToInt(scaled < 0.0 ? scaled - 0.5 : scaled + 0.5);
}

}  // namespace gw
