// Queue behaviour with no transport (link 0): requests "go out" without
// bytes and responses are offered by hand, so every rule of the handler can
// be driven tick by tick.
#include <gtest/gtest.h>

#include <cstring>

#include "comm/ComQueue.h"
#include "comm/StMaUart.h"
#include "engine/Mcycle.h"

namespace {

class QueueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CqComQueueInit();
    ubCqDataChannel = CQ_LINK_NONE;
    iStMaComChan = 0;
    MachineDataChan.ubNodeId = 15;
    udMcTimeTick = 1000;
    ubMcFlag2 = 0;
    udCqNorlTimeout = CQ_DEFAULT_TIMEOUT_MS;
  }

  // One handler pass 2 ms later; counts slots that went out in it.
  int Pass() {
    uint8_t before[CQ_QUEUE_SIZE];
    for (int i = 0; i < CQ_QUEUE_SIZE; ++i) before[i] = cqDataQueue[i].ubStatus;
    udMcTimeTick += 2;
    CqHandler();
    int sent = 0;
    for (int i = 0; i < CQ_QUEUE_SIZE; ++i) {
      const bool out = before[i] == CQ_QUEUED && cqDataQueue[i].ubStatus == CQ_SENT;
      sends[i] += out;
      sent += out;
    }
    return sent;
  }

  static void Respond(uint8_t cmd, uint16_t index, uint8_t sub, uint32_t data, uint32_t cob = 0x58F) {
    CqCanMessage m{};
    m.udCobId = cob;
    m.ubDlc = 8;
    m.ubData[0] = cmd;
    m.ubData[1] = static_cast<uint8_t>(index);
    m.ubData[2] = static_cast<uint8_t>(index >> 8);
    m.ubData[3] = sub;
    for (int i = 0; i < 4; ++i) m.ubData[4 + i] = static_cast<uint8_t>(data >> (8 * i));
    CqSetRecvData(m);
  }

  static uint8_t Read(uint16_t index, uint8_t* handle) { return CqWriteSDO(0, index, 15, 0, CQ_SDO_READ, handle, 0); }

  int sends[CQ_QUEUE_SIZE] = {};
};

TEST_F(QueueTest, OneRequestOnTheLinkAtATime) {
  uint8_t a, b;
  ASSERT_EQ(Read(0x2001, &a), 0);
  ASSERT_EQ(Read(0x2002, &b), 0);
  EXPECT_EQ(Pass(), 1);
  EXPECT_EQ(cqDataQueue[a].ubStatus, CQ_SENT);
  EXPECT_EQ(cqDataQueue[b].ubStatus, CQ_QUEUED);
  EXPECT_EQ(Pass(), 0);
  Respond(0x43, 0x2001, 0, 7);
  EXPECT_EQ(Pass(), 1);  // a judged, and b goes out in the same pass
  EXPECT_EQ(cqDataQueue[a].ubStatus, CQ_DONE);
  EXPECT_EQ(cqDataQueue[b].ubStatus, CQ_SENT);
}

TEST_F(QueueTest, NewerRequestInALowerSlotOvertakes) {
  uint8_t f0, f1, x, older, newer;
  ASSERT_EQ(Read(0x2001, &f0), 0);
  ASSERT_EQ(Read(0x2002, &f1), 0);
  ASSERT_EQ(Read(0x2003, &x), 0);
  Pass();
  Respond(0x43, 0x2001, 0, 1);
  Pass();
  Respond(0x43, 0x2002, 0, 2);
  Pass();
  ASSERT_EQ(cqDataQueue[x].ubStatus, CQ_SENT);
  CqElementPurge(f1);
  ASSERT_EQ(Read(0x2010, &older), 0);
  CqElementPurge(f0);
  ASSERT_EQ(Read(0x2011, &newer), 0);
  ASSERT_LT(newer, older);
  Respond(0x43, 0x2003, 0, 3);
  EXPECT_EQ(Pass(), 0);  // the link frees up only after both were visited
  EXPECT_EQ(Pass(), 1);
  EXPECT_EQ(cqDataQueue[newer].ubStatus, CQ_SENT);
  EXPECT_EQ(cqDataQueue[older].ubStatus, CQ_QUEUED);
}

