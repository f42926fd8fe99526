// What makes one edition of the plug-in: its identity, its flags and its
// parameters. GlobalSetup, ParamsSetup, the generated PiPL and every reader
// of the plug-in take these facts from one table per edition.
#pragma once

#include <cstdint>
#include <span>

#include "host/sdk/pf_api.h"

namespace gw {

// What a parameter means to the render command, so that it can find it by
// meaning whatever the edition's order.
enum class ParamRole : uint8_t {
  Brightness,
  Scale,
  LightPoint,
  Color,
  Angle,
  FlareType,
  LocationLayer,
  ObscurationLayer,
  ObscurationType,
  SourceSize,
};

// One declared parameter: the fields of its PF_ParamDef that are not zero.
struct ParamRow {
  ParamRole role;
  const char* name;
  PF_ParamType type;
  PF_ParamFlags flags = 0;
  int32_t value = 0;      // slider, fixed slider, angle, popup; point x
  int32_t valueY = 0;     // point y
  int32_t dephault = 0;   // slider, fixed slider, angle, popup, layer; point x
  int32_t dephaultY = 0;  // point y
  int32_t validMin = 0, validMax = 0;
  int32_t sliderMin = 0, sliderMax = 0;
  int16_t precision = 0;
  int16_t displayFlags = 0;
  PF_Pixel colour{};      // colour value and default
  int16_t numChoices = 0;
  const char* choices = nullptr;  // popup items separated by '|'
};

// How the edition draws and whether it has a dialog.
enum class RenderKind : uint8_t { LensFromSequence, LensFromPreset, LightsFromLayer };

struct EditionTable {
  const char* piplName;    // the PiPL's name, as the host lists the effect
  const char* category;
  const char* matchName;
  const char* effectName;  // what GlobalSetup reports in out_data.name
  uint32_t version;        // PF_Version packing
  PF_OutFlags outFlags;
  RenderKind render;
  bool hasDialog;
  std::span<const ParamRow> params;  // declared in this order, from index 1

  // Parameters counted as the host counts them: the input layer is index 0.
  int32_t NumParams() const { return static_cast<int32_t>(params.size()) + 1; }
  // The host index of the parameter with this role, or -1.
  int32_t IndexOf(ParamRole role) const {
    for (size_t i = 0; i < params.size(); ++i) {
      if (params[i].role == role) return static_cast<int32_t>(i) + 1;
    }
    return -1;
  }
};

// Effect version 2.0.0, released, build 0.
inline constexpr uint32_t kEffectVersion = PF_Version(2, 0, 0, PF_Stage_RELEASE, 0);
static_assert(kEffectVersion == 0x00100600);

const EditionTable& FullEdition();
const EditionTable& ShowcaseEdition();
const EditionTable& QuickEdition();

}  // namespace gw
