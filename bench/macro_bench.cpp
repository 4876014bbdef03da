// Macro images through rc7sim: upload and download of 1 KiB and 8 KiB on
// the serial pty and on UDP, in bytes per second against the memory
// machine's own bound (per 16-byte block the > 100 ms wait before the status
// poll plus six telegrams of one send and one receive tick of 2 ms). And the
// macro compile (stamp, save, include check, assembler, image header)
// against a bare run of the assembler on the same source.
#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <string>

#include "app/Startup.h"
#include "BenchLink.h"
#include "comm/CRC32.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/McycleMemory.h"
#include "macro/macro.h"
#include "platform/ChildProcess.h"
#include "support/FakePanelHost.h"
#include "support/SimProcess.h"
#include "ui/PanelIds.h"

namespace {

constexpr double kBlockBoundMs = 100 + 6 * 2 * MC_TICK_MS;
constexpr int kSerialPort = 2;

std::string Folder() {
  std::string pattern = "/tmp/macro_benchXXXXXX";
  return mkdtemp(pattern.data()) ? pattern : "/tmp";
}

// A valid image of `size` bytes.
std::string WriteImage(const std::string& path, uint32_t size) {
  std::string image(size, '\0');
  for (uint32_t i = 8; i < size; ++i) image[i] = static_cast<char>(i * 7);
  for (int i = 0; i < 4; ++i) image[4 + i] = static_cast<char>(size >> (8 * i));
  const uint32_t crc = CRC32calculationS(reinterpret_cast<const uint8_t*>(image.data()) + 4, size - 4);
  for (int i = 0; i < 4; ++i) image[i] = static_cast<char>(crc >> (8 * i));
  std::ofstream(path, std::ios::binary) << image;
  return path;
}

void Transfer(benchmark::State& state, uint8_t link, bool upload) {
  const uint32_t size = static_cast<uint32_t>(state.range(0));
  const std::string image = WriteImage(Folder() + "/bench.mbi", size);
  std::vector<std::string> options = {"--macro-image", image};
  if (link == CQ_LINK_UDP) options.insert(options.end(), {"--no-pty1", "--no-pty4"});
  else options.insert(options.end(), {"--no-udp", "--no-pty4"});
  SimProcess sim(options);
  ScopedEnv com("STROKEDESK_COM2", sim.Pty1());
  if (!BenchOpenLink(link, sim, kSerialPort)) {
    state.SkipWithError("no simulator link");
    return;
  }
  chMcDownloadPath = image + ".back";
  int64_t ticks = 0;
  bool ok = true;
  for (auto _ : state) {
    if (upload) MacroLoadMbiData(image);
    const uint8_t bits = MC_FLAG_MEM_MACRO | (upload ? 0 : MC_FLAG_MEM_READ);
    ok = ok && McycleMemoryRequest(bits, static_cast<uint8_t>(~bits & 0x7F));
    ticks += BenchPacedTicks([] { return !McycleEngineIdle(); });
    ok = ok && udMcMacDataCounter >= size;
  }
  BenchCloseLink();
  const double seconds = static_cast<double>(ticks * MC_TICK_MS) / 1000.0 / static_cast<double>(state.iterations());
  const double bound = 16.0 / (kBlockBoundMs / 1000.0);
  state.counters["bytes_per_s"] = size / seconds;
  state.counters["bound_bytes_per_s"] = bound;
  state.counters["fraction_of_bound"] = size / seconds / bound;
  state.counters["complete"] = ok ? 1 : 0;
}

void BM_MacroUploadPty(benchmark::State& state) { Transfer(state, CQ_LINK_SERIAL, true); }
void BM_MacroDownloadPty(benchmark::State& state) { Transfer(state, CQ_LINK_SERIAL, false); }
void BM_MacroUploadUdp(benchmark::State& state) { Transfer(state, CQ_LINK_UDP, true); }
void BM_MacroDownloadUdp(benchmark::State& state) { Transfer(state, CQ_LINK_UDP, false); }

double Ms(std::chrono::steady_clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The whole compile against the assembler alone, alternating in one run.
void BM_MacroCompile(benchmark::State& state) {
  FakePanelHost host;
  PanelSetHost(&host);
  uwMcMacroPanelHandle = 14;
  MacroSetResourceDirectory(STROKEDESK_BINARY_DIR);
  std::ifstream in(STROKEDESK_BINARY_DIR "/example.mac");
  host.texts[{14, MACRO_TXT_EDITOR}] = std::string(std::istreambuf_iterator<char>(in), {});
  const std::string dir = Folder(), base = dir + "/example";
  double compileMs = 0, nasmMs = 0;
  bool ok = true;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    ok = ok && MacroCompile(base) == 0 && MacroCreateFile(base) == 0;
    auto t1 = std::chrono::steady_clock::now();
    const ChildRunResult bare = RunChildProcess(
        "nasm", {"-Z", "./bare.err", "-l", "./bare.lst", "-f", "bin", "./example.mac", "-o", "./bare.mbi"}, dir, 30000,
        nullptr);
    auto t2 = std::chrono::steady_clock::now();
    ok = ok && bare.kind == ChildRunResult::Exited && bare.code == 0;
    compileMs += Ms(t1 - t0);
    nasmMs += Ms(t2 - t1);
  }
  PanelSetHost(nullptr);
  const double n = static_cast<double>(state.iterations());
  state.counters["compile_ms"] = compileMs / n;
  state.counters["nasm_ms"] = nasmMs / n;
  state.counters["compile_per_nasm"] = compileMs / nasmMs;
  state.counters["ok"] = ok ? 1 : 0;
}

}  // namespace

BENCHMARK(BM_MacroUploadPty)->Arg(1024)->Arg(8192)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_MacroDownloadPty)->Arg(1024)->Arg(8192)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_MacroUploadUdp)->Arg(1024)->Arg(8192)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_MacroDownloadUdp)->Arg(1024)->Arg(8192)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_MacroCompile)->Iterations(20)->UseRealTime()->Unit(benchmark::kMillisecond);
