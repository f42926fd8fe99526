// Whole-file reading and writing for the program.
#pragma once

#include <functional>
#include <string>

#include "lens/lens.h"

namespace gw {

// Throws CommandError unless `path` names a file this process can read:
// "no such file", "is a folder, not a file", "cannot be read: <why>".
void CheckReadableFile(const std::string& path);

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

// Bytes a lens file holds after its last element, which no lens keeps: 0
// for a file exactly as long as its elements.
uint64_t BytesAfterLens(const std::string& path, const Lens& lens);
// Says so on stderr, in one line.
void WarnOfBytesAfterLens(const std::string& path, const Lens& lens);
// Throws CommandError when there are any: for commands that rewrite the file.
void RefuseBytesAfterLens(const std::string& path, const Lens& lens);

}  // namespace gw
