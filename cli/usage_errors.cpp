#include "cli/usage_errors.h"

#include <iostream>
#include <string>
#include <vector>

namespace gw {
namespace {

std::string CommandNames(const CLI::App& app) {
  std::string names;
  for (const CLI::App* sub : app.get_subcommands({})) {
    names += (names.empty() ? "" : ", ") + sub->get_name();
  }
  return names;
}

// "glarewright lens" for the deepest command the parse reached.
std::string CommandPath(const CLI::App& app) {
  std::string path = app.get_name();
  const CLI::App* current = &app;
  for (;;) {
    const std::vector<const CLI::App*> parsed =
        current->get_subcommands([](const CLI::App* sub) { return sub->parsed(); });
    if (parsed.empty()) return path;
    current = parsed.front();
    path += " " + current->get_name();
  }
}

int Refuse(const std::string& what, const std::string& command) {
  std::cerr << "glarewright: " << what << " (" << command << " --help says more)\n";
  return kUsageError;
}

bool IsHelp(const std::string& word) { return word == "-h" || word == "--help"; }

// The part of CLI11's sentence after its "...: ".
std::string Tail(const std::string& text) {
  const size_t colon = text.find(": ");
  return colon == std::string::npos ? text : text.substr(colon + 2);
}

}  // namespace

std::optional<int> CheckCommandWords(const CLI::App& app, int argc, char** argv) {
  const CLI::App* current = &app;
  std::string path = app.get_name();
  for (int i = 1;; ++i) {
    const bool needsCommand = current->get_require_subcommand_min() > 0;
    const std::string word = i < argc ? argv[i] : "";
    if (word.empty() || word.starts_with('-')) {
      if (!needsCommand || IsHelp(word)) return std::nullopt;
      const std::string what = word.empty() ? "'" + path + "' needs a command"
                                            : "'" + word + "' is no option of '" + path + "'";
      return Refuse(what + "; the commands are " + CommandNames(*current), path);
    }
    const CLI::App* next = nullptr;
    for (const CLI::App* sub : current->get_subcommands({})) {
      if (sub->check_name(word)) next = sub;
    }
    if (!next) {
      if (!needsCommand) return std::nullopt;  // an argument of the command
      return Refuse("'" + word + "' is not a command of '" + path + "'; the commands are " +
                        CommandNames(*current),
                    path);
    }
    current = next;
    path += " " + word;
  }
}

int ReportParseError(const CLI::App& app, const CLI::ParseError& error) {
  if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) return app.exit(error);
  const int code = error.get_exit_code();
  const std::string text = error.what();
  std::string what = text;
  if (code == static_cast<int>(CLI::ExitCodes::ExtrasError)) {
    what = "unexpected " + Tail(text);
  } else if (code == static_cast<int>(CLI::ExitCodes::ArgumentMismatch) &&
             text.find(" required ") != std::string::npos) {
    what = text.substr(0, text.find(": ")) + " needs a value";
  }
  return Refuse(what, CommandPath(app));
}

}  // namespace gw
