#include "params/ExtParameterPanel.h"

#include <cstdio>

#include "app/PanelCallbacks.h"
#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "hmi/hmi.h"
#include "params/CtrlCmd.h"
#include "params/ParameterPanel.h"
#include "params/ParmFile.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

namespace {

struct Value {
  uint16_t object;
  const char* name;
};
// Table order: positions, speeds, times; extended container entries 0..23.
constexpr Value kValues[EXTP_VALUES] = {
    {0x2008, "POS1"},  {0x2009, "POS2"},  {0x200C, "POS3"},  {0x200E, "POS4"},  {0x200A, "POS5"},  {0x2286, "POS6"},
    {0x2287, "POS7"},  {0x2288, "POS8"},  {0x2291, "SPD1"},  {0x2292, "SPD2"},  {0x2293, "SPD3"},  {0x2294, "SPD4"},
    {0x2295, "SPD5"},  {0x2296, "SPD6"},  {0x2297, "SPD7"},  {0x2298, "SPD8"},  {0x22A1, "TIME1"}, {0x200D, "TIME2"},
    {0x22A3, "TIME3"}, {0x22A4, "TIME4"}, {0x22A5, "TIME5"}, {0x22A6, "TIME6"}, {0x22A7, "TIME7"}, {0x22A8, "TIME8"},
};
constexpr int kTables[3] = {EXTP_TABLE_1, EXTP_TABLE_2, EXTP_TABLE_3};
constexpr int kRdyWin = 24;        // entry of RDYWIN, edited on the parameter panel
constexpr int kCycleEntry = 25;
constexpr int kPos1 = 0, kPos2 = 1, kPos5 = 4, kTime2 = 17;

struct Cycle {
  uint16_t code;
  const char* label;
  const char* scriptName;
};
constexpr Cycle kCycles[] = {{CMD_CODE_CYCLE_BASIC, "Cycle basic (0x110)", "CYCLE_BASIC"},
                             {CMD_CODE_CYCLE_FORM2, "Cycle form 2 (0x111)", "CYCLE_FORM2"},
                             {CMD_CODE_CYCLE_FORM3, "Cycle form 3 (0x12C)", "CYCLE_FORM3"}};

constexpr uint16_t kPresets[3][EXTP_VALUES] = {
    {200, 2000, 2200, 2400, 2500, 2150, 1, 1, 400, 400, 400, 400, 400, 400, 400, 400, 0, 0, 0, 0, 0, 0, 0, 5000},
    {200, 2000, 2200, 2400, 3000, 2150, 1, 1, 400, 400, 400, 400, 400, 400, 400, 400, 0, 0, 0, 0, 0, 0, 0, 5000},
    {200, 2000, 2200, 2400, 3000, 2150, 1, 1, 400, 400, 400, 400, 400, 400, 400, 400, 0, 20, 0, 0, 0, 0, 0, 5000},
};

int Ext() { return uwMcExtParameterPanelHandle; }

void SetCell(int panel, int table, int row, uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(value));
  PanelSetTableCell(panel, table, row, PARM_VALUE_COLUMN, text);
}

// One cell as a value; false with a line naming it when it holds none.
bool Cell(int panel, int table, int row, const char* name, uint16_t& value) {
  std::string text;
  PanelGetTableCell(panel, table, row, PARM_VALUE_COLUMN, text);
  if (ParmCellValue(text, value)) return true;
  HmiLogDirect(std::string("Parameter ") + name + ": \"" + text + "\" is not a value from 0 to 65535\n");
  return false;
}

bool ReadTables(uint16_t (&values)[EXTP_VALUES]) {
  for (int i = 0; i < EXTP_VALUES; ++i)
    if (!Cell(Ext(), kTables[i / EXTP_TABLE_ROWS], i % EXTP_TABLE_ROWS, kValues[i].name, values[i])) return false;
  return true;
}

uint32_t CycleType() {
  int64_t type = 0;
  PanelGetInt(Ext(), EXTP_RING_CYCLE, type);
  return static_cast<uint32_t>(type);
}

// Send and read back need a link and an engine that takes the request.
bool Ready(const char* what) {
  if (!McycleRequireLink()) return false;
  if (McycleEngineIdle()) return true;
  HmiLogDirect(std::string(what) + ": an operation is running\n");
  return false;
}

