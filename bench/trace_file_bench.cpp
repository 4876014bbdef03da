// Trace files of the full trace (P0528, two traces of 4000 frames):
//  - LZW compress and expand throughput and ratio on its ".loz" and ".log"
//    texts, against `compress -b 12` (same code width, through a pipe, its
//    start-up on empty input subtracted) and zlib level 6 in process;
//  - save and load as ".log", ".loz" and ".lo1", as a multiple of a plain
//    write or read of the same number of bytes.
// All references are measured in the same run.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "scope/ScopeFile.h"
#include "scope/lzw.h"
#include "support/TraceFixture.h"

namespace {

using Clock = std::chrono::steady_clock;

const std::string& Text(uint8_t mode) {
  static std::string texts[2];
  if (texts[mode].empty()) {
    TraceMake(TraceVariant::P0528, 4000);
    ScopeSaveTraceToMem(texts[mode], mode);
  }
  return texts[mode];
}

size_t Unlzw(const std::string& stream, std::string& text) {
  LzwTables tables;
  LzwOutcome outcome;
  LzwInit();
  auto* b = reinterpret_cast<uint8_t*>(text.data());
  return LzwExpand(reinterpret_cast<const uint8_t*>(stream.data()), stream.size(), b, text.size(), &outcome) - b;
}

// Runs `argv` with `input` on its standard input; its standard output.
std::string Pipe(const char* const* argv, const std::string& input) {
  int in[2], out[2];
  if (pipe(in) != 0 || pipe(out) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    close(in[1]);
    close(out[0]);
    execvp(argv[0], const_cast<char* const*>(argv));
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  std::thread feed([&] {
    for (size_t at = 0; at < input.size();) {
      const ssize_t n = write(in[1], input.data() + at, input.size() - at);
      if (n <= 0) break;
      at += static_cast<size_t>(n);
    }
    close(in[1]);
  });
  std::string result;
  char chunk[65536];
  ssize_t n;
  while ((n = read(out[0], chunk, sizeof chunk)) > 0) result.append(chunk, static_cast<size_t>(n));
  feed.join();
  close(out[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  return result;
}

// Seconds of one call of `f`, the best of `runs`.
template <class F>
double Best(int runs, F f) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    const auto t0 = Clock::now();
    f();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
  }
  return best;
}

const char* const kCompress[] = {"compress", "-b", "12", "-c", nullptr};
const char* const kUncompress[] = {"compress", "-d", "-c", nullptr};

void Rates(benchmark::State& state, const std::string& text, double ours, bool expand) {
  const double mb = text.size() / 1e6;
  const std::string theirs = Pipe(kCompress, text);
  const double startup = Best(5, [&] { Pipe(expand ? kUncompress : kCompress, expand ? Pipe(kCompress, "") : ""); });
  const double tool = Best(3, [&] { Pipe(expand ? kUncompress : kCompress, expand ? theirs : text); }) - startup;
  std::string z(compressBound(text.size()), '\0');
  uLongf zn = z.size();
  const double deflate6 = Best(3, [&] {
    zn = z.size();
    compress2(reinterpret_cast<Bytef*>(z.data()), &zn, reinterpret_cast<const Bytef*>(text.data()), text.size(), 6);
  });
  std::string back(text.size(), '\0');
  const double inflate = Best(3, [&] {
    uLongf bn = back.size();
    uncompress(reinterpret_cast<Bytef*>(back.data()), &bn, reinterpret_cast<const Bytef*>(z.data()), zn);
  });
  const double ref = expand ? inflate : deflate6;
  state.counters["MB_per_s"] = mb / ours;
  state.counters["compress12_MB_per_s"] = mb / tool;
  state.counters[expand ? "inflate_MB_per_s" : "deflate6_MB_per_s"] = mb / ref;
  state.counters["x_compress12"] = tool / ours;
  state.counters[expand ? "x_inflate" : "x_deflate6"] = ref / ours;
  state.counters["ratio"] = static_cast<double>(TraceCompress(text).size()) / text.size();
  state.counters["compress12_ratio"] = static_cast<double>(theirs.size()) / text.size();
  state.counters["deflate6_ratio"] = static_cast<double>(zn) / text.size();
}

void BM_LzwCompress(benchmark::State& state) {
  const std::string& text = Text(static_cast<uint8_t>(state.range(0)));
  double seconds = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    benchmark::DoNotOptimize(TraceCompress(text));
    seconds += std::chrono::duration<double>(Clock::now() - t0).count();
  }
  state.SetLabel(state.range(0) == SCOPE_TEXT_LOZ ? ".loz text" : ".log text");
  Rates(state, text, seconds / static_cast<double>(state.iterations()), false);
}

void BM_LzwExpand(benchmark::State& state) {
  const std::string& text = Text(static_cast<uint8_t>(state.range(0)));
  const std::string stream = TraceCompress(text);
  std::string back(text.size(), '\0');
  double seconds = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    benchmark::DoNotOptimize(Unlzw(stream, back));
    seconds += std::chrono::duration<double>(Clock::now() - t0).count();
  }
  state.SetLabel(state.range(0) == SCOPE_TEXT_LOZ ? ".loz text" : ".log text");
  Rates(state, text, seconds / static_cast<double>(state.iterations()), true);
}

