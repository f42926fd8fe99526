// The sequence-data fuzz targets' hosts: one test host per edition, driving
// the plug-in linked into the target, set up once (global and parameter
// setup) for the whole run; each input is a project opened anew.
#pragma once

#include <cstddef>
#include <memory>

#include "host/commands.h"
#include "testhost/test_host.h"

namespace gw::fuzz {

inline const EditionTable* fuzzedEdition = nullptr;

inline PF_Err Entry(PF_Cmd cmd, PF_InData* in, PF_OutData* out, PF_ParamDef* params[],
                    PF_LayerDef* output, void*) {
  return HostMain(*fuzzedEdition, cmd, in, out, params, output);
}

// The host of edition `choice` % 3 (full, Showcase, Quick).
inline testhost::TestHost& HostOfEdition(size_t choice) {
  static const EditionTable* const kEditions[] = {&FullEdition(), &ShowcaseEdition(),
                                                  &QuickEdition()};
  static std::unique_ptr<testhost::TestHost> hosts[3];
  const size_t edition = choice % 3;
  fuzzedEdition = kEditions[edition];
  if (!hosts[edition]) {
    hosts[edition] = std::make_unique<testhost::TestHost>(&Entry, "fuzz");
    hosts[edition]->GlobalSetup();
    hosts[edition]->ParamsSetup();
  }
  return *hosts[edition];
}

}  // namespace gw::fuzz
