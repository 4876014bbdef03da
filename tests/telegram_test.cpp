// The bytes on the wire: request payloads, serial frames, Ethernet telegrams,
// and which received telegrams are accepted.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "comm/CRC16.h"
#include "comm/ComQueue.h"
#include "comm/StMaUart.h"
#include "comm/zel_ether.h"

namespace {

constexpr uint32_t kController = 0xC0A8010A;  // 192.168.1.10
constexpr uint32_t kOwn = 0xC0A80105;         // 192.168.1.5

std::vector<uint8_t> Bytes(std::initializer_list<int> list) {
  std::vector<uint8_t> v;
  for (int b : list) v.push_back(static_cast<uint8_t>(b));
  return v;
}

std::vector<uint8_t> Payload(uint8_t type, uint16_t index, uint8_t sub, uint32_t data) {
  CqComQueueInit();
  uint8_t handle = 0xFF;
  EXPECT_EQ(CqWriteSDO(data, index, 15, sub, type, &handle, 0), 0);
  return std::vector<uint8_t>(cqDataQueue[handle].ubTxFrame, cqDataQueue[handle].ubTxFrame + 8);
}

// A response telegram as the controller sends it.
std::vector<uint8_t> Response(uint16_t type, uint32_t sender, uint32_t receiver, std::vector<uint8_t> payload,
                              size_t blockData = 0) {
  std::vector<uint8_t> t = Bytes({'Z', 'E', 'C', 'A', 'N', type, 0});
  for (uint32_t ip : {sender, receiver})
    for (int i = 0; i < 4; ++i) t.push_back(static_cast<uint8_t>(ip >> (8 * i)));
  t.insert(t.end(), {1, 1, 0});
  if (blockData) {
    for (size_t i = 0; i < blockData; ++i) t.push_back(static_cast<uint8_t>(i * 3));
  } else {
    t.insert(t.end(), {0x18, 0x8F, 0x05});
    t.insert(t.end(), payload.begin(), payload.end());
  }
  const uint16_t crc = CRC16calculation(t.data(), t.size());
  t.push_back(static_cast<uint8_t>(crc));
  t.push_back(static_cast<uint8_t>(crc >> 8));
  return t;
}

void FixCrc(std::vector<uint8_t>& t) {
  const uint16_t crc = CRC16calculation(t.data(), t.size() - 2);
  t[t.size() - 2] = static_cast<uint8_t>(crc);
  t[t.size() - 1] = static_cast<uint8_t>(crc >> 8);
}

TEST(RequestPayload, EachAccessType) {
  EXPECT_EQ(Payload(0x12, 0x2000, 0, 0x1234), Bytes({0x2B, 0x00, 0x20, 0x00, 0x34, 0x12, 0x00, 0x00}));
  EXPECT_EQ(Payload(0x15, 0x2002, 0, 0xFFFFFFFF), Bytes({0x40, 0x02, 0x20, 0x00, 0, 0, 0, 0}));
  EXPECT_EQ(Payload(0x11, 0x2106, 3, 0xAABBCCDD), Bytes({0x2F, 0x06, 0x21, 0x03, 0xDD, 0, 0, 0}));
  EXPECT_EQ(Payload(0x13, 0x2119, 0, 0xAABBCCDD), Bytes({0x27, 0x19, 0x21, 0x00, 0xDD, 0xCC, 0xBB, 0}));
  EXPECT_EQ(Payload(0x14, 0x2A00, 2, 0xAABBCCDD), Bytes({0x23, 0x00, 0x2A, 0x02, 0xDD, 0xCC, 0xBB, 0xAA}));
}

TEST(SerialFrame, CheckByteOfTheWireExample) {
  const std::vector<uint8_t> p = Bytes({0x2B, 0x00, 0x20, 0x00, 0x34, 0x12, 0x00, 0x00});
  EXPECT_EQ(UartCheckByte(p.data()), 0x2D);
}

TEST(EthernetTelegram, RequestLayout) {
  const std::vector<uint8_t> payload = Bytes({0x40, 0x02, 0x20, 0x00, 0, 0, 0, 0});
  uint8_t t[ZEL_TELEGRAM_SIZE];
  ZelEtherBuildSdoTelegram(t, kOwn, kController, 0x60F, payload.data());
  EXPECT_EQ(std::memcmp(t, "ZECAN", 5), 0);
  EXPECT_EQ(t[5], 18);
  EXPECT_EQ(t[6], 0);
  EXPECT_EQ(std::vector<uint8_t>(t + 7, t + 11), Bytes({0x05, 0x01, 0xA8, 0xC0}));
  EXPECT_EQ(std::vector<uint8_t>(t + 11, t + 15), Bytes({0x0A, 0x01, 0xA8, 0xC0}));
  EXPECT_EQ(std::vector<uint8_t>(t + 15, t + 19), Bytes({0x01, 0x01, 0x00, 0x08}));
  EXPECT_EQ(t[19], 0x0F);
  EXPECT_EQ(t[20], 0x06);
  EXPECT_EQ(std::vector<uint8_t>(t + 21, t + 29), payload);
  const uint16_t crc = CRC16calculation(t, 29);
  EXPECT_EQ(t[29], crc & 0xFF);
  EXPECT_EQ(t[30], crc >> 8);
}

TEST(EthernetTelegram, AcceptedResponseIsDecoded) {
  const std::vector<uint8_t> t = Response(19, kController, kOwn, Bytes({0x43, 0x04, 0x20, 0, 0x78, 0x56, 0x34, 0x12}));
  CqCanMessage m{};
  ASSERT_EQ(ZelEtherDecodeSdoTelegram(t.data(), t.size(), kController, kOwn, m), 0);
  EXPECT_EQ(m.udCobId, 0x58Fu);
  EXPECT_EQ(m.ubDlcRaw, 0x18);
  EXPECT_EQ(m.ubDlc, 8);
  EXPECT_EQ(std::vector<uint8_t>(m.ubData, m.ubData + 8), Bytes({0x43, 0x04, 0x20, 0, 0x78, 0x56, 0x34, 0x12}));
}

TEST(EthernetTelegram, RejectedResponses) {
  const std::vector<uint8_t> good = Response(19, kController, kOwn, Bytes({0x60, 0, 0x20, 0, 0, 0, 0, 0}));
  CqCanMessage m{};
  auto decode = [&](const std::vector<uint8_t>& t) {
    return ZelEtherDecodeSdoTelegram(t.data(), t.size(), kController, kOwn, m);
  };
  EXPECT_EQ(decode(Response(18, kController, kOwn, Bytes({0x60, 0, 0x20, 0, 0, 0, 0, 0}))), 1);  // a request
  EXPECT_EQ(decode(Response(19, kController + 1, kOwn, Bytes({0x60, 0, 0x20, 0, 0, 0, 0, 0}))), 1);
  EXPECT_EQ(decode(Response(19, kController, kOwn + 1, Bytes({0x60, 0, 0x20, 0, 0, 0, 0, 0}))), 1);
  std::vector<uint8_t> magic = good;
  magic[0] = 'X';
  FixCrc(magic);
  EXPECT_EQ(decode(magic), 1);
  std::vector<uint8_t> crc = good;
  crc[25] ^= 0x01;
  EXPECT_EQ(decode(crc), 5);
  EXPECT_EQ(ZelEtherDecodeSdoTelegram(good.data(), 30, kController, kOwn, m), 2);
  std::vector<uint8_t> longer = good;
  longer.push_back(0);
  EXPECT_EQ(decode(longer), 2);
}

TEST(BlockTelegram, ValidBlockIsCopiedWithItsCrc) {
  const std::vector<uint8_t> t = Response(20, kController, kOwn, {}, 100);
  std::vector<uint8_t> out(102, 0xEE);
  ASSERT_EQ(ZelEtherDecodeBlockTelegram(t.data(), t.size(), 100, kController, kOwn, out.data()), 0);
  EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.end()), std::vector<uint8_t>(t.begin() + 18, t.end()));
}

