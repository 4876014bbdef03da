#include "app/BatchStop.h"

#include <csignal>

#include "engine/McycleBatch.h"

namespace {

// Only lock-free atomics are touched here (McycleBatchRequestStop).
void OnStopSignal(int) { McycleBatchRequestStop(); }

}  // namespace

void McycleBatchWatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}
