// Whole-file reading and writing for the program.
#pragma once

#include <string>

#include "lens/lens.h"

namespace gw {

// Reads a whole text file; throws CommandError naming the file.
std::string ReadTextFile(const std::string& path);

// Writes a whole file or nothing: a temporary beside it is renamed over it.
void WriteFileAtomically(const std::string& path, const std::string& contents);

// Loads a .gwr file into a fresh lens; throws with the status's reason.
Lens LoadLensOrThrow(const std::string& path);
void SaveLensOrThrow(const std::string& path, const Lens& lens);

}  // namespace gw
