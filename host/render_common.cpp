#include "host/render_common.h"

#include <cstring>

#include "host/commands.h"
#include "host/host_calls.h"
#include "host/module_state.h"
#include "render/numeric.h"

namespace gw {
namespace {

int32_t ReportToHost(void* context, int32_t current, int32_t total) {
  const auto* in = static_cast<const PF_InData*>(context);
  return in->inter.progress(in->effect_ref, current, total);
}

bool Covers(const PF_LayerDef& layer, const FrameSize& size) {
  return HasPixels(layer) && layer.width >= size.width && layer.height >= size.height;
}

}  // namespace

FrameSize RenderedSize(const PF_InData& in) {
  return {Downsampled(in.width, in.downsample_x), Downsampled(in.height, in.downsample_y)};
}

bool FrameFits(const FrameSize& size, const PF_LayerDef& input, const PF_LayerDef& output) {
  if (!size.Addressable()) return false;
  if (size.Empty()) return true;  // nothing to copy or draw
  return Covers(input, size) && Covers(output, size);
}

void CopyInputToOutput(const FrameSize& size, const PF_LayerDef& input, PF_LayerDef& output) {
  if (size.width <= 0 || size.height <= 0) return;  // an empty frame may come without pixels
  const size_t rowLength = static_cast<size_t>(size.width) * 4;
  for (int32_t y = 0; y < size.height; ++y) {
    const auto* from = static_cast<const uint8_t*>(input.data) + ptrdiff_t{y} * input.rowbytes;
    auto* to = static_cast<uint8_t*>(output.data) + ptrdiff_t{y} * output.rowbytes;
    if (from != to) std::memmove(to, from, rowLength);
  }
}

std::unique_ptr<SequenceData> WorkingCopy(const PF_OutData& out) {
  auto data = std::make_unique<SequenceData>();
  std::memcpy(data.get(), *out.sequence_data, sizeof(SequenceData));
  Unflatten(*data);
  return data;
}

PF_Err BeginFrame(const EditionTable& edition, PF_InData& in, PF_OutData& out,
                  PF_ParamDef* params[], PF_LayerDef& output, FrameContext& frame) {
  const auto param = [&](ParamRole role) -> const PF_ParamDef& {
    return *params[edition.IndexOf(role)];
  };
  frame.data = WorkingCopy(out);
  frame.size = RenderedSize(in);
  if (!FrameFits(frame.size, params[0]->u.ld, output)) return PF_Err_BAD_CALLBACK_PARAM;
  CopyInputToOutput(frame.size, params[0]->u.ld, output);

  const Canvas canvas{static_cast<uint8_t*>(output.data), output.rowbytes, 4,
                      WholeFrame(frame.size.width, frame.size.height)};
  const FrameSettings settings{in.quality != 0,
                               FixedToFloat(param(ParamRole::Scale).u.fd.value),
                               FixedDegreesToPhase(param(ParamRole::Angle).u.ad.value)};
  if (!BeginFlare(frame.size, canvas, settings, frame.flare)) return kErrOutOfMemory;
  RenderTarget& target = frame.flare.target;

  frame.globals.emplace(in, in.global_data);
  target.screenTable = static_cast<const uint8_t*>(frame.globals->data());
  if (!target.screenTable) return FailWithoutGlobals(in, out);
  SetCurrentScreenTable(target.screenTable);
  return PF_Err_NONE;
}

bool ParamsPresent(const EditionTable& edition, PF_ParamDef* params[]) {
  for (int32_t i = 0; i < edition.NumParams(); ++i) {
    if (!params[i]) return false;
  }
  return true;
}

ProgressCallback HostProgress(const PF_InData& in) {
  return ProgressCallback{&ReportToHost, const_cast<PF_InData*>(&in)};
}

}  // namespace gw
