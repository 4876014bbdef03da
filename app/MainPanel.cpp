// Main panel: its own events, the command buttons and switches, the rings and
// the position-monitor switch.
#include <cstdio>
#include <string>

#include "app/ModuleHooks.h"
#include "app/PanelCallbacks.h"
#include "app/Ramtype.h"
#include "app/Shutdown.h"
#include "app/Startup.h"
#include "comm/ComChannel.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/McycleIo.h"
#include "engine/Timer.h"
#include "hmi/hmi.h"
#include "objects/CommandLine.h"
#include "objects/ScriptLoader.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

uint8_t ubMcSampleTime;
uint8_t ubMcRamtypeTel;
uint8_t udMcMacAddr[6];

namespace {

struct SampleTime {
  const char* format;
  uint8_t codeMs;        // P0417 firmware: milliseconds
  uint8_t codeHalfMs;    // others: half milliseconds
};
constexpr SampleTime kSampleTimes[8] = {
    {"%s 0,5 ms", 1, 1},  {"%s 1 ms", 1, 2},   {"%s 2 ms", 2, 4},   {"%s 4 ms", 4, 8},
    {"%s 10 ms", 10, 20}, {"%s 20 ms", 20, 40}, {"%s 40 ms", 40, 80}, {"%s 100 ms", 100, 200},
};
constexpr const char* kSampleTimeLabels[8] = {"0.5 ms", "1 ms", "2 ms", "4 ms", "10 ms", "20 ms", "40 ms", "100 ms"};


bool SwitchOn(int panel, int control) {
  int64_t on = 0;
  PanelGetInt(panel, control, on);
  return on != 0;
}

void PostSwitch(int panel, int control, uint16_t onSignal, uint16_t offSignal) {
  if (!McycleRequireLink()) return;
  McycleSignalQueuePut(SwitchOn(panel, control) ? onSignal : offSignal);
}

void SaveLog() {
  std::string path;
  if (!PanelFileSelectPopup("", "ZEL_Message.log", "*.log", "Save message log", true, path)) return;
  HmiLogSave(path);
}

// The macro transfer buttons and the scope's download button need a link.
void UndimLinkButtons() {
  PanelSetAttribute(uwMcMacroPanelHandle, MACRO_CMD_TRANSFER_1, ATTR_DIMMED, 0);
  PanelSetAttribute(uwMcMacroPanelHandle, MACRO_CMD_TRANSFER_2, ATTR_DIMMED, 0);
  PanelSetAttribute(uwMcScopePanelHandle, SCOPE_CMD_DOWNLOAD, ATTR_DIMMED, 0);
}

}  // namespace

bool McycleRequireLink() {
  if (ubCqDataChannel != 0) return true;
  HmiLogDirect("Target not connected!\n");
  return false;
}

bool McycleSampleTimeChoice(int choice, uint8_t& code, char* line, int lineSize) {
  if (choice < 1 || choice > 8) return false;
  const SampleTime& s = kSampleTimes[choice - 1];
  code = (ubMcFlag3 & MC_FLAG3_FW_P0417) ? s.codeMs : s.codeHalfMs;
  std::snprintf(line, static_cast<size_t>(lineSize), s.format, "Set Sample Time:");
  return true;
}

int EventCallback(int panel, int, int event, void*, int eventData1, int) {
  switch (event) {
    case EVENT_KEYPRESS:
      if (eventData1 == PANEL_KEY_ESC) ubMcFlag2 |= MC_FLAG2_SCRIPT_STOP_REQUEST;
      else if (eventData1 == PANEL_KEY_F1) PanelDisplay(uwMcHelpPanelHandle);
      return 0;
    case EVENT_GOT_FOCUS: {
      int64_t dimmed = 0;
      PanelGetAttribute(panel, 0, ATTR_DIMMED, dimmed);
      if (dimmed) {
        if (ubMcFlag1 & MC_FLAG1_TERMS_PENDING) PanelDisplay(uwMcIntroPanelHandle);
        if (ubMcFlag2 & MC_FLAG2_RAMTYPE_PANEL_OPEN) PanelDisplay(uwMcRamtypePanelHandle);
      }
      if (ubMcFlag1 & MC_FLAG1_TRACE_DOWNLOAD_RUNNING) PanelDisplay(uwMcDownloadPanelHandle);
      if (ubMcFlag & MC_FLAG_MEMORY_TRANSFER) PanelDisplay(uwMcMacroLoadPanelHandle);
      return 0;
    }
    case EVENT_CLOSE:
      McycleShutdown(McShutdown::Close);
      return 0;
    default:
      return 0;
  }
}

