// Container layouts, walk lengths, the log-data fillings and entry texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "objects/OBJCMD.h"
#include "params/CtrlCmd.h"

namespace {

struct Obj {
  uint16_t index;
  uint8_t subIndex;
  uint8_t length;
};

void ExpectLayout(const CtrlCmdContainer& c, const std::vector<Obj>& objs, const char* name) {
  for (size_t i = 0; i < objs.size(); ++i) {
    SCOPED_TRACE(std::string(name) + " entry " + std::to_string(i));
    EXPECT_EQ(+c.entries[i].uwIndex, objs[i].index);
    EXPECT_EQ(+c.entries[i].ubSubIndex, objs[i].subIndex);
    EXPECT_EQ(+c.entries[i].ubLength, objs[i].length);
  }
}

void ExpectEmptyFrom(const CtrlCmdContainer& c, int first) {
  for (int i = first; i < CTRL_CMD_MAX_ENTRIES; ++i) {
    const CtrlCmdEntry& e = c.entries[i];
    ASSERT_TRUE(+e.uwIndex == 0 && +e.ubLength == 0 && +e.udData == 0 && +e.pText == nullptr) << "entry " << i;
  }
}

std::vector<Obj> Run(uint16_t index, int firstSub, int lastSub, uint8_t length) {
  std::vector<Obj> v;
  for (int s = firstSub; s <= lastSub; ++s) v.push_back({index, static_cast<uint8_t>(s), length});
  return v;
}

std::vector<Obj> operator+(std::vector<Obj> a, const std::vector<Obj>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const std::vector<Obj> kLogCommon = {{0x2004, 0, 2}, {0x2103, 0, 2}, {0x210F, 0, 2}, {0x2002, 0, 2}, {0x22B1, 0, 2},
                                     {0x2101, 0, 2}, {0x22B3, 0, 2}, {0x200F, 0, 2}, {0x2102, 0, 2}, {0x2106, 0, 2}};
const std::vector<Obj> kLogQuill = kLogCommon + std::vector<Obj>{{0x2119, 0, 4}, {0x2118, 0, 2}};
const std::vector<Obj> kLogP528 =
    kLogQuill + std::vector<Obj>{{0x2601, 0, 2}, {0x2503, 8, 4}, {0x2320, 0, 2}} +
    std::vector<Obj>{{0x2604, 6, 4},  {0x2604, 7, 4},  {0x2604, 2, 4},  {0x2604, 3, 4},  {0x2604, 5, 4},
                     {0x2604, 8, 4},  {0x2604, 13, 4}, {0x2604, 14, 4}, {0x2604, 15, 4}, {0x2604, 16, 4},
                     {0x2604, 17, 4}, {0x2604, 18, 4}, {0x2604, 19, 4}, {0x2604, 4, 4},  {0x2604, 23, 4},
                     {0x2604, 24, 4}, {0x2604, 25, 4}, {0x2602, 2, 4},  {0x2602, 3, 4},  {0x2603, 1, 4},
                     {0x2603, 2, 4},  {0x2603, 3, 4},  {0x2603, 4, 4},  {0x2604, 22, 4}, {0x2604, 9, 4},
                     {0x2604, 10, 4}};
const std::vector<Obj> kLogExt =
    Run(0x260A, 1, 15, 4) + Run(0x2107, 1, 9, 4) +
    std::vector<Obj>{{0x211F, 0, 2}, {0x22F0, 2, 4}, {0x22F0, 3, 4}, {0x260E, 1, 4}};
const std::vector<Obj> kRtc = Run(0x211C, 1, 8, 1);

void FillValues(CtrlCmdContainer& c, uint32_t base) {
  for (int i = 0; i < 60; ++i) c.entries[i].udData = base + static_cast<uint32_t>(i);
}

// --- The command list ------------------------------------------------------------

struct CommandRow {
  int number;
  uint16_t index;
  uint8_t subIndex;
  uint8_t length;
  uint32_t value;
};

// Number, object, width and value of every command-list entry.
constexpr CommandRow kCommandList[] = {
    {0, 0x2000, 0, 2, 258},  {1, 0x2000, 0, 2, 512},  {2, 0x2000, 0, 2, 513},  {3, 0x2000, 0, 2, 514},
    {4, 0x2000, 0, 2, 515},  {5, 0x2A00, 3, 4, 0},    {6, 0x2000, 0, 2, 517},  {7, 0x2000, 0, 2, 518},
    {8, 0x2000, 0, 2, 519},  {9, 0x2000, 0, 2, 520},  {10, 0x2000, 0, 2, 521}, {11, 0x2000, 0, 2, 522},
    {12, 0x2000, 0, 2, 257}, {13, 0x2000, 0, 2, 258}, {14, 0x2000, 0, 2, 258}, {15, 0, 0, 0, 0},
    {16, 0x2102, 0, 2, 0},   {17, 0x2000, 0, 2, 0},   {18, 0x2000, 0, 2, 308}, {19, 0x2000, 0, 2, 319},
    {20, 0x2000, 0, 2, 301}, {21, 0x2000, 0, 2, 302}, {22, 0x2000, 0, 2, 308}, {23, 0x2000, 0, 2, 319},
    {24, 0x2000, 0, 2, 296}, {25, 0x2000, 0, 2, 297}, {26, 0x2000, 0, 2, 298}, {27, 0x2000, 0, 2, 299},
    {28, 0x2000, 0, 2, 272}, {29, 0x2000, 0, 2, 273}, {30, 0x2000, 0, 2, 300}, {31, 0x2000, 0, 2, 288},
    {32, 0x2001, 0, 2, 0},   {33, 0x2000, 0, 2, 321}, {34, 0x2000, 0, 2, 320}, {35, 0x2000, 0, 2, 1280},
    {36, 0x2000, 0, 2, 540}, {37, 0x2000, 0, 2, 523}, {38, 0x2000, 0, 2, 537}, {39, 0x2000, 0, 2, 538},
    {40, 0x2000, 0, 2, 800}, {41, 0, 0, 0, 0},       {42, 0, 0, 0, 0},       {43, 0, 0, 0, 0},
    {44, 0, 0, 0, 0},        {45, 0, 0, 0, 0},
};

TEST(CommandList, EveryEntryMatchesTheTable) {
  sCmdContainer.entries[44].udData = 7;  // left over from an earlier connection
  CtrlCmdListInit();
  for (const CommandRow& row : kCommandList) {
    SCOPED_TRACE("command " + std::to_string(row.number));
    const CtrlCmdEntry& e = sCmdContainer.entries[row.number];
    EXPECT_EQ(+e.uwIndex, row.index);
    EXPECT_EQ(+e.ubSubIndex, row.subIndex);
    EXPECT_EQ(+e.ubLength, row.length);
    EXPECT_EQ(+e.udData, row.value);
  }
  EXPECT_EQ(sCmdContainer.uwNumOfEntries, 0);
  EXPECT_EQ(CTRL_CMD_LAST_NUMBER, 45);
}

TEST(CommandList, InitResetsTheScriptContainerAndFreesItsTexts) {
  ObjCmdScriptReset();
  std::string reply;
  for (const char* line : {"LABEL 2", "DOS echo one", "LOG_CREATE objects", "COUNTER_SET 4 9"})
    ASSERT_EQ(ObjCmdInterpreter(line, reply), OBJCMD_OK) << reply;
  sScrContainer.udCounter[3] = 9;
  sScrContainer.ubFileEntry = 3;
  ASSERT_NE(+sScrContainer.entries[1].pText, nullptr);

  CtrlCmdListInit();
  EXPECT_EQ(sScrContainer.uwNumOfEntries, 0);
  EXPECT_EQ(sScrContainer.uwLineCount, 0);
  EXPECT_EQ(sScrContainer.ubFileEntry, 0);
  for (uint16_t label : sScrContainer.uwLabelEntry) EXPECT_EQ(label, 0xFFFF);
  for (uint32_t counter : sScrContainer.udCounter) EXPECT_EQ(counter, 0u);
  ExpectEmptyFrom(sScrContainer, 0);  // every text freed (LeakSanitizer checks it went)
}

// --- Parameter and data containers -------------------------------------------------

TEST(ParameterContainers, LayoutCountsAndTakeParameterEntry) {
  CtrlCmdParameterContainerInit();
  ExpectLayout(sParamContainer,
               {{0x2008, 0, 2}, {0x2009, 0, 2}, {0x200A, 0, 2}, {0x200B, 0, 2}, {0x200D, 0, 2}, {0x2000, 0, 2},
                {0x2000, 0, 2}},
               "param");
  EXPECT_EQ(CtrlCmdWalkLength(sParamContainer), 7);
  EXPECT_EQ(sParamContainer.ubLastEntry, 6);
  EXPECT_EQ(+sParamContainer.entries[5].udData, 0u);
  EXPECT_EQ(+sParamContainer.entries[6].udData, 257u);
  ExpectEmptyFrom(sParamContainer, 7);

  sParamRdContainer.entries[3].udData = 99;
  CtrlCmdRdParameterContainerInit();
  std::vector<Obj> rd;
  for (uint16_t index : {0x2008, 0x2009, 0x200C, 0x200E, 0x200A, 0x2286, 0x2287, 0x2288, 0x2291, 0x2292, 0x2293,
                         0x2294, 0x2295, 0x2296, 0x2297, 0x2298, 0x22A1, 0x200D, 0x22A3, 0x22A4, 0x22A5, 0x22A6,
                         0x22A7, 0x22A8, 0x200B, 0x2000, 0x2000})
    rd.push_back({index, 0, 2});
  ExpectLayout(sParamRdContainer, rd, "paramRd");
  EXPECT_EQ(CtrlCmdWalkLength(sParamRdContainer), 27);
  EXPECT_EQ(sParamRdContainer.ubLastEntry, 26);
  EXPECT_EQ(+sParamRdContainer.entries[3].udData, 0u);
  EXPECT_EQ(+sParamRdContainer.entries[25].udData, 0u);
  EXPECT_EQ(+sParamRdContainer.entries[26].udData, 257u);
  ExpectEmptyFrom(sParamRdContainer, 27);
}

TEST(DataContainer, WalkReadsEightOfTwelve) {
  CtrlCmdDataContainerInit();
  ExpectLayout(sDataContainer,
               {{0x200F, 0, 2}, {0x2102, 0, 2}, {0x2101, 0, 2}, {0x22B3, 0, 2}, {0x2004, 0, 2}, {0x2106, 0, 2},
                {0x2103, 0, 2}, {0x210F, 0, 2}, {0x211D, 1, 2}, {0x211D, 2, 2}, {0x211D, 3, 2}, {0x211D, 4, 2}},
               "data");
  EXPECT_EQ(CtrlCmdWalkLength(sDataContainer), 8);
  EXPECT_EQ(sDataContainer.ubLastEntry, 2);
  ExpectEmptyFrom(sDataContainer, 12);
}

// --- Log-data fillings ---------------------------------------------------------------

struct LogFilling {
  const char* name;
  void (*init)();
  const std::vector<Obj>* layout;
  int walk;
};

const LogFilling kFillings[] = {
    {"P0417", [] { CtrlCmdLogDataContainerP417Init(); }, &kLogCommon, 10},
    {"Quill", [] { CtrlCmdLogDataContainerQuillInit(0); }, &kLogQuill, 12},
    {"P0528", [] { CtrlCmdLogDataContainerP528Init(0); }, &kLogP528, 41},
};

TEST(LogDataFillings, WalkCountsAndLayouts) {
  for (const LogFilling& f : kFillings) {
    SCOPED_TRACE(f.name);
    // Start from the longest filling, so a shorter one must clear its tail.
    CtrlCmdLogDataContainerP528Init(0);
    FillValues(sLogDataContainer, 1000);
    f.init();
    ASSERT_EQ(static_cast<int>(f.layout->size()), f.walk);
    EXPECT_EQ(CtrlCmdLogWalkLength(sLogDataContainer), f.walk);
    EXPECT_EQ(sLogDataContainer.uwNumOfEntries, f.walk - 1);
    ExpectLayout(sLogDataContainer, *f.layout, f.name);
    for (int i = 0; i < f.walk; ++i) EXPECT_EQ(+sLogDataContainer.entries[i].udData, 0u) << i;
    ExpectEmptyFrom(sLogDataContainer, f.walk);
  }
}

TEST(LogDataFillings, FileEntryOfQuillAndP0528) {
  CtrlCmdLogDataContainerQuillInit(0);
  EXPECT_EQ(sLogDataContainer.ubFileEntry, 11);
  CtrlCmdLogDataContainerP528Init(0);
  EXPECT_EQ(sLogDataContainer.ubFileEntry, 12);
}

TEST(LogDataFillings, P0528FillsExtendedHeaderAndClock) {
  CtrlCmdLogDataContainerP528Init(0);
  ExpectLayout(sLogExtDataContainer, kLogExt, "ext");
  EXPECT_EQ(CtrlCmdLogWalkLength(sLogExtDataContainer), 28);
  EXPECT_EQ(sLogExtDataContainer.uwNumOfEntries, 27);
  ExpectLayout(sRtcDataContainer, kRtc, "rtc");
  EXPECT_EQ(CtrlCmdLogWalkLength(sRtcDataContainer), 8);
  EXPECT_EQ(sRtcDataContainer.uwNumOfEntries, 7);
}

TEST(LogDataFillings, P0528FlagKeepsLogValuesAndClearsClockValues) {
  CtrlCmdLogDataContainerP528Init(0);
  FillValues(sLogDataContainer, 100);
  FillValues(sLogExtDataContainer, 200);
  FillValues(sRtcDataContainer, 300);

  CtrlCmdLogDataContainerP528Init(1);
  for (int i = 0; i < 41; ++i) EXPECT_EQ(+sLogDataContainer.entries[i].udData, 100u + i) << i;
  for (int i = 0; i < 28; ++i) EXPECT_EQ(+sLogExtDataContainer.entries[i].udData, 200u + i) << i;
  for (int i = 0; i < 8; ++i) EXPECT_EQ(+sRtcDataContainer.entries[i].udData, 0u) << i;
  ExpectLayout(sLogDataContainer, kLogP528, "kept");

  CtrlCmdLogDataContainerP528Init(0);
  for (int i = 0; i < 41; ++i) EXPECT_EQ(+sLogDataContainer.entries[i].udData, 0u) << i;
  for (int i = 0; i < 28; ++i) EXPECT_EQ(+sLogExtDataContainer.entries[i].udData, 200u + i) << i;
}

TEST(LogDataFillings, QuillFlagKeepsItsOwnValuesOnly) {
  CtrlCmdLogDataContainerP528Init(0);
  FillValues(sLogDataContainer, 100);
  CtrlCmdLogDataContainerQuillInit(1);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(+sLogDataContainer.entries[i].udData, 100u + i) << i;
  ExpectEmptyFrom(sLogDataContainer, 12);
}

TEST(LogDataFillings, P0417AndQuillLeaveExtendedAndClockAlone) {
  CtrlCmdLogDataContainerP528Init(0);
  FillValues(sLogExtDataContainer, 200);
  FillValues(sRtcDataContainer, 300);
  CtrlCmdLogDataContainerP417Init();
  CtrlCmdLogDataContainerQuillInit(0);
  EXPECT_EQ(+sLogExtDataContainer.entries[27].udData, 227u);
  EXPECT_EQ(+sRtcDataContainer.entries[7].udData, 307u);
}

// --- Entry texts -----------------------------------------------------------------------

TEST(EntryText, SetReplacesAndClearFrees) {
  CtrlCmdEntry e{};
  ASSERT_EQ(CtrlCmdEntrySetText(e, "first"), 0);
  ASSERT_EQ(CtrlCmdEntrySetText(e, std::string(300, 'x')), 0);  // the old text is freed, not leaked
  EXPECT_EQ(std::string(+e.pText), std::string(300, 'x'));
  ASSERT_EQ(CtrlCmdEntrySetText(e, std::string_view("a\0b", 3)), 0);
  EXPECT_EQ(std::string(+e.pText, 3), std::string("a\0b", 3));
  ASSERT_EQ(CtrlCmdEntrySetText(e, ""), 0);
  ASSERT_NE(+e.pText, nullptr);
  EXPECT_STREQ(e.pText, "");
  e.udData = 5;
  CtrlCmdEntryClear(e);
  EXPECT_EQ(+e.pText, nullptr);
  EXPECT_EQ(+e.udData, 0u);
  CtrlCmdEntryClear(e);  // clearing twice is harmless
  EXPECT_EQ(+e.pText, nullptr);
}

TEST(EntryText, ReinitialisingAnyContainerFreesStrayTexts) {
  // A container's init owns every entry it lays out or clears.
  CtrlCmdLogDataContainerP528Init(0);
  ASSERT_EQ(CtrlCmdEntrySetText(sLogDataContainer.entries[5], "inside"), 0);
  ASSERT_EQ(CtrlCmdEntrySetText(sLogDataContainer.entries[30], "tail"), 0);
  ASSERT_EQ(CtrlCmdEntrySetText(sDataContainer.entries[1999], "last"), 0);
  CtrlCmdLogDataContainerP417Init();
  CtrlCmdDataContainerInit();
  EXPECT_EQ(+sLogDataContainer.entries[5].pText, nullptr);
  EXPECT_EQ(+sLogDataContainer.entries[30].pText, nullptr);
  EXPECT_EQ(+sDataContainer.entries[1999].pText, nullptr);
}

const auto Objects = Run;  // a run of sub-indices (Run is also a member of every test)

TEST(ScopeData, ThreeFillingsAndOthersLeaveItAlone) {
  const std::vector<Obj> p417 = {{0x210C, 0, 2}, {0x210D, 0, 2}};
  const std::vector<Obj> p528 = p417 + std::vector<Obj>{{0x2115, 0, 2}} + Objects(0x2A00, 1, 4, 4) +
                                Objects(0x2318, 0x10, 0x12, 4);
  const std::vector<Obj> quill = p417 + std::vector<Obj>{{0x2115, 0, 2}, {0x210F, 0, 2}};
  for (const auto& [variant, objs] :
       {std::pair{SCOPE_VARIANT_P0528, p528}, {SCOPE_VARIANT_P0417, p417}, {SCOPE_VARIANT_QUILL, quill}}) {
    sScopeDataContainer.entries[1].udData = 77;
    CtrlCmdScopeDataContainerInit(variant);
    ExpectLayout(sScopeDataContainer, objs, "scope data");
    ExpectEmptyFrom(sScopeDataContainer, static_cast<int>(objs.size()));
    EXPECT_EQ(+sScopeDataContainer.entries[1].udData, 0u);
    // Both counts name the last entry: the download reads 0 to it.
    EXPECT_EQ(sScopeDataContainer.uwNumOfEntries, objs.size() - 1);
    EXPECT_EQ(sScopeDataContainer.ubLastEntry, objs.size() - 1);
  }
  sScopeDataContainer.entries[2].udData = 5;
  for (uint8_t other : {0, 4, 255}) CtrlCmdScopeDataContainerInit(other);
  ExpectLayout(sScopeDataContainer, quill, "untouched");
  EXPECT_EQ(+sScopeDataContainer.entries[2].udData, 5u);
  EXPECT_EQ(sScopeDataContainer.ubLastEntry, 3);
}

}  // namespace
