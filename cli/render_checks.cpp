#include "cli/render_checks.h"

#include <algorithm>
#include <iostream>

#include "cli/errors.h"
#include "cli/image_io.h"
#include "cli/interrupts.h"
#include "cli/memory_budget.h"
#include "cli/output_choice.h"
#include "cli/plate_windows.h"
#include "cli/sequence_pattern.h"
#include "cli/worker_pool.h"

namespace gw {
namespace {

// What the program and its libraries hold before any picture.
constexpr uint64_t kProgramBytes = uint64_t{96} << 20;

std::string SizeText(int64_t width, int64_t height) {
  return std::to_string(width) + " x " + std::to_string(height);
}

// A frame's work at its peak, in one process: the plate as read and over its
// frame window, the result and its downsampled copy (floats); the plug-in's
// input and output, the host's copies of both and the layer handed over
// (8-bit ARGB); the program and its libraries. (Measured at 4000 x 3000:
// 0.98 GB for four float channels, 0.78 GB for 8-bit RGB; this says 1.08
// and 0.89.)
uint64_t FrameWorkBytes(const ImageWindow& frame, int32_t channels) {
  const uint64_t plate = PlateBytes(frame.width, frame.height, channels);
  const uint64_t argb = PlateBytes(frame.width, frame.height, 1);
  return 4 * plate + 5 * argb + kProgramBytes;
}

// A layer image: the plate while it is read, and its 8-bit frame kept with
// the host's copy.
uint64_t LayerBytes(const Plate& header) {
  const ImageWindow frame = FrameWindow(header);
  return PlateBytes(frame.width, frame.height, header.channels) +
         2 * PlateBytes(frame.width, frame.height, 1);
}

// How the edition reads a layer of another size than the frame.
std::string LayerSizeUse(const std::string& option, const std::string& edition) {
  if (option == "--obscuration-layer") {
    return "it is sampled around the light's pixel, counted from the top-left corners, its "
           "edge pixels standing in beyond it";
  }
  if (edition == "showcase") {
    return "the showcase edition stretches it over the frame to place its lights";
  }
  return "the light is found at its pixel position counted from the frame's top-left corner, "
         "not scaled";
}

ImageFacts CheckImages(const RenderOptions& o, const RenderPlan& plan, const RenderFiles& files,
                       MemoryCheck memory) {
  // The input frames: the largest sets the memory a frame needs.
  Plate first;
  ImageWindow largest{};
  int32_t channels = 3;
  std::string largestName = "the built-in frame";
  if (files.inputs.empty()) {
    first.width = largest.width = plan.builtInSize.width;
    first.height = largest.height = plan.builtInSize.height;
    first.channels = 3;
  }
  for (size_t i = 0; i < files.inputs.size(); ++i) {
    if (i > 0 && Interrupted()) break;  // the work stops before its first frame
    Plate header = ReadPlateHeader(files.inputs[i]);
    const ImageWindow frame = FrameWindow(header);
    if (i == 0 ||
        PlateBytes(frame.width, frame.height, header.channels) >
            PlateBytes(largest.width, largest.height, channels)) {
      largest = frame;
      channels = header.channels;
      largestName = files.inputs[i];
    }
    if (i == 0) first = std::move(header);
  }
  const ImageWindow firstFrame = FrameWindow(first);

  uint64_t layerBytes = 0;
  bool told[2] = {false, false};
  for (const RenderFiles::Layer& layer : files.layers) {
    const Plate header = ReadPlateHeader(layer.path);
    layerBytes += LayerBytes(header);
    const ImageWindow frame = FrameWindow(header);
    bool& saidIt = told[layer.option == "--location-layer" ? 0 : 1];
    if (!saidIt && (frame.width != firstFrame.width || frame.height != firstFrame.height)) {
      std::cerr << "glarewright: " << layer.option << ": " << layer.path << " is "
                << SizeText(frame.width, frame.height) << ", the frame "
                << SizeText(firstFrame.width, firstFrame.height) << ": "
                << LayerSizeUse(layer.option, plan.edition) << "\n";
      saidIt = true;
    }
  }

  const std::string output = FrameFileName(o.output, plan.range.first);
  OutputRequest request;
  request.depth = plan.depth.value_or(first.type);
  request.depthGiven = plan.depth.has_value();
  request.flareOnly = plan.flareOnly;
  request.channels = first.channels;
  request.hasAlpha = first.alphaChannel >= 0;
  request.channelNames = first.channelNames;
  const OutputChoice choice = ChooseOutput(
      output,
      DescribeOutputFormat(plan.output.formatName.empty() ? output : plan.output.formatName),
      request);
  for (const std::string& note : choice.notes) std::cerr << "glarewright: " << note << "\n";

  ImageFacts facts;
  facts.outputType = choice.type;
  facts.jobs = plan.jobs;
  if (memory == MemoryCheck::Skipped) return facts;
  const uint64_t perFrame = FrameWorkBytes(largest, channels);
  CheckFits(largestName + ": a frame of " + SizeText(largest.width, largest.height) + " pixels (" +
                std::to_string(channels) + " channel" + (channels == 1 ? "" : "s") + ")",
            perFrame + layerBytes, plan.memory);
  // Every worker holds a frame and its own layers.
  const uint64_t fit = plan.memory.bytes / (perFrame + layerBytes);
  facts.jobs = static_cast<int32_t>(std::min<uint64_t>(plan.jobs, std::max<uint64_t>(fit, 1)));
  if (facts.jobs < plan.jobs && !o.jobs.empty()) {
    std::cerr << "glarewright: --jobs " << plan.jobs << ": " << facts.jobs << " frame"
              << (facts.jobs == 1 ? "" : "s") << " at a time fit in "
              << MemoryText(plan.memory.bytes) << "; rendering with " << facts.jobs << "\n";
  }
  return facts;
}

}  // namespace

ImageFacts CheckImagesBeforeRendering(const RenderOptions& options, const RenderPlan& plan,
                                      const RenderFiles& files, MemoryCheck memory) {
  if (plan.jobs <= 1) return CheckImages(options, plan, files, memory);
  SharedArray<ImageFacts> facts(1);
  RunInChildProcess([&] { facts[0] = CheckImages(options, plan, files, memory); });
  return facts[0];
}

}  // namespace gw
