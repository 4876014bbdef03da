// The parameter panel (five basic parameters: presets, send, read back,
// parameter file) and the display of read-back values on it and on the
// extended parameter panel. Callbacks run on the GUI thread; the Show
// functions run in the tick (machine 8).
#pragma once
#include <cstdint>
#include <string>

// Table layout: every value sits in column 0 of its row; the rows' headers
// name the parameters. Parameter panel: table 1 rows 0..3 POS1, POS2, POS3,
// READYWIN; table 2 row 0 TIME2. Extended panel: three tables of 8 rows with
// sKvoParm elements 0..7, 8..15 and 16..23.
inline constexpr int PARM_VALUE_COLUMN = 0;
inline constexpr int EXTP_TABLE_ROWS = 8;

// Presets, read back, send, save file, extended, close (commit events).
int PARM_CMD_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
// Installs the callbacks of the parameter and save/recall panels.
void ParmPanelsSetUp();

// Machine 8, basic set: sParamContainer entries 0..4 on the parameter panel.
void ParmPanelShowBasic();
// Machine 8, extended set: sKvoParm on the extended panel's three tables and
// elements 0, 1, 4, 24 and 17 on the parameter panel.
void ParmPanelShowExtended();

// A table cell as a 2-byte object value: decimal 0..65535, blanks around
// allowed. False for anything else.
bool ParmCellValue(const std::string& text, uint16_t& value);
// Shows a value in a value cell of the parameter or extended panel, taking
// away a refused mark.
void ParmSetCell(int panel, int table, int row, uint32_t value);
// Checks a value cell of the parameter or extended panel as the operator left
// it: a refused one is marked and the panel says what it takes; its text
// stays. True, with the value (if `value`), when it is one.
bool ParmCheckCell(int panel, int table, int row, uint16_t* value);
// Callback of the value tables: checks the cell the operator edited.
int PARM_TABLE_Callback(int panel, int control, int event, void* data, int row, int column);
// After a save or recall: the panel says that its values are not the
// controller's until the next read-back or send.
void ParmPanelNoteNotTheControllers();
