// A script of 1000 reads run by the script machine against rc7sim, with the
// tick at its fixed 2 ms rate, in entries per second against the tick-bound
// limit. An object-access entry needs at least four ticks: one to look at the
// entry (step 0x0601), one to place the request (the queue sends it in the
// same tick), one in which the answer is received and accepted after the
// machine has looked, and one in which the machine takes the result. So the
// limit is 1000 / (4 * 2 ms) = 125 entries/s.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "hmi/hmi.h"
#include "objects/OBJCMD.h"
#include "params/CtrlCmd.h"
#include "BenchLink.h"
#include "support/SimProcess.h"

namespace {

constexpr int kReads = 1000;
constexpr int kMinTicksPerEntry = 4;
constexpr double kTickLimit = 1000.0 / (kMinTicksPerEntry * MC_TICK_MS);  // entries per second

bool CompileReads() {
  ObjCmdScriptReset();
  std::string reply;
  for (int i = 0; i < kReads; ++i)
    if (ObjCmdInterpreter("rd 0x2004 0", reply) != OBJCMD_OK) return false;
  return true;
}

bool Busy() { return uwMcycleState != MC_STATE_IDLE || ubMcSignalQueueCounter != 0; }

void RunScripts(benchmark::State& state) {
  int64_t entries = 0, ticks = 0;
  double seconds = 0;
  ubMcFlag3 |= MC_FLAG3_SCRIPT_LOG_OFF;  // no frame lines: one value line per entry
  for (auto _ : state) {
    if (!CompileReads()) {
      state.SkipWithError("script not compiled");
      return;
    }
    McycleSignalQueuePut(MC_SIG_SCRIPT);
    const auto start = std::chrono::steady_clock::now();
    ticks += BenchPacedTicks(Busy);
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    entries += kReads;
  }
  ubMcFlag3 &= static_cast<uint8_t>(~MC_FLAG3_SCRIPT_LOG_OFF);
  const double rate = static_cast<double>(entries) / seconds;
  state.counters["entries_per_s"] = rate;
  state.counters["fraction_of_limit"] = rate / kTickLimit;
  state.counters["tick_limit_per_s"] = kTickLimit;
  state.counters["ticks_per_entry"] = static_cast<double>(ticks) / static_cast<double>(entries);
}

void ScriptReads(benchmark::State& state, uint8_t link, const SimProcess& sim) {
  if (!BenchOpenLink(link, sim)) {
    state.SkipWithError("no simulator link");
    return;
  }
  CtrlCmdListInit();
  RunScripts(state);
  BenchCloseLink();
}

void BM_ScriptReadsPty(benchmark::State& state) {
  SimProcess sim({"--no-udp", "--no-pty4"});
  ScopedEnv com("STROKEDESK_COM2", sim.Pty1());
  ScriptReads(state, CQ_LINK_SERIAL, sim);
}

void BM_ScriptReadsUdp(benchmark::State& state) {
  SimProcess sim({"--no-pty1", "--no-pty4"});
  ScriptReads(state, CQ_LINK_UDP, sim);
}

BENCHMARK(BM_ScriptReadsPty)->Iterations(2)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_ScriptReadsUdp)->Iterations(2)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace
