// Main menu: every item of the menu bar.
#include <cstdio>
#include <string>

#include "app/ModuleHooks.h"
#include "app/PanelCallbacks.h"
#include "app/Shutdown.h"
#include "app/Startup.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/McycleIo.h"
#include "engine/McycleMemory.h"
#include "engine/Timer.h"
#include "hmi/hmi.h"
#include "macro/macro.h"
#include "objects/ScriptLoader.h"
#include "scope/ScopeDisplay.h"
#include "scope/scope.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

namespace {

// Items that need a link and post one signal.
struct SignalItem {
  int item;
  uint16_t signal;
};
constexpr SignalItem kSignalItems[] = {
    {MAIN_MENU_LINK_TEST, MC_SIG_LINK_TEST},
    {MAIN_MENU_DATE_TIME, MC_SIG_DATE_TIME},
    {MAIN_MENU_HOME, MC_SIG_HOME},
    {MAIN_MENU_SEEK_POS1, MC_SIG_SEEK_POS1},
    {MAIN_MENU_SEEK_POS2, MC_SIG_SEEK_POS2},
    {MAIN_MENU_PUNCH, MC_SIG_PUNCH},
    {MAIN_MENU_FORM, MC_SIG_FORM},
    {MAIN_MENU_MARK_ON, MC_SIG_MARK_ON},
    {MAIN_MENU_MARK_OFF, MC_SIG_MARK_OFF},
    {MAIN_MENU_PRESS_ON, MC_SIG_PRESS_ON},
    {MAIN_MENU_PRESS_OFF, MC_SIG_PRESS_OFF},
    {MAIN_MENU_HOVER_ON, MC_SIG_HOVER_ON},
    {MAIN_MENU_HOVER_OFF, MC_SIG_HOVER_OFF},
    {MAIN_MENU_HOME_ABSOLUT, MC_SIG_HOME_ABSOLUT},
    {MAIN_MENU_JOG_ON, MC_SIG_JOG_ON},
    {MAIN_MENU_JOG_OFF, MC_SIG_JOG_OFF},
    {MAIN_MENU_CYCLE_BASIC, MC_SIG_CYCLE_BASIC},
    {MAIN_MENU_CYCLE_FORM2, MC_SIG_CYCLE_FORM2},
    {MAIN_MENU_CYCLE_FORM3, MC_SIG_CYCLE_FORM3},
    {MAIN_MENU_MACRO_STOP, MC_SIG_MACRO_STOP},
    {MAIN_MENU_TRIGGER, MC_SIG_TRIGGER},
    {MAIN_MENU_TRIGGER_BACKWARD, MC_SIG_TRIGGER_BACKWARD},
    {MAIN_MENU_TRIGGER_FORWARD, MC_SIG_TRIGGER_FORWARD},
    {MAIN_MENU_TRIGGER_MCYCLE, MC_SIG_TRIGGER_MCYCLE},
    {MAIN_MENU_TRIGGER_HARDWARE, MC_SIG_TRIGGER_HARDWARE},
    {MAIN_MENU_TRACE_FREEZE, MC_SIG_TRACE_FREEZE},
    {MAIN_MENU_TRACE_UNFREEZE, MC_SIG_TRACE_UNFREEZE},
};

constexpr uint16_t kSoftValues[8] = {0, 100, 80, 60, 40, 20, 10, 1};

void Check(int panel, int item, bool on) { PanelSetAttribute(panel, item, ATTR_CHECKED, on); }

void ChooseSampleTime(int item) {
  const int choice = item - MAIN_MENU_SAMPLE_0_5 + 1;
  uint8_t code = 0;
  char line[64];
  McycleSampleTimeChoice(choice, code, line, sizeof line);
  ubMcSampleTime = code;
  McycleLog(line);
  for (int i = MAIN_MENU_SAMPLE_0_5; i <= MAIN_MENU_SAMPLE_100; ++i) Check(uwMcMainPanelHandle, i, i == item);
  McycleSignalQueuePut(MC_SIG_SAMPLE_TIME);
}

void ChooseSoftValue(int item) {
  McycleSetCheckMenuSoft(item);
  if (!mcModuleHooks.setSoftParm) {
    HmiLogDirect("Soft parameter values are not supported in this build\n");
    return;
  }
  mcModuleHooks.setSoftParm(kSoftValues[item - MAIN_MENU_SOFT_OFF]);
  McycleSignalQueuePut(MC_SIG_SCRIPT);
}

}  // namespace

