// The about box on Windows: dialog 120 from the module's resources, centred
// on the screen, closed by Enter or a click.
#include <windows.h>

#include "editor/win32/this_module.h"
#include "host/about_box.h"

namespace gw {
namespace {

constexpr int kAboutDialog = 120;
constexpr int kAboutSize = 318;

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - kAboutSize) / 2,
                   (GetSystemMetrics(SM_CYSCREEN) - kAboutSize) / 2, kAboutSize, kAboutSize,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) EndDialog(dialog, IDOK);
      return TRUE;
    case WM_LBUTTONUP:
      EndDialog(dialog, IDOK);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void RunAboutBox(void* parent) {
  DialogBoxParamA(ThisModule(), MAKEINTRESOURCEA(kAboutDialog), static_cast<HWND>(parent),
                  &AboutProc, 0);
}

}  // namespace gw
