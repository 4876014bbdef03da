// Machines 13 (save) and 14 (recall). Both end with a silent read-back of the
// basic set (machine 8) and log the set they found.
#include "engine/McycleParmSaveRecall.h"

#include <string>

#include "app/PanelCallbacks.h"
#include "app/Ramtype.h"
#include "app/Startup.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/McycleIo.h"
#include "engine/McycleMachines.h"
#include "engine/McycleParameter.h"
#include "params/CtrlCmd.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

uint8_t ubMcParmSetNo;
uint16_t uwMcRamtype;

namespace {

constexpr int kStatusEntry = 4;   // data container: 0x2004, status word 0
constexpr int kRamtypeEntry = 5;  // data container: 0x2106

uint32_t udRecallConfirmed;

uint8_t SendSetCommand(uint16_t code, uint8_t set) {
  if (set >= MC_PARM_SETS) set = MC_PARM_SETS - 1;
  const uint8_t rc = McycleWriteObject(CTRL_OBJ_COMMAND, 0, 2, code + set, 1);
  switch (rc) {
    case 2: return 1;
    case 0: ubCQWriteSDOState = 1; return 2;
    default: return 0;
  }
}

// The failure path of both machines: every failed telegram is reported.
void Fail(uint16_t endState) {
  McycleLogTransmissionError();
  ubCQWriteSDOState = 1;
  McycleGo(endState);
}

void Refuse(const char* what, uint16_t endState) {
  PanelMessagePopup("ERROR", what);
  McycleLogf("Error: %s", what);
  McycleGo(endState);
}

// Reads data-container entry `entry`: 1 pending, 2 done (value stored in the
// entry), 0 failed.
uint8_t ReadDataEntry(int entry) {
  CtrlCmdEntry& e = sDataContainer.entries[entry];
  const uint8_t rc = McycleReadEntry(e, 1);
  if (rc == 2) e.udData = cqCanData.udData;
  return rc;
}

// Status word 0 read into its entry; the McycleReadStatus flags in *flags.
uint8_t ReadStatus(uint8_t* flags) {
  const uint8_t rc = ReadDataEntry(kStatusEntry);
  if (rc == 2) *flags = McycleReadStatus(sDataContainer.entries[kStatusEntry].udData);
  return rc;
}

uint8_t ReadRamtype() {
  const uint8_t rc = ReadDataEntry(kRamtypeEntry);
  if (rc != 2) return rc;
  uwMcRamtype = static_cast<uint16_t>(sDataContainer.entries[kRamtypeEntry].udData);
  PanelClearText(uwMcParmSavePanelHandle, PSAVE_TXT_RAMTYPE);
  PanelSetString(uwMcParmSavePanelHandle, PSAVE_TXT_RAMTYPE, McycleRamtypeText(uwMcRamtype));
  return 2;
}

// Reads the basic set back without showing it; the machine resumes at
// `resume` when the read-back has ended.
void StartSilentReadBack(uint16_t resume, uint16_t endState) {
  if (McyclePush(resume) != 0) {
    McycleLog("Engine: return stack full, parameter read-back not started");
    McycleGo(endState);
    return;
  }
  // The basic set, whatever a panel selected last: it is the one logged.
  ubMcFlag1 |= MC_FLAG1_PARM_SILENT;
  ubMcFlag1 &= static_cast<uint8_t>(~MC_FLAG1_PARM_EXTENDED);
  McycleGo(MC_PARM_READ_START);
}

}  // namespace

uint8_t McycleParmSave(uint8_t set) { return SendSetCommand(CMD_CODE_PARM_SAVE, set); }
uint8_t McycleParmRecall(uint8_t set) { return SendSetCommand(CMD_CODE_PARM_RECALL, set); }

