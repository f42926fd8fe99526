// Writing a file whole or not at all: the one routine behind every file the
// editors and the program write.
//
// A regular file (new or existing) is filled through a temporary created
// exclusively beside it, which is renamed over it only once every byte is on
// disk; the existing file's permissions (and, where allowed, its owner) are
// kept. A symbolic link is written through to its target. A FIFO, a device or
// /dev/stdout is written to directly. A target that may not be written (a
// read-only file, a folder without write permission, a missing folder) is
// refused before anything is touched, unless the caller asks to replace a
// read-only file, as `cp -f` does.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace gw {

// Fills the file whose name it is given; false, with a reason, on failure.
using FileFiller = std::function<bool(const std::string& file, std::string& reason)>;

struct SafeWriteOptions {
  // Replace a file whose permissions forbid writing it (its mode is kept).
  bool replaceReadOnly = false;
  // Told the temporary's name as soon as it exists and an empty name once it
  // is gone, so that a signal handler can remove it.
  std::function<void(const std::string& temporary)> watchTemporary;
};

struct SafeWriteResult {
  // 0; -9 (kLensFileCannotOpen) when the target may not be written and
  // nothing was changed; -14 (kLensFileWriteFailed) when writing failed and
  // the target was left as it was.
  int32_t status = 0;
  std::string reason;  // a few words when status is not 0
  bool ok() const { return status == 0; }
};

SafeWriteResult WriteFileSafely(const std::string& path, const FileFiller& fill,
                                const SafeWriteOptions& options = {});
SafeWriteResult WriteBytesSafely(const std::string& path, std::span<const uint8_t> bytes,
                                 const SafeWriteOptions& options = {});

// Whether WriteFileSafely would refuse `path` before writing a byte: the
// same checks, nothing touched. For a check before long work and for an
// editor that opens on a file it will write back.
SafeWriteResult CheckWritable(const std::string& path, const SafeWriteOptions& options = {});

}  // namespace gw
