// Runs the glarewright program as a user would, capturing what it prints.
#pragma once

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
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

// A path as one word of a shell command line (test paths hold no quotes).
inline std::string Quote(const std::string& s) { return "'" + s + "'"; }

// `arguments` is pasted into a shell command line after the program's path.
inline ProgramResult RunProgram(const std::string& arguments) {
  // CTest runs tests in parallel processes: each call captures into files of
  // its own.
  static int calls = 0;
  const std::string base = std::string(GW_TEST_TMPDIR) + "/run-" + std::to_string(getpid()) +
                           "-" + std::to_string(++calls);
  const std::string command = std::string("'") + GW_PROGRAM + "' " + arguments + " >'" + base +
                              ".out' 2>'" + base + ".err'";
  const int status = std::system(command.c_str());
  ProgramResult result{WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                       ReadWholeFile(base + ".out"), ReadWholeFile(base + ".err")};
  std::remove((base + ".out").c_str());
  std::remove((base + ".err").c_str());
  return result;
}

inline bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// CTest runs each test in a process of its own, several at once, picking
// the test with --gtest_filter: every process keeps its files in a folder
// named after its filter (suite set-up included), so tests run side by side
// never share a file.
inline std::string TempDir() {
  std::string name = GTEST_FLAG_GET(filter);
  for (char& c : name) {
    if (c == '/' || c == '*' || c == '?' || c == ':') c = '_';
  }
  const std::string dir = std::string(GW_TEST_TMPDIR) + "/" + name;
  mkdir(dir.c_str(), 0755);
  return dir;
}

inline std::string TempPath(const std::string& name) { return TempDir() + "/" + name; }

}  // namespace gw
