// Whole-file reading and writing for the program.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>

#include "lens/lens.h"
#include "lensfile/safe_write.h"

namespace gw {

// Throws CommandError unless `path` names a file this process can read:
// "no such file", "is a folder, not a file", "cannot be read: <why>".
void CheckReadableFile(const std::string& path);

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

// An existing file, whatever name reaches it (links, other spellings).
struct FileIdentity {
  uint64_t device = 0, inode = 0;
  auto operator<=>(const FileIdentity&) const = default;
};
// Nothing when no file has that name.
std::optional<FileIdentity> IdentityOf(const std::string& path);

// "-" names standard output: "/dev/stdout"; other names stay as they are.
std::string OutputName(const std::string& name);
// Throws when standard output is a terminal and `path` writes to it: bytes
// that are no text ("an image") would fill the screen.
void CheckStandardOutputTakes(const std::string& path, const std::string& what);

// Loads a .gwr file into a fresh lens; throws with the status's reason.
Lens LoadLensOrThrow(const std::string& path);
void SaveLensOrThrow(const std::string& path, const Lens& lens, bool replaceReadOnly = false);

// Bytes a lens file holds after its last element, which no lens keeps: 0
// for a file exactly as long as its elements.
uint64_t BytesAfterLens(const std::string& path, const Lens& lens);
// Says so on stderr, in one line.
void WarnOfBytesAfterLens(const std::string& path, const Lens& lens);
// Throws CommandError when there are any: for commands that rewrite the file.
void RefuseBytesAfterLens(const std::string& path, const Lens& lens);

}  // namespace gw
