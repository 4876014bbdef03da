// When the idle engine stops its tick, and that posted work always restarts it.
#include <atomic>
#include <thread>

#include "comm/ComQueue.h"
#include "support/EngineFixture.h"

class IdleRule : public EngineFixture {
 protected:
  void SetUp() override {
    EngineFixture::SetUp();
    ASSERT_EQ(TimerInit(TIMER_SEL_PANEL), 0u);
    ASSERT_TRUE(TimerEnabled());
  }
};

TEST_F(IdleRule, StopsOnceTheQueuePassIsDoneAndNothingIsPending) {
  Tick();  // the first pass of the queue has not finished yet
  EXPECT_TRUE(TimerEnabled());
  Tick();
  EXPECT_FALSE(TimerEnabled());
  EXPECT_EQ((host.attributes[{1, MAIN_TIMER_TICK}][ATTR_ENABLED]), 0);
}

TEST_F(IdleRule, KeepsTickingWhileLogLinesWait) {
  Tick();
  HmiLogWindowOut("one", 1, 0, MAIN_TXTBOX_LOG);
  HmiLogWindowOut("two", 1, 0, MAIN_TXTBOX_LOG);
  Tick();
  EXPECT_TRUE(TimerEnabled());
  Tick();  // shows "two"; the queue is empty when the idle rule looks
  EXPECT_FALSE(TimerEnabled());
  EXPECT_EQ(Log(), "one\ntwo\n");
}

TEST_F(IdleRule, KeepsTickingWhileACyclicReadIsInProgress) {
  ubMcFlag2 |= MC_FLAG2_CYCLIC_READ_IN_PROGRESS;
  Tick(5);
  EXPECT_TRUE(TimerEnabled());
  ubMcFlag2 &= static_cast<uint8_t>(~MC_FLAG2_CYCLIC_READ_IN_PROGRESS);
  Tick();
  EXPECT_FALSE(TimerEnabled());
}

TEST_F(IdleRule, KeepsTickingUntilTheQueuePassIsDone) {
  Tick();
  ubCqFlag = 0;  // as if a pass had not completed
  McycleStateMachine(0);
  EXPECT_TRUE(TimerEnabled());
}

TEST_F(IdleRule, PostedSignalIsNotStrandedWhenItArrivesDuringTheStop) {
  Tick();
  std::thread poster;
  bool posted = false;
  host.onTimerSwitch = [&](int, int, bool on) {
    if (on || posted) return;
    posted = true;
    // Another thread posts while the tick is switching the timer off.
    poster = std::thread([] { McycleSignalQueuePut(MC_SIG_HOME); });
    while (ubMcSignalQueueCounter == 0) std::this_thread::yield();
  };
  Tick();
  poster.join();
  host.onTimerSwitch = nullptr;
  EXPECT_TRUE(posted);
  EXPECT_TRUE(TimerEnabled());
  Tick();
  EXPECT_EQ(uwMcycleState, 0x0200);
}

TEST_F(IdleRule, LogLineQueuedWhileIdleRestartsTheTick) {
  Tick(2);
  ASSERT_FALSE(TimerEnabled());
  HmiLogWindowOut("Ramtype not available!", 1, 0, MAIN_TXTBOX_LOG);
  EXPECT_TRUE(TimerEnabled());
  Tick();
  EXPECT_EQ(Log(), "Ramtype not available!\n");
}

TEST(EngineTime, DeadlinesHoldAcrossTheWrapOfTheCounter) {
  udMcTimeTick = 0xFFFFFF00u;
  const uint32_t deadline = McTimerGetCurrentTime() + 200;  // wraps to 0xC8
  for (int i = 0; i < 100; ++i) {
    McycleTimerCallback();
    ASSERT_FALSE(McTimeAfter(McTimerGetCurrentTime(), deadline)) << "tick " << i;
  }
  McycleTimerCallback();
  EXPECT_TRUE(McTimeAfter(McTimerGetCurrentTime(), deadline));
  EXPECT_EQ(McTimerGetCurrentTime() - (deadline - 200), 202u);
}