TEST(BlockTelegram, WrongSizeCopiesNothing) {
  const std::vector<uint8_t> t = Response(20, kController, kOwn, {}, 100);
  std::vector<uint8_t> out(130, 0xEE);
  EXPECT_EQ(ZelEtherDecodeBlockTelegram(t.data(), t.size(), 110, kController, kOwn, out.data()), 1);
  EXPECT_EQ(ZelEtherDecodeBlockTelegram(t.data(), t.size(), 90, kController, kOwn, out.data()), 1);
  EXPECT_EQ(out, std::vector<uint8_t>(130, 0xEE));
}

TEST(BlockTelegram, HeaderCodesTheLastFailingCheckWins) {
  std::vector<uint8_t> out(102);
  auto decode = [&](std::vector<uint8_t> t) {
    FixCrc(t);
    return ZelEtherDecodeBlockTelegram(t.data(), t.size(), 100, kController, kOwn, out.data());
  };
  std::vector<uint8_t> magic = Response(20, kController, kOwn, {}, 100);
  magic[2] = 'X';
  std::fill(out.begin(), out.end(), 0);
  EXPECT_EQ(decode(magic), 9);
  EXPECT_EQ(out[1], 3);  // the data were copied all the same
  EXPECT_EQ(decode(Response(20, kController + 1, kOwn, {}, 100)), 10);
  EXPECT_EQ(decode(Response(20, kController, kOwn + 1, {}, 100)), 10);
  EXPECT_EQ(decode(Response(19, kController, kOwn, {}, 100)), 12);
  magic[5] = 19;
  EXPECT_EQ(decode(magic), 12);
  std::vector<uint8_t> crc = Response(20, kController, kOwn, {}, 100);
  crc[40] ^= 0x80;
  EXPECT_EQ(ZelEtherDecodeBlockTelegram(crc.data(), crc.size(), 100, kController, kOwn, out.data()), 5);
}

}  // namespace
