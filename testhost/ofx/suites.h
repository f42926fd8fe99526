// The suites the host offers, each call checked, and the images handed out.
#pragma once

#include "ofx/api/core.h"
#include "testhost/ofx/problems.h"

namespace gw::ofxhost {

// The host's fetchSuite: property, image effect, parameter, memory, multi
// thread, message (version 2 where the host is set to offer it) and progress.
const void* FetchSuite(OfxPropertySetHandle host, const char* suiteName, int suiteVersion);

// The host whose property set a plug-in was given.
void RegisterHost(OfxPropertySetHandle props, Host* host);
void UnregisterHost(OfxPropertySetHandle props);

// Releases the images fetched in an action and still held; returns how many.
int ReleaseImagesOf(const ActionContext* action);

}  // namespace gw::ofxhost
