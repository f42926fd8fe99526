// Driving real Win32 windows as a person does, from a thread other than the
// one that runs them: finding a dialog, posting mouse and keyboard messages,
// and a picture of a window as the screen shows it. Needs a display (Xvfb
// under Wine).
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

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

// The application's main thread, on a thread of its own: its main window
// (a plain visible window), then `run` with it, which opens the Lens Editor
// and returns once the editor closed; then the window destroyed. The test's
// thread plays the person at the mouse (and alone asserts).
class ApplicationThread {
 public:
  explicit ApplicationThread(std::function<void(HWND mainWindow)> run);
  // A test that stopped half-way leaves the editor open: Cancel closes it.
  ~ApplicationThread();
  ApplicationThread(const ApplicationThread&) = delete;
  ApplicationThread& operator=(const ApplicationThread&) = delete;

  HWND mainWindow() const { return mainWindow_; }
  // The Lens Editor once it shows; null when it does not within the wait.
  HWND editor();
  HWND Control(int id) { return GetDlgItem(editor(), id); }
  // True when `run` returned within the wait.
  bool WaitUntilFinished();

 private:
  std::atomic<HWND> mainWindow_{nullptr};
  std::atomic<bool> finished_{false};
  HWND editor_ = nullptr;
  std::thread thread_;
};

}  // namespace gw::testing
