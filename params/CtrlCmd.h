// Containers of object accesses that the operation machines walk.
//
// Each container is an ordered list of entries naming one object (index,
// sub-index), its data width and a 32-bit value. The init functions fix the
// layout; only udData changes while the tool runs (the command list also gets
// entries 0, 5, 16, 17, 32 and 35 rewritten before use).
//
// Walk lengths differ by container:
//   - a log-data walk (sLogDataContainer, sLogExtDataContainer,
//     sRtcDataContainer) reads entries 0 .. ubLastEntry inclusive:
//     10 objects for P0417, 12 for Quill, 41 for P0528;
//   - the data container's walk reads uwNumOfEntries entries (8), not all 12;
//     entries 8..11 are addressed singly;
//   - the parameter containers are walked over uwNumOfEntries entries, and
//     ubLastEntry names their take-parameter entry.
// CtrlCmdLogWalkLength and CtrlCmdWalkLength state these rules once.
//
// Text ownership: pText of a script entry is a heap buffer owned by the entry.
// Set it only with CtrlCmdEntrySetText and drop it only with CtrlCmdEntryClear
// (or a function that calls it); never copy an entry that holds a text. Every
// init and reset below frees the texts it overwrites.
//
// Threads: the init functions and the script compiler run on the user-interface
// thread while no operation machine walks the container they write.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

inline constexpr int CTRL_CMD_MAX_ENTRIES = 2000;
inline constexpr int CTRL_CMD_LABELS = 10;
inline constexpr int CTRL_CMD_COUNTERS = 10;
inline constexpr uint16_t CTRL_CMD_LABEL_UNDEFINED = 0xFFFF;
inline constexpr int CTRL_CMD_KVO_WORDS = 25;

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
  uint16_t uwLabelEntry[CTRL_CMD_LABELS];   // label n at n-1; CTRL_CMD_LABEL_UNDEFINED if none
  uint32_t udCounter[CTRL_CMD_COUNTERS];    // counter n at n-1
  uint16_t uwLineCount;
};

// --- The command list (sCmdContainer) ------------------------------------------
// The command number is the entry index; the telegram-list machine sends
// entries 1..CTRL_CMD_LAST_NUMBER. Entries 15 and 41..45 are empty.
inline constexpr int CTRL_CMD_LAST_NUMBER = 45;

// Command-list entries with a fixed role (the others are named by their code).
inline constexpr int CTRL_CMD_PARM_SAVE_RECALL = 0;   // set by the save/recall panel
inline constexpr int CTRL_CMD_SAMPLE_TIME_2 = 5;      // second trace sample time
inline constexpr int CTRL_CMD_TAKE_PARAMETERS = 12;
inline constexpr int CTRL_CMD_PARM_READBACK = 13;
inline constexpr int CTRL_CMD_SAMPLE_TIME = 16;
inline constexpr int CTRL_CMD_RAMTYPE = 17;
inline constexpr int CTRL_CMD_TRIGGER_BACKWARD = 22;  // trigger commands sent after the trace selector
inline constexpr int CTRL_CMD_TRIGGER_FORWARD = 23;
inline constexpr int CTRL_CMD_TRACE_SELECT = 32;
inline constexpr int CTRL_CMD_MACRO_START = 35;
inline constexpr int CTRL_CMD_SEEK_POS1_ABS = 36;     // also sent before a trace download

// Objects the command list writes.
inline constexpr uint16_t CTRL_OBJ_COMMAND = 0x2000;       // sub-index 0, 2-byte command codes
inline constexpr uint16_t CTRL_OBJ_TRACE_SELECT = 0x2001;  // 1 first trace, 2 second trace
inline constexpr uint16_t CTRL_OBJ_SAMPLE_TIME = 0x2102;
inline constexpr uint16_t CTRL_OBJ_SAMPLE_TIME_2 = 0x2A00; // sub-index 3, 4 bytes

