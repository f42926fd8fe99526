#include "lensfile/lens_forms.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "lensfile/lens_json.h"
#include "lensfile/lensfile.h"

namespace gw {
namespace {

// The largest JSON text taken for a lens: a hundred elements take about
// 70 KB, so a file this large is something else.
constexpr size_t kLargestJson = size_t{16} << 20;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// Up to `limit` bytes of the file; false when it cannot be read.
bool ReadStart(const std::string& path, size_t limit, std::vector<uint8_t>& bytes) {
  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;
  bytes.assign(limit + 1, 0);
  const size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
  if (std::ferror(file.get())) return false;
  bytes.resize(got);
  return true;
}

bool LooksLikeJson(const std::vector<uint8_t>& bytes) {
  const auto first =
      std::find_if(bytes.begin(), bytes.end(), [](uint8_t c) { return !std::isspace(c); });
  return first != bytes.end() && (*first == '{' || *first == '[');
}

}  // namespace

std::string UnreadableReason(const std::string& path, int openError) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return "no such file";
    return std::string("cannot be read: ") + std::strerror(errno);
  }
  if (S_ISDIR(st.st_mode)) return "is a folder, not a file";
  if (access(path.c_str(), R_OK) != 0) {
    return std::string("cannot be read: ") + std::strerror(errno == 0 ? EACCES : errno);
  }
  return openError == 0 ? "" : std::string("cannot be read: ") + std::strerror(openError);
}

bool NamesJsonForm(const std::string& path) {
  constexpr char kJson[] = ".json";
  constexpr size_t n = sizeof kJson - 1;
  if (path.size() < n) return false;
  return std::equal(path.end() - n, path.end(), kJson, [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == b;
  });
}

bool ReadLensEitherForm(const std::string& path, Lens& lens, std::string& error) {
  error = UnreadableReason(path);
  if (!error.empty()) return false;
  std::vector<uint8_t> bytes;
  if (!ReadStart(path, kLargestJson, bytes)) {
    error = UnreadableReason(path, errno == 0 ? EIO : errno);
    return false;
  }
  const bool gwr = bytes.size() >= 2 && bytes[0] == 0x47 && bytes[1] == 0x57;
  if (!gwr && (NamesJsonForm(path) || LooksLikeJson(bytes))) {
    if (bytes.size() > kLargestJson) {
      error = "is too large to be the JSON form of a lens";
      return false;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return LensFromJson(text, lens, error);
  }
  Lens read = LensForLoading();
  const int32_t status = DecodeLensFile(bytes, read, false);
  if (status != kLensFileOk) {
    error = LensFileStatusMessage(status);
    return false;
  }
  lens = read;
  return true;
}

bool HoldsALens(const std::string& path) {
  Lens scratch{};
  std::string error;
  return ReadLensEitherForm(path, scratch, error);
}

SafeWriteResult WriteLensEitherForm(const std::string& path, const Lens& lens,
                                    const SafeWriteOptions& options) {
  if (!NamesJsonForm(path)) return WriteBytesSafely(path, EncodeLensFile(lens), options);
  // Neither form keeps an element switched off (the JSON form refuses
  // "enabled": 0 on reading): written as a lens file would give it back.
  Lens written = lens;
  for (uint32_t i = 0; i < UsableCount(written); ++i) written.elements[i].enabled = 1;
  const std::string text = LensToJson(written);
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  return WriteBytesSafely(path, {bytes, text.size()}, options);
}

}  // namespace gw
