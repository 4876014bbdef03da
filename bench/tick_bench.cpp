// Cost of one engine tick against the 2 ms tick budget, and the period of the
// real-time timer library against its nominal 2 ms.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/Startup.h"
#include "engine/Ksts7.h"
#include "engine/Mcycle.h"
#include "engine/Timer.h"
#include "hmi/hmi.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

namespace {

constexpr double kTickBudgetSeconds = 0.002;

// Keeps the log window's text as the Qt host's model does.
class TextModelHost : public PanelHost {
 public:
  int SetInt(int, int, int64_t) override { return 0; }
  int SetDouble(int, int, double) override { return 0; }
  int SetString(int, int, const std::string&) override { return 0; }
  int GetInt(int, int, int64_t&) override { return 0; }
  int GetDouble(int, int, double&) override { return 0; }
  int GetString(int, int, std::string& v) override {
    std::lock_guard<std::mutex> g(lock);
    v = text;
    return 0;
  }
  int SetAttribute(int, int, PanelAttribute, int64_t) override { return 0; }
  int SetLabel(int, int, const std::string&) override { return 0; }
  int AppendText(int, int, const std::string& t) override {
    std::lock_guard<std::mutex> g(lock);
    if (text.size() > (1u << 20)) text.clear();
    text += t;
    return 0;
  }
  int ClearText(int, int) override { return 0; }
  int DeleteLastLine(int, int) override { return 0; }
  int InstallCallback(int, int, PanelCallback, void*) override { return 0; }
  int Display(int) override { return 0; }
  int Hide(int) override { return 0; }
  int SetPanelDimmed(int, bool) override { return 0; }
  int SetTitle(int, const std::string&) override { return 0; }
  void SetWaitCursor(bool) override {}
  void MessagePopup(const std::string&, const std::string&) override {}
  bool ConfirmPopup(const std::string&, const std::string&) override { return false; }
  bool FileSelectPopup(const std::string&, const std::string&, const std::string&, const std::string&, bool,
                       std::string&) override {
    return false;
  }
  bool DirSelectPopup(const std::string&, const std::string&, std::string&) override { return false; }
  void QuitEventLoop() override {}

  std::mutex lock;
  std::string text;
};

void StartEngine(TextModelHost& host) {
  PanelSetHost(&host);
  uwMcMainPanelHandle = 1;
  McycleStateMachine(MC_SIG_START);
}

void ReportShareOfTick(benchmark::State& state) {
  // seconds / (iterations * 2 ms): the share of the tick budget one tick uses.
  state.counters["share_of_2ms_tick"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kTickBudgetSeconds,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_IdleTick(benchmark::State& state) {
  TextModelHost host;
  StartEngine(host);
  for (auto _ : state) McycleTimerCallback();
  ReportShareOfTick(state);
  PanelSetHost(nullptr);
}
BENCHMARK(BM_IdleTick);

void BM_TickDrainingOneLogLine(benchmark::State& state) {
  TextModelHost host;
  StartEngine(host);
  for (auto _ : state) {
    HmiLogWindowOut("RD(W)  2002[00] = 1234 = 4660", 1, 0, MAIN_TXTBOX_LOG);
    McycleTimerCallback();
  }
  ReportShareOfTick(state);
  PanelSetHost(nullptr);
}
BENCHMARK(BM_TickDrainingOneLogLine);

// Period of the real-time library's timer over 1000 ticks.
std::vector<int64_t> stamps;
std::atomic<size_t> wanted{0};

KSError RecordTick(void*, void*) {
  if (stamps.size() < wanted) {
    stamps.push_back(std::chrono::duration_cast<std::chrono::nanoseconds>(
                         std::chrono::steady_clock::now().time_since_epoch())
                         .count());
  }
  return KS_OK;
}

void BM_RealTimeTimerPeriod(benchmark::State& state) {
  constexpr size_t kTicks = 1000;
  for (auto _ : state) {
    stamps.clear();
    stamps.reserve(kTicks);
    wanted = kTicks;
    KSHandle callBack = nullptr, timer = nullptr;
    if (KS_openDriver("bench") != KS_OK ||
        KS_createCallBack(&callBack, RecordTick, nullptr, KITHARA_CALLBACK_FLAGS, KITHARA_CALLBACK_PRIORITY) ||
        KS_createTimer(&timer, KITHARA_TIMER_PERIOD, callBack, KITHARA_TIMER_FLAGS) || KS_enableTimer(timer)) {
      state.SkipWithError("libKsts7.so not available");
      return;
    }
    while (stamps.size() < kTicks) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    KS_disableTimer(timer);
    KS_removeTimer(timer);
    KS_removeCallBack(callBack);
    KS_closeDriver();
  }
  std::vector<double> periods;
  for (size_t i = 1; i < stamps.size(); ++i) periods.push_back((stamps[i] - stamps[i - 1]) / 1e6);
  double sum = 0, worst = 0;
  size_t within = 0;
  for (double p : periods) {
    sum += p;
    worst = std::max(worst, p);
    if (std::fabs(p - 2.0) <= 0.2) ++within;
  }
  state.counters["nominal_ms"] = 2.0;
  state.counters["mean_ms"] = sum / periods.size();
  state.counters["worst_ms"] = worst;
  state.counters["within_10pct_share"] = static_cast<double>(within) / periods.size();
}
BENCHMARK(BM_RealTimeTimerPeriod)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
