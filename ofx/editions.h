// The three plug-ins of the binary: each edition's table (its parameters,
// their names, defaults and ranges, as the legacy modules declare them) and
// what the OpenFX binding adds around it.
#pragma once

#include <cstdint>
#include <span>

#include "host/edition.h"

namespace gw::ofx {

struct OfxEdition {
  const EditionTable& table;
  const char* identifier;  // the plug-in's unique identifier
  const char* label;       // as applications list it

  // A lens of its own, kept in the lens parameter (full and Showcase).
  bool HasLens() const { return table.render != RenderKind::LensFromPreset; }
  // One light drawn per frame, with motion blur (full and Quick).
  bool OneLight() const { return table.render != RenderKind::LightsFromLayer; }
  bool Has(ParamRole role) const { return table.IndexOf(role) > 0; }
};

inline constexpr unsigned int kPluginVersionMajor = 1, kPluginVersionMinor = 0;
inline constexpr char kGrouping[] = "Glarewright";

std::span<const OfxEdition> Editions();

// Parameter and clip names (what projects and scripts refer to).
const char* ParamName(ParamRole role);
inline constexpr char kLocationClip[] = "Location";
inline constexpr char kObscurationClip[] = "Obscuration";
// The clip a layer parameter of the tables becomes.
const char* ClipName(ParamRole role);

// The parameters the binding adds to the tables.
inline constexpr char kMotionBlurParam[] = "motionBlur";
inline constexpr char kShutterAngleParam[] = "shutterAngle";
inline constexpr char kBlendParam[] = "blend";
inline constexpr char kOutputParam[] = "output";
inline constexpr char kLensParam[] = "lens";
// The lens's buttons and the file they read and write.
inline constexpr char kLensFileParam[] = "lensFile";
inline constexpr char kLoadLensParam[] = "loadLens";
inline constexpr char kSaveLensParam[] = "saveLens";
inline constexpr char kEditLensParam[] = "editLens";

// Choice values of "Blend" and "Output".
enum class OutputKind : int32_t { Comp = 0, FlareOnly = 1 };

}  // namespace gw::ofx
