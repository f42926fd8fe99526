#include "host/commands.h"

#include <cstring>
#include <new>

#include "editor/lens_editor.h"
#include "host/about_box.h"
#include "host/host_calls.h"
#include "host/module_state.h"
#include "lens/byte_order.h"
#include "lens/lens.h"
#include "render/pixels.h"

namespace gw {
namespace {

PF_Err Dispatch(const EditionTable& edition, PF_Cmd cmd, PF_InData* in, PF_OutData* out,
                PF_ParamDef* params[], PF_LayerDef* output) {
  if (cmd == PF_Cmd_ABOUT) return ShowAbout();
  const bool known = cmd == PF_Cmd_GLOBAL_SETUP || cmd == PF_Cmd_GLOBAL_SETDOWN ||
                     cmd == PF_Cmd_PARAMS_SETUP || cmd == PF_Cmd_SEQUENCE_SETUP ||
                     cmd == PF_Cmd_SEQUENCE_RESETUP || cmd == PF_Cmd_SEQUENCE_SETDOWN ||
                     cmd == PF_Cmd_DO_DIALOG || cmd == PF_Cmd_RENDER;
  if (!known) return PF_Err_NONE;  // unused codes, flatten, frame setup and above
  if (!in || !out || !in->utils) return PF_Err_BAD_CALLBACK_PARAM;

  switch (cmd) {
    case PF_Cmd_GLOBAL_SETUP:
      if (in->utils->get_platform_data) {  // its result is not used
        in->utils->get_platform_data(in->effect_ref, PF_PlatData_MAIN_WND, HostMainWindowSlot());
      }
      return GlobalSetup(edition, *in, *out);
    case PF_Cmd_GLOBAL_SETDOWN:
      return GlobalSetdown(*in);
    case PF_Cmd_PARAMS_SETUP:
      return ParamsSetup(edition, *in, *out);
    case PF_Cmd_SEQUENCE_SETUP:
      return SequenceSetup(*in, *out);
    case PF_Cmd_SEQUENCE_RESETUP:
      return SequenceResetup(*in, *out);
    case PF_Cmd_SEQUENCE_SETDOWN:
      return SequenceSetdown(*in, *out);
    case PF_Cmd_DO_DIALOG:
      return edition.hasDialog ? DoDialog(*out) : PF_Err_NONE;
    case PF_Cmd_RENDER:
      if (!params || !output) return PF_Err_BAD_CALLBACK_PARAM;
      return edition.render == RenderKind::LightsFromLayer
                 ? RenderShowcaseFrame(edition, *in, *out, params, *output)
                 : RenderFrame(edition, *in, *out, params, *output);
    default:
      return PF_Err_NONE;
  }
}

// A fresh sequence handle in `out`: version, default lens, stored order.
PF_Err CreateSequenceData(PF_InData& in, PF_OutData& out) {
  PF_Handle handle = in.utils->host_new_handle(kSequenceDataSize);
  if (!handle) return kErrOutOfMemory;
  out.sequence_data = handle;
  Lens lens{};
  BuildDefaultLens(lens);
  *static_cast<SequenceData*>(*handle) = StoredSequenceData(lens);
  return PF_Err_NONE;
}

}  // namespace

PF_Err HostMain(const EditionTable& edition, PF_Cmd cmd, PF_InData* in, PF_OutData* out,
                PF_ParamDef* params[], PF_LayerDef* output) noexcept {
  try {
    return Dispatch(edition, cmd, in, out, params, output);
  } catch (const std::bad_alloc&) {
    return kErrOutOfMemory;
  } catch (...) {
    return PF_Err_INTERNAL_STRUCT_DAMAGED;
  }
}

PF_Err ShowAbout() {
  RunAboutBox(HostMainWindow());
  return PF_Err_NONE;
}

PF_Err GlobalSetup(const EditionTable& edition, PF_InData& in, PF_OutData& out) {
  if (!out.global_data) {
    PF_Handle handle = in.utils->host_new_handle(kGlobalDataSize);
    if (!handle) return kErrOutOfMemory;
    out.global_data = handle;
    BuildScreenTable(static_cast<uint8_t*>(*handle));
  }
  HostStrcpy(in, out.name, edition.effectName);
  out.my_version = edition.version;
  out.out_flags = edition.outFlags;
  return PF_Err_NONE;
}

PF_Err GlobalSetdown(PF_InData& in) {
  if (in.global_data) {
    in.utils->host_dispose_handle(in.global_data);
    in.global_data = nullptr;
  }
  return PF_Err_NONE;
}

PF_Err SequenceSetup(PF_InData& in, PF_OutData& out) {
  if (!out.sequence_data) {
    const PF_Err err = CreateSequenceData(in, out);
    if (err) return err;
  } else {
    // Whatever the host holds is stored data: only the version word is renewed.
    uint32_t version = kSequenceDataVersion;
    SwapToFromBigEndian(version);
    std::memcpy(*out.sequence_data, &version, sizeof version);
  }
  out.flat_sdata_size = kSequenceDataSize;
  return PF_Err_NONE;
}

PF_Err SequenceResetup(PF_InData& in, PF_OutData& out) {
  if (in.sequence_data) return PF_Err_NONE;  // the stored form is the working storage
  return SequenceSetup(in, out);
}

PF_Err SequenceSetdown(PF_InData& in, PF_OutData& out) {
  if (in.sequence_data) {
    in.utils->host_dispose_handle(in.sequence_data);
    out.sequence_data = nullptr;
    in.sequence_data = nullptr;
  }
  return PF_Err_NONE;
}

PF_Err DoDialog(PF_OutData& out) {
  SetCurrentScreenTable(static_cast<const uint8_t*>(HandleData(out.global_data)));
  auto* data = static_cast<SequenceData*>(HandleData(out.sequence_data));
  if (!data) return PF_Err_NONE;  // no instance to edit
  Unflatten(*data);
  try {
    RunLensEditor(data->lens, HostMainWindow());  // on Cancel or failure the lens is unchanged
  } catch (...) {
    // The dialog never fails towards the host; the data goes back to stored form.
  }
  Flatten(*data);
  return PF_Err_NONE;
}

PF_Err FailWithoutGlobals(const PF_InData& in, PF_OutData& out) {
  HostStrcpy(in, out.return_msg, "Flare invoked without globals");
  out.out_flags |= PF_OutFlag_DISPLAY_ERROR_MESSAGE;
  return PF_Err_INTERNAL_STRUCT_DAMAGED;
}

}  // namespace gw
