// Compiling lines into script entries: every keyword, word counts, unknown
// commands, comments and line numbers, labels, and the 2000-entry limit.
#include <cstring>
#include <string>

#include "support/ScriptFixture.h"

namespace {

using CompilerTest = ScriptFixture;

struct EntryCase {
  const char* line;
  uint32_t flags;
  uint8_t length;
  uint16_t index;
  uint8_t subIndex;
  uint32_t data;
  uint8_t counter;
  uint16_t label;
  uint32_t arg1;
  const char* text;  // nullptr: no text
};

// Every entry-making keyword, compiled after "RD 0x2000 0" and "LABEL 1" (so
// IF and GOTO have what they need); the entry under test is entry 2, line 3.
// Text arguments keep their case and inner blanks.
const EntryCase kEntryCases[] = {
    {"WRB 0x2103 0 0x1FF", 0, 1, 0x2103, 0, 0x1FF, 0, 0, 0, nullptr},
    {"wrw 0x2002 0 4660", 0, 2, 0x2002, 0, 0x1234, 0, 0, 0, nullptr},
    {"WrD 0x2602 0x1 -1", 0, 4, 0x2602, 1, 0xFFFFFFFF, 0, 0, 0, nullptr},
    {"WRF 0x2602 1 1.0", 0, 4, 0x2602, 1, 0x3F800000, 0, 0, 0, nullptr},
    {"WRF 0x2602 1 -2.5E1", 0, 4, 0x2602, 1, 0xC1C80000, 0, 0, 0, nullptr},
    {"RD 0x2000 0", 0, 0, 0x2000, 0, 0, 0, 0, 0, nullptr},
    {"rf 0x2602 1", 0x100000, 0, 0x2602, 1, 0, 0, 0, 0, nullptr},
    {"LOG_OBJECT 0xFFFF 0xFF", 0x1000000, 0, 0xFFFF, 0xFF, 0, 0, 0, 0, nullptr},
    {"DLY 65535", 0x400, 0, 0, 0, 65535, 0, 0, 0, nullptr},
    {"dly 0", 0x400, 0, 0, 0, 0, 0, 0, 0, nullptr},
    {"DOS touch /tmp/MyFile b", 0x1, 0, 0, 0, 0, 0, 0, 0, "touch /tmp/MyFile b"},
    {"dos  \t  cp  Data/A.txt  /Tmp/B  ", 0x1, 0, 0, 0, 0, 0, 0, 0, "cp  Data/A.txt  /Tmp/B"},
    {"\tDOS ls ; Comment", 0x1, 0, 0, 0, 0, 0, 0, 0, "ls"},
    {"TRACE_DOWNLOAD", 0x2, 0, 0, 0, 0, 0, 0, 0, nullptr},
    {"trace_save Run_A1", 0x4, 0, 0, 0, 0, 0, 0, 0, "Run_A1"},
    {"TRACE_PATH /data/Traces_$DATE", 0x8, 0, 0, 0, 0, 0, 0, 0, "/data/Traces_$DATE"},
    {"LABEL 9", 0x10, 0, 0, 0, 0, 0, 9, 0, nullptr},
    {"goto 1", 0x20, 0, 0, 0, 0, 0, 1, 0, nullptr},
    {"COUNTER_SET 10 -3", 0x40, 0, 0, 0, 0, 10, 0, 0xFFFFFFFD, nullptr},
    {"COUNTER_DEC 1", 0x80, 0, 0, 0, 0, 1, 0, 0, nullptr},
    {"SKIP_ZERO 2", 0x100, 0, 0, 0, 0, 2, 0, 0, nullptr},
    {"SKIP_NONZERO 0xA", 0x200, 0, 0, 0, 0, 10, 0, 0, nullptr},
    {"STOP", 0x800, 0, 0, 0, 0, 0, 0, 0, nullptr},
    {"LOG_CLEAR", 0x1000, 0, 0, 0, 0, 0, 0, 0, nullptr},
    {"LOG_SAVE Session", 0x2000, 0, 0, 0, 0, 0, 0, 0, "Session"},
    {"IF != 0x10", 0x10000, 0, 0, 0, 0x10, 0, 0, 0, "!="},
    {"if < 7", 0x10000, 0, 0, 0, 7, 0, 0, 0, "<"},
    {"SCOPE_SAMPLE_TIME 500", 0x20000, 0, 0, 0, 500, 0, 0, 0, nullptr},
    {"SCOPE_AXIS_POS -5", 0x40000, 0, 0, 0, 0xFFFFFFFB, 0, 0, 0, nullptr},
    {"SCOPE_AXIS_GAIN 2", 0x80000, 0, 0, 0, 2, 0, 0, 0, nullptr},
    {"log_path /Home/Logs", 0x200000, 0, 0, 0, 0, 0, 0, 0, "/Home/Logs"},
    {"log_create MyObjects", 0x400000, 0, 0, 0, 0, 0, 0, 0, "MyObjects"},
    {"log_append Old.log", 0x800000, 0, 0, 0, 0, 0, 0, 0, "Old.log"},
    {"LOG_CLOSE", 0x2000000, 0, 0, 0, 0, 0, 0, 0, nullptr},
};

TEST_F(CompilerTest, EveryKeywordMakesItsEntry) {
  for (const EntryCase& c : kEntryCases) {
    SCOPED_TRACE(c.line);
    ObjCmdScriptReset();
    CompileAll({"RD 0x2000 0", "LABEL 1"});
    ASSERT_EQ(Compile(c.line), OBJCMD_OK) << reply;
    EXPECT_EQ(reply, "");
    ASSERT_EQ(Entries(), 3);
    const CtrlCmdEntry& e = Entry(2);
    EXPECT_EQ(+e.udFlags, c.flags);
    EXPECT_EQ(+e.ubLength, c.length);
    EXPECT_EQ(+e.uwIndex, c.index);
    EXPECT_EQ(+e.ubSubIndex, c.subIndex);
    EXPECT_EQ(+e.udData, c.data);
    EXPECT_EQ(+e.ubCounter, c.counter);
    EXPECT_EQ(+e.uwLabel, c.label);
    EXPECT_EQ(+e.udArg1, c.arg1);
    EXPECT_EQ(+e.uwLine, 3);
    if (c.text)
      EXPECT_STREQ(e.pText, c.text);
    else
      EXPECT_EQ(+e.pText, nullptr);
  }
}

TEST_F(CompilerTest, WrfKeepsTheFloat) {
  CompileAll({"WRF 0x2602 1 0.1"});
  EXPECT_FLOAT_EQ(+Entry(0).fValue, 0.1f);
  uint32_t bits = 0;
  const float f = 0.1f;
  std::memcpy(&bits, &f, 4);
  EXPECT_EQ(+Entry(0).udData, bits);
}

TEST_F(CompilerTest, LabelRecordsItsOwnEntry) {
  CompileAll({"RD 0x2000 0", "RD 0x2001 0", "LABEL 4", "GOTO 4"});
  EXPECT_EQ(sScrContainer.uwLabelEntry[3], 2);
  EXPECT_EQ(+Entry(3).uwLabel, 4);
}

TEST_F(CompilerTest, WrongWordCountIsRefusedQuotingTheLine) {
  CompileAll({"RD 0x2000 0", "LABEL 1"});
  const int before = Entries();
  for (const ScriptKeyword& w : kScriptKeywords) {
    for (int words : {w.minWords - 1, w.maxWords + 1}) {
      if (words < 1) continue;
      std::string line = w.keyword;
      for (int i = 1; i < words; ++i) line += " 1";
      SCOPED_TRACE(line);
      EXPECT_EQ(Compile(line), OBJCMD_REFUSED);
      EXPECT_EQ(reply, "What ? [" + line + "]");
      EXPECT_EQ(Entries(), before);
    }
  }
  EXPECT_EQ(std::size(kScriptKeywords), 33u);  // every keyword of the language
}

TEST_F(CompilerTest, UnknownCommandNamesLineAndQuotesItAsTyped) {
  CompileAll({"", "; comment"});
  EXPECT_EQ(Compile("Read 0x2000 0"), OBJCMD_UNKNOWN);
  EXPECT_EQ(reply, "What ? line 3: [Read 0x2000 0]");
  EXPECT_EQ(Compile("  wrx\t1"), OBJCMD_UNKNOWN);
  EXPECT_EQ(reply, "What ? line 4: [  wrx\t1]");
  EXPECT_EQ(Compile("LOG_"), OBJCMD_UNKNOWN);  // no prefix matching
  EXPECT_EQ(Entries(), 0);
}

TEST_F(CompilerTest, CommentsTabsAndBlankLinesCountAsLines) {
  EXPECT_EQ(Compile(""), OBJCMD_OK);
  EXPECT_EQ(Compile("   \t  "), OBJCMD_OK);
  EXPECT_EQ(Compile("; RD 0x2000 0"), OBJCMD_OK);
  EXPECT_EQ(Compile("   ;comment"), OBJCMD_OK);
  EXPECT_EQ(reply, "");
  EXPECT_EQ(Entries(), 0);
  EXPECT_EQ(Compile("\tRD\t0x2000 \t 0 ; read the command object"), OBJCMD_OK) << reply;
  EXPECT_EQ(Compile("RD 0x2001 0 ;"), OBJCMD_OK) << reply;
  ASSERT_EQ(Entries(), 2);
  EXPECT_EQ(+Entry(0).uwLine, 5);
  EXPECT_EQ(+Entry(1).uwLine, 6);
  EXPECT_EQ(sScrContainer.uwLineCount, 6);
  // A read with only the object index: the comment does not make up the word.
  EXPECT_EQ(Compile("RD 0x2000 ; 0"), OBJCMD_REFUSED);
  EXPECT_EQ(reply, "What ? [RD 0x2000 ; 0]");
}

TEST_F(CompilerTest, GotoNeedsAnEarlierLabel) {
  CompileAll({"RD 0x2000 0"});
  EXPECT_EQ(Compile("GOTO 3"), OBJCMD_REFUSED);
  EXPECT_EQ(reply, "Error line 2: label 3 not defined");
  CompileAll({"LABEL 3", "GOTO 3"});
  EXPECT_EQ(Entries(), 3);
}

TEST_F(CompilerTest, LabelNumbersOutsideOneToNine) {
  for (const char* line : {"LABEL 0", "LABEL 10", "GOTO 0", "GOTO 10", "LABEL -1"}) {
    SCOPED_TRACE(line);
    EXPECT_EQ(Compile(line), OBJCMD_REFUSED);
    EXPECT_EQ(reply, "Error line " + std::to_string(sScrContainer.uwLineCount) + ": Label error (< 1 or > 9)");
  }
  EXPECT_EQ(Compile("LABEL one"), OBJCMD_REFUSED);
  EXPECT_EQ(reply, "What ? [LABEL one]");
  EXPECT_EQ(Entries(), 0);
}

TEST_F(CompilerTest, ALabelIsDefinedOnce) {
  CompileAll({"LABEL 1", "RD 0x2000 0", "GOTO 1"});
  EXPECT_EQ(Compile("LABEL 1"), OBJCMD_REFUSED);
  EXPECT_EQ(reply, "Error line 4: label 1 already defined");
  EXPECT_EQ(sScrContainer.uwLabelEntry[0], 0);
}

TEST_F(CompilerTest, LabelsOfAnEarlierScriptOrLineAreGone) {
  CompileAll({"LABEL 1", "RD 0x2000 0"});
  ObjCmdScriptReset();
  EXPECT_EQ(Compile("GOTO 1"), OBJCMD_REFUSED);
  EXPECT_EQ(reply, "Error line 1: label 1 not defined");
  CompileAll({"LABEL 1"});  // and may be defined afresh
}

TEST_F(CompilerTest, ResetKeepsCountersButFreesEveryText) {
  CompileAll({"DOS ls", "TRACE_SAVE a", "IF == 1"});
  sScrContainer.udCounter[0] = 5;
  ObjCmdScriptReset();
  EXPECT_EQ(Entries(), 0);
  EXPECT_EQ(sScrContainer.uwLineCount, 0);
  EXPECT_EQ(sScrContainer.udCounter[0], 5u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(+Entry(i).pText, nullptr);
}

TEST_F(CompilerTest, AReusedEntryDropsTheTextOfItsPredecessor) {
  CompileAll({"LOG_CREATE first"});
  sScrContainer.uwNumOfEntries = 0;  // the next line overwrites entry 0
  CompileAll({"RD 0x2000 0"});
  EXPECT_EQ(+Entry(0).pText, nullptr);
  EXPECT_EQ(+Entry(0).udFlags, 0u);
}

TEST_F(CompilerTest, TwoThousandEntriesThenRefusal) {
  for (int i = 0; i < CTRL_CMD_MAX_ENTRIES; ++i) ASSERT_EQ(Compile("RD 0x2000 0"), OBJCMD_OK) << i;
  EXPECT_EQ(Entries(), 2000);
  EXPECT_EQ(Compile("WRB 0x2103 0 1"), OBJCMD_REFUSED);
  EXPECT_EQ(reply, "Error: Script file is longer than 2000 lines");
  // Lines that make no entry are still fine.
  for (const char* line : {"; end of script", "", "LOG OFF", "REWIND"}) {
    EXPECT_EQ(Compile(line), OBJCMD_OK) << line;
  }
  EXPECT_EQ(Compile("NOPE"), OBJCMD_UNKNOWN);
  EXPECT_EQ(Entries(), 2000);
  EXPECT_EQ(+Entry(1999).uwLine, 2000);
}

TEST_F(CompilerTest, LineCounterDoesNotWrap) {
  sScrContainer.uwLineCount = 0xFFFE;
  EXPECT_EQ(Compile("RD 0x2000 0"), OBJCMD_OK);
  EXPECT_EQ(+Entry(0).uwLine, 0xFFFF);
  EXPECT_EQ(Compile("RD 0x2000 0"), OBJCMD_REFUSED);
  EXPECT_EQ(reply, "Error: Script file is longer than 65535 lines");
  EXPECT_EQ(sScrContainer.uwLineCount, 0xFFFF);
}

TEST(ScanWords, SplitsInPlaceAndStopsAtComments) {
  char line[] = "  wrb\t0x2103  0 ;x y";
  char* words[11];
  ASSERT_EQ(ObjCmdScanWords(line, 11, words), 3);
  EXPECT_STREQ(words[0], "wrb");
  EXPECT_STREQ(words[1], "0x2103");
  EXPECT_STREQ(words[2], "0");

  char many[] = "a b c d e f g h i j k l m";
  ASSERT_EQ(ObjCmdScanWords(many, 11, words), 11);
  EXPECT_STREQ(words[10], "k");

  char semicolonInside[] = "RD 0x2000 0;x";
  ASSERT_EQ(ObjCmdScanWords(semicolonInside, 11, words), 3);
  EXPECT_STREQ(words[2], "0;x");

  char empty[] = "";
  EXPECT_EQ(ObjCmdScanWords(empty, 11, words), 0);
}

}  // namespace
