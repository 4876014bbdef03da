// Batch mode: no panels; the engine runs the batch plan on the asynchronous
// timer and reports on standard output.
#pragma once
#include "app/CommandLine.h"

// Runs the batch plan of `options` and returns when the batch machine has
// ended it: the batch's exit code (0, 1 or 3, engine/McycleBatch.h), or -1
// when the cycle timer cannot start (said on stderr).
int McycleRunBatch(const McStartOptions& options);
