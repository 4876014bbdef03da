// Identification of a controller (rc7sim, P0528 variant) from the channel's
// connect signal to the end marker, against its tick-bound minimum: every
// request needs at least two 2 ms ticks (one sends, a later one receives).
// And an extended parameter write plus read-back (27 + 27 telegrams) in
// telegrams per second against the 250/s the tick allows.
#include <benchmark/benchmark.h>


#include "comm/ComChannel.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/McycleFlags.h"
#include "params/CtrlCmd.h"
#include "BenchLink.h"
#include "support/SimProcess.h"

namespace {

constexpr double kMinTicksPerRequest = 2;
constexpr int kSerialPort = 2;

// Paced ticks until the operation started by `signal` has ended; the ticks
// run. The ram-type panel is acknowledged at once, as an operator would.
int64_t RunOperation(uint16_t signal) {
  McycleSignalQueuePut(signal);
  bool started = false;
  return BenchPacedTicks([&started] {
    ubMcFlag4 &= static_cast<uint8_t>(~MC_FLAG4_RAMTYPE_UNACKNOWLEDGED);
    const uint16_t state = uwMcycleState;
    if (state != MC_STATE_IDLE) started = true;
    return !(started && state == MC_STATE_IDLE && swStackPointer == 0);
  });
}

bool OpenLink(uint8_t link, const SimProcess& sim) {
  if (!BenchOpenLink(link, sim)) return false;
  ubMcComSpeed = 0;  // low speed: a serial link stays at 9600
  return true;
}

void Identification(benchmark::State& state, uint8_t link, const SimProcess& sim) {
  if (!OpenLink(link, sim)) {
    state.SkipWithError("no simulator link");
    return;
  }
  int64_t ticks = 0, requests = 0, runs = 0;
  for (auto _ : state) {
    const size_t before = sim.Journal().size();
    McycleChannelContainersInit();
    ticks += RunOperation(MC_SIG_CONNECT);
    requests += static_cast<int64_t>(sim.Journal().size() - before);
    ++runs;
  }
  BenchCloseLink();
  const double engineMs = static_cast<double>(ticks * MC_TICK_MS) / static_cast<double>(runs);
  const double minimumMs = static_cast<double>(requests) / static_cast<double>(runs) * kMinTicksPerRequest * MC_TICK_MS;
  state.counters["requests"] = static_cast<double>(requests) / static_cast<double>(runs);
  state.counters["engine_ms"] = engineMs;
  state.counters["minimum_ms"] = minimumMs;
  state.counters["minimum_fraction"] = minimumMs / engineMs;
  state.counters["identified"] = (ubMcFlag1 & MC_FLAG1_LINK_ESTABLISHED) ? 1 : 0;
}

void BM_IdentificationPty(benchmark::State& state) {
  SimProcess sim({"--no-udp", "--no-pty4", "--variant", "p0528", "--baud", "9600"});
  ScopedEnv com("STROKEDESK_COM2", sim.Pty1());
  Identification(state, CQ_LINK_SERIAL, sim);
}

void BM_IdentificationUdp(benchmark::State& state) {
  SimProcess sim({"--no-pty1", "--no-pty4", "--variant", "p0528"});
  Identification(state, CQ_LINK_UDP, sim);
}

void ExtendedWriteAndReadBack(benchmark::State& state, uint8_t link, const SimProcess& sim) {
  if (!OpenLink(link, sim)) {
    state.SkipWithError("no simulator link");
    return;
  }
  McycleChannelContainersInit();
  for (int i = 0; i < 25; ++i) sParamRdContainer.entries[i].udData = 100 + i;
  int64_t telegrams = 0, ticks = 0, sendTicks = 0, readTicks = 0;
  for (auto _ : state) {
    const size_t before = sim.Journal().size();
    ubMcFlag1 |= MC_FLAG1_PARM_EXTENDED;
    const int64_t send = RunOperation(MC_SIG_PARM_WRITE);
    const int64_t read = RunOperation(MC_SIG_PARM_READBACK);
    sendTicks += send;
    readTicks += read;
    ticks += send + read;
    telegrams += static_cast<int64_t>(sim.Journal().size() - before);
  }
  // Send and read back each: 27 telegrams of at least two 2 ms ticks.
  const double runs = static_cast<double>(state.iterations());
  const double operationLimitMs = 27 * kMinTicksPerRequest * MC_TICK_MS;
  state.counters["send_ms"] = static_cast<double>(sendTicks * MC_TICK_MS) / runs;
  state.counters["readback_ms"] = static_cast<double>(readTicks * MC_TICK_MS) / runs;
  state.counters["operation_limit_ms"] = operationLimitMs;
  state.counters["limit_per_send"] = operationLimitMs * runs / static_cast<double>(sendTicks * MC_TICK_MS);
  state.counters["limit_per_readback"] = operationLimitMs * runs / static_cast<double>(readTicks * MC_TICK_MS);
  BenchCloseLink();
  const double limit = 1000.0 / (kMinTicksPerRequest * MC_TICK_MS);
  const double seconds = static_cast<double>(ticks * MC_TICK_MS) / 1000.0;
  state.counters["telegrams_per_s"] = benchmark::Counter(static_cast<double>(telegrams), benchmark::Counter::kIsRate);
  state.counters["engine_telegrams_per_s"] = static_cast<double>(telegrams) / seconds;
  state.counters["tick_limit_per_s"] = limit;
  state.counters["limit_fraction"] = static_cast<double>(telegrams) / seconds / limit;
  state.counters["telegrams_per_run"] = static_cast<double>(telegrams) / static_cast<double>(state.iterations());
}

void BM_ExtendedParametersPty(benchmark::State& state) {
  SimProcess sim({"--no-udp", "--no-pty4"});
  ScopedEnv com("STROKEDESK_COM2", sim.Pty1());
  ExtendedWriteAndReadBack(state, CQ_LINK_SERIAL, sim);
}

void BM_ExtendedParametersUdp(benchmark::State& state) {
  SimProcess sim({"--no-pty1", "--no-pty4"});
  ExtendedWriteAndReadBack(state, CQ_LINK_UDP, sim);
}

BENCHMARK(BM_IdentificationPty)->Iterations(20)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdentificationUdp)->Iterations(20)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtendedParametersPty)->Iterations(10)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtendedParametersUdp)->Iterations(10)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
