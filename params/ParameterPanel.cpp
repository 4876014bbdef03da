#include "params/ParameterPanel.h"

#include <cstdio>
#include <mutex>
#include <set>
#include <string>
#include <tuple>

#include "app/PanelCallbacks.h"
#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "engine/McycleParameter.h"
#include "hmi/hmi.h"
#include "objects/ScriptLoader.h"
#include "params/CtrlCmd.h"
#include "params/ExtParameterPanel.h"
#include "params/ParmFile.h"
#include "params/ParmSaveRecallPanel.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

namespace {

// Where the five basic parameters sit on the parameter panel, in the order
// POS1, POS2, POS3, READYWIN, TIME2.
struct Cell {
  int table;
  int row;
  const char* name;
};
constexpr Cell kBasicCells[5] = {
    {PARM_TABLE_1, 0, "POS1"},     {PARM_TABLE_1, 1, "POS2"},  {PARM_TABLE_1, 2, "POS3"},
    {PARM_TABLE_1, 3, "READYWIN"}, {PARM_TABLE_2, 0, "TIME2"},
};

constexpr ParmFileValues kPresets[3] = {
    {200, 2000, 2500, 150, 0},
    {200, 2000, 3000, 150, 0},
    {200, 2000, 3000, 150, 20},
};

// sKvoParm elements shown on the parameter panel after an extended read-back.
constexpr int kKvoOnParameterPanel[5] = {0, 1, 4, 24, 17};

int Panel() { return uwMcParameterPanelHandle; }

// Cells refused so far, by panel, table and row; the panel's status text
// names the last one. Cells are checked on the GUI thread and refilled by
// the tick (machine 8).
std::mutex refusedLock;
std::set<std::tuple<int, int, int>> refused;

// The name a cell's parameter has on the panel.
std::string CellName(int panel, int table, int row) {
  if (panel == Panel()) {
    for (const Cell& c : kBasicCells)
      if (c.table == table && c.row == row) return c.name;
    return "Parameter";
  }
  static const char* const kPrefixes[3] = {"POS", "SPD", "TIME"};
  const int t = table - EXTP_TABLE_1;
  return t >= 0 && t < 3 ? kPrefixes[t] + std::to_string(row + 1) : "Parameter";
}

int CellsText(int panel) { return panel == Panel() ? int{PARM_TXT_CELLS} : int{EXTP_TXT_CELLS}; }

// Marks or unmarks a cell and says what a refused one takes.
void ShowCellRefused(int panel, int table, int row, bool refuse) {
  PanelMarkTableCell(panel, table, row, PARM_VALUE_COLUMN, refuse);
  std::lock_guard<std::mutex> g(refusedLock);
  const auto key = std::make_tuple(panel, table, row);
  if (refuse) {
    refused.insert(key);
    PanelSetString(panel, CellsText(panel), CellName(panel, table, row) + " takes a whole number from 0 to 65535");
    return;
  }
  if (!refused.erase(key)) return;
  bool more = false;
  for (const auto& r : refused) more = more || std::get<0>(r) == panel;
  if (!more) PanelSetString(panel, CellsText(panel), "");
}

// The values shown are the controller's again.
void ClearNote() { PanelSetString(Panel(), PARM_TXT_NOTE, ""); }

void ShowValues(const uint16_t (&values)[5]) {
  for (int i = 0; i < 5; ++i) ParmSetCell(Panel(), kBasicCells[i].table, kBasicCells[i].row, values[i]);
}

void ShowPreset(const ParmFileValues& p) { ShowValues({p.pos1, p.pos2, p.pos3, p.readyWin, p.time2}); }

// The five values as the panel shows them; false (with a line naming the
// cell) when one is no 2-byte value.
bool ReadValues(ParmFileValues& v) {
  uint16_t* const out[5] = {&v.pos1, &v.pos2, &v.pos3, &v.readyWin, &v.time2};
  for (int i = 0; i < 5; ++i) {
    std::string text;
    PanelGetTableCell(Panel(), kBasicCells[i].table, kBasicCells[i].row, PARM_VALUE_COLUMN, text);
    if (!ParmCheckCell(Panel(), kBasicCells[i].table, kBasicCells[i].row, out[i])) {
      const std::string line =
          std::string("Parameter ") + kBasicCells[i].name + ": \"" + text + "\" is not a value from 0 to 65535\n";
      HmiLogDirect(line);
      return false;
    }
  }
  return true;
}

// Send and read back need a link and an engine that takes the request.
bool ReadyFor(const char* what) {
  if (!McycleRequireLink()) return false;
  if (!McycleScriptContainerBusy()) return true;
  HmiLogDirect(std::string(what) + ": an operation is running\n");
  return false;
}

void ReadBack() {
  if (!ReadyFor("Parameters not read")) return;
  ParmSelectSaveRecallEntry(CMD_CODE_PARM_READBACK);
  ubMcFlag1 |= MC_FLAG1_PARM_EXTENDED;
  McycleSignalQueuePut(MC_SIG_PARM_READBACK);
}

void Send() {
  if (!ReadyFor("Parameters not sent")) return;
  ParmFileValues v{};
  if (!ReadValues(v)) return;
  const uint16_t values[5] = {v.pos1, v.pos2, v.pos3, v.readyWin, v.time2};
  for (int i = 0; i < 5; ++i) sParamContainer.entries[i].udData = values[i];
  sParamContainer.entries[5].udData = CMD_CODE_CYCLE_BASIC;
  // The extended panel shows the same positions and TIME2.
  const int ext = uwMcExtParameterPanelHandle;
  ParmSetCell(ext, EXTP_TABLE_1, 0, v.pos1);
  ParmSetCell(ext, EXTP_TABLE_1, 1, v.pos2);
  ParmSetCell(ext, EXTP_TABLE_1, 4, v.pos3);
  ParmSetCell(ext, EXTP_TABLE_3, 1, v.time2);
  PanelSetInt(ext, EXTP_RING_CYCLE, CMD_CODE_CYCLE_BASIC);
  ubMcFlag1 &= static_cast<uint8_t>(~MC_FLAG1_PARM_EXTENDED);
  ClearNote();
  McycleSignalQueuePut(MC_SIG_PARM_WRITE);
}

void SaveFile() {
  ParmFileValues v{};
  if (!ReadValues(v)) return;
  std::string path;
  if (!PanelFileSelectPopup("", PARM_FILE_DEFAULT_NAME, PARM_FILE_FILTER, "Save parameter file", true, path)) return;
  ParmFileWrite(path, v);
}

}  // namespace

