#include "tests/support/pe_image.h"

#include <cctype>

namespace gw::testing {
namespace {

constexpr uint32_t kPeOffsetField = 0x3C;
constexpr uint32_t kCoffHeaderSize = 20;
constexpr uint32_t kSectionHeaderSize = 40;
constexpr uint32_t kImportDescriptorSize = 20;
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr uint32_t kDirectoriesInPe32 = 96;  // offset in the optional header
constexpr uint32_t kDirectoriesInPe32Plus = 112;
constexpr uint32_t kMaxTableEntries = 65536;

// Bounds-checked little-endian reads over the whole file.
class Reader {
 public:
  explicit Reader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  bool Has(uint64_t at, uint64_t n) const { return at + n <= bytes_.size(); }
  uint16_t U16(uint64_t at) const {
    return Has(at, 2) ? static_cast<uint16_t>(bytes_[at] | bytes_[at + 1] << 8) : 0;
  }
  uint32_t U32(uint64_t at) const {
    return Has(at, 4) ? uint32_t(U16(at)) | uint32_t(U16(at + 2)) << 16 : 0;
  }
  std::string CString(uint64_t at) const {
    std::string s;
    while (at < bytes_.size() && bytes_[at] != 0) s.push_back(static_cast<char>(bytes_[at++]));
    return s;
  }

 private:
  const std::vector<uint8_t>& bytes_;
};

struct Section {
  uint32_t address, size, fileOffset;
};

// The file offset of a relative virtual address, if a section holds it.
std::optional<uint64_t> OffsetOf(const std::vector<Section>& sections, uint32_t rva) {
  for (const Section& s : sections) {
    if (rva >= s.address && rva - s.address < s.size) {
      return uint64_t{s.fileOffset} + (rva - s.address);
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<PeTables> ReadPeTables(const std::vector<uint8_t>& bytes, std::string& error) {
  const Reader r(bytes);
  if (!r.Has(0, 64) || bytes[0] != 'M' || bytes[1] != 'Z') {
    error = "no MZ header";
    return std::nullopt;
  }
  const uint64_t pe = r.U32(kPeOffsetField);
  if (!r.Has(pe, 4 + kCoffHeaderSize) || r.U32(pe) != 0x00004550) {
    error = "no PE signature";
    return std::nullopt;
  }
  const uint64_t coff = pe + 4;
  const uint16_t sectionCount = r.U16(coff + 2);
  const uint16_t optionalSize = r.U16(coff + 16);
  const uint64_t optional = coff + kCoffHeaderSize;
  const uint16_t magic = r.U16(optional);
  if (magic != kPe32Magic && magic != kPe32PlusMagic) {
    error = "unknown optional header";
    return std::nullopt;
  }
  const uint64_t directories =
      optional + (magic == kPe32Magic ? kDirectoriesInPe32 : kDirectoriesInPe32Plus);
  if (!r.Has(directories, 16) || directories + 16 > optional + optionalSize) {
    error = "no export and import directories";
    return std::nullopt;
  }
  std::vector<Section> sections;
  const uint64_t table = optional + optionalSize;
  for (uint16_t i = 0; i < sectionCount; ++i) {
    const uint64_t at = table + uint64_t{i} * kSectionHeaderSize;
    if (!r.Has(at, kSectionHeaderSize)) {
      error = "section table cut short";
      return std::nullopt;
    }
    const uint32_t virtualSize = r.U32(at + 8), rawSize = r.U32(at + 16);
    sections.push_back({r.U32(at + 12), virtualSize ? virtualSize : rawSize, r.U32(at + 20)});
  }

  PeTables tables;
  const uint32_t exportRva = r.U32(directories);
  if (exportRva != 0) {
    const auto dir = OffsetOf(sections, exportRva);
    if (!dir || !r.Has(*dir, 40)) {
      error = "export directory outside the file";
      return std::nullopt;
    }
    const uint32_t count = r.U32(*dir + 24);
    const auto names = OffsetOf(sections, r.U32(*dir + 32));
    if (count > kMaxTableEntries || (count > 0 && (!names || !r.Has(*names, 4ull * count)))) {
      error = "export names outside the file";
      return std::nullopt;
    }
    for (uint32_t i = 0; i < count; ++i) {
      const auto name = OffsetOf(sections, r.U32(*names + 4ull * i));
      if (!name) {
        error = "an export name outside the file";
        return std::nullopt;
      }
      tables.exports.push_back(r.CString(*name));
    }
  }
  const uint32_t importRva = r.U32(directories + 8);
  if (importRva != 0) {
    const auto dir = OffsetOf(sections, importRva);
    for (uint32_t i = 0;; ++i) {
      const uint64_t at = dir ? *dir + uint64_t{i} * kImportDescriptorSize : 0;
      if (!dir || i >= kMaxTableEntries || !r.Has(at, kImportDescriptorSize)) {
        error = "import directory outside the file";
        return std::nullopt;
      }
      const uint32_t nameRva = r.U32(at + 12);
      if (nameRva == 0) break;  // the all-zero descriptor ends the table
      const auto name = OffsetOf(sections, nameRva);
      if (!name) {
        error = "an import name outside the file";
        return std::nullopt;
      }
      tables.imports.push_back(r.CString(*name));
    }
  }
  return tables;
}

bool IsSystemDll(std::string name) {
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const char* system : {"kernel32.dll", "user32.dll", "gdi32.dll", "comdlg32.dll",
                             "advapi32.dll", "shell32.dll", "comctl32.dll", "msvcrt.dll",
                             "ole32.dll", "oleaut32.dll", "winmm.dll", "msimg32.dll"}) {
    if (name == system) return true;
  }
  return false;
}

}  // namespace gw::testing
