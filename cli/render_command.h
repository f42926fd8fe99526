// `glarewright render`: renders a flare over an image, a sequence or the
// built-in frame through a plug-in module, as the compositing host would,
// and lays it over the plate.
#pragma once

#include <CLI/CLI.hpp>

#include "cli/render_options.h"

namespace gw {

void AddRenderCommand(CLI::App& app);

// Runs one render; throws CommandError on any failure.
void RunRender(const RenderOptions& options);

}  // namespace gw
