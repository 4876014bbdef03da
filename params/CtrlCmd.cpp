#include "params/CtrlCmd.h"

#include <cstring>
#include <initializer_list>
#include <new>

CtrlCmdContainer sCmdContainer;
CtrlCmdContainer sParamContainer;
CtrlCmdContainer sParamRdContainer;
CtrlCmdContainer sDataContainer;
CtrlCmdContainer sLogDataContainer;
CtrlCmdContainer sLogExtDataContainer;
CtrlCmdContainer sRtcDataContainer;
CtrlCmdContainer sScopeDataContainer;
CtrlCmdContainer sMemContainer;
CtrlCmdContainer sScrContainer;

uint16_t sKvoParm[CTRL_CMD_KVO_WORDS];

namespace {

struct ObjDef {
  uint16_t index;
  uint8_t subIndex;
  uint8_t length;
  uint32_t value;  // used when the values are not kept
};

// Lays out entries from `first` on. keepValues leaves udData as it is.
int Fill(CtrlCmdContainer& c, int first, std::initializer_list<ObjDef> defs, bool keepValues) {
  int at = first;
  for (const ObjDef& d : defs) {
    CtrlCmdEntry& e = c.entries[at++];
    uint32_t value = d.value;
    if (keepValues) value = e.udData;
    CtrlCmdEntryClear(e);
    e.ubLength = d.length;
    e.uwIndex = d.index;
    e.ubSubIndex = d.subIndex;
    e.udData = value;
  }
  return at;
}

// Entries `first`..`last` sub-index of one object.
int FillRun(CtrlCmdContainer& c, int at, uint16_t index, uint8_t firstSub, uint8_t lastSub, uint8_t length,
            bool keepValues) {
  for (unsigned sub = firstSub; sub <= lastSub; ++sub)
    at = Fill(c, at, {{index, static_cast<uint8_t>(sub), length, 0}}, keepValues);
  return at;
}

void ClearFrom(CtrlCmdContainer& c, int first) { CtrlCmdEntriesClear(c, first, CTRL_CMD_MAX_ENTRIES - first); }

void SetCounts(CtrlCmdContainer& c, uint16_t numOfEntries, uint8_t lastEntry) {
  c.uwNumOfEntries = numOfEntries;
  c.ubLastEntry = lastEntry;
}

constexpr ObjDef Command(uint16_t code) { return {CTRL_OBJ_COMMAND, 0, 2, code}; }
constexpr ObjDef kEmpty{0, 0, 0, 0};

// The ten objects every log-data filling starts with.
int FillLogCommon(bool keepValues) {
  return Fill(sLogDataContainer, 0,
              {{0x2004, 0, 2, 0}, {0x2103, 0, 2, 0}, {0x210F, 0, 2, 0}, {0x2002, 0, 2, 0}, {0x22B1, 0, 2, 0},
               {0x2101, 0, 2, 0}, {0x22B3, 0, 2, 0}, {0x200F, 0, 2, 0}, {0x2102, 0, 2, 0}, {0x2106, 0, 2, 0}},
              keepValues);
}

int FillLogQuill(bool keepValues) {
  const int at = FillLogCommon(keepValues);
  return Fill(sLogDataContainer, at, {{0x2119, 0, 4, 0}, {0x2118, 0, 2, 0}}, keepValues);
}

}  // namespace

uint8_t CtrlCmdEntrySetText(CtrlCmdEntry& entry, std::string_view text) {
  delete[] entry.pText;
  entry.pText = new (std::nothrow) char[text.size() + 1];
  if (!entry.pText) return 1;
  std::memcpy(entry.pText, text.data(), text.size());
  entry.pText[text.size()] = '\0';
  return 0;
}

void CtrlCmdEntryClear(CtrlCmdEntry& entry) {
  delete[] entry.pText;
  std::memset(static_cast<void*>(&entry), 0, sizeof entry);
}

void CtrlCmdEntriesClear(CtrlCmdContainer& c, int first, int count) {
  for (int i = first; i < first + count && i < CTRL_CMD_MAX_ENTRIES; ++i) CtrlCmdEntryClear(c.entries[i]);
}

