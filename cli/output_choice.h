// What an output file is written as, chosen once before any work: the
// sample type that keeps the asked-for precision in the output's format,
// and what that format cannot hold of the plate.
#pragma once

#include <string>
#include <vector>

#include "cli/image_module.h"

namespace gw {

// The word --depth uses for a sample type ("uint8", "half").
const char* SampleTypeName(SampleType type);

struct OutputChoice {
  SampleType type = SampleType::UInt8;
  std::vector<std::string> notes;  // one line each: what is written otherwise than asked
};

struct OutputRequest {
  SampleType depth = SampleType::UInt8;  // --depth, or the plate's own
  bool depthGiven = false;               // from --depth
  bool flareOnly = false;
  int32_t channels = 3;                  // the plate's
  bool hasAlpha = false;
  std::vector<std::string> channelNames;
};

// The asked-for type when the format holds it, else the nearest one it
// holds that keeps every value of the asked-for type (8-bit values in half,
// say), with a note; throws CommandError naming `path` when none does, or
// when a flare-only pass goes to a format without alpha.
OutputChoice ChooseOutput(const std::string& path, const OutputFormat& format,
                          const OutputRequest& request);

}  // namespace gw
