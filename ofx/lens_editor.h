// The Lens Editor behind "Edit Lens...". On Linux it is a program of its own
// (`glarewright-edit`), so that its toolkit never meets the application's:
// the lens goes to it in a private temporary file, and the plug-in waits for
// it as for a modal dialog. On Windows the Win32 editor runs in process,
// modal, owned by the application's main window.
#pragma once

#include <functional>
#include <string>

#include "editor/preview.h"
#include "lens/lens.h"

namespace gw::ofx {

// The variable that names the editor program (Linux), before any other place.
inline constexpr char kEditorVariable[] = "GLAREWRIGHT_EDIT";
inline constexpr char kEditorProgram[] = "glarewright-edit";

// Exit statuses of the editor program.
inline constexpr int kEditorKept = 0;       // OK: the file holds the edited lens
inline constexpr int kEditorCancelled = 1;  // Cancel: the file is as it was

enum class EditorOutcome { Kept, Cancelled, Failed };

// The editor program: the one GLAREWRIGHT_EDIT names, else the one beside
// this binary (in the bundle), else the first on the PATH. "" with the
// reason when there is none to run.
std::string FindLensEditor(std::string& reason);

// Gives the picture the editor's preview shows behind the flare (the
// source's frame, 8 bits a channel); false when there is none (the preview
// stays black).
using BackgroundSource = std::function<bool(RgbPicture& frame)>;

// Runs the editor on `lens` (over the background, if any) and waits for it.
// Kept: `lens` is the edited lens. Cancelled: nothing changed. Failed:
// `lens` is as it was and `message` says why (no editor, no temporary
// folder, the editor failed, crashed or was killed, its windows could not
// be made).
EditorOutcome RunLensEditor(Lens& lens, const BackgroundSource& background,
                            std::string& message);

}  // namespace gw::ofx