TEST_F(QueueTest, ResponseMatchingTakesNodeAndIndexNotSubIndex) {
  uint8_t h;
  ASSERT_EQ(CqWriteSDO(0, 0x2100, 15, 2, CQ_SDO_READ, &h, 0), 0);
  Pass();
  Respond(0x4B, 0x2101, 2, 1);              // other index
  Respond(0x4B, 0x2100, 2, 1, 0x58E);       // other node
  EXPECT_EQ(cqDataQueue[h].ubStatus, CQ_SENT);
  Respond(0x4B, 0x2100, 5, 0xBEEF);         // other sub-index: taken
  Pass();
  ASSERT_EQ(cqDataQueue[h].ubStatus, CQ_DONE);
  EXPECT_EQ(cqDataQueue[h].ubCmd, 0x4B);
  EXPECT_EQ(cqDataQueue[h].ubSubIndex, 5);
  EXPECT_EQ(uint32_t{cqDataQueue[h].udData}, 0xBEEFu);
  EXPECT_EQ(uint32_t{cqDataQueue[h].udCobId}, 0x58Fu);
}

TEST_F(QueueTest, AbortRefusalAndEchoEachCostAnAttempt) {
  for (uint8_t bad : {uint8_t{0x80}, uint8_t{0x70}, uint8_t{0x40}}) {
    CqComQueueInit();
    sends[0] = 0;
    uint8_t h;
    ASSERT_EQ(Read(0x2004, &h), 0);
    for (int attempt = 1; attempt <= 4; ++attempt) {
      Pass();
      ASSERT_EQ(cqDataQueue[h].ubStatus, CQ_SENT) << "attempt " << attempt;
      Respond(bad, 0x2004, 0, 0);
      Pass();
    }
    EXPECT_EQ(sends[h], 4) << std::hex << int(bad);
    EXPECT_EQ(cqDataQueue[h].ubStatus, CQ_FAILED);
    EXPECT_EQ(cqDataQueue[h].ubRetry, 0);
    EXPECT_FALSE(ubCqFlag & CQ_FLAG_BUSY);
  }
}

TEST_F(QueueTest, RefusedOnceThenAccepted) {
  uint8_t h;
  ASSERT_EQ(CqWriteSDO(0x1234, 0x2000, 15, 0, CQ_SDO_WRITE2, &h, 0), 0);
  Pass();
  Respond(0x80, 0x2000, 0, 0x06020000);
  Pass();
  Pass();
  Respond(0x60, 0x2000, 0, 0);
  Pass();
  EXPECT_EQ(cqDataQueue[h].ubStatus, CQ_DONE);
  EXPECT_EQ(sends[h], 2);
  EXPECT_EQ(cqDataQueue[h].ubRetry, 0);
}

// Four transmissions, the failure about 800 engine ms after the first send;
// the same when the engine time wraps in between.
TEST_F(QueueTest, LostRequestFailsAfterFourTransmissions) {
  for (uint32_t start : {1000u, 0xFFFFFF00u}) {
    CqComQueueInit();
    sends[0] = 0;
    udMcTimeTick = start;
    uint8_t h;
    ASSERT_EQ(Read(0x2004, &h), 0);
    Pass();
    const uint32_t firstSend = udMcTimeTick;
    int passes = 0;
    while (cqDataQueue[h].ubStatus != CQ_FAILED && passes < 2000) {
      Pass();
      ++passes;
    }
    const uint32_t elapsed = udMcTimeTick - firstSend;
    EXPECT_EQ(sends[h], 4) << "start " << start;
    EXPECT_GT(elapsed, 800u);
    EXPECT_LT(elapsed, 830u);
  }
}

TEST_F(QueueTest, ExpertTimeoutAppliesOnlyInExpertMode) {
  udCqNorlTimeout = 500;
  uint8_t h = 0;
  EXPECT_EQ(CqWriteSDOResp(0, 0x2004, 15, 0, CQ_SDO_READ, &h, 0), 1);
  EXPECT_EQ(uint32_t{cqDataQueue[h].udTimeout}, 200u);
  CqComQueueInit();
  ubMcFlag2 = MC_FLAG2_EXPERT_MODE;
  EXPECT_EQ(CqWriteSDOResp(0, 0x2004, 15, 0, CQ_SDO_READ, &h, 0), 1);
  EXPECT_EQ(uint32_t{cqDataQueue[h].udTimeout}, 500u);
  Pass();
  EXPECT_EQ(uint32_t{cqDataQueue[h].udDeadline}, udMcTimeTick + 500);
}

