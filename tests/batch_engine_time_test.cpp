// Engine milliseconds are real milliseconds with the batch mode's
// asynchronous timer (10 ms per tick), so delays and time-outs keep their
// length there.
#include <chrono>
#include <thread>

#include "support/EngineFixture.h"

namespace {

class BatchEngineTime : public EngineFixture {
 protected:
  void SetUp() override {
    EngineFixture::SetUp();
    // Keep the engine from stopping its own tick while the test watches it.
    ubMcFlag2 |= MC_FLAG2_CYCLIC_READ_IN_PROGRESS;
  }
};

TEST_F(BatchEngineTime, FollowsTheWallClock) {
  using Clock = std::chrono::steady_clock;
  ASSERT_EQ(TimerInit(TIMER_SEL_ASYNC), 0u);
  const uint32_t engineStart = McTimerGetCurrentTime();
  const Clock::time_point wallStart = Clock::now();
  std::this_thread::sleep_for(std::chrono::milliseconds(800));
  ASSERT_EQ(TimerClose(), 0u);
  const double engine = McTimerGetCurrentTime() - engineStart;
  const double wall = std::chrono::duration<double, std::milli>(Clock::now() - wallStart).count();
  // Generous: a loaded machine may skip ticks, but 2 ms per 10 ms tick would
  // show a fifth of the wall time.
  EXPECT_GT(engine, 0.6 * wall) << engine << " engine ms in " << wall << " ms";
  EXPECT_LT(engine, 1.1 * wall) << engine << " engine ms in " << wall << " ms";
  EXPECT_EQ(static_cast<uint32_t>(engine) % MC_ASYNC_TICK_MS, 0u);
}

TEST_F(BatchEngineTime, OtherSourcesStayAtTwoPerTick) {
  Tick(5);
  const uint32_t start = McTimerGetCurrentTime();
  Tick(5);
  EXPECT_EQ(McTimerGetCurrentTime() - start, 5 * MC_TICK_MS);
}

}  // namespace