void CtrlCmdListInit() {
  // The script container: every entry (and so every text) goes, not only the
  // part a script usually fills.
  ClearFrom(sScrContainer, 0);
  sScrContainer.uwNumOfEntries = 0;
  sScrContainer.ubLastEntry = 0;
  sScrContainer.ubAux = 0;
  sScrContainer.ubFileEntry = 0;
  for (auto& l : sScrContainer.uwLabelEntry) l = CTRL_CMD_LABEL_UNDEFINED;
  for (auto& c : sScrContainer.udCounter) c = 0;
  sScrContainer.uwLineCount = 0;
  CtrlCmdCommandListInit();
}

void CtrlCmdCommandListInit() {
  ClearFrom(sCmdContainer, 0);
  Fill(sCmdContainer, 0,
       {
           Command(CMD_CODE_PARM_READBACK),                                   // 0 save/recall, set at run time
           Command(CMD_CODE_HOME),                                            // 1
           Command(CMD_CODE_SEEK_POS1),                                       // 2
           Command(CMD_CODE_SEEK_POS2),                                       // 3
           Command(CMD_CODE_PUNCH),                                           // 4
           {CTRL_OBJ_SAMPLE_TIME_2, 3, 4, 0},                                 // 5
           Command(CMD_CODE_PRESS_ON),                                        // 6
           Command(CMD_CODE_PRESS_OFF),                                       // 7
           Command(CMD_CODE_HOVER_ON),                                        // 8
           Command(CMD_CODE_HOVER_OFF),                                       // 9
           Command(CMD_CODE_MARK_ON),                                         // 10
           Command(CMD_CODE_MARK_OFF),                                        // 11
           Command(CMD_CODE_TAKE_PARAMETERS),                                 // 12
           Command(CMD_CODE_PARM_READBACK),                                   // 13
           Command(CMD_CODE_PARM_READBACK),                                   // 14
           kEmpty,                                                            // 15
           {CTRL_OBJ_SAMPLE_TIME, 0, 2, 0},                                   // 16
           Command(0),                                                        // 17 ram type, set at run time
           Command(CMD_CODE_TRIGGER_BACKWARD),                                // 18
           Command(CMD_CODE_TRIGGER_FORWARD),                                 // 19
           Command(CMD_CODE_UDSEL_INHIBIT_ON),                                // 20
           Command(CMD_CODE_UDSEL_INHIBIT_OFF),                               // 21
           Command(CMD_CODE_TRIGGER_BACKWARD),                                // 22
           Command(CMD_CODE_TRIGGER_FORWARD),                                 // 23
           Command(CMD_CODE_TRIGGER_TRACE_MCYCLE),                            // 24
           Command(CMD_CODE_TRIGGER_TRACE_HARDWARE),                          // 25
           Command(CMD_CODE_TRACE_FREEZE),                                    // 26
           Command(CMD_CODE_TRACE_UNFREEZE),                                  // 27
           Command(CMD_CODE_CYCLE_BASIC),                                     // 28
           Command(CMD_CODE_CYCLE_FORM2),                                     // 29
           Command(CMD_CODE_CYCLE_FORM3),                                     // 30
           Command(CMD_CODE_TRIGGER),                                         // 31
           {CTRL_OBJ_TRACE_SELECT, 0, 2, 0},                                  // 32
           Command(CMD_CODE_PRESSURE_MON_ON),                                 // 33
           Command(CMD_CODE_PRESSURE_MON_OFF),                                // 34
           Command(CMD_CODE_MACRO_START),                                     // 35
           Command(CMD_CODE_SEEK_POS1_ABS),                                   // 36
           Command(CMD_CODE_HOME_ABSOLUT),                                    // 37
           Command(CMD_CODE_JOG_ON),                                          // 38
           Command(CMD_CODE_JOG_OFF),                                         // 39
           Command(CMD_CODE_MACRO_STOP),                                      // 40
       },
       false);
  SetCounts(sCmdContainer, 0, 0);
}

void CtrlCmdParameterContainerInit() {
  ClearFrom(sParamContainer, 0);
  Fill(sParamContainer, 0,
       {{0x2008, 0, 2, 0}, {0x2009, 0, 2, 0}, {0x200A, 0, 2, 0}, {0x200B, 0, 2, 0}, {0x200D, 0, 2, 0},
        Command(0), Command(CMD_CODE_TAKE_PARAMETERS)},
       false);
  SetCounts(sParamContainer, 7, 6);
}

