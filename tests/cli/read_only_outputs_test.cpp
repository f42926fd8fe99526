// The program refuses to replace a read-only file, whatever it writes, and
// leaves it exactly as it was.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <string>

#include "tests/cli/run_program.h"

namespace gw {
namespace {

TEST(ReadOnlyOutputs, AreRefusedAndLeftAsTheyWere) {
  const std::string gwr = TempPath("read_only.gwr"), png = TempPath("read_only.png"),
                    json = TempPath("read_only.json");
  ASSERT_EQ(RunProgram("lens new --force -o " + gwr).exitCode, 0);
  for (const std::string& path : {png, json}) std::ofstream(path) << "keep me";
  const std::string lens = ReadWholeFile(gwr);
  for (const std::string& path : {gwr, png, json}) ASSERT_EQ(chmod(path.c_str(), 0444), 0);

  const std::string commands[] = {
      "lens new -o " + gwr,
      "lens add " + gwr + " Sparkle",
      "render -o " + png + " --size 16x9",
      "lens export " + gwr + " -o " + json,
      "presets export 3 -o " + gwr,
  };
  for (const std::string& command : commands) {
    const ProgramResult r = RunProgram(command);
    EXPECT_EQ(r.exitCode, 1) << command;
    EXPECT_NE(r.err.find(": cannot be written: it is read-only"), std::string::npos)
        << command << "\n" << r.err;
  }
  EXPECT_EQ(ReadWholeFile(gwr), lens);
  EXPECT_EQ(ReadWholeFile(png), "keep me");
  EXPECT_EQ(ReadWholeFile(json), "keep me");
  for (const std::string& path : {gwr, png, json}) {
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u) << path;
    chmod(path.c_str(), 0644);
  }
}

}  // namespace
}  // namespace gw