void Send() {
  if (!Ready("Extended parameters not sent")) return;
  uint16_t values[EXTP_VALUES];
  uint16_t rdyWin = 0;
  if (!ReadTables(values) || !Cell(uwMcParameterPanelHandle, PARM_TABLE_1, 3, "READYWIN", rdyWin)) return;
  for (int i = 0; i < EXTP_VALUES; ++i) sParamRdContainer.entries[i].udData = values[i];
  sParamRdContainer.entries[kRdyWin].udData = rdyWin;
  sParamRdContainer.entries[kCycleEntry].udData = CycleType();
  const int parm = uwMcParameterPanelHandle;
  SetCell(parm, PARM_TABLE_2, 0, values[kTime2]);
  SetCell(parm, PARM_TABLE_1, 0, values[kPos1]);
  SetCell(parm, PARM_TABLE_1, 1, values[kPos2]);
  SetCell(parm, PARM_TABLE_1, 2, values[kPos5]);
  ubMcFlag1 |= MC_FLAG1_PARM_EXTENDED;
  McycleSignalQueuePut(MC_SIG_PARM_WRITE);
}

void ReadBack() {
  if (!Ready("Extended parameters not read")) return;
  ubMcFlag1 |= MC_FLAG1_PARM_EXTENDED;
  McycleSignalQueuePut(MC_SIG_PARM_READBACK);
}

void MakeScript() {
  uint16_t values[EXTP_VALUES];
  if (!ReadTables(values)) return;
  std::string path;
  if (!PanelFileSelectPopup("", EXTP_SCRIPT_DEFAULT_NAME, PARM_FILE_FILTER, "Save extended parameter script", true,
                            path))
    return;
  ParmFileWriteText(path, ExtParmScriptText(values, CycleType()));
}

void Preset(int n) {
  for (int i = 0; i < EXTP_VALUES; ++i)
    SetCell(Ext(), kTables[i / EXTP_TABLE_ROWS], i % EXTP_TABLE_ROWS, kPresets[n][i]);
}

bool Commit(int event) { return event == EVENT_COMMIT; }

}  // namespace

std::string ExtParmScriptText(const uint16_t (&values)[EXTP_VALUES], uint32_t cycleType) {
  std::string text = ParmFileHeader();
  char line[80];
  for (int i = 0; i < EXTP_VALUES; ++i) {
    std::snprintf(line, sizeof line, "wrw 0x%04X 0 %6d ;%s\n", kValues[i].object, values[i], kValues[i].name);
    text += line;
  }
  for (const Cycle& c : kCycles)
    if (c.code == cycleType) {
      std::snprintf(line, sizeof line, "wrw 0x2000 0 0x%04X ;%s\n", c.code, c.scriptName);
      text += line;
    }
  return text + "wrw 0x2000 0 0x0101 ;Take Parameter\n";
}

int EXTP_CMD_SEND_Callback(int, int, int event, void*, int, int) {
  if (Commit(event)) Send();
  return 0;
}
int EXTP_CMD_READBACK_Callback(int, int, int event, void*, int, int) {
  if (Commit(event)) ReadBack();
  return 0;
}
int EXTP_CMD_MAKE_SCRIPT_Callback(int, int, int event, void*, int, int) {
  if (Commit(event)) MakeScript();
  return 0;
}
int EXTP_CMD_EXIT_Callback(int, int, int event, void*, int, int) {
  if (Commit(event)) PanelHide(Ext());
  return 0;
}
int EXTP_CMD_PUNCH_5MM_Callback(int, int, int event, void*, int, int) {
  if (Commit(event)) Preset(0);
  return 0;
}
int EXTP_CMD_PUNCH_10MM_Callback(int, int, int event, void*, int, int) {
  if (Commit(event)) Preset(1);
  return 0;
}
int EXTP_CMD_FORM_10MM_Callback(int, int, int event, void*, int, int) {
  if (Commit(event)) Preset(2);
  return 0;
}

void ExtParmPanelSetUp() {
  const int p = Ext();
  PanelDeleteListItems(p, EXTP_RING_CYCLE, 0, -1);
  for (const Cycle& c : kCycles) PanelInsertListItem(p, EXTP_RING_CYCLE, -1, c.label, c.code);
  PanelSetInt(p, EXTP_RING_CYCLE, CMD_CODE_CYCLE_BASIC);
  const std::pair<int, PanelCallback> callbacks[] = {
      {EXTP_CMD_SEND, EXTP_CMD_SEND_Callback},           {EXTP_CMD_READBACK, EXTP_CMD_READBACK_Callback},
      {EXTP_CMD_MAKE_SCRIPT, EXTP_CMD_MAKE_SCRIPT_Callback}, {EXTP_CMD_EXIT, EXTP_CMD_EXIT_Callback},
      {EXTP_CMD_PUNCH_5MM, EXTP_CMD_PUNCH_5MM_Callback}, {EXTP_CMD_PUNCH_10MM, EXTP_CMD_PUNCH_10MM_Callback},
      {EXTP_CMD_FORM_10MM, EXTP_CMD_FORM_10MM_Callback},
  };
  for (const auto& [control, callback] : callbacks) PanelInstallCallback(p, control, callback, nullptr);
}
