#include "app/ModuleHooks.h"

#include "comm/ComChannel.h"
#include "comm/udp.h"
#include "engine/McycleCyclic.h"
#include "objects/ScriptMachine.h"

namespace {
// The program ends right after either shutdown, so Exit closes the UDP socket
// too; closing it early loses nothing.
void CloseLink(bool /*includingUdp*/) { McycleChannelClose(); }
void CloseObjectLog() { McycleObjectLogClose(); }
}  // namespace

McModuleHooks mcModuleHooks = [] {
  McModuleHooks hooks;
  hooks.udpInit = UdpInit;
  hooks.scanSerialPorts = McycleScanReg;
  hooks.closeLink = CloseLink;
  hooks.prepareCyclicRequests = McycleCyclicPrepareRequests;
  hooks.closeObjectLog = CloseObjectLog;
  return hooks;
}();
