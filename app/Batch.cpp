#include "app/Batch.h"

#include <cstdio>

#include "app/ModuleHooks.h"
#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "engine/Timer.h"

int McycleRunBatch(const McStartOptions& options) {
  ubBatchEnd = 0;
  McycleStateMachine(MC_SIG_START);
  McycleApplyAfterStartStep(options);
  McycleSignalQueuePut(MC_SIG_BATCH);
  if (TimerInit(TIMER_SEL_ASYNC) != 0) {
    std::fprintf(stderr, "strokedesk: the cycle timer could not be started\n");
    return -1;
  }
  McycleBatchEndWait();
  // The batch machine has stopped the tick; closing waits for one still
  // running, so nothing writes after the buffers and links are gone.
  TimerClose();
  if (mcModuleHooks.freeTraceBuffer) mcModuleHooks.freeTraceBuffer();
  if (mcModuleHooks.closeObjectLog) mcModuleHooks.closeObjectLog();
  if (mcModuleHooks.closeLink) mcModuleHooks.closeLink(true);
  std::fflush(stdout);
  return 0;
}
