#include "lensfile/safe_write.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "lensfile/lensfile.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace gw {
namespace {

SafeWriteResult Refused(std::string reason) { return {kLensFileCannotOpen, std::move(reason)}; }
SafeWriteResult Failed(std::string reason) { return {kLensFileWriteFailed, std::move(reason)}; }

#ifdef _WIN32
constexpr char kSeparators[] = "/\\";
#else
constexpr char kSeparators[] = "/";
#endif

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of(kSeparators);
  if (slash == std::string::npos) return ".";
  return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.find_last_of(kSeparators);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool WriteWhole(const std::string& file, std::span<const uint8_t> bytes, std::string& reason) {
  std::FILE* out = std::fopen(file.c_str(), "wb");
  if (!out) {
    reason = std::strerror(errno);
    return false;
  }
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  ok = std::fflush(out) == 0 && ok;
  if (!ok) reason = std::strerror(errno);
  if (std::fclose(out) != 0 && ok) {
    ok = false;
    reason = std::strerror(errno);
  }
  return ok;
}

// What the target is, once links are followed, and what replacing it keeps.
struct Target {
  enum class Kind : uint8_t { NewFile, ExistingFile, Special };
  Kind kind = Kind::NewFile;
  std::string file;    // the file written or replaced
  std::string folder;  // where the temporary goes
  bool readOnly = false;
#ifdef _WIN32
  DWORD attributes = 0;
#else
  struct stat existing {};
#endif
};

// The temporary exists from Create() until it is renamed or removed; the
// watcher hears of both.
class Temporary {
 public:
  explicit Temporary(const SafeWriteOptions& options) : options_(options) {}
  ~Temporary() { Remove(); }
  Temporary(const Temporary&) = delete;
  Temporary& operator=(const Temporary&) = delete;

  bool Create(const std::string& folder, const std::string& name, std::string& reason);
  const std::string& name() const { return name_; }
  void Remove() {
    if (name_.empty()) return;
    std::remove(name_.c_str());
    Forget();
  }
  // Renamed over its target: nothing to remove any more.
  void Forget() {
    name_.clear();
    if (options_.watchTemporary) options_.watchTemporary({});
  }

 private:
  const SafeWriteOptions& options_;
  std::string name_;
};

// ------------------------------------------------------------ Windows

#ifdef _WIN32

std::string SystemMessage(DWORD code) {
  char text[256] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                 text, sizeof text, nullptr);
  std::string message(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == '.')) {
    message.pop_back();
  }
  return message.empty() ? "error " + std::to_string(code) : message;
}

bool Temporary::Create(const std::string& folder, const std::string& name, std::string& reason) {
  const std::string stem = folder + "\\." + name + ".partial-" +
                           std::to_string(GetCurrentProcessId()) + "-";
  for (int n = 0; n < 1000; ++n) {
    const std::string candidate = stem + std::to_string(n);
    HANDLE file = CreateFileA(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      CloseHandle(file);
      name_ = candidate;
      if (options_.watchTemporary) options_.watchTemporary(name_);
      return true;
    }
    if (GetLastError() != ERROR_FILE_EXISTS) break;
  }
  reason = SystemMessage(GetLastError());
  return false;
}

bool SyncToDisk(const std::string& file, std::string& reason) {
  HANDLE handle = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  bool ok = handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle);
  if (!ok) reason = SystemMessage(GetLastError());
  if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  return ok;
}

SafeWriteResult Examine(const std::string& path, const SafeWriteOptions& options, Target& t) {
  t.file = path;
  t.folder = FolderOf(path);
  t.attributes = GetFileAttributesA(path.c_str());
  if (t.attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (error == ERROR_PATH_NOT_FOUND) return Refused("the folder " + t.folder + " does not exist");
    if (error != ERROR_FILE_NOT_FOUND) return Refused(SystemMessage(error));
    t.kind = Target::Kind::NewFile;
    return {};
  }
  if (t.attributes & FILE_ATTRIBUTE_DIRECTORY) return Failed("it is a folder");
  t.kind = Target::Kind::ExistingFile;
  t.readOnly = (t.attributes & FILE_ATTRIBUTE_READONLY) != 0;
  if (t.readOnly && !options.replaceReadOnly) return Refused("it is read-only");
  return {};
}

