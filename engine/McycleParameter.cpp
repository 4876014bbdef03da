// Machines 7 (write the parameter set) and 8 (read it back), the logged set
// and the soft value.
#include "engine/McycleParameter.h"

#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/McycleIo.h"
#include "engine/McycleMachines.h"
#include "engine/McycleParmSaveRecall.h"
#include "objects/OBJCMD.h"
#include "objects/ScriptLoader.h"
#include "params/ParameterPanel.h"
#include "ui/Panel.h"

uint16_t uwMcMacWizParmPanelHandle;
uint8_t ubMcMacWizParmNum[MC_WIZARD_PARM_CONTROLS];
uint8_t ubMcParmReadFailed;

namespace {

constexpr uint16_t kSoftValueObject = 0x211F;
constexpr uint16_t kCodeSoftOn = 0x14B;
constexpr uint16_t kCodeSoftOff = 0x14C;

// sKvoParm elements the wizard's controls get, in the order of its list.
constexpr uint8_t kWizardElements[MC_WIZARD_PARM_CONTROLS] = {0, 1, 2, 3, 4, 5, 8, 9, 10, 11, 12, 13, 17, 24, 23};

// The set a run works on, chosen when it starts: a panel may flip the
// selection bit for its next request while this one runs.
CtrlCmdContainer* writeSet;
CtrlCmdContainer* readSet;
uint16_t uwWriteIndex;
uint16_t uwReadIndex;

CtrlCmdContainer& SelectedSet() { return (ubMcFlag1 & MC_FLAG1_PARM_EXTENDED) ? sParamRdContainer : sParamContainer; }

void FillWizard() {
  for (int i = 0; i < MC_WIZARD_PARM_CONTROLS; ++i)
    if (ubMcMacWizParmNum[i] != MC_WIZARD_NO_CONTROL)
      PanelSetInt(uwMcMacWizParmPanelHandle, ubMcMacWizParmNum[i], sKvoParm[kWizardElements[i]]);
}

// Every exit of machine 8 leaves the request bits clear and its outcome set.
void EndReadBack(bool failed) {
  const bool wizard = ubMcFlag & MC_FLAG_WIZARD_PARM_REQUEST;
  ubMcFlag &= static_cast<uint8_t>(~MC_FLAG_WIZARD_PARM_REQUEST);
  ubMcFlag1 &= static_cast<uint8_t>(~MC_FLAG1_PARM_SILENT);
  if (wizard && !failed) FillWizard();
  ubMcParmReadFailed = failed ? 1 : 0;
  McycleGo(MC_STATE_IDLE);
}

}  // namespace

void McycleWriteParameterStateMachine() {
  switch (uwMcycleState.load()) {
    case MC_PARM_WRITE_START:
      writeSet = &SelectedSet();
      uwWriteIndex = 0;
      McycleGo(MC_PARM_WRITE_ENTRY);
      return;
    case MC_PARM_WRITE_ENTRY: {
      const CtrlCmdContainer& c = *writeSet;
      const uint8_t rc = McycleWriteEntry(c.entries[uwWriteIndex], 1);
      if (rc == 1) return;
      if (rc == 0) {
        // A set written in part without its take command must not look done.
        McycleLogTransmissionError();
        ubCQWriteSDOState = 1;
        McycleGo(MC_PARM_WRITE_END);
        return;
      }
      if (uwWriteIndex + 1 == c.ubLastEntry) McycleLog("Transmit Take Parameter Command");
      if (++uwWriteIndex >= c.uwNumOfEntries) {
        McycleLogTransmissionOk();
        McycleGo(MC_PARM_WRITE_END);
      }
      return;
    }
    default: McycleGo(MC_STATE_IDLE); return;
  }
}