BENCHMARK(BM_LzwCompress)->Arg(SCOPE_TEXT_LOZ)->Arg(SCOPE_TEXT_LOG)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LzwExpand)->Arg(SCOPE_TEXT_LOZ)->Arg(SCOPE_TEXT_LOG)->Unit(benchmark::kMillisecond);

// Save and load of the full trace; range 0: ".log", 1: ".loz", 2: ".lo1".
const char* const kExtensions[] = {".log", ".loz", ".lo1"};

std::string BenchPath(const char* extension) {
  return "/tmp/strokedesk_bench_" + std::to_string(getpid()) + extension;
}

double PlainWrite(const std::string& path, const std::string& bytes) {
  return Best(5, [&] {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    fsync(fileno(f));
    std::fclose(f);
  });
}

std::string Bytes(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  std::string s;
  char chunk[65536];
  size_t n;
  while (f && (n = std::fread(chunk, 1, sizeof chunk, f)) > 0) s.append(chunk, n);
  if (f) std::fclose(f);
  return s;
}

double PlainRead(const std::string& path) {
  return Best(5, [&] { benchmark::DoNotOptimize(Bytes(path)); });
}

template <class F>
double Seconds(benchmark::State& state, F f) {
  double seconds = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    f();
    seconds += std::chrono::duration<double>(Clock::now() - t0).count();
  }
  return seconds / static_cast<double>(state.iterations());
}

void Report(benchmark::State& state, double ours, double plain, size_t bytes, const char* extension) {
  state.counters["ms"] = 1e3 * ours;
  state.counters["plain_ms"] = 1e3 * plain;
  state.counters["x_plain"] = ours / plain;
  state.counters["bytes"] = static_cast<double>(bytes);
  state.SetLabel(extension);
}

void BM_TraceSave(benchmark::State& state) {
  const char* extension = kExtensions[state.range(0)];
  const std::string path = BenchPath(extension);
  TraceMake(TraceVariant::P0528, 4000);
  const double ours = Seconds(state, [&] { ScopeSaveTraceToFile(path.c_str()); });
  const std::string bytes = Bytes(path);
  Report(state, ours, PlainWrite(path + ".plain", bytes), bytes.size(), extension);
  std::remove((path + ".plain").c_str());
  std::remove(path.c_str());
}

void BM_TraceLoad(benchmark::State& state) {
  const char* extension = kExtensions[state.range(0)];
  const std::string path = BenchPath(extension);
  TraceMake(TraceVariant::P0528, 4000);
  if (state.range(0) == 2) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    const std::string lo1 = TraceLo1Bytes(16, false);
    std::fwrite(lo1.data(), 1, lo1.size(), f);
    std::fclose(f);
  } else {
    ScopeSaveTraceToFile(path.c_str());
  }
  int32_t frames = 0;
  const double ours = Seconds(state, [&] { frames = ScopeLoadFile(path); });
  if (frames < 0) state.SkipWithError(ScopeFileReason().c_str());
  Report(state, ours, PlainRead(path), Bytes(path).size(), extension);
  std::remove(path.c_str());
}

BENCHMARK(BM_TraceSave)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TraceLoad)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace
