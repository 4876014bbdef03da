#include "app/Shutdown.h"

#include <atomic>

#include "app/ModuleHooks.h"
#include "engine/Timer.h"
#include "ui/Panel.h"

namespace {
std::atomic<bool> done{false};
}

void McycleShutdown(McShutdown kind) {
  if (done.exchange(true)) return;
  // No tick may run while its buffers and links go away.
  TimerClose();
  if (mcModuleHooks.freeTraceBuffer) mcModuleHooks.freeTraceBuffer();
  if (mcModuleHooks.closeObjectLog) mcModuleHooks.closeObjectLog();
  if (mcModuleHooks.closeLink) mcModuleHooks.closeLink(kind == McShutdown::Close);
  PanelQuitEventLoop();
}

void McycleShutdownReset() { done = false; }
