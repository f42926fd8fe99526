// A plug-in module as the host loads it: the library, its entry point and
// its PiPL. On Linux the PiPL is the file beside the module (same name,
// extension .pipl); on Windows it is the module's resource 128 of type PiPL.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace gw::testhost {

class PluginModule {
 public:
  // Loads the module; throws std::runtime_error when it cannot be loaded.
  explicit PluginModule(const std::string& path);
  ~PluginModule();
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  // The exported symbol with this name, or null.
  void* Symbol(const char* name) const;
  // The PiPL's bytes, or nothing with the reason in `error`.
  std::optional<std::vector<uint8_t>> PiplBytes(std::string& error) const;

 private:
  std::string path_;
  void* handle_ = nullptr;
};

// The file name of a plug-in module on this platform.
std::string ModuleFileName(const std::string& edition);  // "full", "showcase", "quick"

}  // namespace gw::testhost
