// The command handlers of every edition, and the dispatch that calls them.
#pragma once

#include "host/edition.h"
#include "host/sdk/pf_api.h"
#include "lens/lens.h"
#include "render/pixels.h"

namespace gw {

// Sizes of the two handles the plug-in owns: the screen table, and the
// stored lens.
inline constexpr uint32_t kGlobalDataSize = kScreenTableSize;
inline constexpr uint32_t kSequenceDataSize = sizeof(SequenceData);

// The entry point of an edition: one command, one handler, one host error
// code. No exception leaves it; memory running out gives -108.
PF_Err HostMain(const EditionTable& edition, PF_Cmd cmd, PF_InData* in, PF_OutData* out,
                PF_ParamDef* params[], PF_LayerDef* output) noexcept;

PF_Err ShowAbout();
PF_Err GlobalSetup(const EditionTable& edition, PF_InData& in, PF_OutData& out);
PF_Err GlobalSetdown(PF_InData& in);
PF_Err ParamsSetup(const EditionTable& edition, PF_InData& in, PF_OutData& out);
PF_Err SequenceSetup(PF_InData& in, PF_OutData& out);
PF_Err SequenceResetup(PF_InData& in, PF_OutData& out);
PF_Err SequenceSetdown(PF_InData& in, PF_OutData& out);
PF_Err DoDialog(PF_OutData& out);

// The render commands: the lens of the sequence data or a preset over one
// light (full and Quick editions), or once per light of the location layer
// (Showcase edition).
PF_Err RenderFrame(const EditionTable& edition, PF_InData& in, PF_OutData& out,
                   PF_ParamDef* params[], PF_LayerDef& output);
PF_Err RenderShowcaseFrame(const EditionTable& edition, PF_InData& in, PF_OutData& out,
                           PF_ParamDef* params[], PF_LayerDef& output);

// Fails a render that has no sequence data (or no global data).
PF_Err FailWithoutGlobals(const PF_InData& in, PF_OutData& out);

}  // namespace gw
