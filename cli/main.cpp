// glarewright: renders lens flares and reads, writes and converts lens files.
#include <CLI/CLI.hpp>
#include <exception>
#include <new>
#include <iostream>

#include "cli/edit_command.h"
#include "cli/errors.h"
#include "cli/farm_slurm.h"
#include "cli/frames_check.h"
#include "cli/inspect_command.h"
#include "cli/lens_commands.h"
#include "cli/presets_commands.h"
#include "cli/render_command.h"
#include "cli/usage_errors.h"

int main(int argc, char** argv) {
  CLI::App app{"Glarewright: photographic lens flares over images and sequences"};
  app.name("glarewright");
  app.require_subcommand(1);
  gw::AddRenderCommand(app);
  gw::AddLensCommands(app);
  gw::AddInspectCommand(app);
  gw::AddPresetsCommands(app);
  gw::AddEditCommand(app);
  gw::AddFramesCommands(app);
  gw::AddFarmCommands(app);
  if (const std::optional<int> refused = gw::CheckCommandWords(app, argc, argv)) return *refused;
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return gw::ReportParseError(app, e);
  } catch (const gw::CommandError& e) {
    std::cerr << "glarewright: " << e.what() << "\n";
    return 1;
  } catch (const std::bad_alloc&) {
    std::cerr << "glarewright: there is not enough memory for this work\n";
    return 1;
  } catch (const std::exception& e) {
    std::cerr << "glarewright: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
