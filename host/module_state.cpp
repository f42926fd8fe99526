#include "host/module_state.h"

namespace gw {
namespace {

void* hostMainWindow = nullptr;

}  // namespace

void* HostMainWindow() { return hostMainWindow; }
void** HostMainWindowSlot() { return &hostMainWindow; }

}  // namespace gw
