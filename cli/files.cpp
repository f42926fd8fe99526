#include "cli/files.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>

#include "cli/errors.h"
#include "cli/interrupts.h"
#include "lensfile/lensfile.h"
#include "lensfile/safe_write.h"

namespace gw {
namespace {

// Why a file that should be read cannot be, in a sentence.
std::string UnreadableReason(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) {
    return errno == ENOENT ? "no such file" : std::string("cannot be read: ") + std::strerror(errno);
  }
  if (S_ISDIR(st.st_mode)) return "is a folder, not a file";
  return std::string("cannot be read: ") + std::strerror(errno == 0 ? EACCES : errno);
}

void ThrowUnless(const std::string& path, const SafeWriteResult& result) {
  if (!result.ok()) throw FileError(path, "cannot be written: " + result.reason);
}

// The temporary being written is named to the signal handler, which removes
// it if the program is stopped meanwhile.
SafeWriteOptions ProgramWriteOptions(bool replaceReadOnly, std::optional<PartialFileGuard>& guard) {
  SafeWriteOptions options;
  options.replaceReadOnly = replaceReadOnly;
  options.watchTemporary = [&guard](const std::string& temporary) {
    guard.reset();
    if (!temporary.empty()) guard.emplace(temporary);
  };
  return options;
}

}  // namespace

std::string ReadTextFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileError(path, UnreadableReason(path));
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw FileError(path, "cannot be read: read error");
  return text.str();
}

void CheckWritableOrThrow(const std::string& path, bool replaceReadOnly) {
  SafeWriteOptions options;
  options.replaceReadOnly = replaceReadOnly;
  ThrowUnless(path, CheckWritable(path, options));
}

void WriteFileOrThrow(const std::string& path, const FileFiller& write, bool replaceReadOnly) {
  std::optional<PartialFileGuard> guard;
  ThrowUnless(path, WriteFileSafely(path, write, ProgramWriteOptions(replaceReadOnly, guard)));
}

void WriteTextOrThrow(const std::string& path, const std::string& contents,
                      bool replaceReadOnly) {
  std::optional<PartialFileGuard> guard;
  const auto* bytes = reinterpret_cast<const uint8_t*>(contents.data());
  ThrowUnless(path, WriteBytesSafely(path, {bytes, contents.size()},
                                     ProgramWriteOptions(replaceReadOnly, guard)));
}

Lens LoadLensOrThrow(const std::string& path) {
  // Files do not carry the fourth colour bytes: the slots hold their defaults.
  Lens lens{};
  for (LensElement& slot : lens.elements) slot.color1Extra = slot.color2Extra = 255;
  const int32_t status = LoadLensFile(path.c_str(), lens, false);
  if (status == kLensFileCannotOpen) throw FileError(path, UnreadableReason(path));
  if (status != kLensFileOk) throw FileError(path, LensFileStatusMessage(status));
  return lens;
}

void SaveLensOrThrow(const std::string& path, const Lens& lens, bool replaceReadOnly) {
  std::optional<PartialFileGuard> guard;
  ThrowUnless(path, WriteBytesSafely(path, EncodeLensFile(lens),
                                     ProgramWriteOptions(replaceReadOnly, guard)));
}

}  // namespace gw