TEST_F(QueueTest, PolledHelperLeavesTheFinishedSlotReadable) {
  uint8_t h = 0;
  EXPECT_EQ(CqWriteSDOResp(0, 0x2002, 15, 0, CQ_SDO_READ, &h, 0), 1);
  EXPECT_EQ(ubCQWriteSDOState, 2);
  Pass();
  EXPECT_EQ(CqWriteSDOResp(0, 0x2002, 15, 0, CQ_SDO_READ, &h, 0), 1);
  Respond(0x43, 0x2002, 0, 0x00050A1C);
  Pass();
  EXPECT_EQ(CqWriteSDOResp(0, 0x2002, 15, 0, CQ_SDO_READ, &h, 0), 2);
  EXPECT_EQ(ubCQWriteSDOState, 1);
  EXPECT_EQ(cqDataQueue[h].ubStatus, CQ_FREE);
  ASSERT_EQ(CqElementRead(&cqCanData, h), 0);
  EXPECT_EQ(uint32_t{cqCanData.udData}, 0x00050A1Cu);
}

TEST_F(QueueTest, BadAccessTypeIsRefusedAndItsSlotFreed) {
  uint8_t h = 0xFF;
  EXPECT_EQ(CqWriteSDO(0, 0x2000, 15, 0, 0x16, &h, 0), 2);
  EXPECT_EQ(h, 0);
  CqElementPurge(h);
  EXPECT_EQ(CqWriteSDOResp(0, 0x2000, 15, 0, 0x25, &h, 0), 0);
  EXPECT_EQ(cqDataQueue[0].ubStatus, CQ_FREE);
  EXPECT_EQ(ubCQWriteSDOState, 1);
}

TEST_F(QueueTest, FullQueueTouchesNoSlot) {
  uint8_t h;
  for (int i = 0; i < CQ_QUEUE_SIZE; ++i) ASSERT_EQ(Read(static_cast<uint16_t>(0x3000 + i), &h), 0);
  CqElement before[CQ_QUEUE_SIZE];
  std::memcpy(before, cqDataQueue, sizeof before);
  h = 0x55;
  EXPECT_EQ(Read(0x2004, &h), 1);
  EXPECT_EQ(h, 0x55);
  EXPECT_EQ(CqWriteSDOResp(0, 0x2004, 15, 0, CQ_SDO_READ, &h, 0), 0);
  EXPECT_EQ(std::memcmp(before, cqDataQueue, sizeof before), 0);
}

TEST_F(QueueTest, IndexTenTouchesNothing) {
  uint8_t h;
  ASSERT_EQ(Read(0x2004, &h), 0);
  CqElement before[CQ_QUEUE_SIZE];
  std::memcpy(before, cqDataQueue, sizeof before);
  uint8_t status = 0x77;
  CqElement e{};
  e.ubCmd = 0x99;
  EXPECT_EQ(CqElementStatus(10, &status), 3);
  EXPECT_EQ(CqElementPurge(10), 3);
  EXPECT_EQ(CqElementRead(&e, 10), 3);
  EXPECT_EQ(CqElementStatus(255, &status), 3);
  EXPECT_EQ(status, 0x77);
  EXPECT_EQ(e.ubCmd, 0x99);
  EXPECT_EQ(std::memcmp(before, cqDataQueue, sizeof before), 0);
}

TEST_F(QueueTest, RefusingLinkFailsAtOnce) {
  ubCqDataChannel = CQ_LINK_SERIAL;  // port 0: the serial layer refuses
  uint8_t h;
  ASSERT_EQ(Read(0x2004, &h), 0);
  Pass();
  EXPECT_EQ(cqDataQueue[h].ubStatus, CQ_FAILED);
  EXPECT_FALSE(ubCqFlag & CQ_FLAG_BUSY);
}

TEST_F(QueueTest, HoldKeepsRequestsOffTheLinkAndTheReceiverIdle) {
  ubCqDataChannel = CQ_LINK_SERIAL;
  ubCqFlag |= CQ_FLAG_HOLD;
  uint8_t h;
  ASSERT_EQ(Read(0x2004, &h), 0);
  Pass();
  EXPECT_EQ(cqDataQueue[h].ubStatus, CQ_SENT);  // held back, not refused
  EXPECT_EQ(CqCheckAndReadCanOpenDataFrame(), 0);
  ubCqFlag &= static_cast<uint8_t>(~CQ_FLAG_HOLD);
  EXPECT_EQ(CqCheckAndReadCanOpenDataFrame(), 32);  // link 1 without a port
  ubCqDataChannel = 2;
  EXPECT_EQ(CqCheckAndReadCanOpenDataFrame(), 255);
}

TEST_F(QueueTest, PassDoneIsSetByEveryPass) {
  EXPECT_FALSE(ubCqFlag & CQ_FLAG_PASS_DONE);
  Pass();
  EXPECT_TRUE(ubCqFlag & CQ_FLAG_PASS_DONE);
}

}  // namespace
