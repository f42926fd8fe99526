// The one safe-write routine: what it refuses, what it keeps, and that a
// refused or failed write leaves the target and its folder as they were.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "lensfile/lensfile.h"
#include "lensfile/safe_write.h"

namespace gw {
namespace {

namespace fs = std::filesystem;

// A folder of its own per test, empty at the start.
std::string Folder(const std::string& name) {
  const std::string path = std::string(GW_TEST_TMPDIR) + "/safe_" + name;
  std::error_code ignored;
#ifndef _WIN32
  chmod(path.c_str(), 0755);  // a test that failed half-way may have left it locked
#endif
  fs::remove_all(path, ignored);
  fs::create_directories(path);
  return path;
}

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void Write(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::set<std::string> Listing(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

SafeWriteResult WriteText(const std::string& path, const std::string& text,
                          const SafeWriteOptions& options = {}) {
  return WriteBytesSafely(path, {reinterpret_cast<const uint8_t*>(text.data()), text.size()},
                          options);
}

TEST(SafeWrite, ANewFileAndAReplacedOneLeaveNothingElseBehind) {
  const std::string folder = Folder("plain");
  const std::string path = folder + "/lens.gwr";
  std::vector<std::string> watched;
  SafeWriteOptions options;
  options.watchTemporary = [&](const std::string& name) { watched.push_back(name); };
  ASSERT_TRUE(WriteText(path, "first", options).ok());
  ASSERT_TRUE(WriteText(path, "second", options).ok());
  EXPECT_EQ(Read(path), "second");
  EXPECT_EQ(Listing(folder), std::set<std::string>{"lens.gwr"});
  // Each write named its temporary beside the target, then said it was gone.
  ASSERT_EQ(watched.size(), 4u);
  EXPECT_EQ(fs::path(watched[0]).parent_path(), fs::path(folder));
  EXPECT_EQ(watched[0].find(folder + "/.lens.gwr.partial-"), 0u) << watched[0];
  EXPECT_EQ(watched[1], "");
  EXPECT_EQ(watched[3], "");
}

TEST(SafeWrite, AFailingFillLeavesTheOldFileAndNoTemporary) {
  const std::string folder = Folder("fill_fails");
  const std::string path = folder + "/picture.png";
  Write(path, "old bytes");
  const SafeWriteResult r = WriteFileSafely(path, [](const std::string& file, std::string& why) {
    std::ofstream(file) << "half a pict";
    why = "the encoder gave up";
    return false;
  });
  EXPECT_EQ(r.status, kLensFileWriteFailed);
  EXPECT_EQ(r.reason, "the encoder gave up");
  EXPECT_EQ(Read(path), "old bytes");
  EXPECT_EQ(Listing(folder), std::set<std::string>{"picture.png"});
}

TEST(SafeWrite, AMissingFolderIsRefused) {
  const std::string folder = Folder("missing");
  const SafeWriteResult r = WriteText(folder + "/not/here.gwr", "x");
  EXPECT_EQ(r.status, kLensFileCannotOpen);
  EXPECT_NE(r.reason.find("does not exist"), std::string::npos) << r.reason;
  EXPECT_EQ(CheckWritable(folder + "/not/here.gwr").status, kLensFileCannotOpen);
  EXPECT_TRUE(CheckWritable(folder + "/here.gwr").ok());
  EXPECT_TRUE(Listing(folder).empty());
}

#ifdef _WIN32

TEST(SafeWrite, AReadOnlyFileIsRefusedUnlessReplacingIsAskedFor) {
  const std::string folder = Folder("read_only");
  const std::string path = folder + "/kept.gwr";
  Write(path, "precious");
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  const SafeWriteResult r = WriteText(path, "new");
  EXPECT_EQ(r.status, kLensFileCannotOpen);
  EXPECT_EQ(r.reason, "it is read-only");
  EXPECT_EQ(CheckWritable(path).status, kLensFileCannotOpen);
  EXPECT_EQ(Read(path), "precious");
  EXPECT_EQ(Listing(folder), std::set<std::string>{"kept.gwr"});

  SafeWriteOptions force;
  force.replaceReadOnly = true;
  ASSERT_TRUE(WriteText(path, "new", force).ok());
  EXPECT_EQ(Read(path), "new");
  EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY);
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

#else

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
  return st.st_mode & 07777;
}

TEST(SafeWrite, AReadOnlyFileIsRefusedUnlessReplacingIsAskedFor) {
  const std::string folder = Folder("read_only");
  const std::string path = folder + "/kept.gwr";
  Write(path, "precious");
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  const SafeWriteResult r = WriteText(path, "new");
  EXPECT_EQ(r.status, kLensFileCannotOpen);
  EXPECT_EQ(r.reason, "it is read-only");
  EXPECT_EQ(CheckWritable(path).status, kLensFileCannotOpen);
  EXPECT_EQ(SaveLensFile(path.c_str(), Lens{}), kLensFileCannotOpen);
  EXPECT_EQ(Read(path), "precious");
  EXPECT_EQ(ModeOf(path), 0444u);
  EXPECT_EQ(Listing(folder), std::set<std::string>{"kept.gwr"});

  // As `cp -f` does, but the file stays read-only.
  SafeWriteOptions force;
  force.replaceReadOnly = true;
  EXPECT_TRUE(CheckWritable(path, force).ok());
  ASSERT_TRUE(WriteText(path, "new", force).ok());
  EXPECT_EQ(Read(path), "new");
  EXPECT_EQ(ModeOf(path), 0444u);
}

TEST(SafeWrite, TheModeOfTheReplacedFileIsKept) {
  const std::string folder = Folder("mode");
  for (const mode_t mode : {0600u, 0640u, 0755u, 0604u}) {
    const std::string path = folder + "/f" + std::to_string(mode);
    Write(path, "old");
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
    ASSERT_TRUE(WriteText(path, "new").ok());
    EXPECT_EQ(ModeOf(path), mode);
    EXPECT_EQ(Read(path), "new");
  }
  // A new file has the mode any new file of the process has.
  const mode_t mask = umask(022);
  ASSERT_TRUE(WriteText(folder + "/fresh", "x").ok());
  umask(mask);
  EXPECT_EQ(ModeOf(folder + "/fresh"), 0644u);
}

TEST(SafeWrite, ASymbolicLinkIsWrittenThroughAndStaysALink) {
  const std::string folder = Folder("links");
  fs::create_directories(folder + "/real");
  const std::string target = folder + "/real/lens.gwr";
  Write(target, "old");
  ASSERT_EQ(chmod(target.c_str(), 0640), 0);
  // A relative link to a relative link.
  ASSERT_EQ(symlink("real/lens.gwr", (folder + "/first").c_str()), 0);
  ASSERT_EQ(symlink("first", (folder + "/second").c_str()), 0);
  ASSERT_TRUE(WriteText(folder + "/second", "through").ok());
  EXPECT_TRUE(fs::is_symlink(folder + "/second"));
  EXPECT_TRUE(fs::is_symlink(folder + "/first"));
  EXPECT_EQ(Read(target), "through");
  EXPECT_EQ(ModeOf(target), 0640u);
  EXPECT_EQ(Listing(folder + "/real"), std::set<std::string>{"lens.gwr"});
  // A loop is refused.
  ASSERT_EQ(symlink("loop_b", (folder + "/loop_a").c_str()), 0);
  ASSERT_EQ(symlink("loop_a", (folder + "/loop_b").c_str()), 0);
  EXPECT_EQ(WriteText(folder + "/loop_a", "x").status, kLensFileCannotOpen);
}

TEST(SafeWrite, AFolderWithoutWritePermissionIsRefused) {
  const std::string folder = Folder("locked");
  const std::string path = folder + "/lens.gwr";
  Write(path, "inside");
  ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
  const SafeWriteResult r = WriteText(path, "new");
  const SafeWriteResult fresh = WriteText(folder + "/other.gwr", "new");
  const SafeWriteResult check = CheckWritable(path);
  chmod(folder.c_str(), 0755);
  EXPECT_EQ(r.status, kLensFileCannotOpen);
  EXPECT_NE(r.reason.find("is not writable"), std::string::npos) << r.reason;
  EXPECT_EQ(fresh.status, kLensFileCannotOpen);
  EXPECT_EQ(check.status, kLensFileCannotOpen);
  EXPECT_EQ(Read(path), "inside");
  EXPECT_EQ(Listing(folder), std::set<std::string>{"lens.gwr"});
}

TEST(SafeWrite, AFolderIsNeverReplaced) {
  const std::string folder = Folder("over_folder");
  fs::create_directories(folder + "/target");
  const SafeWriteResult r = WriteText(folder + "/target", "x");
  EXPECT_EQ(r.status, kLensFileWriteFailed);
  EXPECT_EQ(r.reason, "it is a folder");
  EXPECT_TRUE(fs::is_directory(folder + "/target"));
  EXPECT_EQ(Listing(folder), std::set<std::string>{"target"});
}

TEST(SafeWrite, AFifoIsWrittenDirectly) {
  const std::string folder = Folder("fifo");
  const std::string fifo = folder + "/pipe";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = Read(fifo); });
  const SafeWriteResult r = WriteText(fifo, "through the pipe");
  reader.join();
  EXPECT_TRUE(r.ok()) << r.reason;
  EXPECT_EQ(received, "through the pipe");
  EXPECT_TRUE(fs::is_fifo(fifo));
}

#endif

}  // namespace
}  // namespace gw
