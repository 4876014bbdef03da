// Machine 0x21: the trace selector, then the freeze or unfreeze command.
#include "engine/Mcycle.h"
#include "engine/McycleIo.h"
#include "engine/McycleMachines.h"
#include "params/CtrlCmd.h"
#include "scope/ScopeDownload.h"

uint8_t ubFreezeSwitch;
uint8_t ubFreezeChan;

void McycleFreezeStateMachine() {
  switch (uwMcycleState) {
    case MC_FREEZE_START: McycleGo(MC_FREEZE_SELECT); return;
    case MC_FREEZE_SELECT: {
      const uint8_t rc = McycleWriteObject(CTRL_OBJ_TRACE_SELECT, 0, 2, ubFreezeChan, 1);
      if (rc == 1) return;
      if (rc == 0) McycleGo(MC_FREEZE_FAILED);
      else McycleGo(ubFreezeSwitch == 0 ? MC_FREEZE_FREEZE : MC_FREEZE_UNFREEZE);
      return;
    }
    case MC_FREEZE_FREEZE:
    case MC_FREEZE_UNFREEZE: {
      const uint16_t code = uwMcycleState == MC_FREEZE_FREEZE ? CMD_CODE_TRACE_FREEZE : CMD_CODE_TRACE_UNFREEZE;
      const uint8_t rc = McycleWriteObject(CTRL_OBJ_COMMAND, 0, 2, code, 0);
      if (rc == 1) return;
      McycleGo(rc == 0 ? MC_FREEZE_FAILED : MC_FREEZE_DONE);
      return;
    }
    default:
      // Done or failed alike: a failed freeze or unfreeze is not reported,
      // the download goes on.
      McycleGo(MC_STATE_IDLE);
      return;
  }
}
