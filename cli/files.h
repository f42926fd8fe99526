// Whole-file reading and writing for the program.
#pragma once

#include <functional>
#include <string>

#include "lens/lens.h"

namespace gw {

// Reads a whole text file; throws CommandError naming the file and saying
// whether it is missing or unreadable.
std::string ReadTextFile(const std::string& path);

// Writes `path` whole or not at all. A regular file (new or existing) is
// written to a temporary created exclusively beside it and renamed over it,
// keeping the existing file's permissions; a symbolic link is written
// through to its target; a FIFO, a device or /dev/stdout is written to
// directly. `write` fills the file whose name it is given and returns false
// (with a reason) on failure. A termination signal while the temporary
// exists removes it.
using FileWriter = std::function<bool(const std::string& file, std::string& reason)>;
void WriteFileSafely(const std::string& path, const FileWriter& write);

// The same for bytes already in memory.
void WriteFileAtomically(const std::string& path, const std::string& contents);

// Throws before any long work when `path` could not be written: a folder,
// a missing or unwritable folder around it, or an unwritable file.
void CheckWritable(const std::string& path);

// Where a symbolic link finally points (the path itself when it is none).
std::string FollowLinks(const std::string& path);

// Loads a .gwr file into a fresh lens; throws with the status's reason.
Lens LoadLensOrThrow(const std::string& path);
void SaveLensOrThrow(const std::string& path, const Lens& lens);

}  // namespace gw
