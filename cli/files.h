// Whole-file reading and writing for the program.
#pragma once

#include <string>

#include "lens/lens.h"
#include "lensfile/safe_write.h"

namespace gw {

// Reads a whole text file; throws CommandError naming the file and saying
// whether it is missing or unreadable.
std::string ReadTextFile(const std::string& path);

// Writes `path` by WriteFileSafely (lensfile/safe_write.h): whole or not at
// all, links written through, permissions kept, a read-only file refused
// unless `replaceReadOnly`. `write` fills the file whose name it is given. A
// termination signal while the temporary exists removes it. Throws
// CommandError "<path>: cannot be written: <reason>".
void WriteFileOrThrow(const std::string& path, const FileFiller& write,
                      bool replaceReadOnly = false);

// The same for bytes already in memory.
void WriteTextOrThrow(const std::string& path, const std::string& contents,
                      bool replaceReadOnly = false);

// Throws before any long work when `path` could not be written: a folder,
// a missing or unwritable folder around it, or a read-only file.
void CheckWritableOrThrow(const std::string& path, bool replaceReadOnly = false);

// Loads a .gwr file into a fresh lens; throws with the status's reason.
Lens LoadLensOrThrow(const std::string& path);
void SaveLensOrThrow(const std::string& path, const Lens& lens, bool replaceReadOnly = false);

}  // namespace gw
