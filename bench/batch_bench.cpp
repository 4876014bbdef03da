// Device services against rc7sim on a pseudo-terminal, each against the
// limit its tick sets:
// - one cyclic round of six reads at the 2 ms tick: the round starts in one
//   tick, each read is answered at the earliest in the next tick (which sends
//   the following read), and the round is collected in the tick after the
//   last answer: 7 ticks, 14 ms;
// - object accesses of a batch script at the 10 ms batch tick: the script
//   machine needs at least two ticks per access (one issues it, a later one
//   takes the answer), so at most 50 accesses per second.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "app/Startup.h"
#include "comm/ComChannel.h"
#include "comm/ComQueue.h"
#include "comm/StMaUart.h"
#include "engine/Mcycle.h"
#include "engine/McycleBatch.h"
#include "engine/McycleCyclic.h"
#include "engine/Timer.h"
#include "platform/Serial.h"
#include "scope/scope.h"
#include "BenchLink.h"
#include "support/SimProcess.h"

namespace {

constexpr int kPort = 4;
constexpr double kCyclicRoundTicks = 7;
constexpr double kBatchTicksPerAccess = 2;

// The engine after its start step, talking to rc7sim over serial port kPort.
class SimLink {
 public:
  SimLink() : sim_({"--no-udp", "--no-pty4", "--stroke", "500"}), env_("STROKEDESK_COM4", sim_.Pty1()) {
    ubMcFlag1 = ubMcFlag2 = ubMcFlag3 = 0;
    ok_ = BenchOpenLink(CQ_LINK_SERIAL, sim_, kPort);
    McycleChannelContainersInit();
  }
  ~SimLink() { BenchCloseLink(); }
  bool Ok() const { return ok_; }

 private:
  SimProcess sim_;
  ScopedEnv env_;
  bool ok_ = false;
};

// Rounds of the cyclic monitor with a poll due on every tick and ticks at a
// fixed 2 ms rate; one iteration is one round, from the tick that starts it
// to the tick that collects it.
void BM_CyclicRound(benchmark::State& state) {
  SimLink link;
  if (!link.Ok()) {
    state.SkipWithError("no simulator on a pty");
    return;
  }
  ubMcFlag1 |= MC_FLAG1_LINK_ESTABLISHED;
  udScopeFwVersion = 0x00EB0005;  // the simulator's pressure layout
  McycleCyclicPrepareRequests();
  ubMcFlag1 |= MC_FLAG1_CYCLIC_MONITOR_ON;
  int64_t ticks = 0, rounds = 0;
  // A poll is due on every tick; the first tick starts the round.
  const auto due = [] {
    ubMcFlag2 |= MC_FLAG2_CYCLIC_READ_DUE;
    return true;
  };
  for (auto _ : state) {
    bool first = true;
    ticks += BenchPacedTicks([&] {
      const bool more = first || (ubCyclicDataState == 1 && (ubMcFlag1 & MC_FLAG1_CYCLIC_MONITOR_ON));
      first = false;
      return more && due();
    }) - 1;
    ++rounds;
  }
  if (!(ubMcFlag1 & MC_FLAG1_CYCLIC_MONITOR_ON)) state.SkipWithError("a read failed");
  const double roundMs = static_cast<double>(ticks) / static_cast<double>(rounds) * MC_TICK_MS;
  state.counters["round_ms"] = roundMs;
  state.counters["limit_ms"] = kCyclicRoundTicks * MC_TICK_MS;
  state.counters["limit_fraction"] = kCyclicRoundTicks * MC_TICK_MS / roundMs;
}
BENCHMARK(BM_CyclicRound)->Iterations(200)->UseRealTime()->Unit(benchmark::kMillisecond);

// A batch script of reads and writes run by the batch machine on the
// asynchronous timer, as "-batch -script" does once the link is open.
void BM_BatchObjectAccesses(benchmark::State& state) {
  SimLink link;
  if (!link.Ok()) {
    state.SkipWithError("no simulator on a pty");
    return;
  }
  const int accesses = static_cast<int>(state.range(0));
  const std::string path = "/tmp/batch-bench-" + std::to_string(::getpid()) + ".pms";
  {
    std::ofstream script(path);
    script << "log off\n";
    for (int i = 0; i < accesses; ++i) script << (i % 2 ? "wrw 0x2000 0 " + std::to_string(i) : "rd 0x2004 0") << "\n";
  }
  // Batch mode prints every line on stdout: keep it out of the report.
  ubMcFlag3 |= MC_FLAG3_BATCH_MODE;
  std::fflush(stdout);
  const int savedStdout = ::dup(1);
  const int devNull = ::open("/dev/null", O_WRONLY);
  ::dup2(devNull, 1);
  int64_t runs = 0, failed = 0;
  double seconds = 0;
  for (auto _ : state) {
    uwMcBatchStateQueue[0] = BATCH_PLAN_SCRIPT;
    ubBatchStateCnt = 0;
    ubBatchCounter = 0;
    std::snprintf(ubCtrlCmdPathBuffer, sizeof ubCtrlCmdPathBuffer, "%s", path.c_str());
    McycleBatchReset();
    ubBatchEnd = 0;
    const auto start = std::chrono::steady_clock::now();
    McycleSignalQueuePut(MC_SIG_BATCH);
    TimerInit(TIMER_SEL_ASYNC);
    McycleBatchEndWait();
    TimerClose();
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    failed += McycleBatchExitCode() != BATCH_EXIT_OK;
    ++runs;
  }
  std::fflush(stdout);
  ::dup2(savedStdout, 1);
  ::close(savedStdout);
  ::close(devNull);
  ubMcFlag3 &= static_cast<uint8_t>(~MC_FLAG3_BATCH_MODE);
  std::remove(path.c_str());
  const double perSecond = static_cast<double>(accesses * runs) / seconds;
  const double limit = 1000.0 / (kBatchTicksPerAccess * MC_ASYNC_TICK_MS);
  state.counters["accesses_per_s"] = perSecond;
  state.counters["limit_per_s"] = limit;
  state.counters["limit_fraction"] = perSecond / limit;
  state.counters["failed_runs"] = static_cast<double>(failed);
}
BENCHMARK(BM_BatchObjectAccesses)->Arg(200)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