void McycleParmSaveStateMachine(uint16_t) {
  uint8_t flags = 0;
  switch (uwMcycleState.load()) {
    case MC_PARM_SAVE_START: McycleGo(MC_PARM_SAVE_CHECK); return;
    case MC_PARM_SAVE_CHECK:
      switch (ReadStatus(&flags)) {
        case 1: return;
        case 0: Fail(MC_PARM_SAVE_END); return;
        default:
          if (flags & MC_STATUS_VALID_PARAMETERS)
            McycleGo(MC_PARM_SAVE_SEND);
          else
            Refuse("No valid Parameters in target device", MC_PARM_SAVE_END);
          return;
      }
    case MC_PARM_SAVE_SEND:
      switch (McycleParmSave(ubMcParmSetNo)) {
        case 0: return;
        case 1: McycleGo(MC_PARM_SAVE_VERIFY); return;
        default: Fail(MC_PARM_SAVE_END); return;
      }
    case MC_PARM_SAVE_VERIFY:
      switch (ReadStatus(&flags)) {
        case 1: return;
        case 0: Fail(MC_PARM_SAVE_END); return;
        default:
          if (flags & (MC_STATUS_EEPROM_WRITE | MC_STATUS_EEPROM_ERROR))
            Refuse("EEPROM write", MC_PARM_SAVE_END);
          else
            McycleGo(MC_PARM_SAVE_RAMTYPE);
          return;
      }
    case MC_PARM_SAVE_RAMTYPE:
      switch (ReadRamtype()) {
        case 1: return;
        case 0: Fail(MC_PARM_SAVE_END); return;
        default: McycleGo(MC_PARM_SAVE_READ_BACK); return;
      }
    case MC_PARM_SAVE_READ_BACK: StartSilentReadBack(MC_PARM_SAVE_REPORT, MC_PARM_SAVE_END); return;
    case MC_PARM_SAVE_REPORT:
      if (ubMcParmReadFailed) {
        McycleGo(MC_PARM_SAVE_END);  // the read-back has said "Transmission ERROR"
        return;
      }
      McycleLogTransmissionOk();
      McycleSetParmLogBox(sParamContainer);
      McycleLog("Parm Save O.K.");
      McycleGo(MC_PARM_SAVE_END);
      return;
    default: McycleGo(MC_STATE_IDLE); return;
  }
}

void McycleParmRecallStateMachine(uint16_t) {
  uint8_t flags = 0;
  switch (uwMcycleState.load()) {
    case MC_PARM_RECALL_START: McycleGo(MC_PARM_RECALL_SEND); return;
    case MC_PARM_RECALL_SEND:
      switch (McycleParmRecall(ubMcParmSetNo)) {
        case 0: return;
        case 1:
          udRecallConfirmed = McTimerGetCurrentTime();
          McycleGo(MC_PARM_RECALL_SETTLE);
          return;
        default: Fail(MC_PARM_RECALL_END); return;
      }
    case MC_PARM_RECALL_SETTLE:
      if (McTimeAfter(McTimerGetCurrentTime(), udRecallConfirmed + MC_RECALL_SETTLE_MS)) McycleGo(MC_PARM_RECALL_CHECK);
      return;
    case MC_PARM_RECALL_CHECK:
      switch (ReadStatus(&flags)) {
        case 1: return;
        case 0: Fail(MC_PARM_RECALL_END); return;
        default:
          if (flags & MC_STATUS_EEPROM_READ)
            Refuse("EEPROM read", MC_PARM_RECALL_END);
          else if ((flags & MC_STATUS_EEPROM_ERROR) || !(flags & MC_STATUS_VALID_PARAMETERS))
            Refuse("No valid Parameters in EEPROM", MC_PARM_RECALL_END);
          else
            McycleGo(MC_PARM_RECALL_RAMTYPE);
          return;
      }
    case MC_PARM_RECALL_RAMTYPE:
      switch (ReadRamtype()) {
        case 1: return;
        case 0: Fail(MC_PARM_RECALL_END); return;
        default: McycleGo(MC_PARM_RECALL_READ_BACK); return;
      }
    case MC_PARM_RECALL_READ_BACK: StartSilentReadBack(MC_PARM_RECALL_REPORT, MC_PARM_RECALL_END); return;
    case MC_PARM_RECALL_REPORT:
      if (ubMcParmReadFailed) {
        McycleGo(MC_PARM_RECALL_END);
        return;
      }
      McycleLogTransmissionOk();
      McycleSetParmLogBox(sParamContainer);
      McycleLogf("RAMTYPE    = %s", McycleRamtypeText(uwMcRamtype).c_str());
      McycleLog("Parm Recall O.K.");
      McycleGo(MC_PARM_RECALL_END);
      return;
    default: McycleGo(MC_STATE_IDLE); return;
  }
}
