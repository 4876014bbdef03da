#include "comm/ComQueue.h"

#include <cstring>
#include <string>

#include "app/Startup.h"
#include "comm/StMaUart.h"
#include "comm/zel_ether.h"
#include "engine/Mcycle.h"
#include "hmi/hmi.h"
#include "platform/Serial.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

McMachineData MachineDataChan;
CqElement cqDataQueue[CQ_QUEUE_SIZE];
CqElement cqDataStore;
CqElement cqCanData;
uint8_t ubMcCanHandle;
CqCanMessage CqCanMsg;
std::atomic<uint8_t> ubCqFlag{0};
std::atomic<uint8_t> ubCqDataChannel{0};
uint8_t ubCQWriteSDOState = 1;
uint32_t udCqNorlTimeout = CQ_DEFAULT_TIMEOUT_MS;

namespace {

constexpr uint8_t kCmdAbort = 0x80;
constexpr uint8_t kCmdRefused = 0x70;

// Raw text of the controller's communication log on link 4.
constexpr int kRawTextMin = 41;
constexpr int kRawTextMax = 246;

// The request that CqWriteSDOResp last gave up on ended with an abort.
bool lastFailedWithAbort;
uint32_t udLastAbortCode;
std::atomic<bool> linkAnswers{false};

void ClearFlag(uint8_t bit) { ubCqFlag &= static_cast<uint8_t>(~bit); }

// The serial port that carries the link, or 0 (none, or UDP).
int LinkSerialPort() {
  switch (ubCqDataChannel) {
    case CQ_LINK_SERIAL: return iStMaComChan;
    case CQ_LINK_USB: return ubTcpUsbComPort;
    default: return 0;
  }
}

void BuildPayload(CqElement& e) {
  uint8_t data[4];
  for (int i = 0; i < 4; ++i) data[i] = static_cast<uint8_t>(e.udData >> (8 * i));
  int width = 0;
  switch (e.ubType) {
    case CQ_SDO_WRITE1: e.ubCmd = 0x2F; width = 1; break;
    case CQ_SDO_WRITE2: e.ubCmd = 0x2B; width = 2; break;
    case CQ_SDO_WRITE3: e.ubCmd = 0x27; width = 3; break;
    case CQ_SDO_WRITE4: e.ubCmd = 0x23; width = 4; break;
    default: e.ubCmd = 0x40; break;  // read: bytes 4..7 stay as the template holds them
  }
  if (width > 0)
    for (int i = 0; i < 4; ++i) e.ubTxFrame[4 + i] = i < width ? data[i] : 0;
  e.ubTxFrame[0] = e.ubCmd;
  e.ubTxFrame[1] = static_cast<uint8_t>(e.uwIndex);
  e.ubTxFrame[2] = static_cast<uint8_t>(e.uwIndex >> 8);
  e.ubTxFrame[3] = e.ubSubIndex;
}

// One failed attempt: queued again, or failed after the fourth; `answered`
// tells whether the controller answered this attempt.
void CountFailedAttempt(CqElement& e, bool answered) {
  ++e.ubRetry;
  e.ubStatus = CQ_QUEUED;
  if (e.ubRetry >= CQ_ATTEMPTS) {
    e.ubRetry = 0;
    e.ubStatus = CQ_FAILED;
    if (!answered) CqSetLinkAnswers(false);
  }
}

void SendQueued(CqElement& e, uint32_t now) {
  if (ubCqFlag & CQ_FLAG_BUSY) return;
  e.udCobId = CQ_COB_REQUEST + e.ubNodeId;
  const uint8_t refused = CqTxCanOpenDataFrame(e);
  if (e.ubLog & 0x01) HmiLogWindowSdoSendOut(uwMcMainPanelHandle, e);
  if (refused) {
    e.ubStatus = CQ_FAILED;
    CqSetLinkAnswers(false);
    return;
  }
  e.ubStatus = CQ_SENT;
  ubCqFlag |= CQ_FLAG_BUSY;
  const uint32_t timeout = e.udTimeout;  // a copy: the slot is packed
  e.udDeadline = now + (timeout ? timeout : CQ_DEFAULT_TIMEOUT_MS);
}

void CheckDeadline(CqElement& e, uint32_t now) {
  if (!McTimeAfter(now, e.udDeadline)) return;
  // A late answer must not be taken for the repeat's: start from an empty input.
  if (const int port = LinkSerialPort()) SerialFlushInQ(port);
  ClearFlag(CQ_FLAG_BUSY);
  CountFailedAttempt(e, false);
}

void Judge(CqElement& e) {
  ClearFlag(CQ_FLAG_BUSY);
  const uint8_t cmd = e.ubRxFrame[0];
  // An echo of the request is the line, not the controller.
  const bool echo = cmd == e.ubTxFrame[0];
  if (!echo) CqSetLinkAnswers(true);
  if (cmd == kCmdAbort || cmd == kCmdRefused || echo) {
    CountFailedAttempt(e, !echo);
    return;
  }
  e.ubStatus = CQ_DONE;
  e.ubRetry = 0;
  e.ubCmd = cmd;
  e.uwIndex = static_cast<uint16_t>(e.ubRxFrame[1] | e.ubRxFrame[2] << 8);
  e.ubSubIndex = e.ubRxFrame[3];
  e.udData = static_cast<uint32_t>(e.ubRxFrame[4]) | static_cast<uint32_t>(e.ubRxFrame[5]) << 8 |
             static_cast<uint32_t>(e.ubRxFrame[6]) << 16 | static_cast<uint32_t>(e.ubRxFrame[7]) << 24;
}

// Link 4 with the controller's communication log switched on: show what
// comes as text.
void ShowRawText() {
  if (ubCqDataChannel != CQ_LINK_USB) return;
  const int port = ubTcpUsbComPort;
  const int waiting = SerialInQLen(port);
  if (waiting < kRawTextMin) return;
  char text[300] = {};
  const int want = waiting < kRawTextMax ? waiting : kRawTextMax;
  if (SerialRead(port, reinterpret_cast<uint8_t*>(text), static_cast<size_t>(want)) == want)
    PanelAppendText(uwMcMainPanelHandle, MAIN_TXTBOX_LOG, text);
}

}  // namespace