int MAIN_CMD_Callback(int panel, int control, int event, void*, int, int) {
  if (event != EVENT_COMMIT) return 0;
  switch (control) {
    case MAIN_CMD_PARAMETERS: PanelDisplay(uwMcParameterPanelHandle); break;
    case MAIN_CMD_HOME:
      if (McycleRequireLink()) McycleSignalQueuePut(MC_SIG_HOME);
      break;
    case MAIN_CMD_SEEK_POS1:
      if (McycleRequireLink()) McycleSignalQueuePut(MC_SIG_SEEK_POS1);
      break;
    case MAIN_CMD_SEEK_POS2:
      if (McycleRequireLink()) McycleSignalQueuePut(MC_SIG_SEEK_POS2);
      break;
    case MAIN_CMD_PUNCH:
      if (McycleRequireLink()) McycleSignalQueuePut(MC_SIG_PUNCH);
      break;
    case MAIN_BIN_SW_MARK: PostSwitch(panel, control, MC_SIG_MARK_ON, MC_SIG_MARK_OFF); break;
    case MAIN_BIN_SW_UDSEL_INHIBIT: PostSwitch(panel, control, MC_SIG_UDSEL_INHIBIT_ON, MC_SIG_UDSEL_INHIBIT_OFF); break;
    case MAIN_BIN_SW_PRESSURE_MON: PostSwitch(panel, control, MC_SIG_PRESSURE_MON_ON, MC_SIG_PRESSURE_MON_OFF); break;
    case MAIN_CMD_SCOPE: McycleShowScopePanel(); break;
    case MAIN_CMD_RUN_SCRIPT:
      if (McycleRequireLink()) McycleLoadScriptFile(true);
      break;
    case MAIN_CMD_CLEAR_LOG: HmiClearLogWindow(); break;
    case MAIN_CMD_SAVE_LOG: SaveLog(); break;
    default: break;
  }
  return 0;
}

int MAIN_RING_SAMPLE_TIME_Callback(int panel, int control, int event, void*, int, int) {
  if (event != EVENT_COMMIT) return 0;
  if (!McycleRequireLink()) {
    PanelSetInt(panel, control, 0);
    return 0;
  }
  int64_t choice = 0;
  PanelGetInt(panel, control, choice);
  uint8_t code = 0;
  char line[64];
  // 0 (no choice) and anything else off the table leave the sample time alone.
  if (choice < 1 || choice > 8) return 0;
  McycleSampleTimeChoice(static_cast<int>(choice), code, line, sizeof line);
  ubMcSampleTime = code;
  McycleLog(line);
  McycleSignalQueuePut(MC_SIG_SAMPLE_TIME);
  return 0;
}

int RING_RAMTYPE_Callback(int panel, int control, int event, void*, int, int) {
  if (event != EVENT_COMMIT) return 0;
  if (!McycleRequireLink()) {
    PanelSetInt(panel, control, RAMTYPE_NO_SELECTION);
    return 0;
  }
  int64_t code = 0;
  PanelGetInt(panel, control, code);
  ubMcRamtypeTel = static_cast<uint8_t>(code);
  if (const char* name = McycleRamtypeName(code)) {
    const std::string line = std::string("Ramtype: ") + name;
    McycleLog(line.c_str());
    McycleSignalQueuePut(MC_SIG_RAMTYPE);
  } else if (McycleRamtypeUnavailable(code)) {
    PanelSetInt(panel, control, RAMTYPE_NO_SELECTION);
    McycleLog("Ramtype not available!");
  }
  return 0;
}

