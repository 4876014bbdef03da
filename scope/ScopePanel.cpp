#include "scope/ScopePanel.h"

#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "engine/McycleMachines.h"
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

}  // namespace

int SCOPE_CMD_Callback(int, int control, int event, void*, int, int) {
  if (event != EVENT_COMMIT) return 0;
  if (control == SCOPE_CMD_DOWNLOAD) StartDownload();
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
  PanelInstallCallback(uwMcScopePanelHandle, SCOPE_CMD_DOWNLOAD, SCOPE_CMD_Callback, nullptr);
  PanelInstallCallback(uwMcDownloadPanelHandle, 0, ScopeDownloadEventCallback, nullptr);
  PanelInstallCallback(uwMcDownloadPanelHandle, DOWNLOAD_CMD_ABORT, DOWNLOAD_CMD_ABORT_Callback, nullptr);
}
