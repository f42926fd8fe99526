#include "cli/output_choice.h"

#include <cctype>
#include <span>

#include "cli/errors.h"

namespace gw {
namespace {

using enum SampleType;

// The types that keep every value of a type, nearest first. Half keeps all
// 256 levels of 8 bits apart, not the 65536 of 16.
std::span<const SampleType> Keepers(SampleType type) {
  static constexpr SampleType kFrom8[] = {UInt8, UInt16, Half, Float};
  static constexpr SampleType kFrom16[] = {UInt16, Float};
  static constexpr SampleType kFromHalf[] = {Half, Float};
  static constexpr SampleType kFromFloat[] = {Float};
  switch (type) {
    case UInt8: return kFrom8;
    case UInt16: return kFrom16;
    case Half: return kFromHalf;
    case Float: return kFromFloat;
  }
  return kFromFloat;
}

// "uint8 and uint16".
std::string TypesHeldText(const OutputFormat& format) {
  std::vector<std::string> held;
  for (const SampleType t : {UInt8, UInt16, Half, Float}) {
    if (Holds(format, t)) held.emplace_back(SampleTypeName(t));
  }
  std::string list;
  for (size_t i = 0; i < held.size(); ++i) {
    list += (i == 0 ? "" : i + 1 == held.size() ? " and " : ", ") + held[i];
  }
  return list;
}

// "OpenEXR", "PNG".
std::string Title(const OutputFormat& format) {
  if (format.name == "openexr") return "OpenEXR";
  std::string title = format.name;
  for (char& c : title) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return title;
}

}  // namespace

const char* SampleTypeName(SampleType type) {
  switch (type) {
    case UInt8: return "uint8";
    case UInt16: return "uint16";
    case Half: return "half";
    case Float: return "float";
  }
  return "?";
}

OutputChoice ChooseOutput(const std::string& path, const OutputFormat& format,
                          const OutputRequest& request) {
  if (request.flareOnly && !format.alpha) {
    throw CommandError("--flare-only: " + path + ": " + Title(format) +
                       " holds no alpha, which a flare-only pass needs (write .exr, .tif or .png)");
  }
  OutputChoice choice;
  const std::string asked = SampleTypeName(request.depth);
  const std::string whose = request.depthGiven ? "--depth " + asked : "the input's " + asked;
  bool found = false;
  for (const SampleType t : Keepers(request.depth)) {
    if (!Holds(format, t)) continue;
    choice.type = t;
    found = true;
    if (t != request.depth) {
      choice.notes.push_back(path + ": " + Title(format) + " holds no " + asked +
                             " samples: written as " + SampleTypeName(t) + ", which keeps every " +
                             asked + " value");
    }
    break;
  }
  if (!found) {
    std::string way = "write .exr or .tif";
    if (!request.depthGiven) {
      way += ", or ask --depth " + std::string(Holds(format, UInt16) ? "uint16" : "uint8") +
             " to accept the loss";
    }
    throw CommandError(path + ": " + Title(format) + " holds only " + TypesHeldText(format) +
                       " samples, which cannot keep " + whose + " values" +
                       (request.depth == Half || request.depth == Float
                            ? " (those above 1 and below 0 would be clipped)"
                            : "") +
                       ": " + way);
  }
  if (request.hasAlpha && !request.flareOnly && !format.alpha) {
    choice.notes.push_back(path + ": " + Title(format) +
                           " holds no alpha: the input's alpha channel is left out");
  }
  const int32_t colourAndAlpha = request.channels <= 2 ? request.channels
                                                       : (request.hasAlpha ? 4 : 3);
  if (!request.flareOnly && request.channels > colourAndAlpha && !format.anyChannels) {
    std::string names;
    const size_t left = request.channelNames.size() - static_cast<size_t>(colourAndAlpha);
    for (size_t c = static_cast<size_t>(colourAndAlpha); c < request.channelNames.size(); ++c) {
      names += (names.empty() ? "" : ", ") + request.channelNames[c];
    }
    choice.notes.push_back(path + ": " + Title(format) + " holds colour and alpha only: " +
                           (left == 1 ? "the channel " + names + " is left out"
                                      : "the channels " + names + " are left out"));
  }
  return choice;
}

}  // namespace gw
