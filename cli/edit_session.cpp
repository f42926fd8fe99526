#include "cli/edit_session.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "cli/errors.h"
#include "cli/files.h"
#include "cli/image_io.h"
#include "cli/memory_budget.h"
#include "cli/plate_windows.h"
#include "cli/presets_commands.h"
#include "editor/qt/editor_window.h"
#include "editor/qt/preview_view.h"
#include "lensfile/lensfile.h"
#include "presets/presets.h"

namespace gw {
namespace {

constexpr int kScreenshotWaitMs = 10000;

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

// "WIDTHxHEIGHT"; an empty size when the text is none.
QSize ParseSize(const std::string& text) {
  int w = 0, h = 0;
  char x = 0;
  if (std::sscanf(text.c_str(), "%d%c%d", &w, &x, &h) != 3 || x != 'x' || w <= 0 || h <= 0) {
    return {};
  }
  return {w, h};
}

// Once the preview shows the lens at full size: a picture of the window,
// then the window closed (nothing was changed, so nothing is asked).
void TakeScreenshot(qt::EditorWindow& window, const QString& path, bool& saved, int waited = 0) {
  if (!window.preview()->Idle() && waited < kScreenshotWaitMs) {
    QTimer::singleShot(50, &window, [&window, path, &saved, waited] {
      TakeScreenshot(window, path, saved, waited + 50);
    });
    return;
  }
  saved = window.grab().save(path);
  window.Cancel();
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
                   const std::function<void(qt::EditorWindow&)>& whenShown, std::string* keptIn) {
  const Lens lens = StartingLens(options);
  // OK writes the file back: one that may not be written is said now, not
  // after the editing.
  if (!options.file.empty()) CheckWritableOrThrow(options.file, options.force);
  qt::EditSession session;
  session.file = options.file;
  session.replaceReadOnly = options.force;
  if (!options.background.empty()) {
    CheckBackgroundFits(options.background, ParseMemoryLimit("--memory-limit", options.memoryLimit));
    session.background = ToQImage(ReadFrame(options.background).argb);
  }
  session.rememberSize = options.screenshot.empty();

  std::optional<QApplication> app;
  if (!QApplication::instance()) {
    app.emplace(argc, argv);
    QApplication::setOrganizationName("Glarewright");
    QApplication::setApplicationName("Lens Editor");
  }
  qt::EditorWindow window(lens, session);
  QEventLoop loop;
  window.finished = [&loop] { loop.quit(); };
  bool pictureSaved = false;
  if (!options.screenshot.empty()) {
    if (const QSize size = ParseSize(options.windowSize); size.isValid()) window.resize(size);
    // The first element selected, so that its parameters show too.
    if (window.document().count() > 0) window.document().Select(0);
    QTimer::singleShot(0, &window, [&] {
      TakeScreenshot(window, QString::fromStdString(options.screenshot), pictureSaved);
    });
  }
  window.show();
  if (whenShown) QTimer::singleShot(0, &window, [&] { whenShown(window); });
  loop.exec();

  if (!options.screenshot.empty()) return pictureSaved ? kEditKept : kEditFailed;
  if (window.outcome() != qt::EditorWindow::Outcome::Kept) return kEditCancelled;
  if (keptIn) *keptIn = window.keptIn();
  return kEditKept;
}

}  // namespace gw
