// Communication queue: ten slots of SDO requests, sent one at a time over the
// selected link, matched with their responses, repeated on time-out or refusal.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
struct CqElement {
  uint8_t ubCmd;
  uint16_t uwIndex;
  uint8_t ubSubIndex;
  uint32_t udData;
  uint8_t ubTxFrame[8];
  uint8_t ubRxFrame[8];
  uint8_t ubType;
  uint8_t ubStatus;
  uint32_t udCobId;
  uint8_t ubNodeId;
  uint8_t ubRetry;
  uint32_t udDeadline;
  uint32_t udTimeout;
  uint8_t ubLog;
  uint8_t ubSpare[2];  // keeps the slot at its 43-byte size
};
#pragma pack(pop)
static_assert(sizeof(CqElement) == 43, "queue slot layout is shared with callers' templates");
static_assert(offsetof(CqElement, ubTxFrame) == 8 && offsetof(CqElement, ubRxFrame) == 16);
static_assert(offsetof(CqElement, ubType) == 24 && offsetof(CqElement, udCobId) == 26);
static_assert(offsetof(CqElement, udDeadline) == 32 && offsetof(CqElement, ubLog) == 40);

struct McMachineData {
  uint8_t ubNodeId;
};

inline constexpr uint8_t CQ_FLAG_BUSY = 0x01;
inline constexpr uint8_t CQ_FLAG_PASS_DONE = 0x02;
inline constexpr uint8_t CQ_FLAG_HOLD = 0x04;
inline constexpr uint8_t CQ_FLAG_RAW_TEXT = 0x08;

extern McMachineData MachineDataChan;
extern CqElement cqCanData;
extern std::atomic<uint8_t> ubCqFlag;
extern std::atomic<uint8_t> ubCqDataChannel;
extern uint8_t ubCQWriteSDOState;

// Clears every slot, the template and the flags (start step).
void CqComQueueInit();
// Receive step, once per tick: 0 a message was offered to the slots, 32
// nothing or a transport error, 255 no link with a transport.
uint8_t CqCheckAndReadCanOpenDataFrame();
// Send and judge pass over the slots, once per tick after the receive step.
void CqHandler();
