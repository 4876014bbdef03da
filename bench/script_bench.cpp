// Compiling a 2000-line script. The loader runs on the user-interface thread,
// which also drives the 2 ms engine tick, so each figure is also given as a
// fraction of one tick period ("tick_fraction" 1.0 = one whole tick).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "engine/Mcycle.h"
#include "objects/OBJCMD.h"
#include "objects/ScriptLoader.h"
#include "params/CtrlCmd.h"

namespace {

// 2000 lines, every one making an entry, in a mix of every kind of statement.
std::vector<std::string> ScriptLines() {
  std::vector<std::string> lines = {"LABEL 1"};
  char line[128];
  for (int i = 1; lines.size() < static_cast<size_t>(CTRL_CMD_MAX_ENTRIES); ++i) {
    switch (i % 12) {
      case 0: std::snprintf(line, sizeof line, "RD 0x%04X %d ; read", 0x2000 + i % 0x400, i % 8); break;
      case 1: std::snprintf(line, sizeof line, "wrw 0x2002 0 %d", i); break;
      case 2: std::snprintf(line, sizeof line, "WRF 0x2602 1 %d.25", i); break;
      case 3: std::snprintf(line, sizeof line, "\tDLY %d", i % 1000); break;
      case 4: std::snprintf(line, sizeof line, "COUNTER_SET %d 3", 1 + i % 10); break;
      case 5: std::snprintf(line, sizeof line, "counter_dec %d", 1 + i % 10); break;
      case 6: std::snprintf(line, sizeof line, "SKIP_ZERO %d", 1 + i % 10); break;
      case 7: std::snprintf(line, sizeof line, "GOTO 1"); break;
      case 8: std::snprintf(line, sizeof line, "IF != 0x%X", i); break;
      case 9: std::snprintf(line, sizeof line, "LOG_OBJECT 0x2002 0"); break;
      case 10: std::snprintf(line, sizeof line, "DOS echo line %d > /dev/null", i); break;
      default: std::snprintf(line, sizeof line, "LOG_CREATE objects_%d", i); break;
    }
    lines.push_back(line);
  }
  return lines;
}

void Report(benchmark::State& state, double seconds) {
  const double ms = seconds * 1e3;
  state.counters["ms"] = benchmark::Counter(ms, benchmark::Counter::kAvgIterations);
  state.counters["tick_fraction"] =
      benchmark::Counter(ms / static_cast<double>(MC_TICK_MS), benchmark::Counter::kAvgIterations);
}

void BM_CompileScriptLines(benchmark::State& state) {
  const std::vector<std::string> lines = ScriptLines();
  std::string reply;
  double seconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    ObjCmdScriptReset();
    for (const std::string& line : lines)
      if (ObjCmdInterpreter(line, reply) != OBJCMD_OK) state.SkipWithError(reply.c_str());
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    benchmark::DoNotOptimize(sScrContainer.uwNumOfEntries);
  }
  Report(state, seconds);
}
BENCHMARK(BM_CompileScriptLines)->Unit(benchmark::kMillisecond);

void BM_LoadScriptFile(benchmark::State& state) {
  char path[] = "/tmp/script_benchXXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) {
    state.SkipWithError("no temporary file");
    return;
  }
  close(fd);
  {
    std::ofstream out(path);
    for (const std::string& line : ScriptLines()) out << line << "\r\n";
  }
  std::string reply;
  double seconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    if (McycleCompileScriptFile(path, true, reply) != SCRIPT_LOAD_OK) state.SkipWithError(reply.c_str());
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    benchmark::DoNotOptimize(sScrContainer.uwNumOfEntries);
  }
  Report(state, seconds);
  std::remove(path);
}
BENCHMARK(BM_LoadScriptFile)->Unit(benchmark::kMillisecond);

}  // namespace
