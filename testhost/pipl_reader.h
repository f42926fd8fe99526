// Reads a PiPL resource in its binary form, as the host does before it loads
// a plug-in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace gw::testhost {

struct PiplProperty {
  std::string vendor;  // e.g. "8BIM"
  std::string key;     // e.g. "kind"
  std::vector<uint8_t> data;  // `length` bytes, without the padding
};

struct PiplInfo {
  std::vector<PiplProperty> properties;
  std::string kind;        // "eFKT" for an effect
  std::string name;
  std::string category;
  std::string entryPoint;  // wx86
  uint16_t piplMajor = 0, piplMinor = 0;  // ePVR
  uint16_t specMajor = 0, specMinor = 0;  // eSVR
  uint32_t version = 0;    // eVER
  uint16_t info = 0;       // eINF
  uint32_t outFlags = 0;   // eGLO
  std::string matchName;   // eMNA
  uint32_t reservedInfo = 0;  // aeFL
};

// Parses the bytes; on malformed input returns nothing and says why.
std::optional<PiplInfo> ReadPipl(const std::vector<uint8_t>& bytes, std::string& error);

}  // namespace gw::testhost
