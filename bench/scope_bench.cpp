// Trace acquisition: the frame conversions on a 4000-frame trace against a
// plain copy of the same records, and the download of a full two-trace trace
// from rc7sim against the larger of its tick bound and its link bound.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "BenchLink.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/McycleMachines.h"
#include "params/CtrlCmd.h"
#include "platform/Serial.h"
#include "scope/ScopeConvert.h"
#include "scope/ScopeDownload.h"
#include "scope/ScopeTrace.h"
#include "scope/scope.h"
#include "sim/SimStroke.h"
#include "support/SimProcess.h"

namespace {

constexpr size_t kFrames = 4000;

// A recorded stroke in records ready for conversion.
std::vector<ScopeFrame> Records(SimScopeLayout layout) {
  const auto samples = SimStrokeGenerate(SimScopeTraceModel(layout, 0, false), kFrames, 0.5);
  std::vector<uint8_t> raw(kFrames * 16);
  SimScopeEncoding e;
  e.layout = layout;
  e.ramGaps = layout == SimScopeLayout::Quill;
  SimStrokeEncode(samples, e, raw.data());
  std::vector<ScopeFrame> records(kFrames);
  for (size_t i = 0; i < kFrames; ++i) std::memcpy(records[i].aubRaw, &raw[i * 16], 16);
  return records;
}

// Times `convert` alone on fresh records each iteration.
template <class Convert>
void Conversion(benchmark::State& state, SimScopeLayout layout, Convert convert) {
  ubMcFlag3 = layout == SimScopeLayout::Quill ? MC_FLAG3_FW_QUILL : 0;
  uwScopeLmsResol = 10;
  uwScopeMotResol = 5;
  const std::vector<ScopeFrame> fresh = Records(layout);
  ScopeTraceDesc t;
  ScopeFramesReplace(t, kFrames);
  t.uwFrames = kFrames;
  if (layout == SimScopeLayout::Quill) {  // the fill runs on converted records
    std::memcpy(t.pFrames, fresh.data(), kFrames * sizeof(ScopeFrame));
    ScopeFrameConvertP0528(t);
  }
  const std::vector<ScopeFrame> input(t.pFrames, t.pFrames + kFrames);
  for (auto _ : state) {
    std::memcpy(t.pFrames, layout == SimScopeLayout::Quill ? input.data() : fresh.data(), kFrames * sizeof(ScopeFrame));
    const auto start = std::chrono::steady_clock::now();
    convert(t);
    benchmark::ClobberMemory();
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  state.counters["frames_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations() * kFrames), benchmark::Counter::kIsRate);
  ScopeFramesReplace(t, 0);
  ubMcFlag3 = 0;
}

void BM_ConvertP0528(benchmark::State& s) { Conversion(s, SimScopeLayout::P0528, ScopeFrameConvertP0528); }
void BM_ConvertP0417(benchmark::State& s) { Conversion(s, SimScopeLayout::P0417, ScopeFrameConvertP0417); }
void BM_QuillRamFill(benchmark::State& s) { Conversion(s, SimScopeLayout::Quill, ScopeFrameConvertQuillRam); }

// The reference: the same records copied, as the download copies them.
void BM_CopyRecords(benchmark::State& state) {
  const std::vector<ScopeFrame> from = Records(SimScopeLayout::P0528);
  std::vector<ScopeFrame> to(kFrames);
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    std::memcpy(to.data(), from.data(), kFrames * sizeof(ScopeFrame));
    benchmark::ClobberMemory();
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  state.counters["frames_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations() * kFrames), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_CopyRecords)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConvertP0528)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConvertP0417)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QuillRamFill)->UseManualTime()->Unit(benchmark::kMicrosecond);

// --- Download ------------------------------------------------------------------------

// What identification of a P0528 controller sets up for a download.
void IdentifiedP0528() {
  CtrlCmdListInit();
  CtrlCmdRdParameterContainerInit();
  CtrlCmdLogDataContainerP528Init(0);
  CtrlCmdScopeDataContainerInit(SCOPE_VARIANT_P0528);
  udScopeFwVersion = 235u << 16 | 7;
  uwScopeRamtype = 0x30;
}

// Bytes one exchange puts on a serial line: request and answer frames.
constexpr double kSdoBytes = 2 * 9;

void Download(benchmark::State& state, uint8_t link, int baud) {
  SimProcess sim({"--variant", "p0528", "--scope", "4000", link == CQ_LINK_UDP ? "--no-pty1" : "--no-udp",
                  "--no-pty4", "--line-time", "--lifetime", "600"});  // 9600 baud takes over two minutes
  ScopedEnv com("STROKEDESK_COM2", sim.Pty1());
  if (!BenchOpenLink(link, sim)) {
    state.SkipWithError("no simulator link");
    return;
  }
  if (link == CQ_LINK_SERIAL && SerialOpenConfig(2, baud, 0, 8, 1, 4096, 10) != 0) {
    state.SkipWithError("line speed not set");
    return;
  }
  IdentifiedP0528();
  double engineMs = 0;
  size_t before = 0;
  for (auto _ : state) {
    before = sim.Journal().size();
    udScopeTime = 0;
    const uint32_t start = McTimerGetCurrentTime();
    McycleSignalQueuePut(MC_SIG_TRACE_DOWNLOAD);
    bool started = false;
    BenchPacedTicks([&] {
      started = started || (uwMcycleState >> 8) == MC_MACHINE_SCOPE_DOWNLOAD;
      return !started || uwMcycleState != MC_STATE_IDLE || swStackPointer != 0;
    });
    engineMs += McTimerGetCurrentTime() - start;
  }
  const double requests = static_cast<double>(sim.Journal().size() - before);
  const double blocks = uwMcScopeBlockAnz;
  const double transfers = requests - blocks;  // header reads and writes, freeze and unfreeze
  const double tickBound = 2.0 * MC_TICK_MS * (transfers + blocks);
  const double blockBytes = scScope[0].uwFrameLength * scScope[0].uwFramesPerBlock + 2;
  const double lineBytes = link == CQ_LINK_SERIAL ? requests * kSdoBytes + blocks * blockBytes : 0;
  const double linkBound = baud > 0 ? lineBytes * 10 * 1000 / baud : 0;
  const double bound = std::max(tickBound, linkBound);
  const double ms = engineMs / static_cast<double>(state.iterations());
  state.counters["download_ms"] = ms;
  state.counters["bound_ms"] = bound;
  state.counters["fraction_of_bound"] = bound / ms;
  state.counters["transfers"] = transfers;
  state.counters["blocks"] = blocks;
  state.counters["trace_present"] = (ubMcFlag2 & MC_FLAG2_TRACE_PRESENT) ? 1 : 0;
  BenchCloseLink();
  ScopeTraceFree();
}

void BM_DownloadPty9600(benchmark::State& s) { Download(s, CQ_LINK_SERIAL, 9600); }
void BM_DownloadPty57600(benchmark::State& s) { Download(s, CQ_LINK_SERIAL, 57600); }
void BM_DownloadUdp(benchmark::State& s) { Download(s, CQ_LINK_UDP, 0); }

BENCHMARK(BM_DownloadPty9600)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DownloadPty57600)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DownloadUdp)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