void CtrlCmdRdParameterContainerInit() {
  ClearFrom(sParamRdContainer, 0);
  Fill(sParamRdContainer, 0,
       {{0x2008, 0, 2, 0}, {0x2009, 0, 2, 0}, {0x200C, 0, 2, 0}, {0x200E, 0, 2, 0}, {0x200A, 0, 2, 0},
        {0x2286, 0, 2, 0}, {0x2287, 0, 2, 0}, {0x2288, 0, 2, 0}, {0x2291, 0, 2, 0}, {0x2292, 0, 2, 0},
        {0x2293, 0, 2, 0}, {0x2294, 0, 2, 0}, {0x2295, 0, 2, 0}, {0x2296, 0, 2, 0}, {0x2297, 0, 2, 0},
        {0x2298, 0, 2, 0}, {0x22A1, 0, 2, 0}, {0x200D, 0, 2, 0}, {0x22A3, 0, 2, 0}, {0x22A4, 0, 2, 0},
        {0x22A5, 0, 2, 0}, {0x22A6, 0, 2, 0}, {0x22A7, 0, 2, 0}, {0x22A8, 0, 2, 0}, {0x200B, 0, 2, 0},
        Command(0), Command(CMD_CODE_TAKE_PARAMETERS)},
       false);
  SetCounts(sParamRdContainer, 27, 26);
}

void CtrlCmdDataContainerInit() {
  ClearFrom(sDataContainer, 0);
  Fill(sDataContainer, 0,
       {{0x200F, 0, 2, 0}, {0x2102, 0, 2, 0}, {0x2101, 0, 2, 0}, {0x22B3, 0, 2, 0}, {0x2004, 0, 2, 0},
        {0x2106, 0, 2, 0}, {0x2103, 0, 2, 0}, {0x210F, 0, 2, 0}, {0x211D, 1, 2, 0}, {0x211D, 2, 2, 0},
        {0x211D, 3, 2, 0}, {0x211D, 4, 2, 0}},
       false);
  SetCounts(sDataContainer, 8, 2);
}

void CtrlCmdLogDataContainerP417Init() {
  const int end = FillLogCommon(false);
  ClearFrom(sLogDataContainer, end);
  SetCounts(sLogDataContainer, 9, 9);
}

void CtrlCmdLogDataContainerQuillInit(uint8_t keepValues) {
  const int end = FillLogQuill(keepValues != 0);
  ClearFrom(sLogDataContainer, end);
  SetCounts(sLogDataContainer, 11, 11);
  sLogDataContainer.ubFileEntry = 11;
}

void CtrlCmdLogDataContainerP528Init(uint8_t keepValues) {
  const bool keep = keepValues != 0;
  int at = FillLogQuill(keep);
  at = Fill(sLogDataContainer, at, {{0x2601, 0, 2, 0}, {0x2503, 8, 4, 0}, {0x2320, 0, 2, 0}}, keep);
  for (uint8_t sub : {6, 7, 2, 3, 5, 8, 13, 14, 15, 16, 17, 18, 19, 4, 23, 24, 25})
    at = Fill(sLogDataContainer, at, {{0x2604, sub, 4, 0}}, keep);
  at = Fill(sLogDataContainer, at,
            {{0x2602, 2, 4, 0}, {0x2602, 3, 4, 0}, {0x2603, 1, 4, 0}, {0x2603, 2, 4, 0}, {0x2603, 3, 4, 0},
             {0x2603, 4, 4, 0}, {0x2604, 22, 4, 0}, {0x2604, 9, 4, 0}, {0x2604, 10, 4, 0}},
            keep);
  ClearFrom(sLogDataContainer, at);
  SetCounts(sLogDataContainer, 40, 40);
  sLogDataContainer.ubFileEntry = 12;

  // The extended header keeps its values whatever the flag says.
  at = FillRun(sLogExtDataContainer, 0, 0x260A, 1, 15, 4, true);
  at = FillRun(sLogExtDataContainer, at, 0x2107, 1, 9, 4, true);
  at = Fill(sLogExtDataContainer, at, {{0x211F, 0, 2, 0}, {0x22F0, 2, 4, 0}, {0x22F0, 3, 4, 0}, {0x260E, 1, 4, 0}},
            true);
  ClearFrom(sLogExtDataContainer, at);
  SetCounts(sLogExtDataContainer, 27, 27);

  // The clock is read fresh every time.
  at = FillRun(sRtcDataContainer, 0, 0x211C, 1, 8, 1, false);
  ClearFrom(sRtcDataContainer, at);
  SetCounts(sRtcDataContainer, 7, 7);
}
