// Batch mode: the batch-plan machine (0x1F) runs the plan the command line
// built (connect, script) and ends the run with an exit code.
//
// Exit codes of a batch run:
//   0  every slot finished without error
//   1  the batch ran but something failed: port or socket not opened, connect
//      failed, script not opened, not compiled, empty, or ended on a run-time
//      error such as "Transmission ERROR"
//   2  the command line was rejected (before the batch starts)
//   3  stopped by SIGINT or SIGTERM (handled as the Esc key)
#pragma once
#include <cstdint>

#include "engine/McycleMachines.h"
#include "objects/ScriptMachine.h"

inline constexpr int BATCH_EXIT_OK = 0;
inline constexpr int BATCH_EXIT_FAILED = 1;
inline constexpr int BATCH_EXIT_REJECTED = 2;
inline constexpr int BATCH_EXIT_STOPPED = 3;

// Plan entries: the state words of the machines a slot runs.
inline constexpr uint16_t BATCH_PLAN_CONNECT = MC_IDENT_START;
inline constexpr uint16_t BATCH_PLAN_SCRIPT = MC_SCRIPT_START;

// Prepares a run: exit code 0, no stop request, no failure noted. Call before
// posting the batch signal.
void McycleBatchReset();
// The exit code of the finished batch: 0, 1 or 3.
int McycleBatchExitCode();
// Asks the batch to stop as the Esc key would: the script ends at its next
// step and no further slot starts. Async-signal-safe.
void McycleBatchRequestStop();
// A machine that ends on a run-time error it has reported (the script's
// "Transmission ERROR", a counter error) calls this, so the batch slot
// counts as failed. Tick only.
void McycleBatchNoteFailure();
