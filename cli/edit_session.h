// One session of the Lens Editor program: the lens it starts from, the
// window, and where OK keeps the lens.
#pragma once

#include <functional>
#include <string>

#include "lens/lens.h"

namespace gw {

namespace qt {
class EditorWindow;
}

// Exit statuses of `glarewright edit`.
inline constexpr int kEditKept = 0;       // OK: the lens was written
inline constexpr int kEditCancelled = 1;  // Cancel, or no file chosen
inline constexpr int kEditFailed = 2;     // an error, said on stderr

struct EditOptions {
  std::string file;        // opened, and written back on OK
  std::string preset;      // start from this preset instead
  std::string background;  // preview over this image
  std::string screenshot;  // save a picture of the editor and cancel
  std::string windowSize;  // WIDTHxHEIGHT of the window for the picture
  std::string memoryLimit; // for the background (empty: what the machine has free)
  bool force = false;      // OK may replace a read-only file
};

// True when a window system can be reached (DISPLAY, WAYLAND_DISPLAY, or a
// platform named in QT_QPA_PLATFORM).
bool HasDisplay();

// The lens to start from: a preset, the file, or the default lens when the
// file does not exist yet. Throws CommandError on a file it cannot read.
Lens StartingLens(const EditOptions& options);

// Runs the editor until its window closes; `whenShown` (tests) acts on the
// window once it is up. Returns one of the exit statuses above; throws
// CommandError on errors. When OK kept the lens in another file than the one
// given (the user chose where), `keptIn` says which.
int RunEditSession(int argc, char** argv, const EditOptions& options,
                   const std::function<void(qt::EditorWindow&)>& whenShown = {},
                   std::string* keptIn = nullptr);

}  // namespace gw
