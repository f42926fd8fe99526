#include "testhost/pipl_reader.h"

namespace gw::testhost {
namespace {

uint32_t Long(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t Word(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// A 4CC stored as a little-endian 32-bit integer.
std::string FourCC(const uint8_t* p) {
  const uint32_t v = Long(p);
  return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

std::string Counted(const std::vector<uint8_t>& d) {
  if (d.empty() || d[0] + 1u > d.size()) return {};
  return std::string(d.begin() + 1, d.begin() + 1 + d[0]);
}

std::string CString(const std::vector<uint8_t>& d) {
  std::string s;
  for (uint8_t c : d) {
    if (c == 0) break;
    s.push_back(static_cast<char>(c));
  }
  return s;
}

}  // namespace

std::optional<PiplInfo> ReadPipl(const std::vector<uint8_t>& bytes, std::string& error) {
  if (bytes.size() < 10) {
    error = "shorter than its header";
    return std::nullopt;
  }
  if (Word(&bytes[0]) != 1 || Long(&bytes[2]) != 0) {
    error = "not a PiPL of version 0";
    return std::nullopt;
  }
  const uint32_t count = Long(&bytes[6]);
  PiplInfo info;
  size_t at = 10;
  for (uint32_t i = 0; i < count; ++i) {
    if (bytes.size() - at < 16) {
      error = "property " + std::to_string(i) + " is cut short";
      return std::nullopt;
    }
    PiplProperty p;
    p.vendor = FourCC(&bytes[at]);
    p.key = FourCC(&bytes[at + 4]);
    const uint32_t length = Long(&bytes[at + 12]);
    at += 16;
    const uint64_t padded = (uint64_t{length} + 3) & ~uint64_t{3};
    if (bytes.size() - at < padded) {
      error = "the data of " + p.key + " is cut short";
      return std::nullopt;
    }
    p.data.assign(bytes.begin() + at, bytes.begin() + at + length);
    at += padded;
    const std::vector<uint8_t>& d = p.data;
    const auto need = [&](size_t n) { return d.size() >= n; };
    if (p.key == "kind" && need(4)) info.kind = FourCC(d.data());
    if (p.key == "name") info.name = Counted(d);
    if (p.key == "catg") info.category = Counted(d);
    if (p.key == "wx86") info.entryPoint = CString(d);
    if (p.key == "ePVR" && need(4)) info.piplMajor = Word(&d[0]), info.piplMinor = Word(&d[2]);
    if (p.key == "eSVR" && need(4)) info.specMajor = Word(&d[0]), info.specMinor = Word(&d[2]);
    if (p.key == "eVER" && need(4)) info.version = Long(d.data());
    if (p.key == "eINF" && need(2)) info.info = Word(d.data());
    if (p.key == "eGLO" && need(4)) info.outFlags = Long(d.data());
    if (p.key == "eMNA") info.matchName = Counted(d);
    if (p.key == "aeFL" && need(4)) info.reservedInfo = Long(d.data());
    info.properties.push_back(std::move(p));
  }
  if (at != bytes.size()) {
    error = "bytes left over after the last property";
    return std::nullopt;
  }
  return info;
}

}  // namespace gw::testhost
