// Where the program finds the plug-in modules it drives.
#pragma once

#include <memory>
#include <string>

#include "testhost/test_host.h"

namespace gw {

// The folder of the running program (empty if it cannot be told).
std::string ProgramFolder();

// The module of an edition ("full", "showcase", "quick"): in `folder` when
// given, else beside the build or the installed program. Throws CommandError
// when it is not there.
std::string FindPluginModule(const std::string& edition, const std::string& folder);

// The OpenFX binary inside its bundle (Glarewright.ofx.bundle): in `folder`
// when given, else beside the build or the installed program, or where
// applications look (OFX_PLUGIN_PATH, /usr/OFX/Plugins). Throws CommandError
// when it is not there.
std::string FindOfxBinary(const std::string& folder);
// The identifier of an edition's OpenFX plug-in; throws for an unknown edition.
std::string OfxIdentifier(const std::string& edition);

// Loads the module into a test host; throws CommandError naming it.
std::unique_ptr<testhost::TestHost> LoadPlugin(const std::string& path);

// Throws "<module>: <what>: error <code>[: <return_msg>]" unless code is 0.
void CheckPluginCode(const testhost::TestHost& host, const std::string& what, PF_Err code);

// Throws when the test host saw the plug-in misuse a handle, lock or checkout.
void CheckPluginConduct(testhost::TestHost& host);

}  // namespace gw
