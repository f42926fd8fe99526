#include "cli/files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>

#include "cli/errors.h"
#include "cli/interrupts.h"
#include "lensfile/lens_forms.h"
#include "lensfile/lensfile.h"
#include "lensfile/safe_write.h"

namespace gw {
namespace {

// Why a file could not be read after all, with the errno of the failure.
std::string FailureReason(const std::string& path) {
  return UnreadableReason(path, errno == 0 ? EIO : errno);
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

void CheckReadableFile(const std::string& path) {
  const std::string reason = UnreadableReason(path);
  if (!reason.empty()) throw FileError(path, reason);
}

std::string ReadTextFile(const std::string& path) {
  CheckReadableFile(path);
  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileError(path, FailureReason(path));
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

std::optional<FileIdentity> IdentityOf(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileIdentity{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

std::string OutputName(const std::string& name) { return name == "-" ? "/dev/stdout" : name; }

void CheckStandardOutputTakes(const std::string& path, const std::string& what) {
  if (path != "/dev/stdout" || !isatty(STDOUT_FILENO)) return;
  throw CommandError("-o -: standard output is a terminal, where " + what +
                     " would fill the screen; send it to a file or a program (| or >)");
}

Lens LoadLensOrThrow(const std::string& path) {
  CheckReadableFile(path);
  Lens lens = LensForLoading();
  const int32_t status = LoadLensFile(path.c_str(), lens, false);
  if (status == kLensFileCannotOpen) throw FileError(path, FailureReason(path));
  if (status != kLensFileOk) throw FileError(path, LensFileStatusMessage(status));
  return lens;
}

uint64_t BytesAfterLens(const std::string& path, const Lens& lens) {
  struct stat st {};
  const uint64_t used = kLensFileHeaderSize + uint64_t{kLensFileRecordSize} * lens.count;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  return static_cast<uint64_t>(st.st_size) > used ? static_cast<uint64_t>(st.st_size) - used : 0;
}

namespace {

std::string BytesAfterLensText(const std::string& path, const Lens& lens, uint64_t extra) {
  return path + ": " + std::to_string(extra) + " byte" + (extra == 1 ? "" : "s") +
         " after its " + std::to_string(lens.count) + " element" + (lens.count == 1 ? "" : "s") +
         (extra == 1 ? " is" : " are") + " not part of the lens";
}

}  // namespace

void WarnOfBytesAfterLens(const std::string& path, const Lens& lens) {
  if (const uint64_t extra = BytesAfterLens(path, lens)) {
    std::fprintf(stderr, "glarewright: %s\n", BytesAfterLensText(path, lens, extra).c_str());
  }
}

void RefuseBytesAfterLens(const std::string& path, const Lens& lens) {
  if (const uint64_t extra = BytesAfterLens(path, lens)) {
    throw CommandError(BytesAfterLensText(path, lens, extra) +
                       ", and rewriting the file would drop them (`glarewright lens export` to "
                       "JSON and `lens import` from it write the lens alone)");
  }
}

void SaveLensOrThrow(const std::string& path, const Lens& lens, bool replaceReadOnly) {
  std::optional<PartialFileGuard> guard;
  ThrowUnless(path, WriteBytesSafely(path, EncodeLensFile(lens),
                                     ProgramWriteOptions(replaceReadOnly, guard)));
}

}  // namespace gw
