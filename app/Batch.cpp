#include "app/Batch.h"

#include <cstdio>

#include "app/BatchStop.h"
#include "app/IniFile.h"
#include "app/Shutdown.h"
#include "app/Startup.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/McycleBatch.h"
#include "engine/Timer.h"
#include "platform/Paths.h"

int McycleRunBatch(const McStartOptions& options) {
  ubBatchEnd = 0;
  McycleBatchReset();
  McycleBatchWatchStopSignals();
  McycleStateMachine(MC_SIG_START);
  McycleApplyAfterStartStep(options);
  // The Ethernet channel's address comes from StrokeDesk.ini; its lines go
  // to standard output like every other.
  if (ubCqDataChannel == CQ_LINK_UDP) McycleReadIniFile(McycleIniDirectory(ProgramDirectory()).c_str());
  McycleSignalQueuePut(MC_SIG_BATCH);
  if (TimerInit(TIMER_SEL_ASYNC) != 0) {
    std::fprintf(stderr, "strokedesk: the cycle timer could not be started\n");
    return -1;
  }
  McycleBatchEndWait();
  // The batch machine only marks the end; the release stops the timer and
  // waits for a tick still running, so nothing writes after the buffers and
  // links are gone.
  McycleRelease(McShutdown::Close);
  std::fflush(stdout);
  return McycleBatchExitCode();
}
