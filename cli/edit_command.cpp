#include "cli/edit_command.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "cli/errors.h"
#include "cli/plugin_modules.h"

namespace gw {
namespace {

constexpr char kEditorProgram[] = "glarewright-edit";

// Replaces this process by the editor, with the arguments as given.
void RunEditor(const std::vector<std::string>& arguments) {
  const std::string program = ProgramFolder() + "/" + kEditorProgram;
  if (access(program.c_str(), X_OK) != 0) {
    throw FileError(program, "the Lens Editor is not installed (build with Qt 6 to have it)");
  }
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  execv(program.c_str(), argv.data());
  throw FileError(program, std::strerror(errno));
}

}  // namespace

void AddEditCommand(CLI::App& app) {
  CLI::App* edit = app.add_subcommand(
      "edit", "Open the Lens Editor on a lens file: glarewright edit [FILE.gwr] "
              "[--preset NAME|N] [--background IMAGE] (glarewright edit --help for more)");
  edit->prefix_command();
  edit->set_help_flag();  // --help goes to the editor itself
  edit->callback([edit] { RunEditor(edit->remaining()); });
}

}  // namespace gw
