#include "scope/ScopePanel.h"

#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "engine/McycleMachines.h"
#include "scope/ScopeAxes.h"
#include "scope/ScopeCursor.h"
#include "scope/ScopeDisplay.h"
#include "scope/ScopeDownload.h"
#include "scope/scope.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

namespace {

void StartDownload() {
  ubMcFlag2 &= static_cast<uint8_t>(~MC_FLAG2_TRACE_PRESENT);
  ScopeClear();
  PanelSetString(uwMcScopePanelHandle, SCOPE_TXT_FILENAME, "");
  udScopeTime = 0;
  McycleSignalQueuePut(MC_SIG_TRACE_DOWNLOAD);
}

// Sets or clears `mask` in `flags` as the scope panel's control is on or off
// (plain or atomic flag bytes).
template <typename Flags>
void SetFlagFromControl(Flags& flags, uint8_t mask, int control) {
  int64_t on = 0;
  PanelGetInt(uwMcScopePanelHandle, control, on);
  if (on) flags |= mask;
  else flags &= static_cast<uint8_t>(~mask);
}

}  // namespace

int SCOPE_CMD_Callback(int, int control, int event, void*, int eventData1, int eventData2) {
  // A right click on the analog graph places the cursor (expert mode).
  if (event == EVENT_RIGHT_CLICK && control == SCOPE_GRAPH) {
    if (!(ubMcFlag2 & MC_FLAG2_EXPERT_MODE)) return 0;
    int64_t width = 0;
    PanelGetAttribute(uwMcScopePanelHandle, SCOPE_GRAPH, ATTR_PLOT_WIDTH, width);
    ScopeDisplayMouseData(eventData1, eventData2, static_cast<double>(width));
    return 0;
  }
  if (event != EVENT_COMMIT) return 0;
  switch (control) {
    case SCOPE_CMD_DOWNLOAD: StartDownload(); break;
    case SCOPE_RING_TRACE:
      SetFlagFromControl(ubScopeFlag, SCOPE_FLAG_SECOND_TRACE, SCOPE_RING_TRACE);
      ScopeTraceDisplay(0);
      break;
    case SCOPE_SW_ANALOG:
      SetFlagFromControl(ubMcFlag3, MC_FLAG3_ANALOG_SHOWN, SCOPE_SW_ANALOG);
      ScopeTraceDisplay(1);
      break;
    case SCOPE_NUM_AXIS_POS: case SCOPE_NUM_AXIS_GAIN: case SCOPE_NUM_TIME_AXIS: case SCOPE_NUM_TIME_ZERO:
    case SCOPE_NUM_ANA_ZERO: case SCOPE_NUM_ANA_GAIN:
      ScopeTraceDisplay(0);
      break;
    default: break;
  }
  return 0;
}

int ScopeEventCallback(int, int, int event, void*, int, int) {
  if (event == EVENT_GOT_FOCUS) {
    if (ubMcFlag1 & MC_FLAG1_TRACE_DOWNLOAD_RUNNING) PanelDisplay(uwMcDownloadPanelHandle);
    if (ubMcFlag1 & MC_FLAG1_EVALUATION_OPEN) PanelDisplay(uwMcEvaluationPanelHandle);
    if (ubMcFlag3 & MC_FLAG3_TRACE_INFO_SHOWN) {
      PanelHide(uwMcTraceInfoPanelHandle);
      ubMcFlag3 &= static_cast<uint8_t>(~MC_FLAG3_TRACE_INFO_SHOWN);
      ScopeCursorReset();
      ScopeTraceDisplay(0);
    }
  } else if (event == EVENT_CLOSE) {
    ubMcFlag2 &= static_cast<uint8_t>(~MC_FLAG2_TRACE_PRESENT);
    ubMcFlag1 &= static_cast<uint8_t>(~MC_FLAG1_SCOPE_WINDOW_SET_UP);
    PanelHide(uwMcScopePanelHandle);
    PanelHide(uwMcEvaluationPanelHandle);
  }
  return 0;
}

int ScopeDownloadEventCallback(int, int, int event, void*, int eventData1, int) {
  if (event == EVENT_KEYPRESS && eventData1 == PANEL_KEY_ESC) McycleGetScopeDataStateMachine(MC_SCOPE_ABORT_ENTRY);
  return 0;
}

int DOWNLOAD_CMD_ABORT_Callback(int, int, int event, void*, int, int) {
  if (event == EVENT_COMMIT) McycleGetScopeDataStateMachine(MC_SCOPE_ABORT_ENTRY);
  return 0;
}

void ScopePanelsSetUp() {
  PanelDeleteListItems(uwMcScopePanelHandle, SCOPE_RING_TRACE, 0, -1);
  PanelInsertListItem(uwMcScopePanelHandle, SCOPE_RING_TRACE, -1, "First trace", 0);
  PanelInsertListItem(uwMcScopePanelHandle, SCOPE_RING_TRACE, -1, "Second trace", 1);
  for (int control : {int{SCOPE_CMD_DOWNLOAD}, int{SCOPE_RING_TRACE}, int{SCOPE_GRAPH}, int{SCOPE_SW_ANALOG}, int{SCOPE_NUM_AXIS_POS},
                      int{SCOPE_NUM_AXIS_GAIN}, int{SCOPE_NUM_TIME_AXIS}, int{SCOPE_NUM_TIME_ZERO},
                      int{SCOPE_NUM_ANA_ZERO}, int{SCOPE_NUM_ANA_GAIN}})
    PanelInstallCallback(uwMcScopePanelHandle, control, SCOPE_CMD_Callback, nullptr);
  PanelInstallCallback(uwMcScopePanelHandle, 0, ScopeEventCallback, nullptr);
  PanelInstallCallback(uwMcDownloadPanelHandle, 0, ScopeDownloadEventCallback, nullptr);
  PanelInstallCallback(uwMcDownloadPanelHandle, DOWNLOAD_CMD_ABORT, DOWNLOAD_CMD_ABORT_Callback, nullptr);
}
