// Link test (machine 0x0B): 21 reads of object 0x2004/0; fewer than five
// failures is a good connection.
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/McycleIo.h"
#include "engine/McycleMachines.h"

namespace {

constexpr uint16_t kTestObject = 0x2004;
constexpr uint8_t kReads = 21;
constexpr uint8_t kBadFrom = 5;

uint8_t ubComTestErrors;
uint8_t ubComTestAttempts;

}  // namespace

void McycleComTestStateMachine() {
  switch (uwMcycleState.load()) {
    case MC_LINK_TEST_START:
      ubComTestErrors = 0;
      ubComTestAttempts = 0;
      McycleGo(MC_LINK_TEST_READ);
      return;
    case MC_LINK_TEST_READ: {
      const uint8_t rc =
          CqWriteSDOResp(0, kTestObject, MachineDataChan.ubNodeId, 0, CQ_SDO_READ, &ubMcCanHandle, 1);
      if (rc == 1) return;
      ++ubComTestAttempts;
      if (rc == 0) {
        ++ubComTestErrors;
        ubCQWriteSDOState = 1;
      }
      if (ubComTestAttempts >= kReads) McycleGo(MC_LINK_TEST_VERDICT);
      return;
    }
    default:
      McycleSay(ubComTestErrors < kBadFrom ? "ComTest: Connection is good\n" : "ComTest: Connection is bad\n");
      McycleGo(MC_STATE_IDLE);
      return;
  }
}
