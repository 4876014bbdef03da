// Checksum throughput against the bit-by-bit definition, and requests per
// second through the queue, a transport and rc7sim against the limit the
// 2 ms tick sets (one tick sends, a later one receives: at most 250/s).
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "comm/CRC16.h"
#include "comm/CRC32.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "BenchLink.h"
#include "support/SimProcess.h"

namespace {

std::vector<uint8_t> Data(size_t n) {
  std::vector<uint8_t> v(n);
  std::mt19937 rng(1);
  for (auto& b : v) b = static_cast<uint8_t>(rng());
  return v;
}

uint16_t Crc16Bitwise(const uint8_t* p, size_t n) {
  uint16_t crc = 0;
  for (size_t i = 0; i < n; ++i) {
    crc ^= static_cast<uint16_t>(p[i] << 8);
    for (int b = 0; b < 8; ++b) crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
  }
  return crc;
}

uint32_t Crc32Bitwise(const uint8_t* p, size_t n) {
  uint32_t crc = 0;
  for (size_t i = 0; i < n; ++i) {
    crc ^= static_cast<uint32_t>(p[i]) << 24;
    for (int b = 0; b < 8; ++b) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
  }
  return crc;
}

template <class F>
void Throughput(benchmark::State& state, F f) {
  const std::vector<uint8_t> d = Data(static_cast<size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(f(d.data(), d.size()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void BM_Crc16Table(benchmark::State& s) { Throughput(s, CRC16calculation); }
void BM_Crc16Bitwise(benchmark::State& s) { Throughput(s, Crc16Bitwise); }
void BM_Crc32Table(benchmark::State& s) { Throughput(s, CRC32calculationS); }
void BM_Crc32Bitwise(benchmark::State& s) { Throughput(s, Crc32Bitwise); }
BENCHMARK(BM_Crc16Table)->Arg(31)->Arg(4096);
BENCHMARK(BM_Crc16Bitwise)->Arg(31)->Arg(4096);
BENCHMARK(BM_Crc32Table)->Arg(4096);
BENCHMARK(BM_Crc32Bitwise)->Arg(4096);

constexpr double kTickLimit = 1000.0 / (2 * MC_TICK_MS);  // requests per second

// Reads of 0x2004 one after the other, ticks at a fixed 2 ms rate.
void RunRequests(benchmark::State& state) {
  int64_t requests = 0, ticks = 0, failed = 0;
  for (auto _ : state) {
    uint8_t rc = 1;
    ticks += BenchPacedTicks([&rc] {
      rc = CqWriteSDOResp(0, 0x2004, 15, 0, CQ_SDO_READ, &ubMcCanHandle, 0);
      return rc == 1;
    });
    failed += rc == 0;
    ++requests;
  }
  state.counters["requests_per_s"] = benchmark::Counter(static_cast<double>(requests), benchmark::Counter::kIsRate);
  state.counters["tick_limit_per_s"] = kTickLimit;
  state.counters["ticks_per_request"] = static_cast<double>(ticks) / static_cast<double>(requests);
  state.counters["failed"] = static_cast<double>(failed);
}

void Requests(benchmark::State& state, uint8_t link, const SimProcess& sim) {
  if (!BenchOpenLink(link, sim)) {
    state.SkipWithError("no simulator link");
    return;
  }
  RunRequests(state);
  BenchCloseLink();
}

void BM_RequestsPty(benchmark::State& state) {
  SimProcess sim({"--no-udp", "--no-pty4"});
  ScopedEnv com("STROKEDESK_COM2", sim.Pty1());
  Requests(state, CQ_LINK_SERIAL, sim);
}

void BM_RequestsUdp(benchmark::State& state) {
  SimProcess sim({"--no-pty1", "--no-pty4"});
  Requests(state, CQ_LINK_UDP, sim);
}

BENCHMARK(BM_RequestsPty)->Iterations(500)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RequestsUdp)->Iterations(500)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace


