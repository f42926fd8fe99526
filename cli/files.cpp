#include "cli/files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "cli/errors.h"
#include "lensfile/lensfile.h"

namespace gw {

std::string ReadTextFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileError(path, std::strerror(errno));
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw FileError(path, "read error");
  return text.str();
}

void WriteFileAtomically(const std::string& path, const std::string& contents) {
  const std::string partial = path + ".partial";
  std::FILE* file = std::fopen(partial.c_str(), "wb");
  if (!file) throw FileError(path, std::strerror(errno));
  bool ok = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
  ok = std::fflush(file) == 0 && ok;
  ok = std::fclose(file) == 0 && ok;
  if (!ok || std::rename(partial.c_str(), path.c_str()) != 0) {
    const std::string reason = std::strerror(errno);
    std::remove(partial.c_str());
    throw FileError(path, "cannot be written: " + reason);
  }
}

Lens LoadLensOrThrow(const std::string& path) {
  // Files do not carry the fourth colour bytes: the slots hold their defaults.
  Lens lens{};
  for (LensElement& slot : lens.elements) slot.color1Extra = slot.color2Extra = 255;
  const int32_t status = LoadLensFile(path.c_str(), lens, false);
  if (status != kLensFileOk) throw FileError(path, LensFileStatusMessage(status));
  return lens;
}

void SaveLensOrThrow(const std::string& path, const Lens& lens) {
  const int32_t status = SaveLensFile(path.c_str(), lens);
  if (status != kLensFileOk) throw FileError(path, LensFileStatusMessage(status));
}

}  // namespace gw
