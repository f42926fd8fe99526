#include "cli/edit_session.h"

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>

#include "cli/errors.h"
#include "cli/files.h"
#include "cli/image_io.h"
#include "cli/memory_budget.h"
#include "cli/plate_windows.h"
#include "cli/presets_commands.h"
#include "editor/control_ids.h"
#include "editor/lens_editor.h"
#include "editor/qt/editor_window.h"
#include "editor/qt/qt_front_end.h"
#include "lensfile/lensfile.h"
#include "presets/presets.h"

namespace gw {
namespace {

QImage ToQImage(const testhost::Image& argb) {
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
std::string TargetFile(const EditOptions& options, QWidget* parent) {
  if (!options.file.empty()) return options.file;
  return QFileDialog::getSaveFileName(parent, "Save the lens", "lens.gwr",
                                      "gwr Files (*.gwr);;AllFiles (*.*)")
      .toStdString();
}

// The background is read whole before the preview scales it: refused from
// its header when it would not fit.
void CheckBackgroundFits(const std::string& path, const MemoryLimit& limit) {
  const Plate header = ReadPlateHeader(path);
  const ImageWindow frame = FrameWindow(header);
  const uint64_t argb = PlateBytes(frame.width, frame.height, 1);
  CheckFits(path + ": a picture of " + std::to_string(frame.width) + " x " +
                std::to_string(frame.height) + " pixels (" + std::to_string(header.channels) +
                " channels)",
            PlateBytes(frame.width, frame.height, header.channels) + 3 * argb, limit);
}

}  // namespace

bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

Lens StartingLens(const EditOptions& options) {
  Lens lens{};
  if (!options.preset.empty()) {
    BuildPreset(lens, ResolvePresetOrThrow("--preset", options.preset));
    return lens;
  }
  std::error_code error;
  if (options.file.empty() || !std::filesystem::exists(options.file, error)) {
    BuildDefaultLens(lens);
    return lens;
  }
  lens = LoadLensOrThrow(options.file);
  RefuseBytesAfterLens(options.file, lens);  // OK would rewrite the file without them
  return lens;
}

int RunEditSession(int argc, char** argv, const EditOptions& options,
                   const std::function<void(qt::EditorWindow&)>& whenShown) {
  const Lens lens = StartingLens(options);
  // OK writes the file back: one that may not be written is said now, not
  // after the editing.
  if (!options.file.empty()) CheckWritableOrThrow(options.file, options.force);
  QImage background;
  if (!options.background.empty()) {
    CheckBackgroundFits(options.background, ParseMemoryLimit("--memory-limit", options.memoryLimit));
    background = ToQImage(ReadFrame(options.background).argb);
  }

  std::optional<QApplication> app;
  if (!QApplication::instance()) app.emplace(argc, argv);
  qt::QtFrontEnd frontEnd;
  LensEditor editor(lens, frontEnd, nullptr);
  std::unique_ptr<qt::EditorWindow> window(frontEnd.OpenWindow(editor, nullptr));
  if (!window) return kEditFailed;  // the error box has said why
  if (!background.isNull()) {
    editor.preview().SetBackground(qt::PreviewBackground(background));
    window->SetFrameSize(background.width(), background.height());
  }
  bool pictureSaved = false;
  if (!options.screenshot.empty()) {
    // The first element selected, so that its parameters show too.
    if (editor.lens().count > 0) editor.list().Select(0);
    QTimer::singleShot(300, window.get(), [&] {
      pictureSaved = window->grab().save(QString::fromStdString(options.screenshot));
      editor.Command(ids::kCancel);
      window->FinishIfEnded();
    });
  }
  if (whenShown) QTimer::singleShot(0, window.get(), [&] { whenShown(*window); });
  window->exec();
  editor.Close();
  if (!options.screenshot.empty()) return pictureSaved ? kEditKept : kEditFailed;
  if (editor.result() != 1) return kEditCancelled;
  const std::string target = TargetFile(options, window.get());
  if (target.empty()) return kEditCancelled;
  // Whole or not at all, through a link to its target, keeping permissions.
  SaveLensOrThrow(target, editor.lens(), options.force);
  return kEditKept;
}

}  // namespace gw
