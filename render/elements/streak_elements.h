// The streaks of the streak elements, in drawing order: each Render<Type>
// hands them to the streak drawer; tests record them.
#pragma once

#include <cstdint>

#include "lens/lens.h"
#include "render/streak_emitter.h"
#include "render/target.h"

namespace gw {

// Counts beyond these are drawn as these: far above anything the editor or
// the preset lenses use, they keep a lens from a stranger's file from asking
// for billions of streaks.
inline constexpr int32_t kMaxStarRays = 1024;
inline constexpr int32_t kMaxStarStreaksPerRay = 256;
inline constexpr int32_t kMaxFanPairs = 256;
inline constexpr int32_t kMaxSparklePairs = 100000;

void StarFilterStreaks(const LensElement& element, const RenderTarget& target,
                       const StreakSink& sink);
void SpikeBallStreaks(const LensElement& element, const RenderTarget& target,
                      const StreakSink& sink);
void RandomFanStreaks(const LensElement& element, const RenderTarget& target,
                      const StreakSink& sink);
void StripeStreaks(const LensElement& element, const RenderTarget& target,
                   const StreakSink& sink);
void SparkleStreaks(const LensElement& element, const RenderTarget& target,
                    const StreakSink& sink);

// Those that build their shapes from fans of streaks.
void ApertureReflectionStreaks(const LensElement& element, const RenderTarget& target,
                               const StreakSink& sink);
void ChromaHoopStreaks(const LensElement& element, const RenderTarget& target,
                       const StreakSink& sink);
void PhotonSpikeBallStreaks(const LensElement& element, const RenderTarget& target,
                            const StreakSink& sink);
void ChromaFanStreaks(const LensElement& element, const RenderTarget& target,
                      const StreakSink& sink);

}  // namespace gw
