#include "cli/plugin_modules.h"

#include <unistd.h>

#include <cstring>
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

std::string FindPluginModule(const std::string& edition, const std::string& folder) {
  const std::string name = testhost::ModuleFileName(edition);
  std::vector<std::string> folders;
  if (!folder.empty()) {
    folders.push_back(folder);
  } else {
    const std::string program = ProgramFolder();
    if (!program.empty()) {
      folders.push_back(program + "/" + GW_INSTALLED_PLUGIN_DIR);
      folders.push_back(program + "/../plugins");
    }
#ifdef GW_BUILD_PLUGIN_DIR
    folders.push_back(GW_BUILD_PLUGIN_DIR);
#endif
  }
  for (const std::string& f : folders) {
    const std::string path = f + "/" + name;
    if (access(path.c_str(), R_OK) == 0) return path;
  }
  throw FileError(name, "plug-in module not found in " + folders.front());
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
