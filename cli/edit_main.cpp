// glarewright-edit: the Lens Editor in a window of its own, started by
// `glarewright edit`. Exit status 0 when the lens was kept (OK), 1 when the
// user cancelled, 2 on an error.
#include <CLI/CLI.hpp>
#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "cli/errors.h"
#include "cli/image_io.h"
#include "cli/presets_commands.h"
#include "editor/lens_editor.h"
#include "editor/qt/editor_window.h"
#include "editor/qt/qt_front_end.h"
#include "lensfile/lensfile.h"
#include "presets/presets.h"

namespace {

constexpr int kKept = 0;
constexpr int kCancelled = 1;
constexpr int kFailed = 2;

struct Options {
  std::string file;
  std::string preset;
  std::string background;
  std::string screenshot;
};

bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

// The lens to start from: a preset, the file, or the default lens when the
// file does not exist yet.
gw::Lens StartingLens(const Options& options) {
  gw::Lens lens{};
  if (!options.preset.empty()) {
    gw::BuildPreset(lens, gw::ResolvePresetOrThrow("--preset", options.preset));
    return lens;
  }
  std::error_code error;
  if (options.file.empty() || !std::filesystem::exists(options.file, error)) {
    gw::BuildDefaultLens(lens);
    return lens;
  }
  const int32_t status = gw::LoadLensFile(options.file.c_str(), lens, false);
  if (status < 0) throw gw::FileError(options.file, gw::LensFileStatusMessage(status));
  return lens;
}

QImage ToQImage(const gw::testhost::Image& argb) {
  QImage image(argb.width, argb.height, QImage::Format_RGB888);
  for (int y = 0; y < argb.height; ++y) {
    uchar* row = image.scanLine(y);
    for (int x = 0; x < argb.width; ++x) {
      const PF_Pixel& p = argb.at(x, y);
      row[3 * x] = p.red;
      row[3 * x + 1] = p.green;
      row[3 * x + 2] = p.blue;
    }
  }
  return image;
}

// Where OK keeps the lens: the file named on the command line, or one the
// user chooses now.
std::string TargetFile(const Options& options, QWidget* parent) {
  if (!options.file.empty()) return options.file;
  return QFileDialog::getSaveFileName(parent, "Save the lens", "lens.gwr",
                                      "gwr Files (*.gwr);;AllFiles (*.*)")
      .toStdString();
}

int Edit(int argc, char** argv, const Options& options) {
  gw::Lens lens = StartingLens(options);
  QImage background;
  if (!options.background.empty()) background = ToQImage(gw::ReadFrame(options.background).argb);

  QApplication app(argc, argv);
  gw::qt::QtFrontEnd frontEnd;
  gw::LensEditor editor(lens, frontEnd, nullptr);
  gw::qt::EditorWindow* window = frontEnd.OpenWindow(editor, nullptr);
  if (!window) return kFailed;  // the error box has said why
  if (!background.isNull()) {
    editor.preview().SetBackground(gw::qt::PreviewBackground(background));
    window->SetFrameSize(background.width(), background.height());
  }
  bool pictureSaved = false;
  if (!options.screenshot.empty()) {
    // The first element selected, so that its parameters show too.
    if (editor.lens().count > 0) editor.list().Select(0);
    QTimer::singleShot(300, window, [&] {
      pictureSaved = window->grab().save(QString::fromStdString(options.screenshot));
      editor.Command(1102);
      window->FinishIfEnded();
    });
  }
  window->exec();
  editor.Close();
  if (!options.screenshot.empty()) return pictureSaved ? kKept : kFailed;
  if (editor.result() != 1) return kCancelled;
  const std::string target = TargetFile(options, nullptr);
  delete window;
  if (target.empty()) {
    std::cerr << "glarewright edit: no file chosen; the lens was not saved\n";
    return kCancelled;
  }
  const int32_t status = gw::SaveLensFile(target.c_str(), editor.lens());
  if (status < 0) throw gw::FileError(target, gw::LensFileStatusMessage(status));
  return kKept;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App cli{"The Lens Editor: builds a lens and keeps it in a lens file (.gwr)"};
  cli.name("glarewright edit");
  Options options;
  cli.add_option("FILE", options.file,
                 "Lens file: opened, and written back when you press OK (a file that does "
                 "not exist yet starts from the default lens)");
  cli.add_option("--preset", options.preset, "Start from a built-in preset, by name or number");
  cli.add_option("--background", options.background,
                 "Preview the flare over this image (scaled to 320 x 240) instead of black");
  cli.add_option("--screenshot", options.screenshot, "Save a picture of the editor and cancel")
      ->group("");
  try {
    cli.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = cli.exit(e);
    return code == 0 ? 0 : kFailed;
  }
  if (!HasDisplay()) {
    std::cerr << "glarewright edit: no display: the Lens Editor needs a window system "
                 "(DISPLAY or WAYLAND_DISPLAY)\n";
    return kFailed;
  }
  try {
    return Edit(argc, argv, options);
  } catch (const std::exception& e) {
    std::cerr << "glarewright edit: " << e.what() << "\n";
    return kFailed;
  }
}
