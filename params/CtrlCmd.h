// Containers of object accesses that the operation machines walk.
#pragma once
#include <cstddef>
#include <cstdint>

inline constexpr int CTRL_CMD_MAX_ENTRIES = 2000;

#pragma pack(push, 1)
struct CtrlCmdEntry {
  uint8_t ubLength;    // data width 1, 2 or 4; 0 marks a read in a script entry
  uint16_t uwIndex;
  uint8_t ubSubIndex;
  uint32_t udData;     // value to write, or the value read back
  uint32_t udFlags;    // script entries: statement kind bits
  uint16_t uwLabel;
  uint8_t ubCounter;
  char* pText;         // script entries: owned text argument
  uint16_t uwLine;
  uint32_t udArg1;
  float fValue;
};
#pragma pack(pop)

struct CtrlCmdContainer {
  CtrlCmdEntry entries[CTRL_CMD_MAX_ENTRIES];
  uint16_t uwNumOfEntries;
  uint8_t ubLastEntry;
  uint8_t ubAux;
  uint8_t ubFileEntry;
  uint16_t uwLabelEntry[10];
  uint32_t udCounter[10];
  uint16_t uwLineCount;
};

// Command-list entries with a fixed role.
inline constexpr int CTRL_CMD_TRACE_SELECT = 32;

extern CtrlCmdContainer sCmdContainer;
