#include "params/ParmSaveRecallPanel.h"

#include <string>

#include "app/PanelCallbacks.h"
#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "engine/McycleParmSaveRecall.h"
#include "hmi/hmi.h"
#include "objects/ScriptLoader.h"
#include "params/CtrlCmd.h"
#include "params/ParameterPanel.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

namespace {

int Panel() { return uwMcParmSavePanelHandle; }

void TakeSetNumber() {
  int64_t value = 0;
  PanelGetInt(Panel(), PSAVE_NUM_SET, value);
  ubMcParmSetNo = ParmSetNumber(value);
  if (value != ubMcParmSetNo) PanelSetInt(Panel(), PSAVE_NUM_SET, ubMcParmSetNo);
}

void Start(uint16_t signal) {
  if (!McycleRequireLink()) return;
  if (McycleScriptContainerBusy()) {
    HmiLogDirect(signal == MC_SIG_PARM_SAVE ? "Parm Save not started: an operation is running\n"
                                            : "Parm Recall not started: an operation is running\n");
    return;
  }
  TakeSetNumber();
  ParmSelectSaveRecallEntry(CMD_CODE_PARM_READBACK);
  ParmPanelNoteNotTheControllers();
  McycleSignalQueuePut(signal);
}

}  // namespace

uint8_t ParmSetNumber(int64_t fieldValue) {
  if (fieldValue < 0) return 0;
  if (fieldValue >= MC_PARM_SETS) return MC_PARM_SETS - 1;
  return static_cast<uint8_t>(fieldValue);
}

void ParmSelectSaveRecallEntry(uint16_t code) {
  CtrlCmdEntry& e = sCmdContainer.entries[CTRL_CMD_PARM_SAVE_RECALL];
  e.uwIndex = CTRL_OBJ_COMMAND;
  e.ubSubIndex = 0;
  e.ubLength = 2;
  e.udData = code;
  sCmdContainer.uwNumOfEntries = 1;
}

int CMD_PARM_SAVE_Callback(int, int control, int event, void*, int, int) {
  if (control == PSAVE_NUM_SET) {
    if (event == EVENT_COMMIT || event == EVENT_VAL_CHANGED) TakeSetNumber();
    return 0;
  }
  if (event != EVENT_COMMIT) return 0;
  switch (control) {
    case PSAVE_CMD_SAVE: Start(MC_SIG_PARM_SAVE); break;
    case PSAVE_CMD_RECALL: Start(MC_SIG_PARM_RECALL); break;
    case PSAVE_CMD_CLOSE: PanelHide(Panel()); break;
    default: break;
  }
  return 0;
}

int CMD_PARM_SAVE_RECALL_Callback(int, int, int event, void*, int, int) {
  if (event == EVENT_COMMIT) PanelDisplay(Panel());
  return 0;
}

void ParmSaveRecallPanelSetUp() {
  for (int c : {PSAVE_NUM_SET, PSAVE_CMD_SAVE, PSAVE_CMD_RECALL, PSAVE_CMD_CLOSE})
    PanelInstallCallback(Panel(), c, CMD_PARM_SAVE_Callback, nullptr);
}
