// Driving real Win32 windows as a person does, from a thread other than the
// one that runs them: finding a dialog, posting mouse and keyboard messages,
// and a picture of a window as the screen shows it. Needs a display (Xvfb
// under Wine).
#pragma once

#include <windows.h>

#include <string>

namespace gw::testing {

inline constexpr char kEditorCaption[] = "       Lens Editor";
inline constexpr DWORD kWaitMs = 20000;

// Gives the window's thread time to take in what was posted.
void Settle();

// The first visible dialog window of the caption (any caption when null)
// other than `except`; null when none shows within the wait.
HWND WaitForDialog(const char* caption, HWND except = nullptr);

// A point in a mouse message's lParam.
LPARAM At(int x, int y);

// A click at client coordinates of `window`, or in its middle.
void Click(HWND window, int x, int y);
void ClickMiddle(HWND window);

// Press at `from`, move in steps to `to`, release there (client coordinates
// of `window`, which holds the mouse while the button is down).
void Drag(HWND window, POINT from, POINT to);

// Replaces an edit field's text by typing.
void Type(HWND edit, const std::string& text);

// The centre of `target` in the client coordinates of `window`.
POINT CentreIn(HWND target, HWND window);

// The window as the screen shows it, into a PNG file; false when it cannot
// be written.
bool SaveScreenshot(HWND window, const std::string& path);

}  // namespace gw::testing
