#include "objects/CommandLine.h"

#include <cstring>
#include <string>

#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "engine/McycleIo.h"
#include "hmi/hmi.h"
#include "objects/OBJCMD.h"
#include "objects/ScriptLoader.h"
#include "params/CtrlCmd.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

char ubCtrlCmdLineBufQueue[CMDLINE_HISTORY_LINES][CMDLINE_LINE_SIZE];
uint8_t ubCtrlCmdLineBufCounterIn;
uint8_t ubCtrlCmdLineBufCounterOut;
uint8_t ubCtrlCmdLineBufCount;

namespace {

constexpr int kLines = CMDLINE_HISTORY_LINES;

uint8_t Back(uint8_t i) { return static_cast<uint8_t>((i + kLines - 1) % kLines); }
uint8_t Forward(uint8_t i) { return static_cast<uint8_t>((i + 1) % kLines); }

void Remember(const std::string& line) {
  if (line.size() >= static_cast<size_t>(CMDLINE_LINE_SIZE)) return;
  if (ubCtrlCmdLineBufCount > 0 && line == ubCtrlCmdLineBufQueue[Back(ubCtrlCmdLineBufCounterIn)]) return;
  std::memcpy(ubCtrlCmdLineBufQueue[ubCtrlCmdLineBufCounterIn], line.c_str(), line.size() + 1);
  ubCtrlCmdLineBufCounterOut = ubCtrlCmdLineBufCounterIn;
  ubCtrlCmdLineBufCounterIn = Forward(ubCtrlCmdLineBufCounterIn);
  if (ubCtrlCmdLineBufCount < kLines) ++ubCtrlCmdLineBufCount;
}

void Enter(int panel, int control) {
  std::string line;
  PanelGetString(panel, control, line);
  // The script container belongs to the operation that runs.
  if (McycleScriptContainerBusy()) {
    McycleLog("Command not run: an operation is running (Esc stops a script)");
    return;
  }
  Remember(line);
  ObjCmdScriptReset();
  std::string reply;
  ObjCmdInterpreter(line, reply);
  if (sScrContainer.uwNumOfEntries > 0) McycleSignalQueuePut(MC_SIG_SCRIPT);
  else if (!reply.empty()) McycleLog(reply.c_str());
}

// Moves the browse index one line towards the oldest (back) or the newest
// line and shows that line.
void Browse(int panel, int control, bool back) {
  if (ubCtrlCmdLineBufCount == 0) return;
  const uint8_t oldest = ubCtrlCmdLineBufCount < kLines ? 0 : ubCtrlCmdLineBufCounterIn;
  const uint8_t newest = Back(ubCtrlCmdLineBufCounterIn);
  uint8_t& out = ubCtrlCmdLineBufCounterOut;
  if (back && out != oldest) out = Back(out);
  if (!back && out != newest) out = Forward(out);
  PanelSetString(panel, control, ubCtrlCmdLineBufQueue[out]);
}

}  // namespace

int MAIN_TXT_CMDLINE_Callback(int panel, int control, int event, void*, int eventData1, int) {
  if (event == EVENT_COMMIT) Enter(panel, control);
  else if (event == EVENT_KEYPRESS && eventData1 == PANEL_KEY_UP) Browse(panel, control, true);
  else if (event == EVENT_KEYPRESS && eventData1 == PANEL_KEY_DOWN) Browse(panel, control, false);
  return 0;
}
