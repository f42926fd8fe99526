// glarewright-edit: the Lens Editor in a window of its own, started by
// `glarewright edit`. Exit status 0 when the lens was kept (OK), 1 when the
// user cancelled, 2 on an error.
#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/edit_session.h"

int main(int argc, char** argv) {
  CLI::App cli{"The Lens Editor: builds a lens and keeps it in a lens file (.gwr)"};
  cli.name("glarewright edit");
  gw::EditOptions options;
  cli.add_option("FILE", options.file,
                 "Lens file: opened, and written back when you press OK (a file that does "
                 "not exist yet starts from the default lens)");
  cli.add_option("--preset", options.preset, "Start from a built-in preset, by name or number");
  cli.add_option("--background", options.background,
                 "Preview the flare over this image (at its aspect ratio) instead of black; "
                 "the light's place is then given in its pixels");
  cli.add_option("--memory-limit", options.memoryLimit,
                 "Memory the background may use, such as 4G (default: what the machine has "
                 "free); a larger picture is refused before it is read");
  cli.add_flag("--force", options.force, "OK may replace a read-only lens file, as cp -f does");
  cli.add_option("--screenshot", options.screenshot, "Save a picture of the editor and cancel")
      ->group("");
  cli.add_option("--window-size", options.windowSize, "WIDTHxHEIGHT of the window's picture")
      ->group("");
  try {
    cli.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = cli.exit(e);
    return code == 0 ? 0 : gw::kEditFailed;
  }
  if (!gw::HasDisplay()) {
    std::cerr << "glarewright edit: no display: the Lens Editor needs a window system "
                 "(DISPLAY or WAYLAND_DISPLAY)\n";
    return gw::kEditFailed;
  }
  try {
    std::string keptIn;
    const int status = gw::RunEditSession(argc, argv, options, {}, &keptIn);
    // Kept somewhere else than the file given: the user chose where.
    if (status == gw::kEditKept && !keptIn.empty() && keptIn != options.file) {
      std::cout << "The lens was kept in " << keptIn << "\n";
    }
    return status;
  } catch (const std::exception& e) {
    std::cerr << "glarewright edit: " << e.what() << "\n";
    return gw::kEditFailed;
  }
}
