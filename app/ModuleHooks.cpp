#include "app/ModuleHooks.h"

#include "comm/ComChannel.h"
#include "comm/udp.h"
#include "engine/McycleCyclic.h"
#include "engine/McycleParameter.h"
#include "objects/ScriptMachine.h"
#include "scope/ScopeAxes.h"
#include "scope/ScopeDisplay.h"
#include "scope/ScopeTrace.h"
#include "scope/Scope_hmi.h"

namespace {
// The program ends right after either shutdown, so Exit closes the UDP socket
// too; closing it early loses nothing.
void CloseLink(bool /*includingUdp*/) { McycleChannelClose(); }
// Fills the script container and posts the script signal itself, or refuses
// while an operation runs.
void SetSoftParm(uint16_t value) { McycleSetSoftParm(value); }
void CloseObjectLog() { McycleObjectLogClose(); }
}  // namespace

McModuleHooks McycleProgramHooks() {
  McModuleHooks hooks;
  hooks.scopeInit = ScopeInit;
  hooks.udpInit = UdpInit;
  hooks.scanSerialPorts = McycleScanReg;
  hooks.closeLink = CloseLink;
  hooks.setSoftParm = SetSoftParm;
  hooks.prepareCyclicRequests = McycleCyclicPrepareRequests;
  hooks.closeObjectLog = CloseObjectLog;
  hooks.freeTraceBuffer = ScopeTraceFree;
  hooks.loadTraceFile = ScopeHmiLoadHook;
  hooks.redrawTrace = ScopeTraceDisplay;
  return hooks;
}

McModuleHooks mcModuleHooks = McycleProgramHooks();