// Codes written to the command object.
enum CtrlCmdCode : uint16_t {
  // Parameter set handling.
  CMD_CODE_TAKE_PARAMETERS = 0x101,
  CMD_CODE_PARM_READBACK = 0x102,  // also the save/recall entry's initial value
  // Machine cycle and trace commands.
  CMD_CODE_CYCLE_BASIC = 0x110,
  CMD_CODE_CYCLE_FORM2 = 0x111,
  CMD_CODE_TRIGGER = 0x120,
  CMD_CODE_TRIGGER_TRACE_MCYCLE = 0x128,
  CMD_CODE_TRIGGER_TRACE_HARDWARE = 0x129,
  CMD_CODE_TRACE_FREEZE = 0x12A,
  CMD_CODE_TRACE_UNFREEZE = 0x12B,
  CMD_CODE_CYCLE_FORM3 = 0x12C,
  CMD_CODE_UDSEL_INHIBIT_ON = 0x12D,
  CMD_CODE_UDSEL_INHIBIT_OFF = 0x12E,
  CMD_CODE_TRIGGER_BACKWARD = 0x134,
  CMD_CODE_TRIGGER_FORWARD = 0x13F,
  CMD_CODE_PRESSURE_MON_OFF = 0x140,
  CMD_CODE_PRESSURE_MON_ON = 0x141,
  // Operator commands.
  CMD_CODE_HOME = 0x200,
  CMD_CODE_SEEK_POS1 = 0x201,
  CMD_CODE_SEEK_POS2 = 0x202,
  CMD_CODE_PUNCH = 0x203,
  CMD_CODE_PRESS_ON = 0x205,
  CMD_CODE_PRESS_OFF = 0x206,
  CMD_CODE_HOVER_ON = 0x207,
  CMD_CODE_HOVER_OFF = 0x208,
  CMD_CODE_MARK_ON = 0x209,
  CMD_CODE_MARK_OFF = 0x20A,
  CMD_CODE_HOME_ABSOLUT = 0x20B,
  CMD_CODE_JOG_ON = 0x219,
  CMD_CODE_JOG_OFF = 0x21A,
  CMD_CODE_SEEK_POS1_ABS = 0x21C,
  // Macro commands.
  CMD_CODE_MACRO_STOP = 0x320,
  CMD_CODE_MACRO_START = 0x500,    // low byte: macro number
  // Ram type selection: OR the ram-type code into the low bits.
  CMD_CODE_RAMTYPE = 0x400,
};

// --- The containers --------------------------------------------------------------
extern CtrlCmdContainer sCmdContainer;         // command list
extern CtrlCmdContainer sParamContainer;       // parameter set (7 entries)
extern CtrlCmdContainer sParamRdContainer;     // extended parameter set (27 entries)
extern CtrlCmdContainer sDataContainer;        // identification and status (12, walk 8)
extern CtrlCmdContainer sLogDataContainer;     // trace header objects (P0417 / Quill / P0528)
extern CtrlCmdContainer sLogExtDataContainer;  // P0528 extended header (28)
extern CtrlCmdContainer sRtcDataContainer;     // controller clock (8)
extern CtrlCmdContainer sScopeDataContainer;   // trace acquisition objects
extern CtrlCmdContainer sMemContainer;         // memory and address telegrams
extern CtrlCmdContainer sScrContainer;         // the compiled script or command line

// Parameter values read back for the parameter panel.
extern uint16_t sKvoParm[CTRL_CMD_KVO_WORDS];

// Walk lengths (see the top of this file).
inline int CtrlCmdLogWalkLength(const CtrlCmdContainer& c) { return c.ubLastEntry + 1; }
inline int CtrlCmdWalkLength(const CtrlCmdContainer& c) { return c.uwNumOfEntries; }

// --- Entries and their texts -------------------------------------------------------
// Replaces the entry's text by a copy of `text`. 0 done; 1 out of memory (the
// entry then holds no text).
uint8_t CtrlCmdEntrySetText(CtrlCmdEntry& entry, std::string_view text);
// Frees the entry's text and zeroes every field.
void CtrlCmdEntryClear(CtrlCmdEntry& entry);
// Clears `count` entries from `first` on (freeing their texts).
void CtrlCmdEntriesClear(CtrlCmdContainer& c, int first, int count);

// --- Init functions ------------------------------------------------------------------
// Clears the script container (its texts freed; counts, labels undefined,
// counters and line count reset) and fills the command list.
void CtrlCmdListInit();
// Fills the command list only (CtrlCmdListInit without the script container).
void CtrlCmdCommandListInit();
// Parameter set: 7 entries; values 0 except the take-parameter entry.
void CtrlCmdParameterContainerInit();
// Extended parameter set: 27 entries; values 0 except the take-parameter entry.
void CtrlCmdRdParameterContainerInit();
// Identification and status objects: 12 entries, walk of 8, ubLastEntry 2.
void CtrlCmdDataContainerInit();
// Log-data fillings of sLogDataContainer. Entries past a filling's own are
// cleared, so nothing of a longer filling lingers. keepValues 0 clears the
// values; non-zero keeps them and sets only object, width and sub-index.
void CtrlCmdLogDataContainerP417Init();
void CtrlCmdLogDataContainerQuillInit(uint8_t keepValues);
// Also fills sLogExtDataContainer (values always kept) and sRtcDataContainer
// (values always cleared).
void CtrlCmdLogDataContainerP528Init(uint8_t keepValues);
// Trace acquisition objects of sScopeDataContainer for a firmware variant:
// 1 P0417 (entries 0..1), 2 P0528 and the Quill with two traces (0..9),
// 3 the Quill with one trace (0..3). uwNumOfEntries and ubLastEntry hold the
// last entry index: the download reads entries 0 to it. Other variants leave
// the container as it is.
inline constexpr uint8_t SCOPE_VARIANT_P0417 = 1;
inline constexpr uint8_t SCOPE_VARIANT_P0528 = 2;
inline constexpr uint8_t SCOPE_VARIANT_QUILL = 3;
void CtrlCmdScopeDataContainerInit(uint8_t variant);
