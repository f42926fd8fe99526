// What the render commands of every edition share: the frame size, the copy
// of the input, the profile block, the screen table and the host's progress.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "frame/frame.h"
#include "host/edition.h"
#include "host/host_calls.h"
#include "host/sdk/pf_api.h"
#include "lens/lens.h"
#include "render/draw_lens.h"
#include "render/target.h"

namespace gw {

// The size actually rendered: the layer size after the host's downsampling.
FrameSize RenderedSize(const PF_InData& in);

// True when the input and output images are readable and writable over the
// whole rendered size, and the size fits a render target.
bool FrameFits(const FrameSize& size, const PF_LayerDef& input, const PF_LayerDef& output);

// Copies W x H pixels, alpha included, from the input to the output.
void CopyInputToOutput(const FrameSize& size, const PF_LayerDef& input, PF_LayerDef& output);

// The render's private copy of the instance's stored lens, in working order.
std::unique_ptr<SequenceData> WorkingCopy(const PF_OutData& out);

// What the first steps of a render leave for the rest of it.
struct FrameContext {
  std::unique_ptr<SequenceData> data;   // the instance's lens, in working order
  FrameSize size{};                     // the rendered size
  std::optional<LockedHandle> globals;  // holds the screen table locked
  FlareFrame flare;  // the target over the whole output: quality, Scale, Angle, screen table

  bool Empty() const { return size.Empty(); }
};

// The first steps of every render command, once its own inputs are read:
// the lens copied out of the sequence data, the input copied to the output
// over the rendered size, and the target over the whole output. 516 when the
// frame does not fit (nothing written), -108 when the profile block cannot
// be had (the output then holds the copy of the input), the no-globals
// failure when the screen table cannot be locked.
PF_Err BeginFrame(const EditionTable& edition, PF_InData& in, PF_OutData& out,
                  PF_ParamDef* params[], PF_LayerDef& output, FrameContext& frame);

// True when the host's parameter array holds every parameter of the edition.
bool ParamsPresent(const EditionTable& edition, PF_ParamDef* params[]);

// The host's progress callback in the form DrawLens takes.
ProgressCallback HostProgress(const PF_InData& in);

}  // namespace gw
