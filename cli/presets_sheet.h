// The contact sheet of the presets: every preset rendered by the Quick
// edition over the built-in frame, shrunk to a tile and labelled.
#pragma once

#include <string>

namespace gw {

struct SheetOptions {
  std::string output;               // the image to write
  std::string format;               // its format by extension, for standard output
  bool force = false;               // replace a read-only file
  std::string size = "960x540";     // the frame each preset is rendered at
  std::string light = "30%,30%";    // the light, as `render --light` takes it
  int tileWidth = 320;              // each tile's width; its height keeps the frame's shape
  int columns = 6;
  std::string pluginDir;            // where the Quick module is; empty: the usual places
  int jobs = 1;                     // worker processes
  bool quiet = false;               // no progress bar
};

// Renders the 39 presets in popup order, left to right and top to bottom,
// each labelled "<value>  <name>" under its tile, and writes the sheet.
// Throws CommandError on bad options or a failed render or write.
void WriteContactSheet(const SheetOptions& options);

}  // namespace gw
