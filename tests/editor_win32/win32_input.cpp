#include "tests/editor_win32/win32_input.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "lens/control_ids.h"
#include "tests/editor_win32/png_file.h"

namespace gw::testing {
namespace {

constexpr char kDialogClass[] = "#32770";
constexpr DWORD kSettleMs = 250;
constexpr DWORD kPollMs = 50;

}  // namespace

void Settle() { Sleep(kSettleMs); }

HWND WaitForDialog(const char* caption, HWND except) {
  for (DWORD waited = 0; waited < kWaitMs; waited += kPollMs) {
    HWND found = nullptr;
    while ((found = FindWindowExA(nullptr, found, kDialogClass, caption)) != nullptr) {
      if (found != except && IsWindowVisible(found)) {
        Settle();
        return found;
      }
    }
    Sleep(kPollMs);
  }
  return nullptr;
}

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

void Click(HWND window, int x, int y) {
  PostMessageA(window, WM_MOUSEMOVE, 0, At(x, y));
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
  PostMessageA(window, WM_LBUTTONUP, 0, At(x, y));
  Settle();
}

void ClickMiddle(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  Click(window, r.right / 2, r.bottom / 2);
}

void Drag(HWND window, POINT from, POINT to) {
  // The real pointer to a corner of the screen, away from the windows: were
  // it over them, the window system could report it there at any moment,
  // with its button up, and so end the drag.
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
  Settle();
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, At(from.x, from.y));
  Settle();
  for (int step = 1; step <= 4; ++step) {
    const int x = from.x + (to.x - from.x) * step / 4, y = from.y + (to.y - from.y) * step / 4;
    PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, At(x, y));
    Settle();
  }
  PostMessageA(window, WM_LBUTTONUP, 0, At(to.x, to.y));
  Settle();
}

void Type(HWND edit, const std::string& text) {
  SendMessageA(edit, EM_SETSEL, 0, -1);  // replace what it shows
  for (char c : text) PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
  Settle();
}

POINT CentreIn(HWND target, HWND window) {
  RECT r;
  GetWindowRect(target, &r);
  POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ScreenToClient(window, &p);
  return p;
}

bool SaveScreenshot(HWND window, const std::string& path) {
  RECT r;
  GetWindowRect(window, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(memory, bitmap);
  // What the screen shows: the custom windows paint only on WM_PAINT.
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<uint8_t> bgrx(static_cast<size_t>(w) * h * 4);
  GetDIBits(memory, bitmap, 0, h, bgrx.data(), &info, DIB_RGB_COLORS);
  std::vector<uint8_t> rgb;
  rgb.reserve(static_cast<size_t>(w) * h * 3);
  for (size_t i = 0; i < bgrx.size(); i += 4) rgb.insert(rgb.end(), {bgrx[i + 2], bgrx[i + 1], bgrx[i]});
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return WritePng(path, w, h, rgb);
}

ApplicationThread::ApplicationThread(std::function<void(HWND mainWindow)> run)
    : thread_([this, run = std::move(run)] {
        HWND main = CreateWindowExA(0, "STATIC", "Application", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                    0, 0, 320, 200, nullptr, nullptr, GetModuleHandleA(nullptr),
                                    nullptr);
        mainWindow_ = main;
        run(main);
        DestroyWindow(main);
        finished_ = true;
      }) {}

ApplicationThread::~ApplicationThread() {
  if (!finished_ && editor_) PostMessageA(editor_, WM_COMMAND, ids::kCancel, 0);
  if (!WaitUntilFinished()) {
    std::fprintf(stderr, "the Lens Editor does not close\n");
    std::_Exit(1);
  }
  thread_.join();
}

HWND ApplicationThread::editor() {
  if (!editor_) editor_ = WaitForDialog(kEditorCaption);
  return editor_;
}

bool ApplicationThread::WaitUntilFinished() {
  for (DWORD waited = 0; waited < kWaitMs && !finished_; waited += kPollMs) Sleep(kPollMs);
  return finished_;
}

}  // namespace gw::testing
