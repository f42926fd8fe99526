// Writes the PiPL of one edition, as raw bytes and as a resource script:
//   pipl_gen full|showcase|quick OUT.pipl OUT.rc
#include <cstdio>
#include <cstring>
#include <fstream>

#include "resources/pipl.h"

namespace {

bool WriteFile(const char* path, const void* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: pipl_gen full|showcase|quick OUT.pipl OUT.rc\n");
    return 2;
  }
  const gw::EditionTable* edition = nullptr;
  if (std::strcmp(argv[1], "full") == 0) edition = &gw::FullEdition();
  if (std::strcmp(argv[1], "showcase") == 0) edition = &gw::ShowcaseEdition();
  if (std::strcmp(argv[1], "quick") == 0) edition = &gw::QuickEdition();
  if (!edition) {
    std::fprintf(stderr, "pipl_gen: unknown edition %s\n", argv[1]);
    return 2;
  }
  const std::vector<uint8_t> pipl = gw::BuildPipl(*edition);
  const std::string rc = gw::PiplResourceScript(pipl);
  if (!WriteFile(argv[2], pipl.data(), pipl.size()) || !WriteFile(argv[3], rc.data(), rc.size())) {
    std::fprintf(stderr, "pipl_gen: cannot write %s or %s\n", argv[2], argv[3]);
    return 1;
  }
  return 0;
}
