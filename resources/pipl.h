// The PiPL resource of an edition in its binary form, built from the
// edition's table: the host reads name, category, entry point, versions,
// out flags and match name from it before it ever calls the plug-in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/edition.h"

namespace gw {

inline constexpr int kPiplResourceId = 128;

std::vector<uint8_t> BuildPipl(const EditionTable& edition);

// The same bytes as a resource script for windres: one user-defined PiPL
// resource of 16-bit words.
std::string PiplResourceScript(const std::vector<uint8_t>& pipl);

}  // namespace gw
