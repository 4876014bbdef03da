#include "comm/zel_ether.h"

#include <cerrno>
#include <cstring>

#include "comm/CRC16.h"
#include "comm/udp.h"
#include "platform/Serial.h"

uint8_t ubUdpEthDestIp[4];
uint32_t udUdpEthDestIp_DWORD;
std::atomic<uint8_t> ubTcpUsbComPort{0};
uint8_t EtherMsgIn[ZEL_TELEGRAM_SIZE];
uint32_t udCqError;

namespace {

constexpr char kMagic[5] = {'Z', 'E', 'C', 'A', 'N'};

void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

bool CrcTrails(const uint8_t* data, size_t size) {
  const uint16_t crc = CRC16calculation(data, size - 2);
  return Get16(data + size - 2) == crc;
}

uint8_t Link() { return ubCqDataChannel; }

// The one block telegram being received: the tick may run in the real-time
// timer's thread, which must not allocate.
uint8_t blockTelegram[ZEL_BLOCK_MAX + ZEL_BLOCK_OVERHEAD];

}  // namespace

void ZelEtherBuildSdoTelegram(uint8_t* t, uint32_t ownIp, uint32_t controllerIp, uint32_t cobId,
                              const uint8_t* payload) {
  std::memcpy(t, kMagic, sizeof kMagic);
  t[5] = ZEL_TYPE_SDO_REQUEST;
  t[6] = 0;
  Put32(t + 7, ownIp);
  Put32(t + 11, controllerIp);
  t[15] = 0x01;
  t[16] = 0x01;
  t[17] = 0x00;
  t[18] = 0x08;
  t[19] = static_cast<uint8_t>(cobId);
  t[20] = static_cast<uint8_t>(cobId >> 8);
  std::memcpy(t + 21, payload, 8);
  const uint16_t crc = CRC16calculation(t, 29);
  t[29] = static_cast<uint8_t>(crc);
  t[30] = static_cast<uint8_t>(crc >> 8);
}

uint8_t ZelEtherDecodeSdoTelegram(const uint8_t* data, size_t size, uint32_t controllerIp, uint32_t ownIp,
                                  CqCanMessage& message) {
  if (size != ZEL_TELEGRAM_SIZE) return 2;
  if (!CrcTrails(data, size)) return 5;
  std::memcpy(EtherMsgIn, data, ZEL_TELEGRAM_SIZE);
  if (std::memcmp(data, kMagic, sizeof kMagic) != 0 || Get32(data + 7) != controllerIp || Get32(data + 11) != ownIp ||
      Get16(data + 5) != ZEL_TYPE_SDO_RESPONSE)
    return 1;
  message.udCobId = Get16(data + 19);
  message.ubDlcRaw = data[18];
  message.ubDlc = data[18] & 0x0F;
  std::memcpy(message.ubData, data + 21, 8);
  return 0;
}

uint8_t ZelEtherDecodeBlockTelegram(const uint8_t* data, size_t size, uint16_t length, uint32_t controllerIp,
                                    uint32_t ownIp, uint8_t* out) {
  if (size != static_cast<size_t>(length) + ZEL_BLOCK_OVERHEAD) return 1;
  if (!CrcTrails(data, size)) return 5;
  std::memcpy(EtherMsgIn, data, ZEL_HEADER_SIZE);
  std::memcpy(out, data + ZEL_HEADER_SIZE, static_cast<size_t>(length) + 2);
  uint8_t rc = 0;
  if (std::memcmp(data, kMagic, sizeof kMagic) != 0) rc = 9;
  if (Get32(data + 7) != controllerIp) rc = 10;
  if (Get32(data + 11) != ownIp) rc = 10;
  if (Get16(data + 5) != ZEL_TYPE_BLOCK) rc = 12;
  return rc;
}

void ZelEtherSetDestination(const uint8_t fields[4]) {
  udUdpEthDestIp_DWORD = 0;
  for (int i = 0; i < 4; ++i) {
    ubUdpEthDestIp[3 - i] = fields[i];
    udUdpEthDestIp_DWORD = udUdpEthDestIp_DWORD << 8 | fields[i];
  }
}

uint8_t ZelEtherInitSocket(const char* destIp) { return UdpStart(destIp); }

uint8_t ZelEtherWriteSDOCanData(CqElement element) {
  const uint8_t link = Link();
  if (link != CQ_LINK_UDP && link != CQ_LINK_USB) return 1;
  uint8_t t[ZEL_TELEGRAM_SIZE];
  ZelEtherBuildSdoTelegram(t, udUdpEthSrcIp_DWORD, udUdpEthDestIp_DWORD, element.udCobId, element.ubTxFrame);
  if (link == CQ_LINK_UDP) return UdpSend(t, sizeof t);
  return SerialWrite(ubTcpUsbComPort, t, sizeof t) == static_cast<int>(sizeof t) ? 0 : 1;
}

uint8_t ZelEtherReadSDOCanData(CqCanMessage* message) {
  const uint8_t link = Link();
  uint8_t t[ZEL_TELEGRAM_SIZE];
  size_t got = 0;
  if (link == CQ_LINK_UDP) {
    if (UdpReceive(t, &got, sizeof t) != 0) return 1;
  } else if (link == CQ_LINK_USB) {
    const int port = ubTcpUsbComPort;
    const int waiting = SerialInQLen(port);
    if (waiting < 0) return 1;
    if (waiting >= static_cast<int>(sizeof t)) {
      const int n = SerialRead(port, t, sizeof t);
      if (n != static_cast<int>(sizeof t)) return 1;
      got = sizeof t;
    }
  } else {
    return 1;
  }
  return ZelEtherDecodeSdoTelegram(t, got, udUdpEthDestIp_DWORD, udUdpEthSrcIp_DWORD, *message);
}

uint8_t ZelEtherReadBlockData(uint8_t* buffer, uint16_t length) {
  const uint8_t link = Link();
  if (length > ZEL_BLOCK_MAX) return 1;
  const size_t want = static_cast<size_t>(length) + ZEL_BLOCK_OVERHEAD;
  uint8_t* t = blockTelegram;
  size_t got = 0;
  if (link == CQ_LINK_UDP) {
    if (UdpReceive(t, &got, want) != 0) {
      udCqError = static_cast<uint32_t>(errno);
      return 1;
    }
    if (got == 0) return 2;
  } else if (link == CQ_LINK_USB) {
    const int port = ubTcpUsbComPort;
    const int waiting = SerialInQLen(port);
    if (waiting < 0) return 1;
    if (waiting < static_cast<int>(want)) return 2;
    // What waits beyond the telegram is the start of the next answer.
    if (SerialRead(port, t, want) != static_cast<int>(want)) return 1;
    got = want;
  } else {
    return 1;
  }
  return ZelEtherDecodeBlockTelegram(t, got, length, udUdpEthDestIp_DWORD, udUdpEthSrcIp_DWORD, buffer);
}