void ParmSetCell(int panel, int table, int row, uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(value));
  PanelSetTableCell(panel, table, row, PARM_VALUE_COLUMN, text);
  ShowCellRefused(panel, table, row, false);
}

bool ParmCellValue(const std::string& text, uint16_t& value) {
  size_t at = text.find_first_not_of(" \t");
  const size_t end = text.find_last_not_of(" \t");
  if (at == std::string::npos) return false;
  uint32_t v = 0;
  for (; at <= end; ++at) {
    const char c = text[at];
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<uint32_t>(c - '0');
    if (v > 0xFFFF) return false;
  }
  value = static_cast<uint16_t>(v);
  return true;
}

bool ParmCheckCell(int panel, int table, int row, uint16_t* value) {
  std::string text;
  PanelGetTableCell(panel, table, row, PARM_VALUE_COLUMN, text);
  uint16_t v = 0;
  const bool taken = ParmCellValue(text, v);
  ShowCellRefused(panel, table, row, !taken);
  if (taken && value) *value = v;
  return taken;
}

void ParmPanelNoteNotTheControllers() {
  PanelSetString(Panel(), PARM_TXT_NOTE, "These are not the controller's values since the save or recall: Read back");
}

int PARM_TABLE_Callback(int panel, int control, int event, void*, int row, int column) {
  if (event == EVENT_COMMIT && column == PARM_VALUE_COLUMN) ParmCheckCell(panel, control, row, nullptr);
  return 0;
}

int PARM_CMD_Callback(int, int control, int event, void*, int, int) {
  if (event != EVENT_COMMIT) return 0;
  switch (control) {
    case PARM_CMD_PRESET_1: ShowPreset(kPresets[0]); break;
    case PARM_CMD_PRESET_2: ShowPreset(kPresets[1]); break;
    case PARM_CMD_PRESET_3: ShowPreset(kPresets[2]); break;
    case PARM_CMD_READ_BACK: ReadBack(); break;
    case PARM_CMD_SEND: Send(); break;
    case PARM_CMD_SAVE_FILE: SaveFile(); break;
    case PARM_CMD_EXTENDED: PanelDisplay(uwMcExtParameterPanelHandle); break;
    case PARM_CMD_CLOSE: PanelHide(Panel()); break;
    default: break;
  }
  return 0;
}

void ParmPanelShowBasic() {
  uint16_t values[5];
  for (int i = 0; i < 5; ++i) values[i] = static_cast<uint16_t>(sParamContainer.entries[i].udData);
  ShowValues(values);
  ClearNote();
}

void ParmPanelShowExtended() {
  const int ext = uwMcExtParameterPanelHandle;
  const int tables[3] = {EXTP_TABLE_1, EXTP_TABLE_2, EXTP_TABLE_3};
  for (int t = 0; t < 3; ++t)
    for (int row = 0; row < EXTP_TABLE_ROWS; ++row) ParmSetCell(ext, tables[t], row, sKvoParm[t * EXTP_TABLE_ROWS + row]);
  uint16_t values[5];
  for (int i = 0; i < 5; ++i) values[i] = sKvoParm[kKvoOnParameterPanel[i]];
  ShowValues(values);
  ClearNote();
}

void ParmPanelsSetUp() {
  for (int c = PARM_CMD_PRESET_1; c <= PARM_CMD_CLOSE; ++c)
    PanelInstallCallback(Panel(), c, PARM_CMD_Callback, nullptr);
  PanelInstallCallback(Panel(), PARM_CMD_SAVE_RECALL, CMD_PARM_SAVE_RECALL_Callback, nullptr);
  for (int table : {PARM_TABLE_1, PARM_TABLE_2}) PanelInstallCallback(Panel(), table, PARM_TABLE_Callback, nullptr);
  for (int table : {EXTP_TABLE_1, EXTP_TABLE_2, EXTP_TABLE_3})
    PanelInstallCallback(uwMcExtParameterPanelHandle, table, PARM_TABLE_Callback, nullptr);
  ParmSaveRecallPanelSetUp();
  ExtParmPanelSetUp();
}
