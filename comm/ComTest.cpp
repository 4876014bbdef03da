// Link test (machine 0x0B): 21 reads of object 0x2004/0; fewer than five
// failures is a good connection.
#include "app/Startup.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/McycleMachines.h"
#include "hmi/hmi.h"
#include "ui/PanelIds.h"

namespace {

constexpr uint16_t kTestObject = 0x2004;
constexpr uint8_t kReads = 21;
constexpr uint8_t kBadFrom = 5;

uint8_t ubComTestErrors;
uint8_t ubComTestAttempts;

}  // namespace

void McycleComTestStateMachine() {
  switch (uwMcycleState & 0xFF) {
    case 0:
      ubComTestErrors = 0;
      ubComTestAttempts = 0;
      uwMcycleState = 0x0B01;
      return;
    case 1: {
      const uint8_t rc =
          CqWriteSDOResp(0, kTestObject, MachineDataChan.ubNodeId, 0, CQ_SDO_READ, &ubMcCanHandle, 1);
      if (rc == 1) return;
      ++ubComTestAttempts;
      if (rc == 0) {
        ++ubComTestErrors;
        ubCQWriteSDOState = 1;
      }
      if (ubComTestAttempts >= kReads) uwMcycleState = 0x0B02;
      return;
    }
    default:
      HmiLogWindowOut(ubComTestErrors < kBadFrom ? "ComTest: Connection is good\n" : "ComTest: Connection is bad\n",
                      uwMcMainPanelHandle, HI_PRIO_TEXT, MAIN_TXTBOX_LOG);
      uwMcycleState = MC_STATE_IDLE;
      return;
  }
}
