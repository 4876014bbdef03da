// UDP transport against a hand-played controller on 127.0.0.2:49152.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "comm/CRC16.h"
#include "comm/ComQueue.h"
#include "comm/udp.h"
#include "comm/zel_ether.h"
#include "platform/UdpSocket.h"

namespace {

constexpr uint32_t kController = 0x7F000002;
constexpr uint32_t kTool = 0x7F000001;

class UdpTransportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UdpInit();
    ASSERT_TRUE(controller.Open(kController, UDP_CONTROLLER_PORT));
    ASSERT_EQ(UdpStart("127.0.0.2"), 0);
    udUdpEthDestIp_DWORD = kController;
    ubCqDataChannel = CQ_LINK_UDP;
  }
  void TearDown() override {
    ubCqDataChannel = CQ_LINK_NONE;
    UdpClose();
  }

  static std::vector<uint8_t> Telegram(uint16_t type, uint32_t sender, size_t blockData = 0) {
    std::vector<uint8_t> t = {'Z', 'E', 'C', 'A', 'N', static_cast<uint8_t>(type), 0};
    for (uint32_t ip : {sender, kTool})
      for (int i = 0; i < 4; ++i) t.push_back(static_cast<uint8_t>(ip >> (8 * i)));
    t.insert(t.end(), {1, 1, 0});
    if (blockData) {
      for (size_t i = 0; i < blockData; ++i) t.push_back(static_cast<uint8_t>(i));
    } else {
      t.insert(t.end(), {0x08, 0x8F, 0x05, 0x43, 0x04, 0x20, 0x00, 0x78, 0x56, 0x34, 0x12});
    }
    const uint16_t crc = CRC16calculation(t.data(), t.size());
    t.push_back(static_cast<uint8_t>(crc));
    t.push_back(static_cast<uint8_t>(crc >> 8));
    return t;
  }
  void Send(const std::vector<uint8_t>& d) { ASSERT_TRUE(controller.SendTo(kTool, UDP_OWN_PORT, d.data(), d.size())); }
  uint8_t ReadSdo() { return ZelEtherReadSDOCanData(&message); }

  UdpEndpoint controller;
  CqCanMessage message{};
};

TEST_F(UdpTransportTest, OwnAddressIsTheOneThatReachesTheController) {
  EXPECT_STREQ(chUdpEthSrcIpAdress, "127.0.0.1");
  EXPECT_EQ(udUdpEthSrcIp_DWORD, kTool);
  EXPECT_EQ(ubUdpEthSrcIp[0], 1);
  EXPECT_EQ(ubUdpEthSrcIp[3], 127);
  EXPECT_EQ(UdpStart("127.0.0.256"), 1);
  EXPECT_EQ(UdpStart(""), 1);
}

TEST_F(UdpTransportTest, RequestTelegramOnTheWire) {
  CqElement e{};
  e.udCobId = 0x60F;
  const uint8_t payload[8] = {0x40, 0x04, 0x20, 0x00, 0, 0, 0, 0};
  std::memcpy(e.ubTxFrame, payload, 8);
  ASSERT_EQ(ZelEtherWriteSDOCanData(e), 0);
  uint8_t got[64];
  uint32_t from = 0;
  uint16_t port = 0;
  ASSERT_EQ(controller.Receive(got, sizeof got, &from, &port), 31);
  EXPECT_EQ(from, kTool);
  EXPECT_EQ(port, UDP_OWN_PORT);
  const uint8_t head[] = {'Z', 'E', 'C', 'A', 'N', 18, 0, 1, 0, 0, 127, 2, 0, 0, 127, 1, 1, 0, 8, 0x0F, 0x06};
  EXPECT_EQ(std::memcmp(got, head, sizeof head), 0);
  EXPECT_EQ(std::memcmp(got + 21, payload, 8), 0);
}

TEST_F(UdpTransportTest, ShortDatagramNeverBlocksTheLink) {
  EXPECT_EQ(ReadSdo(), 2);  // nothing at all
  Send(std::vector<uint8_t>(30, 0x5A));
  EXPECT_EQ(ReadSdo(), 2);
  Send(Telegram(19, kController));
  EXPECT_EQ(ReadSdo(), 0);
  EXPECT_EQ(message.ubData[4], 0x78);
  // Short and good queued together: the good one is read at once.
  Send(std::vector<uint8_t>(12, 0x00));
  Send(Telegram(19, kController));
  EXPECT_EQ(ReadSdo(), 0);
}

TEST_F(UdpTransportTest, LongDatagramIsDiscardedNotTruncated) {
  std::vector<uint8_t> longer = Telegram(19, kController);
  longer.insert(longer.end(), 9, 0);
  Send(longer);
  EXPECT_EQ(ReadSdo(), 2);
  EXPECT_EQ(controller.NextSize(), -1);
  Send(Telegram(19, kController));
  EXPECT_EQ(ReadSdo(), 0);
}

TEST_F(UdpTransportTest, TelegramsFromTheWrongPlaceAreRejected) {
  Send(Telegram(19, kController + 1));
  EXPECT_EQ(ReadSdo(), 1);
  Send(Telegram(18, kController));
  EXPECT_EQ(ReadSdo(), 1);
  std::vector<uint8_t> bad = Telegram(19, kController);
  bad[22] ^= 0x40;
  Send(bad);
  EXPECT_EQ(ReadSdo(), 5);
}

TEST_F(UdpTransportTest, BlockReadTakesOnlyAWholeBlockTelegram) {
  std::vector<uint8_t> buffer(12, 0xEE);
  EXPECT_EQ(ZelEtherReadBlockData(buffer.data(), 10), 2);
  Send(Telegram(19, kController));  // an SDO answer is no block of 10
  EXPECT_EQ(ZelEtherReadBlockData(buffer.data(), 10), 2);
  EXPECT_EQ(buffer, std::vector<uint8_t>(12, 0xEE));
  const std::vector<uint8_t> block = Telegram(20, kController, 10);
  Send(block);
  EXPECT_EQ(ZelEtherReadBlockData(buffer.data(), 10), 0);
  EXPECT_EQ(buffer, std::vector<uint8_t>(block.begin() + 18, block.end()));
  Send(Telegram(20, kController + 1, 10));
  EXPECT_EQ(ZelEtherReadBlockData(buffer.data(), 10), 10);
}

TEST_F(UdpTransportTest, ClosedSocketFailsQuietly) {
  UdpClose();
  EXPECT_EQ(UdpSend(reinterpret_cast<const uint8_t*>("x"), 1), 1);
  size_t length = 99;
  uint8_t buf[31];
  EXPECT_EQ(UdpReceive(buf, &length, sizeof buf), 1);
  EXPECT_EQ(length, 0u);
}

}  // namespace
