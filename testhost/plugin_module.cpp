#include "testhost/plugin_module.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace gw::testhost {
namespace {

#ifdef _WIN32
constexpr const char* kModuleExtension = ".dll";
constexpr WORD kPiplResourceId = 128;
// windres stores a resource type written in quotes upper-cased: the lookup
// by name ignores case, so the host's "PiPL" finds it.
constexpr const char* kPiplResourceType = "PiPL";

HMODULE Native(void* handle) { return static_cast<HMODULE>(handle); }

std::string LastErrorText() {
  const DWORD code = GetLastError();
  char text[256] = {};
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, code, 0, text, sizeof text, nullptr);
  std::string why(text, n);
  while (!why.empty() && (why.back() == '\n' || why.back() == '\r')) why.pop_back();
  return why.empty() ? "error " + std::to_string(code) : why;
}
#else
constexpr const char* kModuleExtension = ".so";

std::string PiplPathOf(const std::string& modulePath) {
  const size_t slash = modulePath.find_last_of('/');
  const size_t dot = modulePath.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
    return modulePath + ".pipl";
  }
  return modulePath.substr(0, dot) + ".pipl";
}
#endif

}  // namespace

std::string ModuleFileName(const std::string& edition) {
  const char* base = edition == "showcase" ? "GlarewrightShowcase"
                     : edition == "quick"  ? "GlarewrightQuick"
                                           : "Glarewright";
  return std::string(base) + kModuleExtension;
}

#ifdef _WIN32

PluginModule::PluginModule(const std::string& path) : path_(path) {
  handle_ = LoadLibraryA(path.c_str());
  if (!handle_) throw std::runtime_error(path + ": " + LastErrorText());
}

PluginModule::~PluginModule() { FreeLibrary(Native(handle_)); }

void* PluginModule::Symbol(const char* name) const {
  return reinterpret_cast<void*>(GetProcAddress(Native(handle_), name));
}

std::optional<std::vector<uint8_t>> PluginModule::PiplBytes(std::string& error) const {
  HRSRC info = FindResourceA(Native(handle_), MAKEINTRESOURCEA(kPiplResourceId),
                             kPiplResourceType);
  HGLOBAL loaded = info ? LoadResource(Native(handle_), info) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) {
    error = "no PiPL resource in the module";
    return std::nullopt;
  }
  const auto* bytes = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(bytes, bytes + SizeofResource(Native(handle_), info));
}

#else

PluginModule::PluginModule(const std::string& path) : path_(path) {
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* why = dlerror();
    throw std::runtime_error(why ? why : path + ": cannot be loaded");
  }
}

PluginModule::~PluginModule() { dlclose(handle_); }

void* PluginModule::Symbol(const char* name) const { return dlsym(handle_, name); }

std::optional<std::vector<uint8_t>> PluginModule::PiplBytes(std::string& error) const {
  std::ifstream in(PiplPathOf(path_), std::ios::binary);
  if (!in) {
    error = "no PiPL beside the module";
    return std::nullopt;
  }
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

#endif

}  // namespace gw::testhost
