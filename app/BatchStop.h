// SIGINT and SIGTERM during a batch run: handled as the Esc key, so the
// script ends at its next step and the batch ends with exit code 3.
#pragma once

// Installs the handlers (batch start, before the timer runs).
void McycleBatchWatchStopSignals();
