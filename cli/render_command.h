// `glarewright render`: renders a flare over an image, a sequence or the
// built-in frame through a plug-in module, as the compositing host would.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

namespace gw {

struct RenderOptions {
  std::string input;   // an image, a numbered pattern, or empty for the built-in frame
  std::string output;  // an image or a numbered pattern
  std::string edition; // full | showcase | quick; empty: quick with --preset, else full
  std::string lens;    // a .gwr file (full and Showcase)
  std::string preset;  // a name or 1..39 (Quick)
  std::vector<std::string> light, brightness, scale, color, angle, locationLayer,
      obscurationLayer, obscurationType, sourceSize;
  double fps = 24.0;
  double shutterAngle = 0.0;
  std::string quality = "high";
  int downsample = 1;
  std::string frames;
  std::string size = "1920x1080";
  bool quiet = false;
  std::string pluginDir;
};

void AddRenderCommand(CLI::App& app);

// Runs one render; throws CommandError on any failure.
void RunRender(const RenderOptions& options);

}  // namespace gw