void CqComQueueInit() {
  for (auto& e : cqDataQueue) e = CqElement{};
  cqDataStore = CqElement{};
  cqCanData = CqElement{};
  ubCqFlag = 0;
  ubCQWriteSDOState = 1;
  lastFailedWithAbort = false;
  linkAnswers = false;
}

uint8_t CqElementCreate(const CqElement& element, uint8_t* handle) {
  for (uint8_t i = 0; i < CQ_QUEUE_SIZE; ++i) {
    CqElement& e = cqDataQueue[i];
    if (e.ubStatus != CQ_FREE) continue;
    e = element;
    e.ubStatus = CQ_QUEUED;
    *handle = i;
    if ((e.ubType & 0xF0) != 0x10 || e.ubType < CQ_SDO_WRITE1 || e.ubType > CQ_SDO_READ) return 2;
    BuildPayload(e);
    return 0;
  }
  return 1;
}

uint8_t CqElementStatus(uint8_t index, uint8_t* status) {
  if (index >= CQ_QUEUE_SIZE) return 3;
  *status = cqDataQueue[index].ubStatus;
  return 0;
}

uint8_t CqElementPurge(uint8_t index) {
  if (index >= CQ_QUEUE_SIZE) return 3;
  cqDataQueue[index].ubStatus = CQ_FREE;
  cqDataQueue[index].ubType = 0;
  return 0;
}

uint8_t CqElementRead(CqElement* element, uint8_t index) {
  if (index >= CQ_QUEUE_SIZE) return 3;
  *element = cqDataQueue[index];
  return 0;
}

uint8_t CqWriteSDO(uint32_t data, uint16_t index, uint8_t node, uint8_t subIndex, uint8_t type, uint8_t* handle,
                   uint8_t log) {
  cqDataStore.udData = data;
  cqDataStore.uwIndex = index;
  cqDataStore.ubNodeId = node;
  cqDataStore.ubSubIndex = subIndex;
  cqDataStore.ubType = type;
  cqDataStore.ubLog = log;
  return CqElementCreate(cqDataStore, handle);
}

uint8_t CqWriteSDOResp(uint32_t data, uint16_t index, uint8_t node, uint8_t subIndex, uint8_t type, uint8_t* handle,
                       uint8_t log) {
  if (ubCQWriteSDOState != 2) {
    lastFailedWithAbort = false;
    cqDataStore.udTimeout = (ubMcFlag2 & MC_FLAG2_EXPERT_MODE) ? udCqNorlTimeout : CQ_DEFAULT_TIMEOUT_MS;
    const uint8_t rc = CqWriteSDO(data, index, node, subIndex, type, handle, log);
    if (rc == 2) {
      CqElementPurge(*handle);
      return 0;
    }
    if (rc == 1) return 0;
    ubCQWriteSDOState = 2;
    return 1;
  }
  uint8_t status = CQ_FREE;
  CqElementStatus(*handle, &status);
  if (status != CQ_DONE && status != CQ_FAILED) return 1;
  if (status == CQ_FAILED) lastFailedWithAbort = CqElementAbort(cqDataQueue[*handle], &udLastAbortCode);
  CqElementPurge(*handle);
  ubCQWriteSDOState = 1;
  return status == CQ_DONE ? 2 : 0;
}

