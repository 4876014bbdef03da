// Machine 2: one operator command of the command list, entry ubMcCmd. Trigger
// commands enter at step 2 and write the trace selector (entry 32) first;
// the ram-type command reads the sample time and mode word 1 afterwards.
#include "app/PanelCallbacks.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/McycleCheckMenu.h"
#include "engine/McycleIo.h"
#include "engine/McycleMachines.h"
#include "params/CtrlCmd.h"
#include "scope/scope.h"

namespace {

constexpr uint16_t kMode1Object = 0x210F;

// Set at step 2: the command is a trigger for the second trace.
bool secondTrace;

void Go(uint16_t state) { uwMcycleState = state; }

void Failed() {
  McycleLogTransmissionError();
  ubCQWriteSDOState = 1;
  Go(0x0204);
}

}  // namespace

void McycleTelegramlistStateMachine() {
  switch (uwMcycleState & 0xFF) {
    case 0:
      secondTrace = false;
      Go(ubMcCmd >= 1 && ubMcCmd <= CTRL_CMD_LAST_NUMBER ? 0x0201 : 0x0204);
      return;
    case 1:
      if (ubMcCmd == CTRL_CMD_SAMPLE_TIME) {
        sCmdContainer.entries[CTRL_CMD_SAMPLE_TIME].udData = ubMcSampleTime;
        McycleSetSampleTimeRing(ubMcSampleTime);
      } else if (ubMcCmd == CTRL_CMD_RAMTYPE) {
        sCmdContainer.entries[CTRL_CMD_RAMTYPE].udData = CMD_CODE_RAMTYPE | ubMcRamtypeTel;
      }
      Go(0x0203);
      return;
    case 2: {
      const CtrlCmdEntry& selector = sCmdContainer.entries[CTRL_CMD_TRACE_SELECT];
      const uint8_t rc = McycleWriteEntry(selector, 1);
      if (rc == 1) return;
      if (rc == 0) {
        Failed();
        return;
      }
      secondTrace = selector.udData == 2;
      Go(0x0203);
      return;
    }
    case 3: {
      const uint8_t rc = McycleWriteEntry(sCmdContainer.entries[ubMcCmd], 1);
      if (rc == 1) return;
      if (rc == 0) {
        Failed();
        return;
      }
      McycleLogTransmissionOk();
      if (secondTrace)
        McycleSetCheckMenuTrace2(ubMcCmd);
      else
        McycleSetCheckMenu(ubMcCmd);
      Go(ubMcCmd == CTRL_CMD_RAMTYPE ? 0x0205 : 0x0204);
      return;
    }
    case 5: {
      const uint8_t rc = McycleReadObject(CTRL_OBJ_SAMPLE_TIME, 0, 0);
      if (rc == 1) return;
      if (rc == 0) {
        Failed();
        return;
      }
      McycleSetSampleTimeRing(static_cast<uint16_t>(cqCanData.udData));
      Go((ubMcFlag3 & MC_FLAG3_FW_P0417) ? 0x0204 : 0x0206);
      return;
    }
    case 6: {
      const uint8_t rc = McycleReadObject(kMode1Object, 0, 0);
      if (rc == 1) return;
      if (rc == 0) {
        Failed();
        return;
      }
      McycleSetStatusBoxes(static_cast<uint16_t>(cqCanData.udData));
      Go(0x0204);
      return;
    }
    default: Go(MC_STATE_IDLE); return;
  }
}
