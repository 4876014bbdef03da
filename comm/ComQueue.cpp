#include "comm/ComQueue.h"

McMachineData MachineDataChan;
CqElement cqCanData;
std::atomic<uint8_t> ubCqFlag{0};
std::atomic<uint8_t> ubCqDataChannel{0};
uint8_t ubCQWriteSDOState = 1;

void CqComQueueInit() {
  cqCanData = CqElement{};
  ubCqFlag = 0;
  ubCQWriteSDOState = 1;
}

// No transport is built in yet: nothing can be received.
uint8_t CqCheckAndReadCanOpenDataFrame() { return 255; }

// With no slot in use a pass only marks itself done.
void CqHandler() { ubCqFlag |= CQ_FLAG_PASS_DONE; }
