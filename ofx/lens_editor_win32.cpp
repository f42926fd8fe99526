// The Lens Editor on Windows: the Win32 dialog in process, modal, owned by
// the application's main window, on a copy of the lens. Its dialog, bitmaps
// and cursors are resources of this binary.
#include <windows.h>

#include <new>
#include <string>
#include <utility>
#include <vector>

#include "editor/lens_editor.h"
#include "editor/preview.h"
#include "ofx/lens_editor.h"
#include "ofx/properties.h"
#include "ofx/suites.h"

namespace gw::ofx {
namespace {

// The application's main window, when the host names one (and it is one).
HWND ApplicationWindow() {
  const HostSuites& suites = Suites();
  if (!suites.host || !suites.property) return nullptr;
  const auto window =
      static_cast<HWND>(PropertySet(suites.host->host).Pointer(kOfxPropHostOSHandle));
  return window && IsWindow(window) ? window : nullptr;
}

const char* WhyNotOpened(EditorStatus status) {
  switch (status) {
    case EditorStatus::NoMemory: return "there is not enough memory";
    case EditorStatus::NoBitmap: return "its bitmaps cannot be loaded";
    case EditorStatus::NoPreviewBuffer: return "there is not enough memory for its preview";
    case EditorStatus::NoWindow:
    case EditorStatus::Ok: break;
  }
  return "its windows cannot be made";
}

}  // namespace

EditorOutcome RunLensEditor(Lens& lens, const BackgroundSource& background,
                            std::string& message) {
  std::vector<uint8_t> picture;
  try {
    RgbPicture frame;
    if (background && background(frame)) picture = PreviewBackground(frame);
  } catch (const std::bad_alloc&) {
    picture.clear();  // the editor opens over black
  }
  // The editor works on a copy of its own and copies it back only on OK.
  const EditorRun run = gw::RunLensEditor(lens, ApplicationWindow(), ModuleFrontEnd(),
                                          std::move(picture));
  const EditorStatus status = run.started ? run.status : EditorStatus::NoMemory;
  if (status != EditorStatus::Ok) {
    message = std::string("the Lens Editor cannot open: ") + WhyNotOpened(status) + " (status " +
              std::to_string(static_cast<int32_t>(status)) + ")";
    return EditorOutcome::Failed;
  }
  return run.kept ? EditorOutcome::Kept : EditorOutcome::Cancelled;
}

}  // namespace gw::ofx