// The temporary takes the target's place; a read-only target stays read-only.
bool Replace(const Target& t, const std::string& temporary, std::string& reason) {
  if (t.readOnly) SetFileAttributesA(t.file.c_str(), t.attributes & ~FILE_ATTRIBUTE_READONLY);
  const bool moved = MoveFileExA(temporary.c_str(), t.file.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  if (!moved) reason = SystemMessage(GetLastError());
  if (t.readOnly) SetFileAttributesA(t.file.c_str(), t.attributes);
  return moved;
}

// Nothing short of creating a file beside the target tells whether its
// folder takes new files.
SafeWriteResult CheckFolder(const Target& t) {
  SafeWriteOptions quiet;
  Temporary probe(quiet);
  std::string reason;
  if (!probe.Create(t.folder, NameOf(t.file), reason)) return Refused(reason);
  return {};
}

// ------------------------------------------------------------ POSIX

#else

constexpr int kMaxLinks = 40;  // links followed before giving up, as the kernel does

// Where a chain of symbolic links finally points (the path itself when it is
// none); nullopt for a loop.
std::optional<std::string> FollowLinks(const std::string& path) {
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
  return std::nullopt;
}

// Read-only: no write permission for anyone, or none for this process. The
// first holds for the superuser too, who may otherwise write anything.
bool MayNotWrite(const std::string& path, const struct stat& st) {
  const int wanted = S_ISDIR(st.st_mode) ? W_OK | X_OK : W_OK;
  return (st.st_mode & 0222) == 0 || access(path.c_str(), wanted) != 0;
}

mode_t CurrentUmask() {
  const mode_t mask = umask(0);
  umask(mask);
  return mask;
}

bool Temporary::Create(const std::string& folder, const std::string& name, std::string& reason) {
  std::string pattern = folder + "/." + name + ".partial-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int fd = mkstemp(buffer.data());
  if (fd < 0) {
    reason = std::strerror(errno);
    return false;
  }
  close(fd);
  name_ = buffer.data();
  if (options_.watchTemporary) options_.watchTemporary(name_);
  return true;
}

bool SyncToDisk(const std::string& file, std::string& reason) {
  const int fd = open(file.c_str(), O_RDONLY);
  bool ok = fd >= 0 && fsync(fd) == 0;
  if (!ok) reason = std::strerror(errno);
  if (fd >= 0) close(fd);
  return ok;
}

SafeWriteResult Examine(const std::string& path, const SafeWriteOptions& options, Target& t) {
  // /dev/stdout and its kin stand for an open file (maybe a pipe) that must
  // be written, never replaced.
  if (path.starts_with("/dev/") || path.starts_with("/proc/")) {
    t.kind = Target::Kind::Special;
    t.file = path;
    return {};
  }
  const std::optional<std::string> file = FollowLinks(path);
  if (!file) return Refused("too many levels of symbolic links");
  t.file = *file;
  t.folder = FolderOf(t.file);
  if (stat(t.file.c_str(), &t.existing) == 0) {
    if (S_ISDIR(t.existing.st_mode)) return Failed("it is a folder");
    if (!S_ISREG(t.existing.st_mode)) {
      t.kind = Target::Kind::Special;  // a FIFO or device takes what it is given
      return {};
    }
    t.kind = Target::Kind::ExistingFile;
    t.readOnly = MayNotWrite(t.file, t.existing);
    if (t.readOnly && !options.replaceReadOnly) return Refused("it is read-only");
  } else if (errno != ENOENT) {
    return Refused(std::strerror(errno));
  }
  struct stat folder {};
  if (stat(t.folder.c_str(), &folder) != 0) {
    return Refused("the folder " + t.folder + " does not exist");
  }
  if (!S_ISDIR(folder.st_mode)) return Refused(t.folder + " is not a folder");
  if (MayNotWrite(t.folder, folder)) return Refused("the folder " + t.folder + " is not writable");
  return {};
}

void KeepOwner(const std::string& file, const struct stat& st) {
  if (chown(file.c_str(), st.st_uid, st.st_gid) == 0) return;
  // Not ours to give away: the group alone, where this process belongs to it.
  if (chown(file.c_str(), static_cast<uid_t>(-1), st.st_gid) == 0) return;
  // Otherwise the file is this process's, as every file it creates.
}

// The temporary takes the target's place with the target's owner (where this
// process may give it) and permissions, or those a new file would have.
bool Replace(const Target& t, const std::string& temporary, std::string& reason) {
  mode_t mode = 0666 & ~CurrentUmask();
  if (t.kind == Target::Kind::ExistingFile) {
    mode = t.existing.st_mode & 07777;
    KeepOwner(temporary, t.existing);
  }
  if (chmod(temporary.c_str(), mode) != 0 || std::rename(temporary.c_str(), t.file.c_str()) != 0) {
    reason = std::strerror(errno);
    return false;
  }
  return true;
}

bool CopyInto(const std::string& from, const std::string& to, std::string& reason) {
  const int in = open(from.c_str(), O_RDONLY);
  const int out = in < 0 ? -1 : open(to.c_str(), O_WRONLY | O_APPEND);
  bool ok = in >= 0 && out >= 0;
  char buffer[65536];
  while (ok) {
    const ssize_t got = read(in, buffer, sizeof buffer);
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    for (ssize_t done = 0; ok && done < got;) {
      const ssize_t put = write(out, buffer + done, static_cast<size_t>(got - done));
      ok = put > 0;
      done += put > 0 ? put : 0;
    }
  }
  if (!ok) reason = std::strerror(errno);
  if (out >= 0) close(out);
  if (in >= 0) close(in);
  return ok;
}

// A FIFO, a device or a terminal: the bytes go there directly, once they are
// all made (a temporary in the system's folder holds them meanwhile).
SafeWriteResult WriteSpecial(const Target& t, const FileFiller& fill,
                             const SafeWriteOptions& options) {
  const char* tmp = std::getenv("TMPDIR");
  Temporary temporary(options);
  std::string reason;
  if (!temporary.Create(tmp && *tmp ? tmp : "/tmp", "glarewright", reason)) return Failed(reason);
  if (!fill(temporary.name(), reason) || !CopyInto(temporary.name(), t.file, reason)) {
    return Failed(reason);
  }
  return {};
}

SafeWriteResult CheckFolder(const Target&) { return {}; }  // Examine has looked at it

#endif

}  // namespace

