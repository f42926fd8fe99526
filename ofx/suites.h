// The host's suites as the binding uses them. They are fetched once, when the
// binary is loaded (setHost and the Load action), before any instance
// exists, and only read afterwards: renders on any number of threads share
// them without writing.
#pragma once

#include "ofx/api/core.h"
#include "ofx/api/host_suites.h"
#include "ofx/api/image_effect.h"
#include "ofx/api/params.h"
#include "ofx/api/property_suite.h"

namespace gw::ofx {

struct HostSuites {
  OfxHost* host = nullptr;
  const OfxPropertySuiteV1* property = nullptr;
  const OfxImageEffectSuiteV1* effect = nullptr;
  const OfxParameterSuiteV1* param = nullptr;
  const OfxMemorySuiteV1* memory = nullptr;
  // Messages: version 2 where the host has it, else version 1 (either may be null).
  const OfxMessageSuiteV2* persistentMessage = nullptr;
  const OfxMessageSuiteV1* message = nullptr;
};

const HostSuites& Suites();

// setHost: the host, nothing fetched yet.
void SetHost(OfxHost* host);
// The Load action: fetches the suites. kOfxStatErrMissingHostFeature when a
// suite the binding cannot work without is missing.
OfxStatus FetchSuites();
// The Unload action: forgets them.
void ForgetSuites();

}  // namespace gw::ofx
