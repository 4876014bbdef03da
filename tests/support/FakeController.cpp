#include "support/FakeController.h"

#include <cstring>

#include "comm/ComQueue.h"

FakeController::FakeController() {
  Set(0x2000, 0, 0, 2);  // command object
  Set(0x2002, 0, 0x1234, 2);
  Set(0x2004, 0, 0x12345678, 4, true);
  Set(0x2103, 0, 0x05, 1);
  Set(0x2119, 0, 0x00ABCDEF, 3);
  Set(0x2602, 1, 0x3F800000, 4);
}

void FakeController::Set(uint16_t index, uint8_t sub, uint32_t value, uint8_t width, bool readOnly) {
  objects_[{index, sub}] = {value, width, readOnly};
}

void FakeController::Serve() {
  for (int i = 0; i < CQ_QUEUE_SIZE; ++i) {
    const CqElement& slot = cqDataQueue[i];
    // A transmission is a slot that went to "sent" with a new deadline.
    if (slot.ubStatus != CQ_SENT) {
      seen_[i] = false;
      continue;
    }
    if (seen_[i] && seenDeadline_[i] == slot.udDeadline) {
      if (hold) continue;
    } else {
      seen_[i] = true;
      seenDeadline_[i] = slot.udDeadline;
      std::array<uint8_t, 8> payload{};
      std::memcpy(payload.data(), slot.ubTxFrame, 8);
      requests.push_back(payload);
    }
    if (hold) continue;

    const uint8_t cmd = slot.ubTxFrame[0];
    const uint16_t index = static_cast<uint16_t>(slot.ubTxFrame[1] | slot.ubTxFrame[2] << 8);
    const uint8_t sub = slot.ubTxFrame[3];
    uint32_t data = 0;
    std::memcpy(&data, slot.ubTxFrame + 4, 4);
    CqCanMessage m{};
    m.udCobId = CQ_COB_RESPONSE + slot.ubNodeId;
    m.ubDlc = 8;
    std::memcpy(m.ubData, slot.ubTxFrame, 4);
    auto it = objects_.find({index, sub});
    uint32_t answer = 0;
    if (abortAll || it == objects_.end() || (cmd != 0x40 && it->second.readOnly)) {
      m.ubData[0] = 0x80;
      answer = 0x06020000;
    } else if (cmd == 0x40) {
      static const uint8_t kRead[] = {0x43, 0x4F, 0x4B, 0x47, 0x43};
      m.ubData[0] = kRead[it->second.width];
      answer = it->second.value;
    } else {
      const int width = cmd == 0x2F ? 1 : cmd == 0x2B ? 2 : cmd == 0x27 ? 3 : 4;
      it->second.value = width == 4 ? data : data & ((1u << (8 * width)) - 1);
      m.ubData[0] = 0x60;
    }
    std::memcpy(m.ubData + 4, &answer, 4);
    CqSetRecvData(m);
  }
}