void McycleReadParameterStateMachine() {
  switch (uwMcycleState.load()) {
    case MC_PARM_READ_START:
      readSet = &SelectedSet();
      uwReadIndex = 0;
      McycleGo(MC_PARM_READ_REQUEST);
      return;
    case MC_PARM_READ_REQUEST: {
      const uint8_t rc = McycleWriteEntry(sCmdContainer.entries[CTRL_CMD_PARM_READBACK], 0);
      if (rc == 1) return;
      if (rc == 2) {
        McycleGo(MC_PARM_READ_ENTRY);
        return;
      }
      McycleLogTransmissionError();
      EndReadBack(true);
      return;
    }
    case MC_PARM_READ_ENTRY: {
      const uint8_t rc = McycleReadEntry(readSet->entries[uwReadIndex], 1);
      if (rc == 1) return;
      if (rc == 2) {
        McycleGo(MC_PARM_READ_STORE);
        return;
      }
      McycleLogTransmissionError();
      ubCQWriteSDOState = 1;
      EndReadBack(true);
      return;
    }
    case MC_PARM_READ_STORE: {
      CtrlCmdEntry& e = readSet->entries[uwReadIndex];
      e.udData = McycleValueOfWidth(cqCanData.udData, e.ubLength);
      // The take-parameter entry (ubLastEntry) is not read.
      if (++uwReadIndex < readSet->ubLastEntry) {
        McycleGo(MC_PARM_READ_ENTRY);
        return;
      }
      if (ubMcFlag1 & MC_FLAG1_PARM_SILENT) {
        EndReadBack(false);
        return;
      }
      McycleLogTransmissionOk();
      McycleGo(readSet == &sParamRdContainer ? MC_PARM_READ_SHOW_EXTENDED : MC_PARM_READ_SHOW_BASIC);
      return;
    }
    case MC_PARM_READ_SHOW_EXTENDED:
      for (int i = 0; i < CTRL_CMD_KVO_WORDS; ++i)
        sKvoParm[i] = static_cast<uint16_t>(sParamRdContainer.entries[i].udData);
      if (!(ubMcFlag & MC_FLAG_WIZARD_PARM_REQUEST)) ParmPanelShowExtended();
      EndReadBack(false);
      return;
    case MC_PARM_READ_SHOW_BASIC:
      ParmPanelShowBasic();
      EndReadBack(false);
      return;
    default: EndReadBack(true); return;
  }
}

void McycleSetParmLogBox(const CtrlCmdContainer& parameters) {
  static const char* const kLines[5] = {"POS1       = %d", "POS2       = %d", "POS3       = %d", "READYWIN   = %d",
                                        "TIME2      = %d"};
  McycleLog("");
  McycleLogf("PARMSET    = %d", ubMcParmSetNo);
  for (int i = 0; i < 5; ++i) McycleLogf(kLines[i], static_cast<int>(parameters.entries[i].udData));
}

uint8_t McycleSetSoftParm(uint16_t value) {
  if (McycleScriptContainerBusy()) {
    McycleLog("Soft parameter not sent: an operation is running");
    return 1;
  }
  ObjCmdScriptReset();
  auto put = [](int at, uint16_t index, uint32_t data) {
    CtrlCmdEntry& e = sScrContainer.entries[at];
    e.ubLength = 2;
    e.uwIndex = index;
    e.ubSubIndex = 0;
    e.udData = data;
  };
  if (value != 0) {
    put(0, CTRL_OBJ_COMMAND, kCodeSoftOn);
    put(1, kSoftValueObject, value);
    put(2, CTRL_OBJ_COMMAND, CMD_CODE_TAKE_PARAMETERS);
    sScrContainer.uwNumOfEntries = 3;
  } else {
    put(0, CTRL_OBJ_COMMAND, kCodeSoftOff);
    put(1, CTRL_OBJ_COMMAND, CMD_CODE_TAKE_PARAMETERS);
    sScrContainer.uwNumOfEntries = 2;
  }
  McycleSignalQueuePut(MC_SIG_SCRIPT);
  return 0;
}
