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
#include <thread>

#include "comm/ComQueue.h"
#include "comm/StMaUart.h"
#include "comm/udp.h"
#include "comm/zel_ether.h"
#include "engine/Mcycle.h"
#include "hmi/hmi.h"
#include "objects/OBJCMD.h"
#include "params/CtrlCmd.h"
#include "platform/Serial.h"
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
    auto next = start;
    do {
      McycleTimerCallback();
      ++ticks;
      next += std::chrono::milliseconds(MC_TICK_MS);
      std::this_thread::sleep_until(next);
    } while (Busy());
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

void StartEngine() {
  udMcTimeTick = 0;
  McycleStateMachine(MC_SIG_START);
  CtrlCmdListInit();
}

void BM_ScriptReadsPty(benchmark::State& state) {
  SimProcess sim({"--no-udp", "--no-pty4"});
  ScopedEnv com("STROKEDESK_COM2", sim.Pty1());
  StartEngine();
  if (!sim.Ready() || SerialOpenConfig(2, 9600, 0, 8, 1, 4096, 10) != 0) {
    state.SkipWithError("no simulator on a pty");
    return;
  }
  iStMaComChan = 2;
  ubCqDataChannel = CQ_LINK_SERIAL;
  RunScripts(state);
  ubCqDataChannel = CQ_LINK_NONE;
  SerialClose(2);
}

void BM_ScriptReadsUdp(benchmark::State& state) {
  SimProcess sim({"--no-pty1", "--no-pty4"});
  StartEngine();
  if (!sim.Ready() || UdpStart("127.0.0.2") != 0) {
    state.SkipWithError("no simulator on UDP");
    return;
  }
  udUdpEthDestIp_DWORD = 0x7F000002;
  ubCqDataChannel = CQ_LINK_UDP;
  RunScripts(state);
  ubCqDataChannel = CQ_LINK_NONE;
  UdpClose();
}

BENCHMARK(BM_ScriptReadsPty)->Iterations(2)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_ScriptReadsUdp)->Iterations(2)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace
