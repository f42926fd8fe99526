#include "ofx/suites.h"

namespace gw::ofx {
namespace {

HostSuites suites;

template <class Suite>
const Suite* Fetch(const char* name, int version) {
  return static_cast<const Suite*>(suites.host->fetchSuite(suites.host->host, name, version));
}

}  // namespace

const HostSuites& Suites() { return suites; }

void SetHost(OfxHost* host) {
  if (suites.host != host) suites = HostSuites{host};
}

OfxStatus FetchSuites() {
  if (!suites.host || !suites.host->fetchSuite) return kOfxStatErrMissingHostFeature;
  suites.property = Fetch<OfxPropertySuiteV1>(kOfxPropertySuite, 1);
  suites.effect = Fetch<OfxImageEffectSuiteV1>(kOfxImageEffectSuite, 1);
  suites.param = Fetch<OfxParameterSuiteV1>(kOfxParameterSuite, 1);
  suites.memory = Fetch<OfxMemorySuiteV1>(kOfxMemorySuite, 1);
  suites.persistentMessage = Fetch<OfxMessageSuiteV2>(kOfxMessageSuite, 2);
  if (!suites.persistentMessage) suites.message = Fetch<OfxMessageSuiteV1>(kOfxMessageSuite, 1);
  if (!suites.property || !suites.effect || !suites.param || !suites.memory) {
    return kOfxStatErrMissingHostFeature;
  }
  return kOfxStatOK;
}

void ForgetSuites() { suites = HostSuites{suites.host}; }

}  // namespace gw::ofx