bool CqLastAbort(uint32_t* code) {
  if (lastFailedWithAbort) *code = udLastAbortCode;
  return lastFailedWithAbort;
}

bool CqElementAbort(const CqElement& e, uint32_t* code) {
  if (e.ubRxFrame[0] != kCmdAbort) return false;
  *code = static_cast<uint32_t>(e.ubRxFrame[4]) | static_cast<uint32_t>(e.ubRxFrame[5]) << 8 |
          static_cast<uint32_t>(e.ubRxFrame[6]) << 16 | static_cast<uint32_t>(e.ubRxFrame[7]) << 24;
  return true;
}

bool CqLinkAnswers() { return linkAnswers; }

void CqSetLinkAnswers(bool answers) {
  // Said to the lamp only when it changes: every answer passes here.
  if (linkAnswers.exchange(answers) != answers) PanelSetInt(uwMcMainPanelHandle, MAIN_LED_LINK, answers ? 1 : 0);
}

uint8_t CqTxCanOpenDataFrame(CqElement element) {
  if (ubCqFlag & CQ_FLAG_HOLD) return 0;
  switch (ubCqDataChannel) {
    case CQ_LINK_SERIAL: return UartWriteCanData(element.ubTxFrame);
    case CQ_LINK_UDP:
    case CQ_LINK_USB: return ZelEtherWriteSDOCanData(element);
    default: return 0;
  }
}

uint8_t CqCheckAndReadCanOpenDataFrame() {
  if (ubCqFlag & CQ_FLAG_RAW_TEXT) {
    ShowRawText();
    return 0;
  }
  if (ubCqFlag & CQ_FLAG_HOLD) return 0;
  uint8_t rc;
  switch (ubCqDataChannel) {
    case CQ_LINK_SERIAL:
      rc = UartReadCanData(CqCanMsg.ubData);
      if (rc == 0) {
        CqCanMsg.ubDlc = 8;
        CqCanMsg.udCobId = CQ_COB_RESPONSE + MachineDataChan.ubNodeId;
      }
      break;
    case CQ_LINK_UDP:
    case CQ_LINK_USB: rc = ZelEtherReadSDOCanData(&CqCanMsg); break;
    default: return 255;
  }
  if (rc != 0) return 32;
  CqSetRecvData(CqCanMsg);
  return 0;
}

void CqSetRecvData(const CqCanMessage& message) {
  const uint8_t node = static_cast<uint8_t>(message.udCobId - CQ_COB_RESPONSE);
  const uint16_t index = static_cast<uint16_t>(message.ubData[1] | message.ubData[2] << 8);
  for (CqElement& e : cqDataQueue) {
    if (e.ubStatus != CQ_SENT || e.ubNodeId != node || e.uwIndex != index) continue;
    std::memcpy(e.ubRxFrame, message.ubData, sizeof e.ubRxFrame);
    e.udCobId = message.udCobId;
    e.ubStatus = CQ_RECEIVED;
    if (e.ubLog & 0x01) HmiLogWindowSdoRecvOut(uwMcMainPanelHandle, e);
    return;
  }
}

void CqHandler() {
  const uint32_t now = McTimerGetCurrentTime();
  for (CqElement& e : cqDataQueue) {
    if (e.ubType == 0 || (e.ubType & 0xF0) != 0x10) continue;
    switch (e.ubStatus) {
      case CQ_QUEUED: SendQueued(e, now); break;
      case CQ_SENT: CheckDeadline(e, now); break;
      case CQ_RECEIVED: Judge(e); break;
      default: break;
    }
  }
  ubCqFlag |= CQ_FLAG_PASS_DONE;
}

uint8_t CqReadBlock(uint8_t port, uint8_t* buffer, uint16_t length) {
  switch (ubCqDataChannel) {
    case CQ_LINK_SERIAL: return UartReadBlockData(port, buffer, length);
    case CQ_LINK_UDP:
    case CQ_LINK_USB: return ZelEtherReadBlockData(buffer, length);
    default: return 1;
  }
}

int CqOpenComChan(int port, uint16_t baud) {
  if (ubCqDataChannel != CQ_LINK_SERIAL) return 0;
  return SerialOpenConfig(port, baud, 0, 8, 1, 4096, 10);
}

void CqCloseComChan(int port) {
  if (ubCqDataChannel == CQ_LINK_SERIAL) SerialClose(port);
  else if (ubCqDataChannel == CQ_LINK_USB) SerialClose(ubTcpUsbComPort);
}

void CqClearRxQueue(int port) {
  if (ubCqDataChannel == CQ_LINK_SERIAL) SerialFlushInQ(port);
  else if (ubCqDataChannel == CQ_LINK_USB) SerialFlushInQ(ubTcpUsbComPort);
}
