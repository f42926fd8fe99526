#include "cli/lens_commands.h"

#include <iostream>
#include <memory>

#include "cli/errors.h"
#include "cli/files.h"
#include "cli/lens_json.h"
#include "cli/lens_table.h"

namespace gw {
namespace {

struct LensOptions {
  std::string input;
  std::string output;
};

}  // namespace

void AddLensCommands(CLI::App& app) {
  CLI::App* lens = app.add_subcommand("lens", "Create, show and convert lens files (.gwr)");
  lens->require_subcommand(1);
  auto options = std::make_shared<LensOptions>();

  CLI::App* create = lens->add_subcommand("new", "Write the default lens to a file");
  create->add_option("-o,--output", options->output, "The lens file to write")->required();
  create->callback([options] {
    Lens lens{};
    BuildDefaultLens(lens);
    SaveLensOrThrow(options->output, lens);
  });

  CLI::App* show = lens->add_subcommand("show", "Print a lens file as a table");
  show->add_option("file", options->input, "The lens file")->required();
  show->callback([options] { std::cout << FormatLensTable(LoadLensOrThrow(options->input)); });

  CLI::App* to_json = lens->add_subcommand("export", "Convert a lens file to JSON");
  to_json->add_option("file", options->input, "The lens file")->required();
  to_json->add_option("-o,--output", options->output, "The JSON file to write")->required();
  to_json->callback([options] {
    WriteFileAtomically(options->output, LensToJson(LoadLensOrThrow(options->input)));
  });

  CLI::App* from_json = lens->add_subcommand("import", "Convert JSON to a lens file");
  from_json->add_option("file", options->input, "The JSON file")->required();
  from_json->add_option("-o,--output", options->output, "The lens file to write")->required();
  from_json->callback([options] {
    Lens lens{};
    std::string error;
    if (!LensFromJson(ReadTextFile(options->input), lens, error)) {
      throw FileError(options->input, error);
    }
    SaveLensOrThrow(options->output, lens);
  });
}

}  // namespace gw
