#include "macro/MacroWizard.h"

#include <cstdio>

#include "app/Startup.h"
#include "macro/macro_hmi.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

const MacroWizCommand kMacroWizCommands[] = {
    {0x0101, "CMD_TAKE"},           {0x012D, "CMD_UDSEL_INHIBIT_ON"}, {0x012E, "CMD_UDSEL_INHIBIT_OFF"},
    {0x0200, "CMD_HOME"},           {0x020B, "CMD_SET_HOME_ABS"},     {0x020C, "CMD_SET_HOME_POS1"},
    {0x013D, "CMD_HOVER_ADVANCED"}, {0x0110, "CMD_CYCLE_BASIC"},      {0x0111, "CMD_CYCLE_FORM2"},
    {0x012C, "CMD_CYCLE_FORM3"},    {0x0201, "CMD_SEEK_POS1"},        {0x0202, "CMD_SEEK_POS2"},
    {0x0203, "CMD_PUNCH"},          {0x0205, "CMD_PRESS_ON"},         {0x0206, "CMD_PRESS_OFF"},
    {0x0207, "CMD_HOVER_ON"},       {0x0208, "CMD_HOVER_OFF"},        {0x0209, "CMD_MARK_ON"},
    {0x020A, "CMD_MARK_OFF"},       {0x0214, "CMD_START_PULSE_GEN"},  {0, nullptr},
};

namespace {

struct Parameter {
  const char* name;
  uint16_t object;
};
constexpr Parameter kParameters[MAC_WIZ_BLOCK_SIZE] = {
    {"POS1", 0x2008}, {"POS2", 0x2009}, {"POS3", 0x200C}, {"POS4", 0x200E}, {"POS5", 0x200A},
    {"POS6", 0x2005}, {"SPD1", 0x2291}, {"SPD2", 0x2292}, {"SPD3", 0x2293}, {"SPD4", 0x2294},
    {"SPD5", 0x2295}, {"SPD6", 0x2296}, {"TIME2", 0x200D}, {"RDYWIN", 0x200B}, {"TIME8", 0x22A8},
};

// What each cycle block writes, after its comment line.
constexpr int kShort[] = {MAC_WIZ_POS1, MAC_WIZ_POS2, MAC_WIZ_POS5, MAC_WIZ_SPD1,
                          MAC_WIZ_SPD2, MAC_WIZ_SPD5, MAC_WIZ_TIME8, MAC_WIZ_RDYWIN};
constexpr int kForm1[] = {MAC_WIZ_POS1, MAC_WIZ_POS2, MAC_WIZ_POS5, MAC_WIZ_SPD1, MAC_WIZ_SPD2,
                          MAC_WIZ_SPD5, MAC_WIZ_TIME2, MAC_WIZ_TIME8, MAC_WIZ_RDYWIN};
constexpr int kForm2[] = {MAC_WIZ_POS1, MAC_WIZ_POS2, MAC_WIZ_POS3, MAC_WIZ_POS4, MAC_WIZ_POS5,
                          MAC_WIZ_SPD1, MAC_WIZ_SPD2, MAC_WIZ_SPD3, MAC_WIZ_SPD4, MAC_WIZ_SPD5,
                          MAC_WIZ_TIME2, MAC_WIZ_TIME8, MAC_WIZ_RDYWIN};
constexpr int kForm3[] = {MAC_WIZ_POS1, MAC_WIZ_POS2, MAC_WIZ_POS3, MAC_WIZ_POS4, MAC_WIZ_POS5,
                          MAC_WIZ_POS6, MAC_WIZ_SPD1, MAC_WIZ_SPD2, MAC_WIZ_SPD3, MAC_WIZ_SPD4,
                          MAC_WIZ_SPD5, MAC_WIZ_SPD6, MAC_WIZ_TIME2, MAC_WIZ_TIME8, MAC_WIZ_RDYWIN};

struct Cycle {
  int kind;
  const char* comment;
  const int* parameters;
  size_t count;
  const char* command;
};
const Cycle kCycles[] = {
    {MAC_WIZ_PUNCH, "    ; Punch", kShort, std::size(kShort), "    OBJ_WRW 0x2000, 0x00, 0x0110        ; CMD_CYCLE_BASIC"},
    {MAC_WIZ_HOVER, "    ; Hover", kShort, std::size(kShort), "    OBJ_WRW 0x2000, 0x00, 0x0110        ; CMD_CYCLE_BASIC"},
    {MAC_WIZ_PRESS, "    ; Press", kShort, std::size(kShort), "    OBJ_WRW 0x2000, 0x00, 0x0110        ; CMD_CYCLE_BASIC"},
    {MAC_WIZ_MARK, "    ; Mark", kShort, std::size(kShort), "    OBJ_WRW 0x2000, 0x00, 0x0110        ; CMD_CYCLE_BASIC"},
    {MAC_WIZ_FORM1, "    ; Form1", kForm1, std::size(kForm1), "    OBJ_WRW 0x2000, 0x00, 0x0110        ; CMD_CYCLE_BASIC"},
    {MAC_WIZ_FORM2, "    ; Form2", kForm2, std::size(kForm2), "    OBJ_WRW 0x2000, 0x00, 0x0111        ; CMD_CYCLE_FORM2"},
    {MAC_WIZ_FORM3, "    ; Form3", kForm3, std::size(kForm3), "    OBJ_WRW 0x2000, 0x00, 0x012C        ; CMD_CYCLE_FORM3"},
};
constexpr int kScrollAboveStop = 24;

template <class... Args>
std::string Format(const char* format, Args... args) {
  char line[128];
  std::snprintf(line, sizeof line, format, args...);
  return line;
}

int Signed(uint32_t v) { return static_cast<int>(static_cast<int32_t>(v)); }

}  // namespace

