// The macro wizard's source blocks: a pure generator of the lines for one
// wizard kind and their insertion into the macro editor at its cursor.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Wizard kinds of MacroWizCreate.
enum MacroWizKind : int {
  MAC_WIZ_PUNCH = 1,
  MAC_WIZ_FORM1 = 2,
  MAC_WIZ_FORM2 = 3,
  MAC_WIZ_FORM3 = 4,
  MAC_WIZ_HOVER = 5,
  MAC_WIZ_PRESS = 6,
  MAC_WIZ_MARK = 7,
  MAC_WIZ_OBJECT = 8,       // block: width code (1..3 write 1, 2, 4 bytes; 4 read), index, sub-index
  MAC_WIZ_SAMPLE_TIME = 9,  // block: the sample time code
  MAC_WIZ_RAMTYPE = 10,     // block: the ram-type code
  MAC_WIZ_COMMAND = 11,     // block: the command
  MAC_WIZ_DELAY = 12,       // block: milliseconds
  MAC_WIZ_STOP = 13,
  MAC_WIZ_REPEAT = 14,      // block: command, delay, counter
  MAC_WIZ_AUTOSTART = 15,
};

// The cycle parameter block: fifteen values, by block index.
inline constexpr int MAC_WIZ_BLOCK_SIZE = 15;
enum MacroWizParameter : int {
  MAC_WIZ_POS1, MAC_WIZ_POS2, MAC_WIZ_POS3, MAC_WIZ_POS4, MAC_WIZ_POS5, MAC_WIZ_POS6,
  MAC_WIZ_SPD1, MAC_WIZ_SPD2, MAC_WIZ_SPD3, MAC_WIZ_SPD4, MAC_WIZ_SPD5, MAC_WIZ_SPD6,
  MAC_WIZ_TIME2, MAC_WIZ_RDYWIN, MAC_WIZ_TIME8,
};
// The name of a block entry ("POS1" ...) and the object its line writes.
const char* MacroWizParameterName(int index);
uint16_t MacroWizParameterObject(int index);

// The commands of the command ring and their names (value 0 ends the list);
// a command not in it is named " CMD".
struct MacroWizCommand {
  uint16_t code;
  const char* name;
};
extern const MacroWizCommand kMacroWizCommands[];
const char* MacroWizCommandName(uint32_t code);

// The lines of one wizard block, without line feeds; false (no lines) for a
// kind outside 1..15.
bool MacroWizLines(int kind, const uint32_t* block, uint32_t value, std::vector<std::string>& lines);

// Inserts the block into the macro editor at the line of its text cursor,
// moves the cursor to the start of the line after it and, for the four
// cycle blocks of 13 lines, scrolls so that the first line shown lies 24
// lines above the inserted "    STOP". The source then counts as edited.
// 0, or 1 for an unknown kind (nothing inserted).
int MacroWizCreate(int kind, const uint32_t* block, uint32_t value);
