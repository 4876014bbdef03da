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

// The last message received from the link.
struct CqCanMessage {
  uint32_t udCobId;
  uint8_t ubDlcRaw;  // length byte as received (Ethernet telegrams only)
  uint8_t ubDlc;     // payload length: low 4 bits of the length byte, or 8
  uint8_t ubData[8];
};

inline constexpr int CQ_QUEUE_SIZE = 10;

inline constexpr uint8_t CQ_FLAG_BUSY = 0x01;
inline constexpr uint8_t CQ_FLAG_PASS_DONE = 0x02;
inline constexpr uint8_t CQ_FLAG_HOLD = 0x04;
inline constexpr uint8_t CQ_FLAG_RAW_TEXT = 0x08;

// Slot status.
inline constexpr uint8_t CQ_FREE = 0;
inline constexpr uint8_t CQ_QUEUED = 1;
inline constexpr uint8_t CQ_SENT = 2;
inline constexpr uint8_t CQ_RECEIVED = 3;
inline constexpr uint8_t CQ_DONE = 4;
inline constexpr uint8_t CQ_FAILED = 5;

// Access types (class 0x10 = SDO).
inline constexpr uint8_t CQ_SDO_WRITE1 = 0x11;
inline constexpr uint8_t CQ_SDO_WRITE2 = 0x12;
inline constexpr uint8_t CQ_SDO_WRITE3 = 0x13;
inline constexpr uint8_t CQ_SDO_WRITE4 = 0x14;
inline constexpr uint8_t CQ_SDO_READ = 0x15;

// Links (ubCqDataChannel).
inline constexpr uint8_t CQ_LINK_NONE = 0;
inline constexpr uint8_t CQ_LINK_SERIAL = 1;
inline constexpr uint8_t CQ_LINK_UDP = 3;
inline constexpr uint8_t CQ_LINK_USB = 4;

inline constexpr uint32_t CQ_DEFAULT_TIMEOUT_MS = 200;
inline constexpr uint8_t CQ_ATTEMPTS = 4;
inline constexpr uint32_t CQ_COB_REQUEST = 0x600;
inline constexpr uint32_t CQ_COB_RESPONSE = 0x580;

extern McMachineData MachineDataChan;
extern CqElement cqDataQueue[CQ_QUEUE_SIZE];
extern CqElement cqDataStore;
extern CqElement cqCanData;
extern uint8_t ubMcCanHandle;
extern CqCanMessage CqCanMsg;
extern std::atomic<uint8_t> ubCqFlag;
extern std::atomic<uint8_t> ubCqDataChannel;
extern uint8_t ubCQWriteSDOState;
extern uint32_t udCqNorlTimeout;

// All functions below run in the tick unless said otherwise.

// Clears every slot, the template and the flags (start step).
void CqComQueueInit();
// Copies the template into the lowest free slot (status 1, index in *handle)
// and builds its request payload. 0 done; 1 no free slot (nothing touched);
// 2 not an SDO access type 0x11..0x15 (slot taken and handle set: purge it).
uint8_t CqElementCreate(const CqElement& element, uint8_t* handle);
// Slot status into *status; 0, or 3 for an index of 10 or more.
uint8_t CqElementStatus(uint8_t index, uint8_t* status);
// Frees a slot (status and access type 0, the rest stays readable); 0 or 3.
uint8_t CqElementPurge(uint8_t index);
// Copies the whole slot; 0 or 3.
uint8_t CqElementRead(CqElement* element, uint8_t index);
// Fills the template and creates a slot; CqElementCreate's codes.
uint8_t CqWriteSDO(uint32_t data, uint16_t index, uint8_t node, uint8_t subIndex, uint8_t type, uint8_t* handle,
                   uint8_t log);
// The polled request of the state machines: call once per tick until the
// result is not 1. 1 in progress, 2 done (read the slot with CqElementRead),
// 0 failed (no slot, bad type, four failed attempts or the link refused).
uint8_t CqWriteSDOResp(uint32_t data, uint16_t index, uint8_t node, uint8_t subIndex, uint8_t type, uint8_t* handle,
                       uint8_t log);
// After CqWriteSDOResp returned 0: true, with the code, when the controller's
// last answer to that request was an abort.
bool CqLastAbort(uint32_t* code);
// Whether a slot's last answer was an abort (0x80), and its code.
bool CqElementAbort(const CqElement& element, uint32_t* code);
// Whether the controller on the link answers: every answer says yes, a request
// whose last attempt went unanswered says no; the main panel's Link lamp
// shows it. Channel selection and identification set it too. Any thread.
bool CqLinkAnswers();
void CqSetLinkAnswers(bool answers);
// Hands one slot to the selected link; 0 sent (or held back), non-zero refused.
uint8_t CqTxCanOpenDataFrame(CqElement element);
// Receive step, once per tick: 0 a message was offered to the slots, 32
// nothing or a transport error, 255 no link with a transport.
uint8_t CqCheckAndReadCanOpenDataFrame();
// Offers a received message to the slot waiting for it (node and index).
void CqSetRecvData(const CqCanMessage& message);
// Send and judge pass over the slots, once per tick after the receive step.
void CqHandler();
// Reads one raw block of `length` data bytes from the link into `buffer`,
// which must hold length + 2 bytes (the data and the CRC). 0 complete and
// valid, 2 not yet, 1 read failure or other link, 5 CRC mismatch (links 3
// and 4), 9/10/12 wrong telegram header (links 3 and 4).
uint8_t CqReadBlock(uint8_t port, uint8_t* buffer, uint16_t length);
// Link 1: opens the port 8N1 at `baud`; the serial layer's result (negative
// on failure). Other links: 0. GUI thread or tick.
int CqOpenComChan(int port, uint16_t baud);
// Link 1 closes `port`, link 4 the USB port; other links nothing.
void CqCloseComChan(int port);
// Link 1 discards the input of `port`, link 4 that of the USB port.
void CqClearRxQueue(int port);
