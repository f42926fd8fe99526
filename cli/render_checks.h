// The checks of `glarewright render` that read image headers, made before
// the first frame: every input frame and layer image is a picture this
// program takes, the output's format keeps what is asked of it, and a
// frame's work fits in memory.
#pragma once

#include <string>
#include <vector>

#include "cli/image_module.h"
#include "cli/render_options.h"

namespace gw {

// The files a render reads, named before the first frame.
struct RenderFiles {
  std::vector<std::string> inputs;  // every input frame, in order (none: the built-in frame)
  struct Layer {
    std::string option;  // --location-layer, --obscuration-layer
    std::string path;
  };
  std::vector<Layer> layers;  // each image once
};

// What the checks found, for every worker.
struct ImageFacts {
  SampleType outputType = SampleType::UInt8;
  int32_t jobs = 1;  // worker processes whose frames fit in memory together
};

enum class MemoryCheck : uint8_t { Made, Skipped };

// Reads the headers and says on stderr what is written otherwise than asked
// (one line each); throws CommandError for the first file refused. Loads
// the image module: with several jobs the work happens in a child process,
// so that the workers are forked from a process without its threads.
ImageFacts CheckImagesBeforeRendering(const RenderOptions& options, const RenderPlan& plan,
                                      const RenderFiles& files, MemoryCheck memory);

}  // namespace gw
