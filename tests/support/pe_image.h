// Reads the export and import tables of a Windows PE file (a DLL), so the
// tests can check what a module exports and which DLLs it needs without the
// platform's tools.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace gw::testing {

struct PeTables {
  std::vector<std::string> exports;  // exported names, in the table's order
  std::vector<std::string> imports;  // names of the DLLs it imports from
};

// The tables of the file's bytes; nothing (and the reason) when the bytes
// are not a well-formed PE file.
std::optional<PeTables> ReadPeTables(const std::vector<uint8_t>& bytes, std::string& error);

// The DLLs every Windows installation carries (any case); a module needing
// any other would not load on a user's machine.
bool IsSystemDll(std::string name);

}  // namespace gw::testing