void McycleLoadTraceFile() {
  McycleShowScopePanel();
  TimerStop();
  if (!mcModuleHooks.loadTraceFile) {
    HmiLogDirect("Trace files are not supported in this build\n");
    TimerStart();
    return;
  }
  // After a good load the timer stays stopped until the next signal.
  const int result = mcModuleHooks.loadTraceFile();
  if (result == 0) return;
  TimerStart();
  if (result == 1) McycleShowTraceLoadError();
}

void McycleShowTraceLoadError() {
  const char* error = "ERROR: Scope loading file error";
  ScopePlotMessage(error);
  McycleLog(error);
}

namespace {

void UploadMacro() {
  if (!McycleRequireLink()) return;
  if (!McycleMemoryCanStart()) {
    HmiLogDirect("Macro Upload: an operation is running\n");
    return;
  }
  std::string path;
  if (!PanelFileSelectPopup("", "*.mbi", "*.mbi", "Macro Upload: Load file:", false, path)) return;
  if (MacroLoadMbiData(path) != 0) {
    HmiLogDirect("ERROR: Macro loading error!\n");
    return;
  }
  HmiLogDirect("Macro load: " + path + "\n");
  // The bits of this upload only, whatever an earlier operation left.
  if (!McycleMemoryRequest(MC_FLAG_MEM_MACRO,
                           MC_FLAG_MEM_READ | MC_FLAG_MEM_MACRO_PANEL | MC_FLAG_MEM_ETHERNET | MC_FLAG_MEM_ERASE)) {
    HmiLogDirect("Macro Upload: an operation is running\n");
    return;
  }
  PanelSetWaitCursor(true);
}

void OpenMacroPanel() {
  // A fresh panel counts as saved; a loaded project keeps its own state.
  if (!(ubMacFlag & MAC_FLAG_PROJECT)) ubMacFlag |= MAC_FLAG_PANEL_OPENED;
  const bool dimmed = ubCqDataChannel == 0;
  PanelSetAttribute(uwMcMacroPanelHandle, MACRO_CMD_TRANSFER_1, ATTR_DIMMED, dimmed);
  PanelSetAttribute(uwMcMacroPanelHandle, MACRO_CMD_TRANSFER_2, ATTR_DIMMED, dimmed);
  PanelDisplay(uwMcMacroPanelHandle);
}

void SetSpeed(bool high) {
  ubMcComSpeed = high ? 1 : 0;
  Check(uwMcMainPanelHandle, MAIN_MENU_SPEED_HIGH, high);
  Check(uwMcMainPanelHandle, MAIN_MENU_SPEED_LOW, !high);
}

void SwitchLogging() {
  if (!McycleRequireLink()) return;
  int64_t checked = 0;
  PanelGetAttribute(uwMcMainPanelHandle, MAIN_MENU_COM_LOGGING, ATTR_CHECKED, checked);
  McycleSignalQueuePut(checked ? MC_SIG_LOGGING_OFF : MC_SIG_LOGGING_ON);
}

}  // namespace

void McycleSetCheckMenuSoft(int item) {
  for (int i = MAIN_MENU_SOFT_OFF; i <= MAIN_MENU_SOFT_1; ++i) Check(uwMcMainPanelHandle, i, i == item);
}

void McycleSetDisplayOption(bool blackWhite) {
  if (blackWhite) ubScopeFlag |= SCOPE_FLAG_DISPLAY_B;
  else ubScopeFlag &= static_cast<uint8_t>(~SCOPE_FLAG_DISPLAY_B);
  Check(uwMcMainPanelHandle, MAIN_MENU_DISPLAY_COLOUR, !blackWhite);
  Check(uwMcMainPanelHandle, MAIN_MENU_DISPLAY_BW, blackWhite);
  Check(uwMcScopePanelHandle, SCOPE_MENU_COLOUR, !blackWhite);
  Check(uwMcScopePanelHandle, SCOPE_MENU_BLACK_WHITE, blackWhite);
  if (mcModuleHooks.redrawTrace) mcModuleHooks.redrawTrace(1);
  McycleSetLegendColours(blackWhite);
}

