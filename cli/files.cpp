#include "cli/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "cli/errors.h"
#include "cli/interrupts.h"
#include "lensfile/lensfile.h"

namespace gw {
namespace {

// Links followed before giving up, as the kernel does.
constexpr int kMaxLinks = 40;

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Why a file that should be read cannot be, in a sentence.
std::string UnreadableReason(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) {
    return errno == ENOENT ? "no such file" : std::string("cannot be read: ") + std::strerror(errno);
  }
  if (S_ISDIR(st.st_mode)) return "is a folder, not a file";
  return std::string("cannot be read: ") + std::strerror(errno == 0 ? EACCES : errno);
}

mode_t CurrentUmask() {
  const mode_t mask = umask(0);
  umask(mask);
  return mask;
}

// An exclusive, uniquely named temporary: never an existing file.
std::string CreateTemporary(const std::string& folder, const std::string& name) {
  std::string pattern = folder + "/." + name + ".partial-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int fd = mkstemp(buffer.data());
  if (fd < 0) return {};
  close(fd);
  return buffer.data();
}

[[noreturn]] void Fail(const std::string& path, const std::string& reason) {
  throw FileError(path, "cannot be written" + (reason.empty() ? "" : ": " + reason));
}

bool CopyInto(const std::string& from, const std::string& to, std::string& reason) {
  std::ifstream in(from, std::ios::binary);
  std::ofstream out(to, std::ios::binary | std::ios::app);
  if (!in || !out) {
    reason = std::strerror(errno);
    return false;
  }
  out << in.rdbuf();
  out.flush();
  if (!out) reason = "the data could not be written";
  return static_cast<bool>(out);
}

// A FIFO, a device or a terminal: the bytes go there directly, once they are
// all made (a temporary in the system's folder holds them meanwhile).
void WriteToSpecialFile(const std::string& path, const std::string& target,
                        const FileWriter& write) {
  const char* tmp = std::getenv("TMPDIR");
  const std::string temporary = CreateTemporary(tmp && *tmp ? tmp : "/tmp", "glarewright");
  if (temporary.empty()) Fail(path, std::strerror(errno));
  PartialFileGuard guard(temporary);
  std::string reason;
  const bool ok = write(temporary, reason) && CopyInto(temporary, target, reason);
  std::remove(temporary.c_str());
  if (!ok) Fail(path, reason);
}

}  // namespace

std::string FollowLinks(const std::string& path) {
  std::string current = path;
  for (int i = 0; i < kMaxLinks; ++i) {
    struct stat st {};
    if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    std::vector<char> target(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4095) + 1);
    const ssize_t n = readlink(current.c_str(), target.data(), target.size());
    if (n < 0 || static_cast<size_t>(n) >= target.size()) return current;
    const std::string next(target.data(), static_cast<size_t>(n));
    current = next.starts_with('/') ? next : FolderOf(current) + "/" + next;
  }
  throw FileError(path, "too many levels of symbolic links");
}

void CheckReadableFile(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode) || access(path.c_str(), R_OK) != 0) {
    throw FileError(path, UnreadableReason(path));
  }
}

std::string ReadTextFile(const std::string& path) {
  CheckReadableFile(path);
  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileError(path, UnreadableReason(path));
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw FileError(path, "cannot be read: read error");
  return text.str();
}

void CheckWritable(const std::string& path) {
  if (path.starts_with("/dev/") || path.starts_with("/proc/")) return;
  const std::string target = FollowLinks(path);
  struct stat st {};
  if (stat(target.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) Fail(path, "it is a folder");
    if (!S_ISREG(st.st_mode)) return;  // a FIFO or device takes what it is given
  }
  const std::string folder = FolderOf(target);
  struct stat dir {};
  if (stat(folder.c_str(), &dir) != 0) Fail(path, "the folder " + folder + " does not exist");
  if (!S_ISDIR(dir.st_mode)) Fail(path, folder + " is not a folder");
  if (access(folder.c_str(), W_OK | X_OK) != 0) {
    Fail(path, "the folder " + folder + " is not writable");
  }
}

void WriteFileSafely(const std::string& path, const FileWriter& write) {
  // /dev/stdout and its kin stand for an open file (maybe a pipe) that
  // must be written, never replaced.
  if (path.starts_with("/dev/") || path.starts_with("/proc/")) {
    return WriteToSpecialFile(path, path, write);
  }
  const std::string target = FollowLinks(path);
  struct stat existing {};
  const bool exists = stat(target.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) Fail(path, "it is a folder");
  if (exists && !S_ISREG(existing.st_mode)) return WriteToSpecialFile(path, target, write);

  const std::string temporary = CreateTemporary(FolderOf(target), NameOf(target));
  if (temporary.empty()) Fail(path, std::strerror(errno));
  PartialFileGuard guard(temporary);
  std::string reason;
  bool ok = write(temporary, reason);
  // mkstemp makes the file private; the result gets the old file's
  // permissions, or those a new file would have.
  const mode_t mode = exists ? (existing.st_mode & 07777) : (0666 & ~CurrentUmask());
  if (ok && chmod(temporary.c_str(), mode) != 0) {
    ok = false;
    reason = std::strerror(errno);
  }
  if (ok && std::rename(temporary.c_str(), target.c_str()) != 0) {
    ok = false;
    reason = std::strerror(errno);
  }
  if (!ok) {
    std::remove(temporary.c_str());
    Fail(path, reason);
  }
}

void WriteFileAtomically(const std::string& path, const std::string& contents) {
  WriteFileSafely(path, [&](const std::string& file, std::string& reason) {
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (!out) {
      reason = std::strerror(errno);
      return false;
    }
    bool ok = std::fwrite(contents.data(), 1, contents.size(), out) == contents.size();
    ok = std::fflush(out) == 0 && ok;
    ok = (fsync(fileno(out)) == 0 || errno == EINVAL) && ok;  // EINVAL: a pipe
    ok = std::fclose(out) == 0 && ok;
    if (!ok) reason = std::strerror(errno);
    return ok;
  });
}

Lens LoadLensOrThrow(const std::string& path) {
  CheckReadableFile(path);
  // Files do not carry the fourth colour bytes: the slots hold their defaults.
  Lens lens{};
  for (LensElement& slot : lens.elements) slot.color1Extra = slot.color2Extra = 255;
  const int32_t status = LoadLensFile(path.c_str(), lens, false);
  if (status == kLensFileCannotOpen) throw FileError(path, UnreadableReason(path));
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

void SaveLensOrThrow(const std::string& path, const Lens& lens) {
  const std::vector<uint8_t> bytes = EncodeLensFile(lens);
  WriteFileAtomically(path, std::string(bytes.begin(), bytes.end()));
}

}  // namespace gw
