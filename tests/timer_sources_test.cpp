// The three tick sources, the real-time library binding and its errors.
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "engine/Ksts7.h"
#include "support/EngineFixture.h"

using namespace std::chrono_literals;

namespace {

// Waits (bounded) until the engine time has advanced by `ms`.
bool WaitForEngineTime(uint32_t from, uint32_t ms) {
  for (int i = 0; i < 500; ++i) {
    if (McTimerGetCurrentTime() - from >= ms) return true;
    std::this_thread::sleep_for(10ms);
  }
  return false;
}

}  // namespace

class TimerSources : public EngineFixture {
 protected:
  void SetUp() override {
    unsetenv("STROKEDESK_KSTS7");
    EngineFixture::SetUp();
    // Keep the engine from stopping its own tick while the test watches it.
    ubMcFlag2 |= MC_FLAG2_CYCLIC_READ_IN_PROGRESS;
  }
};

TEST_F(TimerSources, StartAndStopBeforeInitDoNothing) {
  EXPECT_EQ(TimerStart(), 0u);
  EXPECT_FALSE(TimerEnabled());
  EXPECT_EQ(TimerStop(), 0u);
  EXPECT_TRUE(host.attributes.empty());
}

TEST_F(TimerSources, RealTimeLibraryTicksWhileEnabled) {
  ASSERT_EQ(TimerInit(TIMER_SEL_KITHARA), 0u);
  EXPECT_FALSE(TimerEnabled());  // waits for the first start
  const uint32_t before = McTimerGetCurrentTime();
  std::this_thread::sleep_for(30ms);
  EXPECT_EQ(McTimerGetCurrentTime(), before);

  ASSERT_EQ(TimerStart(), 0u);
  ASSERT_TRUE(WaitForEngineTime(before, 40));
  ASSERT_EQ(TimerStop(), 0u);
  const uint32_t stopped = McTimerGetCurrentTime();
  std::this_thread::sleep_for(30ms);
  EXPECT_EQ(McTimerGetCurrentTime(), stopped);
  EXPECT_EQ(TimerClose(), 0u);
}

TEST_F(TimerSources, MissingLibraryGivesItsErrorLineAndFallsBackToThePanelTimer) {
  setenv("STROKEDESK_KSTS7", "/nonexistent/libKsts7.so", 1);
  const uint32_t error = TimerInit(TIMER_SEL_KITHARA);
  EXPECT_EQ(error, KSERROR_LIBRARY_NOT_FOUND | ENOENT);
  EXPECT_EQ(ubTimerSel, TIMER_SEL_PANEL);
  const std::string log = Log();
  EXPECT_EQ(log.rfind("Fehlercode = 10041002 Fehlertext = ", 0), 0u) << log;
  EXPECT_NE(log.find("panel timer"), std::string::npos);
  // The panel timer's callback drives the engine.
  ASSERT_TRUE(TimerEnabled());
  PanelCallback tick = host.callbacks[{1, MAIN_TIMER_TICK}];
  ASSERT_NE(tick, nullptr);
  const uint32_t before = McTimerGetCurrentTime();
  tick(1, MAIN_TIMER_TICK, EVENT_TIMER_TICK, nullptr, 0, 0);
  EXPECT_EQ(McTimerGetCurrentTime() - before, MC_TICK_MS);
}

TEST_F(TimerSources, DriverCloseForgetsTheLibraryAndReopenWorks) {
  ASSERT_EQ(KS_openDriver("test"), KS_OK);
  ASSERT_EQ(KS_closeDriver(), KS_OK);
  KSHandle h = nullptr;
  EXPECT_EQ(KS_enableTimer(h), KSERROR_LIBRARY_NOT_LOADED);
  EXPECT_EQ(KS_createEvent(&h, "x", 0), KSERROR_LIBRARY_NOT_LOADED);
  EXPECT_EQ(KS_closeDriver(), KSERROR_DRIVER_NOT_LOADED);

  ASSERT_EQ(TimerInit(TIMER_SEL_KITHARA), 0u);  // opens again and binds anew
  const uint32_t before = McTimerGetCurrentTime();
  TimerStart();
  EXPECT_TRUE(WaitForEngineTime(before, 10));
  EXPECT_EQ(TimerClose(), 0u);
  EXPECT_EQ(KS_enableTimer(vTimerMain), KSERROR_LIBRARY_NOT_LOADED);
}

TEST_F(TimerSources, MissingFunctionIsReportedWithItsCode) {
  ASSERT_EQ(KS_openDriver("test"), KS_OK);
  // A name the library does not export.
  EXPECT_EQ(KS_getErrorString(KSERROR_BAD_HANDLE, nullptr, 0), KSERROR_BAD_PARAM);
  const char* text = nullptr;
  EXPECT_EQ(KS_getErrorString(KSERROR_BAD_HANDLE, &text, 0), KS_OK);
  EXPECT_STREQ(text, "invalid handle");
  EXPECT_EQ(KS_closeDriver(), KS_OK);
}

TEST_F(TimerSources, AsynchronousTimerTicksOnItsOwnThreadUntilStopped) {
  ASSERT_EQ(TimerInit(TIMER_SEL_ASYNC), 0u);
  EXPECT_TRUE(TimerEnabled());
  const uint32_t before = McTimerGetCurrentTime();
  ASSERT_TRUE(WaitForEngineTime(before, 6));
  TimerStop();
  const uint32_t stopped = McTimerGetCurrentTime();
  std::this_thread::sleep_for(40ms);
  EXPECT_EQ(McTimerGetCurrentTime(), stopped);
  EXPECT_EQ(TimerClose(), 0u);
}

TEST_F(TimerSources, StopReturnsOnlyAfterTheRunningTickHasFinished) {
  std::atomic<bool> inside{false}, finished{false};
  host.onAppendText = [&](const std::string& text) {
    if (text != "slow\n") return;
    inside = true;
    std::this_thread::sleep_for(100ms);
    finished = true;
  };
  ASSERT_EQ(TimerInit(TIMER_SEL_ASYNC), 0u);
  HmiLogWindowOut("slow", 1, 0, MAIN_TXTBOX_LOG);
  while (!inside) std::this_thread::yield();
  TimerStop();
  EXPECT_TRUE(finished);
  TimerClose();
  host.onAppendText = nullptr;
}

TEST_F(TimerSources, NoTickRunsAfterClose) {
  ASSERT_EQ(TimerInit(TIMER_SEL_KITHARA), 0u);
  TimerStart();
  ASSERT_TRUE(WaitForEngineTime(McTimerGetCurrentTime(), 4));
  ASSERT_EQ(TimerClose(), 0u);
  const uint32_t closed = McTimerGetCurrentTime();
  EXPECT_EQ(TimerStart(), 0u);  // refused after close
  std::this_thread::sleep_for(30ms);
  EXPECT_EQ(McTimerGetCurrentTime(), closed);
}
