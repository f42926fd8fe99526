#include "cli/plugin_modules.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string_view>
#include <filesystem>
#include <vector>

#include "cli/errors.h"
#include "testhost/test_host.h"

namespace gw {

std::string ProgramFolder() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : self.parent_path().string();
}

namespace {

// The folders the modules and the bundle are looked for in: `folder` alone
// when given, else beside the installed program and the build.
std::vector<std::string> PluginFolders(const std::string& folder, const char* installed) {
  if (!folder.empty()) return {folder};
  std::vector<std::string> folders;
  const std::string program = ProgramFolder();
  if (!program.empty()) {
    folders.push_back(program + "/" + installed);
    folders.push_back(program + "/../plugins");
  }
#ifdef GW_BUILD_PLUGIN_DIR
  folders.push_back(GW_BUILD_PLUGIN_DIR);
#endif
  return folders;
}

std::string FirstReadable(const std::vector<std::string>& folders, const std::string& name) {
  for (const std::string& f : folders) {
    const std::string path = f + "/" + name;
    if (access(path.c_str(), R_OK) == 0) return path;
  }
  return {};
}

}  // namespace

std::string FindPluginModule(const std::string& edition, const std::string& folder) {
  const std::string name = testhost::ModuleFileName(edition);
  const std::vector<std::string> folders = PluginFolders(folder, GW_INSTALLED_PLUGIN_DIR);
  const std::string path = FirstReadable(folders, name);
  if (path.empty()) throw FileError(name, "plug-in module not found in " + folders.front());
  return path;
}

std::string FindOfxBinary(const std::string& folder) {
  const std::string name = "Glarewright.ofx.bundle/Contents/Linux-x86-64/Glarewright.ofx";
  std::vector<std::string> folders = PluginFolders(folder, GW_INSTALLED_OFX_DIR);
  if (folder.empty()) {
    // Where OpenFX applications look.
    if (const char* paths = std::getenv("OFX_PLUGIN_PATH")) {
      for (std::string_view rest = paths; !rest.empty();) {
        const size_t colon = rest.find(':');
        if (colon != 0) folders.emplace_back(rest.substr(0, colon));
        if (colon == std::string_view::npos) break;
        rest.remove_prefix(colon + 1);
      }
    }
    folders.push_back("/usr/OFX/Plugins");
  }
  const std::string path = FirstReadable(folders, name);
  if (path.empty()) {
    throw FileError("Glarewright.ofx.bundle", "the OpenFX edition was not found in " +
                                                  folders.front() +
                                                  (folders.size() > 1 ? " or the folders "
                                                                        "applications look in"
                                                                      : ""));
  }
  return path;
}

std::string OfxIdentifier(const std::string& edition) {
  if (edition == "full") return "org.glarewright.Glarewright";
  if (edition == "showcase") return "org.glarewright.GlarewrightShowcase";
  if (edition == "quick") return "org.glarewright.GlarewrightQuick";
  throw CommandError("--edition: '" + edition + "' is not one of full, showcase, quick");
}

std::unique_ptr<testhost::TestHost> LoadPlugin(const std::string& path) {
  try {
    return std::make_unique<testhost::TestHost>(path);
  } catch (const std::runtime_error& e) {
    throw FileError(path, e.what());
  }
}

namespace {
std::string ModuleName(const testhost::TestHost& host) {
  return std::filesystem::path(host.modulePath()).filename().string();
}
}  // namespace

void CheckPluginCode(const testhost::TestHost& host, const std::string& what, PF_Err code) {
  if (code == PF_Err_NONE) return;
  std::string reason = what + ": error " + std::to_string(code);
  if (code == PF_Interrupt_CANCEL) reason = what + ": cancelled";
  const PF_OutData& out = host.lastOut();
  const std::string message(out.return_msg, strnlen(out.return_msg, sizeof out.return_msg));
  if (!message.empty()) reason += ": " + message;
  throw FileError(ModuleName(host), reason);
}

void CheckPluginConduct(testhost::TestHost& host) {
  const std::vector<std::string> problems = host.TakeProblems();
  if (!problems.empty()) throw FileError(ModuleName(host), problems.front());
}

}  // namespace gw