void McycleSetLegendColours(bool blackWhite) {
  // The legends name the analog channels' colours; in black and white they
  // have none.
  const int64_t colours[3] = {0xFF00FF, 0x00FFFF, 0x00FF00};
  const int legends[3] = {SCOPE_LEGEND_1, SCOPE_LEGEND_2, SCOPE_LEGEND_3};
  for (int i = 0; i < 3; ++i)
    PanelSetAttribute(uwMcScopePanelHandle, legends[i], ATTR_FRAME_COLOR, blackWhite ? -1 : colours[i]);
}

void McycleShowScopePanel() {
  if (!(ubMcFlag1 & MC_FLAG1_SCOPE_WINDOW_SET_UP)) {
    ubMcFlag1 |= MC_FLAG1_SCOPE_WINDOW_SET_UP;
    PanelDeleteGraphPlot(uwMcScopePanelHandle, SCOPE_GRAPH, -1);
  }
  PanelSetAttribute(uwMcScopePanelHandle, SCOPE_CMD_DOWNLOAD, ATTR_DIMMED, ubCqDataChannel == 0);
  PanelDisplay(uwMcScopePanelHandle);
}

int MAIN_MENU_Callback(int, int item, int event, void*, int, int) {
  if (event != EVENT_COMMIT) return 0;
  for (const SignalItem& s : kSignalItems) {
    if (s.item != item) continue;
    if (!McycleRequireLink()) return 0;
    if (item == MAIN_MENU_MARK_ON || item == MAIN_MENU_MARK_OFF)
      PanelSetInt(uwMcMainPanelHandle, MAIN_BIN_SW_MARK, item == MAIN_MENU_MARK_ON);
    McycleSignalQueuePut(s.signal);
    return 0;
  }
  if (item >= MAIN_MENU_SAMPLE_0_5 && item <= MAIN_MENU_SAMPLE_100) {
    ChooseSampleTime(item);
    return 0;
  }
  if (item >= MAIN_MENU_SOFT_OFF && item <= MAIN_MENU_SOFT_1) {
    ChooseSoftValue(item);
    return 0;
  }
  switch (item) {
    case MAIN_MENU_RUN_SCRIPT:
      if (McycleRequireLink()) McycleLoadScriptFile(false);
      break;
    case MAIN_MENU_LOAD_TRACE: McycleLoadTraceFile(); break;
    case MAIN_MENU_EXIT: McycleShutdown(McShutdown::Exit); break;
    case MAIN_MENU_CONFIGURATION: PanelDisplay(uwMcConfigPanelHandle); break;
    case MAIN_MENU_DISPLAY_COLOUR: McycleSetDisplayOption(false); break;
    case MAIN_MENU_DISPLAY_BW: McycleSetDisplayOption(true); break;
    case MAIN_MENU_SPEED_HIGH: SetSpeed(true); break;
    case MAIN_MENU_SPEED_LOW: SetSpeed(false); break;
    case MAIN_MENU_COM_LOGGING: SwitchLogging(); break;
    case MAIN_MENU_PARAMETERS: PanelDisplay(uwMcParameterPanelHandle); break;
    case MAIN_MENU_SCOPE: McycleShowScopePanel(); break;
    case MAIN_MENU_MACRO: OpenMacroPanel(); break;
    case MAIN_MENU_MACRO_UPLOAD: UploadMacro(); break;
    case MAIN_MENU_HELP: PanelDisplay(uwMcHelpPanelHandle); break;
    case MAIN_MENU_ABOUT: PanelDisplay(uwMcAboutPanelHandle); break;
    default: break;  // Manual stays dimmed; the reserved check item is removed
  }
  return 0;
}
