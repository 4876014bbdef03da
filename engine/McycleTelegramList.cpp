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

void Failed() {
  McycleLogTransmissionError();
  ubCQWriteSDOState = 1;
  McycleGo(MC_TELEGRAM_END);
}

}  // namespace

void McycleTelegramlistStateMachine() {
  switch (uwMcycleState.load()) {
    case MC_TELEGRAM_START:
      secondTrace = false;
      McycleGo(ubMcCmd >= 1 && ubMcCmd <= CTRL_CMD_LAST_NUMBER ? MC_TELEGRAM_PREPARE : MC_TELEGRAM_END);
      return;
    case MC_TELEGRAM_PREPARE:
      if (ubMcCmd == CTRL_CMD_SAMPLE_TIME) {
        sCmdContainer.entries[CTRL_CMD_SAMPLE_TIME].udData = ubMcSampleTime;
        McycleSetSampleTimeRing(ubMcSampleTime);
      } else if (ubMcCmd == CTRL_CMD_RAMTYPE) {
        sCmdContainer.entries[CTRL_CMD_RAMTYPE].udData = CMD_CODE_RAMTYPE | ubMcRamtypeTel;
      }
      McycleGo(MC_TELEGRAM_SEND);
      return;
    case MC_TELEGRAM_SELECTOR: {
      const CtrlCmdEntry& selector = sCmdContainer.entries[CTRL_CMD_TRACE_SELECT];
      const uint8_t rc = McycleWriteEntry(selector, 1);
      if (rc == 1) return;
      if (rc == 0) {
        Failed();
        return;
      }
      secondTrace = selector.udData == 2;
      McycleGo(MC_TELEGRAM_SEND);
      return;
    }
    case MC_TELEGRAM_SEND: {
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
      McycleGo(ubMcCmd == CTRL_CMD_RAMTYPE ? MC_TELEGRAM_SAMPLE_TIME : MC_TELEGRAM_END);
      return;
    }
    case MC_TELEGRAM_SAMPLE_TIME: {
      const uint8_t rc = McycleReadObject(CTRL_OBJ_SAMPLE_TIME, 0, 0);
      if (rc == 1) return;
      if (rc == 0) {
        Failed();
        return;
      }
      McycleSetSampleTimeRing(static_cast<uint16_t>(cqCanData.udData));
      McycleGo((ubMcFlag3 & MC_FLAG3_FW_P0417) ? MC_TELEGRAM_END : MC_TELEGRAM_MODE1);
      return;
    }
    case MC_TELEGRAM_MODE1: {
      const uint8_t rc = McycleReadObject(kMode1Object, 0, 0);
      if (rc == 1) return;
      if (rc == 0) {
        Failed();
        return;
      }
      McycleSetStatusBoxes(static_cast<uint16_t>(cqCanData.udData));
      McycleGo(MC_TELEGRAM_END);
      return;
    }
    default: McycleGo(MC_STATE_IDLE); return;
  }
}
