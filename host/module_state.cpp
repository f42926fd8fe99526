#include "host/module_state.h"

namespace gw {
namespace {

void* hostMainWindow = nullptr;
const uint8_t* currentScreenTable = nullptr;

}  // namespace

void* HostMainWindow() { return hostMainWindow; }
void SetHostMainWindow(void* window) { hostMainWindow = window; }
void** HostMainWindowSlot() { return &hostMainWindow; }

const uint8_t* CurrentScreenTable() { return currentScreenTable; }
void SetCurrentScreenTable(const uint8_t* table) { currentScreenTable = table; }

}  // namespace gw