SafeWriteResult CheckWritable(const std::string& path, const SafeWriteOptions& options) {
  Target target;
  SafeWriteResult result = Examine(path, options, target);
  if (result.ok() && target.kind != Target::Kind::Special) result = CheckFolder(target);
  return result;
}

SafeWriteResult WriteFileSafely(const std::string& path, const FileFiller& fill,
                                const SafeWriteOptions& options) {
  Target target;
  if (SafeWriteResult refused = Examine(path, options, target); !refused.ok()) return refused;
#ifndef _WIN32
  if (target.kind == Target::Kind::Special) return WriteSpecial(target, fill, options);
#endif

  Temporary temporary(options);
  std::string reason;
  if (!temporary.Create(target.folder, NameOf(target.file), reason)) return Refused(reason);
  if (!fill(temporary.name(), reason) || !SyncToDisk(temporary.name(), reason) ||
      !Replace(target, temporary.name(), reason)) {
    return Failed(reason);  // the temporary goes; the target is as it was
  }
  temporary.Forget();
  return {};
}

SafeWriteResult WriteBytesSafely(const std::string& path, std::span<const uint8_t> bytes,
                                 const SafeWriteOptions& options) {
  return WriteFileSafely(
      path, [bytes](const std::string& file, std::string& reason) {
        return WriteWhole(file, bytes, reason);
      },
      options);
}

}  // namespace gw
