// Runs the glarewright program as a user would, capturing what it prints.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace gw {

struct ProgramResult {
  int exitCode;
  std::string out;
  std::string err;
};

inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// `arguments` is pasted into a shell command line after the program's path.
inline ProgramResult RunProgram(const std::string& arguments) {
  const std::string base = std::string(GW_TEST_TMPDIR) + "/run";
  const std::string command = std::string("'") + GW_PROGRAM + "' " + arguments + " >'" + base +
                              ".out' 2>'" + base + ".err'";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadWholeFile(base + ".out"),
          ReadWholeFile(base + ".err")};
}

inline std::string TempPath(const std::string& name) {
  return std::string(GW_TEST_TMPDIR) + "/" + name;
}

}  // namespace gw
