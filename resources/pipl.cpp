#include "resources/pipl.h"

#include <cstdio>
#include <cstring>

namespace gw {
namespace {

constexpr uint32_t FourCC(const char (&code)[5]) {
  return (uint32_t(uint8_t(code[0])) << 24) | (uint32_t(uint8_t(code[1])) << 16) |
         (uint32_t(uint8_t(code[2])) << 8) | uint32_t(uint8_t(code[3]));
}

class PiplWriter {
 public:
  void Word(uint16_t v) {
    bytes_.push_back(uint8_t(v));
    bytes_.push_back(uint8_t(v >> 8));
  }
  void Long(uint32_t v) {
    Word(uint16_t(v));
    Word(uint16_t(v >> 16));
  }
  // One property: vendor, key, id 0, length, data padded with zeros to 4.
  void Property(const char (&key)[5], const std::vector<uint8_t>& data) {
    Long(FourCC("8BIM"));
    Long(FourCC(key));
    Long(0);
    Long(static_cast<uint32_t>(data.size()));
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    while (bytes_.size() % 4 != 0) bytes_.push_back(0);
    ++count_;
  }
  std::vector<uint8_t> Finish() {
    std::vector<uint8_t> header;
    header.push_back(1);
    header.push_back(0);
    for (uint32_t v : {0u, count_}) {
      for (int i = 0; i < 4; ++i) header.push_back(uint8_t(v >> (8 * i)));
    }
    header.insert(header.end(), bytes_.begin(), bytes_.end());
    return header;
  }

 private:
  std::vector<uint8_t> bytes_;  // the properties, after the 10-byte header
  uint32_t count_ = 0;
};

std::vector<uint8_t> LittleEndian(uint32_t v, int size) {
  std::vector<uint8_t> data;
  for (int i = 0; i < size; ++i) data.push_back(uint8_t(v >> (8 * i)));
  return data;
}

// A length byte, the characters, zeros up to a multiple of 4.
std::vector<uint8_t> CountedString(const char* text) {
  const size_t length = std::strlen(text);
  std::vector<uint8_t> data{uint8_t(length)};
  for (size_t i = 0; i < length; ++i) data.push_back(static_cast<uint8_t>(text[i]));
  while (data.size() % 4 != 0) data.push_back(0);
  return data;
}

// The characters, a NUL, zeros up to a multiple of 4.
std::vector<uint8_t> CString(const char* text) {
  std::vector<uint8_t> data(text, text + std::strlen(text) + 1);
  while (data.size() % 4 != 0) data.push_back(0);
  return data;
}

std::vector<uint8_t> TwoWords(uint16_t major, uint16_t minor) {
  std::vector<uint8_t> data = LittleEndian(major, 2);
  const std::vector<uint8_t> second = LittleEndian(minor, 2);
  data.insert(data.end(), second.begin(), second.end());
  return data;
}

}  // namespace

std::vector<uint8_t> BuildPipl(const EditionTable& edition) {
  PiplWriter pipl;
  pipl.Property("kind", LittleEndian(FourCC("eFKT"), 4));
  pipl.Property("name", CountedString(edition.piplName));
  pipl.Property("catg", CountedString(edition.category));
  pipl.Property("wx86", CString("main"));
  pipl.Property("ePVR", TwoWords(2, 0));
  pipl.Property("eSVR", TwoWords(11, 0));
  pipl.Property("eVER", LittleEndian(edition.version, 4));
  pipl.Property("eINF", LittleEndian(0, 2));
  pipl.Property("eGLO", LittleEndian(static_cast<uint32_t>(edition.outFlags), 4));
  pipl.Property("eMNA", CountedString(edition.matchName));
  pipl.Property("aeFL", LittleEndian(0, 4));
  return pipl.Finish();
}

std::string PiplResourceScript(const std::vector<uint8_t>& pipl) {
  std::string rc = "// Generated from the edition table; do not edit.\n";
  rc += std::to_string(kPiplResourceId) + " PiPL\nBEGIN\n";
  for (size_t i = 0; i < pipl.size(); i += 2) {
    const unsigned word = pipl[i] | (i + 1 < pipl.size() ? pipl[i + 1] << 8 : 0);
    char item[16];
    std::snprintf(item, sizeof item, "0x%04X", word);
    rc += (i % 16 == 0 ? "  " : "");
    rc += item;
    rc += (i + 2 < pipl.size() ? (i % 16 == 14 ? ",\n" : ", ") : "\n");
  }
  rc += "END\n";
  return rc;
}

}  // namespace gw
