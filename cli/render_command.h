// `glarewright render`: renders a flare over an image, a sequence or the
// built-in frame through a plug-in module, as the compositing host would,
// and lays it over the plate.
#pragma once

#include <CLI/CLI.hpp>
#include <memory>

#include "cli/render_options.h"

namespace gw {

void AddRenderCommand(CLI::App& app);

// Declares the options of `render` that describe the picture (everything but
// --chunk and --skip-existing) on `command`, filling `options`.
void AddRenderOptions(CLI::App* command, const std::shared_ptr<RenderOptions>& options);

// Runs one render; throws CommandError on any failure.
void RunRender(const RenderOptions& options);

// Everything a render checks before its first frame, and the plug-in set up
// with every parameter, without rendering; throws CommandError as the render
// would.
RenderPlan CheckRenderSetUp(const RenderOptions& options);

}  // namespace gw
