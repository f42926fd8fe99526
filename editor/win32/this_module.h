// The module (the plug-in DLL) whose code is running: where its dialogs,
// bitmaps and cursors are found.
#pragma once

#include <windows.h>

namespace gw {

inline HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                         GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&ThisModule), &module);
  return module;
}

}  // namespace gw