const char* MacroWizParameterName(int index) {
  return index >= 0 && index < MAC_WIZ_BLOCK_SIZE ? kParameters[index].name : "";
}
uint16_t MacroWizParameterObject(int index) {
  return index >= 0 && index < MAC_WIZ_BLOCK_SIZE ? kParameters[index].object : 0;
}

const char* MacroWizCommandName(uint32_t code) {
  for (const MacroWizCommand* c = kMacroWizCommands; c->name; ++c)
    if (c->code == code) return c->name;
  return " CMD";
}

bool MacroWizLines(int kind, const uint32_t* block, uint32_t value, std::vector<std::string>& lines) {
  lines.clear();
  for (const Cycle& c : kCycles) {
    if (c.kind != kind) continue;
    lines.push_back(c.comment);
    for (size_t i = 0; i < c.count; ++i) {
      const Parameter& p = kParameters[c.parameters[i]];
      lines.push_back(Format("    OBJ_WRW 0x%04X, 0x00, %6d        ; %s", p.object,
                             Signed(block[c.parameters[i]] & 0xFFFF), p.name));
    }
    lines.push_back(c.command);
    lines.push_back("    OBJ_WRW 0x2000, 0x00, 0x0101        ; CMD_TAKE");
    lines.push_back("    DELAY 10");
    lines.push_back("    STOP");
    return true;
  }
  switch (kind) {
    case MAC_WIZ_OBJECT: {
      static const char* const kWrites[3] = {"    OBJ_WRB 0x%X, 0x%02X, %6d        ; Object access",
                                             "    OBJ_WRW 0x%X, 0x%02X, %6d        ; Object access",
                                             "    OBJ_WRD 0x%X, 0x%02X, %6d        ; Object access"};
      const uint32_t width = block[0];
      if (width >= 1 && width <= 3) lines.push_back(Format(kWrites[width - 1], block[1], block[2], Signed(value)));
      else lines.push_back(Format("    OBJ_RD 0x%X, 0x%02X                 ; Object access", block[1], block[2]));
      return true;
    }
    case MAC_WIZ_SAMPLE_TIME:
      lines.push_back(Format("    OBJ_WRW 0x2102, 0x00, %6d        ; Sample Time", Signed(block[0])));
      return true;
    case MAC_WIZ_RAMTYPE:
      lines.push_back(Format("    OBJ_WRW 0x2000, 0x00, 0x%04X        ; Ramtype", block[0] | 0x400));
      return true;
    case MAC_WIZ_COMMAND:
      lines.push_back(Format("    OBJ_WRW 0x2000, 0x00, 0x%04X        ; %s", block[0], MacroWizCommandName(block[0])));
      return true;
    case MAC_WIZ_DELAY: lines.push_back(Format("    DELAY %d", Signed(block[0]))); return true;
    case MAC_WIZ_STOP: lines.push_back("    STOP"); return true;
    case MAC_WIZ_REPEAT:
      lines.push_back("    ; Repeat Generator");
      lines.push_back(Format("    OBJ_WRD 0x2321, 0x01, %6d        ; Delay", Signed(block[1])));
      lines.push_back(Format("    OBJ_WRD 0x2321, 0x02, %6d        ; Counter", Signed(block[2])));
      lines.push_back(Format("    OBJ_WRD 0x2321, 0x04, 0x%04X        ; Cmd", block[0]));
      return true;
    case MAC_WIZ_AUTOSTART: lines.push_back("    AUTOSTART"); return true;
    default: return false;
  }
}

int MacroWizCreate(int kind, const uint32_t* block, uint32_t value) {
  std::vector<std::string> lines;
  if (!MacroWizLines(kind, block, value, lines)) return 1;
  std::string text;
  for (const std::string& line : lines) text += line + '\n';
  const int panel = uwMcMacroPanelHandle;
  int line = 0;
  PanelGetCursorLine(panel, MACRO_TXT_EDITOR, line);
  // The cursor after the last line: the block goes to the end.
  std::string source;
  PanelGetString(panel, MACRO_TXT_EDITOR, source);
  int count = 1;
  for (char c : source) count += c == '\n';
  if (line > count) line = count;
  PanelInsertText(panel, MACRO_TXT_EDITOR, line, text);
  const int after = line + static_cast<int>(lines.size());
  PanelSetCursorLine(panel, MACRO_TXT_EDITOR, after);
  if (kind == MAC_WIZ_PUNCH || kind == MAC_WIZ_HOVER || kind == MAC_WIZ_PRESS || kind == MAC_WIZ_MARK)
    PanelSetFirstVisibleLine(panel, MACRO_TXT_EDITOR, std::max(0, after - 1 - kScrollAboveStop));
  MacroSourceEdited();
  return 0;
}
