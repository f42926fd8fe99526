// `glarewright edit`: where the lens comes from and where OK keeps it.
#include "cli/edit_session.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "cli/errors.h"
#include "editor/qt/editor_window.h"
#include "editor/qt/preview_view.h"
#include "lensfile/lensfile.h"
#include "presets/presets.h"

namespace gw {
namespace {

std::string Temp(const std::string& name) {
  const std::string path = std::string(GW_TEST_TMPDIR) + "/" + name;
  std::remove(path.c_str());
  return path;
}

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs a session in which the person presses `button` ("okButton" or
// "cancelButton") once the window is up.
int Session(const EditOptions& options, const char* button) {
  char name[] = "glarewright-edit";
  char* argv[] = {name, nullptr};
  return RunEditSession(1, argv, options, [button](qt::EditorWindow& window) {
    QTest::mouseClick(window.findChild<QPushButton*>(button), Qt::LeftButton);
  });
}

TEST(EditSession, AMissingFileStartsFromTheDefaultLensAndOkWritesIt) {
  EditOptions options;
  options.file = Temp("new.gwr");
  EXPECT_EQ(Session(options, "okButton"), kEditKept);
  Lens saved{}, expected{};
  ASSERT_EQ(LoadLensFile(options.file.c_str(), saved, false), 0);
  BuildDefaultLens(expected);
  EXPECT_EQ(EncodeLensFile(saved), EncodeLensFile(expected));
}

TEST(EditSession, CancelLeavesTheFileUntouched) {
  EditOptions options;
  options.file = Temp("kept.gwr");
  Lens lens{};
  BuildPreset(lens, 12);
  ASSERT_EQ(SaveLensFile(options.file.c_str(), lens), 0);
  const std::string before = Bytes(options.file);
  EXPECT_EQ(Session(options, "cancelButton"), kEditCancelled);
  EXPECT_EQ(Bytes(options.file), before);
  EXPECT_EQ(StartingLens(options).count, lens.count);
}

TEST(EditSession, APresetToStartFrom) {
  EditOptions options;
  options.file = Temp("preset.gwr");
  options.preset = "Basic Lens";
  EXPECT_EQ(Session(options, "okButton"), kEditKept);
  Lens expected{};
  BuildPreset(expected, FindPreset("Basic Lens"));
  EXPECT_EQ(Bytes(options.file), [&] {
    const std::vector<uint8_t> b = EncodeLensFile(expected);
    return std::string(b.begin(), b.end());
  }());
  options.preset = "no such preset";
  EXPECT_THROW(StartingLens(options), CommandError);
}

TEST(EditSession, AFileThatIsNoLensIsRefused) {
  EditOptions options;
  options.file = Temp("text.gwr");
  std::ofstream(options.file) << "not a lens";
  EXPECT_THROW(StartingLens(options), CommandError);
}

TEST(EditSession, TheBackgroundGivesTheFrameAndItsAspect) {
  // A 400 x 100 frame: the preview's picture is four times as wide as high,
  // and the light's place is said in its pixels.
  const std::string picture = Temp("wide.png");
  QImage wide(400, 100, QImage::Format_RGB888);
  wide.fill(QColor(30, 60, 90));
  ASSERT_TRUE(wide.save(QString::fromStdString(picture)));
  EditOptions options;
  options.file = Temp("over_wide.gwr");
  options.background = picture;
  char name[] = "glarewright-edit";
  char* argv[] = {name, nullptr};
  QSize frame;
  QString readout;
  const int status = RunEditSession(1, argv, options, [&](qt::EditorWindow& window) {
    frame = window.preview()->frameSize();
    readout = window.findChild<QLabel*>("lightReadout")->text();
    QTest::mouseClick(window.findChild<QPushButton*>("cancelButton"), Qt::LeftButton);
  });
  EXPECT_EQ(status, kEditCancelled);
  EXPECT_EQ(frame, QSize(400, 100));
  EXPECT_EQ(readout, QString::fromUtf8("Light at 120, 30 in the 400 \u00d7 100 frame"));
}

TEST(EditSession, AFolderOrBytesAfterTheLensAreRefused) {
  EditOptions options;
  options.file = Temp("folder.gwr");
  std::filesystem::create_directory(options.file);
  try {
    StartingLens(options);
    ADD_FAILURE() << "a folder was taken for a lens file";
  } catch (const CommandError& e) {
    EXPECT_EQ(std::string(e.what()), options.file + ": is a folder, not a file");
  }
  // OK would write the lens without what follows it: refused before the window opens.
  options.file = Temp("trailing.gwr");
  Lens lens{};
  BuildDefaultLens(lens);
  ASSERT_EQ(SaveLensFile(options.file.c_str(), lens), 0);
  std::ofstream(options.file, std::ios::binary | std::ios::app) << "xy";
  try {
    StartingLens(options);
    ADD_FAILURE() << "bytes after the lens were dropped";
  } catch (const CommandError& e) {
    EXPECT_NE(std::string(e.what()).find("2 bytes after its 3 elements are not part of the lens"),
              std::string::npos) << e.what();
  }
}

TEST(EditSession, ABackgroundLargerThanTheMemoryLimitIsRefusedBeforeItIsRead) {
  const std::string background = Temp("background.png");
  QImage(400, 300, QImage::Format_RGB888).save(QString::fromStdString(background));
  const std::string command = std::string("QT_QPA_PLATFORM=offscreen ") + GW_PROGRAM + " edit " +
                              Temp("bg.gwr") + " --background " + background +
                              " --memory-limit 1M 2>&1";
  std::FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  char line[512] = {};
  ASSERT_NE(std::fgets(line, sizeof line, pipe), nullptr);
  const int status = pclose(pipe);
  EXPECT_EQ(WEXITSTATUS(status), kEditFailed);
  EXPECT_EQ(std::string(line), "glarewright edit: " + background +
                                   ": a picture of 400 x 300 pixels (3 channels) needs about 3 "
                                   "MB; --memory-limit allows 1 MB\n");
}

TEST(EditSession, AReadOnlyFileIsRefusedBeforeEditingUnlessForced) {
  EditOptions options;
  options.file = Temp("read_only.gwr");
  Lens lens{};
  BuildPreset(lens, 5);
  ASSERT_EQ(SaveLensFile(options.file.c_str(), lens), 0);
  chmod(options.file.c_str(), 0444);
  const std::string before = Bytes(options.file);
  try {
    Session(options, "okButton");
    ADD_FAILURE() << "the editor opened on a file OK cannot write";
  } catch (const CommandError& e) {
    EXPECT_EQ(std::string(e.what()), options.file + ": cannot be written: it is read-only");
  }
  EXPECT_EQ(Bytes(options.file), before);
  struct stat old {}, replaced {};
  stat(options.file.c_str(), &old);
  options.force = true;
  EXPECT_EQ(Session(options, "okButton"), kEditKept);
  stat(options.file.c_str(), &replaced);
  EXPECT_NE(replaced.st_ino, old.st_ino) << "OK wrote a new file in its place";
  EXPECT_EQ(replaced.st_mode & 07777, 0444u);
  EXPECT_EQ(Bytes(options.file), before);  // the lens unchanged
}

TEST(EditSession, WithoutADisplayTheProgramSaysSoAndFails) {
  const std::string command = std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ") +
                              GW_PROGRAM + " edit " + Temp("x.gwr") + " 2>&1";
  std::FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  char line[256] = {};
  ASSERT_NE(std::fgets(line, sizeof line, pipe), nullptr);
  EXPECT_EQ(std::fgets(line + std::strlen(line), 64, pipe), nullptr);  // one line only
  const int status = pclose(pipe);
  EXPECT_EQ(WEXITSTATUS(status), kEditFailed);
  EXPECT_NE(std::string(line).find("no display"), std::string::npos) << line;
}

}  // namespace
}  // namespace gw
