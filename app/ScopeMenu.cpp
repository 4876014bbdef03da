#include "app/ScopeMenu.h"

#include <cstdio>
#include <string>

#include "app/PanelCallbacks.h"
#include "app/Shutdown.h"
#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "engine/McycleIo.h"
#include "params/CtrlCmd.h"
#include "scope/ScopeEval.h"
#include "scope/ScopePanel.h"
#include "scope/Scope_hmi.h"
#include "scope/scope.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

namespace {

// Trigger items: which trace the selector names and the signal they post.
struct TriggerItem {
  int item;
  uint8_t trace;
  uint16_t signal;
};
constexpr TriggerItem kTriggerItems[] = {
    {SCOPE_MENU_TRACE1_TRIGGER, 1, MC_SIG_TRIGGER},
    {SCOPE_MENU_TRACE1_BACKWARD, 1, MC_SIG_TRIGGER_BACKWARD},
    {SCOPE_MENU_TRACE1_FORWARD, 1, MC_SIG_TRIGGER_FORWARD},
    {SCOPE_MENU_TRACE1_MCYCLE, 1, MC_SIG_TRIGGER_MCYCLE},
    {SCOPE_MENU_TRACE1_HARDWARE, 1, MC_SIG_TRIGGER_HARDWARE},
    {SCOPE_MENU_TRACE1_FREEZE, 1, MC_SIG_TRACE_FREEZE},
    {SCOPE_MENU_TRACE1_UNFREEZE, 1, MC_SIG_TRACE_UNFREEZE},
    {SCOPE_MENU_TRACE2_BACKWARD, 2, MC_SIG_TRIGGER_BACKWARD},
    {SCOPE_MENU_TRACE2_FORWARD, 2, MC_SIG_TRIGGER_FORWARD},
    {SCOPE_MENU_TRACE2_MCYCLE, 2, MC_SIG_TRIGGER_MCYCLE},
    {SCOPE_MENU_TRACE2_HARDWARE, 2, MC_SIG_TRIGGER_HARDWARE},
};

// Second-trace sample times: code in half milliseconds and the log format.
struct SampleTime2 {
  uint16_t code;
  const char* format;
};
constexpr SampleTime2 kSampleTimes2[9] = {
    {1, "%s 0,5 ms"}, {2, "%s 1 ms"},   {4, "%s 2 ms"},     {8, "%s 4 ms"},     {20, "%s 10 ms"},
    {40, "%s 20 ms"}, {80, "%s 40 ms"}, {200, "%s 100 ms"}, {400, "%s 200 ms"},
};

void Trigger(const TriggerItem& t) {
  if (!McycleRequireLink()) return;
  sCmdContainer.entries[CTRL_CMD_TRACE_SELECT].udData = t.trace;
  McycleSignalQueuePut(t.signal);
}

void ChooseSampleTime2(int index) {
  if (!McycleRequireLink()) return;
  const SampleTime2& s = kSampleTimes2[index];
  sCmdContainer.entries[CTRL_CMD_SAMPLE_TIME_2].udData = s.code;
  char line[64];
  std::snprintf(line, sizeof line, s.format, "Set Sample Time Trace 2:");
  McycleLog(line);
  McycleSetSampleTime2Ring(s.code);
  McycleSignalQueuePut(MC_SIG_FORM_SILENT);
}

void BacktraceRestart() {
  if (!McycleRequireLink()) return;
  if (PanelConfirmPopup("Backtrace Restart", "Restart Backward Tace2? All RC7 error data will be deleted!"))
    McycleSignalQueuePut(MC_SIG_TRIGGER_BACKWARD_SEL);
}

void PrintScope() {
  std::string error;
  if (PanelPrint(uwMcScopePanelHandle, error) < 0) McycleLog(("Print failed: " + error + "\n").c_str());
}

// Offers the window's size; the file's extension chooses PNG or SVG.
void ExportScopeImage() {
  int64_t width = 0, height = 0;
  PanelGetAttribute(uwMcScopePanelHandle, 0, ATTR_WIDTH, width);
  PanelGetAttribute(uwMcScopePanelHandle, 0, ATTR_HEIGHT, height);
  int w = static_cast<int>(width), h = static_cast<int>(height);
  std::string path, error;
  if (!PanelImageExportPopup("Export image", "", "scope.png", w, h, path)) return;
  if (PanelExportImage(uwMcScopePanelHandle, path, w, h, error) < 0)
    McycleLog(("Export image failed: " + error + "\n").c_str());
  else
    McycleLog(("Image exported to " + path + "\n").c_str());
}

}  // namespace

int SCOPE_MENU_Callback(int panel, int control, int event, void* callbackData, int eventData1, int eventData2) {
  if (event != EVENT_COMMIT) return 0;
  if (control >= SCOPE_MENU_SAVE && control <= SCOPE_MENU_COMMENT)
    return SCOPE_MENU_FILE_Callback(panel, control, event, callbackData, eventData1, eventData2);
  for (const TriggerItem& t : kTriggerItems)
    if (t.item == control) {
      Trigger(t);
      return 0;
    }
  if (control >= SCOPE_MENU_TRACE2_SAMPLE_0_5 && control <= SCOPE_MENU_TRACE2_SAMPLE_200) {
    ChooseSampleTime2(control - SCOPE_MENU_TRACE2_SAMPLE_0_5);
    return 0;
  }
  switch (control) {
    case SCOPE_MENU_EVALUATE: ScopeEvaluateCommand(); break;
    case SCOPE_MENU_DOWNLOAD: SCOPE_CMD_Callback(panel, SCOPE_CMD_DOWNLOAD, event, callbackData, 0, 0); break;
    case SCOPE_MENU_EXIT: McycleShutdown(McShutdown::Exit); break;
    case SCOPE_MENU_BACKTRACE_RESTART: BacktraceRestart(); break;
    case SCOPE_MENU_COLOUR: McycleSetDisplayOption(false); break;
    case SCOPE_MENU_BLACK_WHITE: McycleSetDisplayOption(true); break;
    case SCOPE_MENU_PRINT: PrintScope(); break;
    case SCOPE_MENU_EXPORT_IMAGE: ExportScopeImage(); break;
    case SCOPE_MENU_FIT: PanelGraphFit(uwMcScopePanelHandle, SCOPE_GRAPH); break;
    default: break;
  }
  return 0;
}

void ScopeMenuSetUp() {
  auto install = [](int item) { PanelInstallCallback(uwMcScopePanelHandle, item, SCOPE_MENU_Callback, nullptr); };
  for (int item = SCOPE_MENU_SAVE; item <= SCOPE_MENU_COMMENT; ++item) install(item);
  for (const TriggerItem& t : kTriggerItems) install(t.item);
  for (int item = SCOPE_MENU_TRACE2_SAMPLE_0_5; item <= SCOPE_MENU_TRACE2_SAMPLE_200; ++item) install(item);
  for (int item : {int{SCOPE_MENU_EVALUATE}, int{SCOPE_MENU_DOWNLOAD}, int{SCOPE_MENU_EXIT},
                   int{SCOPE_MENU_BACKTRACE_RESTART}, int{SCOPE_MENU_COLOUR}, int{SCOPE_MENU_BLACK_WHITE},
                   int{SCOPE_MENU_PRINT}, int{SCOPE_MENU_EXPORT_IMAGE}, int{SCOPE_MENU_FIT}})
    install(item);
}
