#include "app/Shutdown.h"

#include <atomic>

#include "app/ModuleHooks.h"
#include "engine/Timer.h"
#include "params/CtrlCmd.h"
#include "ui/Panel.h"

namespace {
std::atomic<bool> done{false};
}

void McycleRelease(McShutdown kind) {
  // No tick may run while its buffers and links go away.
  TimerClose();
  if (mcModuleHooks.freeTraceBuffer) mcModuleHooks.freeTraceBuffer();
  CtrlCmdEntriesClear(sScrContainer, 0, CTRL_CMD_MAX_ENTRIES);
  sScrContainer.uwNumOfEntries = 0;
  if (mcModuleHooks.closeObjectLog) mcModuleHooks.closeObjectLog();
  if (mcModuleHooks.closeLink) mcModuleHooks.closeLink(kind == McShutdown::Close);
}

void McycleShutdown(McShutdown kind) {
  if (done.exchange(true)) return;
  McycleRelease(kind);
  PanelQuitEventLoop();
}

void McycleShutdownReset() { done = false; }