int MAIN_BIN_SW_POS_MON_ON_Callback(int panel, int control, int event, void*, int, int) {
  if (event != EVENT_COMMIT) return 0;
  if (!SwitchOn(panel, control)) {
    ubMcFlag1 &= static_cast<uint8_t>(~MC_FLAG1_CYCLIC_MONITOR_ON);
    return 0;
  }
  if (ubCqDataChannel == 0) {
    HmiLogDirect("First select data channel!\n");
    PanelSetInt(panel, control, 0);
    return 0;
  }
  TimerStart();
  if (mcModuleHooks.prepareCyclicRequests) mcModuleHooks.prepareCyclicRequests();
  ubMcFlag1 |= MC_FLAG1_CYCLIC_MONITOR_ON;
  UndimLinkButtons();
  return 0;
}

void MainPanelSetUp(int panel) {
  PanelDeleteListItems(panel, MAIN_RING_COM_CHANNEL, 0, -1);
  PanelInsertListItem(panel, MAIN_RING_COM_CHANNEL, -1, "no link", 0);
  PanelInsertListItem(panel, MAIN_RING_COM_CHANNEL, -1, "Ethernet (UDP)", 20);
  PanelInsertListItem(panel, MAIN_RING_COM_CHANNEL, -1, "USB", 30);
  PanelSetInt(panel, MAIN_RING_COM_CHANNEL, 0);

  PanelDeleteListItems(panel, MAIN_RING_SAMPLE_TIME, 0, -1);
  for (int i = 0; i < 8; ++i) PanelInsertListItem(panel, MAIN_RING_SAMPLE_TIME, -1, kSampleTimeLabels[i], i + 1);
  PanelSetInt(panel, MAIN_RING_SAMPLE_TIME, 0);

  PanelDeleteListItems(panel, MAIN_RING_RAMTYPE, 0, -1);
  for (const McRamtypeName& r : kRamtypeNames) PanelInsertListItem(panel, MAIN_RING_RAMTYPE, -1, r.name, r.code);
  for (int code : kRamtypeUnavailable) {
    char label[40];
    std::snprintf(label, sizeof label, "Type %d (not available)", code);
    PanelInsertListItem(panel, MAIN_RING_RAMTYPE, -1, label, code);
  }
  PanelSetInt(panel, MAIN_RING_RAMTYPE, RAMTYPE_NO_SELECTION);

  PanelInstallCallback(panel, 0, EventCallback, nullptr);
  PanelInstallCallback(panel, MAIN_TIMER_RAM, MAIN_TIMER_RAM_Callback, nullptr);
  for (int c : {MAIN_CMD_PARAMETERS, MAIN_CMD_HOME, MAIN_CMD_SEEK_POS1, MAIN_CMD_SEEK_POS2, MAIN_CMD_PUNCH,
                MAIN_BIN_SW_MARK, MAIN_BIN_SW_UDSEL_INHIBIT, MAIN_BIN_SW_PRESSURE_MON, MAIN_CMD_SCOPE,
                MAIN_CMD_RUN_SCRIPT, MAIN_CMD_CLEAR_LOG, MAIN_CMD_SAVE_LOG})
    PanelInstallCallback(panel, c, MAIN_CMD_Callback, nullptr);
  for (int item = MAIN_MENU_RUN_SCRIPT; item <= MAIN_MENU_MANUAL; ++item)
    PanelInstallCallback(panel, item, MAIN_MENU_Callback, nullptr);
  PanelInstallCallback(panel, MAIN_RING_SAMPLE_TIME, MAIN_RING_SAMPLE_TIME_Callback, nullptr);
  PanelInstallCallback(panel, MAIN_RING_COM_CHANNEL, MAIN_RING_COM_CHANNEL_Callback, nullptr);
  PanelInstallCallback(panel, MAIN_TXT_CMDLINE, MAIN_TXT_CMDLINE_Callback, nullptr);
  PanelInstallCallback(panel, MAIN_RING_RAMTYPE, RING_RAMTYPE_Callback, nullptr);
  PanelInstallCallback(panel, MAIN_BIN_SW_POS_MON_ON, MAIN_BIN_SW_POS_MON_ON_Callback, nullptr);
  // The channel ring and the command line get their callbacks from the
  // channel selection and the command interpreter.
}
