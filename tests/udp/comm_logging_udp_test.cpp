// Communication logging is for the USB link only: on UDP the request is
// refused with its message and nothing reaches the controller.
#include <string>

#include "comm/ComQueue.h"
#include "support/LinkFixture.h"

namespace {

class CommLoggingUdp : public LinkFixture {};

TEST_F(CommLoggingUdp, RefusedWithNothingSent) {
  ASSERT_TRUE(Connect(SimLink::Udp));
  ASSERT_TRUE(TickUntil([] { return uwMcycleState == MC_STATE_IDLE && ubMcSignalQueueCounter == 0; }, 10000));
  const size_t before = Transmissions();
  McycleSignalQueuePut(MC_SIG_LOGGING_ON);
  ASSERT_TRUE(TickUntil([&] { return Log().find("only avaliable for USB!") != std::string::npos; }, 100));
  for (int i = 0; i < 100; ++i) TickPaced();
  EXPECT_NE(Log().find("Error: Communication logging \n       only avaliable for USB!\n"), std::string::npos);
  EXPECT_EQ(Transmissions(), before);
  EXPECT_FALSE(ubCqFlag & CQ_FLAG_RAW_TEXT);
  EXPECT_EQ(uwMcycleState, MC_STATE_IDLE);
}

}  // namespace
