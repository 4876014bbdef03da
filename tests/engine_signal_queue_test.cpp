// The signal queue: capacity, the full flag, ordering and concurrent posting.
#include <atomic>
#include <thread>
#include <vector>

#include "support/EngineFixture.h"

class SignalQueue : public EngineFixture {};

TEST_F(SignalQueue, TwentyFitTheTwentyFirstIsDroppedUntilATick) {
  for (uint16_t s = 100; s < 120; ++s) McycleSignalQueuePut(s);
  EXPECT_EQ(ubMcSignalQueueCounter, 20);
  EXPECT_TRUE(ubMcFlag & MC_FLAG_SIGNAL_QUEUE_FULL);

  McycleSignalQueuePut(200);
  EXPECT_EQ(ubMcSignalQueueCounter, 20);

  Tick();  // takes signal 100 (not in the table: ignored)
  EXPECT_FALSE(ubMcFlag & MC_FLAG_SIGNAL_QUEUE_FULL);
  McycleSignalQueuePut(201);
  EXPECT_EQ(ubMcSignalQueueCounter, 20);

  std::vector<uint16_t> order;
  for (uint16_t s; (s = McycleSignalQueueGet()) != 0;) order.push_back(s);
  ASSERT_EQ(order.size(), 20u);
  EXPECT_EQ(order.front(), 101);
  EXPECT_EQ(order[18], 119);
  EXPECT_EQ(order.back(), 201);  // 200 was lost, 201 came after the tick
}

TEST_F(SignalQueue, ZeroIsNotStoredAndEmptyGetGivesZero) {
  McycleSignalQueuePut(0);
  EXPECT_EQ(ubMcSignalQueueCounter, 0);
  EXPECT_EQ(McycleSignalQueueGet(), 0);
}

TEST_F(SignalQueue, RingWrapsAroundItsEnd) {
  for (int round = 0; round < 3; ++round) {
    for (uint16_t s = 1; s <= 15; ++s) McycleSignalQueuePut(static_cast<uint16_t>(1000 + round * 100 + s));
    for (uint16_t s = 1; s <= 15; ++s) ASSERT_EQ(McycleSignalQueueGet(), 1000 + round * 100 + s);
  }
  EXPECT_LT(ubMcQueueCounterIn, MC_SIGNAL_QUEUE_SIZE);
  EXPECT_EQ(ubMcQueueCounterIn, ubMcQueueCounterOut);
}

TEST_F(SignalQueue, ConcurrentProducersLoseNothingBelowTheLimit) {
  // Four threads post while a consumer drains; the ring never holds more than
  // 20, so every signal must come out exactly once.
  constexpr int kThreads = 4, kEach = 5000;
  std::atomic<int> posted{0};
  std::vector<int> seen(kThreads * kEach + 1, 0);
  std::atomic<bool> stop{false};
  std::thread consumer([&] {
    while (!stop || ubMcSignalQueueCounter != 0) {
      if (uint16_t s = McycleSignalQueueGet()) ++seen[s];
    }
  });
  std::vector<std::thread> producers;
  for (int t = 0; t < kThreads; ++t)
    producers.emplace_back([&, t] {
      for (int i = 1; i <= kEach; ++i) {
        const uint16_t s = static_cast<uint16_t>(t * kEach + i);
        // Stay below the limit: wait while the ring is nearly full.
        while (ubMcSignalQueueCounter >= MC_SIGNAL_QUEUE_SIZE - kThreads) std::this_thread::yield();
        McycleSignalQueuePut(s);
        ++posted;
      }
    });
  for (auto& p : producers) p.join();
  stop = true;
  consumer.join();
  EXPECT_EQ(posted, kThreads * kEach);
  for (int s = 1; s <= kThreads * kEach; ++s) ASSERT_EQ(seen[s], 1) << "signal " << s;
}
