// Script files: line ends, long and binary lines, the first error stops the
// load and leaves nothing to run; the panels' loader around it.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "comm/ComQueue.h"
#include "engine/McycleFlags.h"
#include "objects/ScriptLoader.h"
#include "support/EngineFixture.h"
#include "support/ScriptFixture.h"
#include "support/TempDir.h"

namespace {

using namespace std::string_literals;

class LoaderTest : public ScriptFixture {
 protected:
  uint8_t Load(const std::string& content, bool stop = true) {
    return McycleCompileScriptFile(dir.Write("s.pms", content), stop, reply);
  }
  TempDir dir;
};

TEST_F(LoaderTest, CrLfAndLfLinesAndALastLineWithoutLineEnd) {
  EXPECT_EQ(Load("RD 0x2000 0\r\nWRB 0x2103 0 1\r\n\r\n; done\r\nRD 0x2001 0"), SCRIPT_LOAD_OK) << reply;
  ASSERT_EQ(Entries(), 3);
  EXPECT_EQ(+Entry(1).ubLength, 1);
  EXPECT_EQ(+Entry(1).udData, 1u);
  EXPECT_EQ(+Entry(2).uwIndex, 0x2001);
  EXPECT_EQ(+Entry(2).uwLine, 5);
  EXPECT_EQ(sScrContainer.uwLineCount, 5);

  EXPECT_EQ(Load("RD 0x2000 0\nLOG_CREATE Name\r\n"), SCRIPT_LOAD_OK) << reply;
  EXPECT_EQ(Entries(), 2);
  EXPECT_STREQ(Entry(1).pText, "Name");  // no CR kept in a text argument
  EXPECT_EQ(sScrContainer.uwLineCount, 2);
}

TEST_F(LoaderTest, ByteOrderMarkAndEmptyFile) {
  EXPECT_EQ(Load("\xEF\xBB\xBFRD 0x2000 0\n"), SCRIPT_LOAD_OK) << reply;
  EXPECT_EQ(Entries(), 1);
  EXPECT_EQ(Load(""), SCRIPT_LOAD_OK);
  EXPECT_EQ(Entries(), 0);
  EXPECT_EQ(reply, "");
}

TEST_F(LoaderTest, ALongLineIsRefusedNotSplit) {
  const std::string tail = "RD 0x2000 0";
  const std::string longLine = "; " + std::string(260, 'x') + " " + tail;
  EXPECT_EQ(Load("RD 0x2001 0\n" + longLine + "\nRD 0x2002 0\n"), SCRIPT_LOAD_REFUSED);
  EXPECT_EQ(reply, "Error line 2: line longer than 255 characters");
  EXPECT_EQ(Entries(), 0);

  // 255 characters and a CR are fine.
  EXPECT_EQ(Load(";" + std::string(254, 'c') + "\r\nRD 0x2000 0\n"), SCRIPT_LOAD_OK) << reply;
  EXPECT_EQ(Entries(), 1);
  // A megabyte without a line end is one long line.
  EXPECT_EQ(Load(std::string(1 << 20, 'a')), SCRIPT_LOAD_REFUSED);
  EXPECT_EQ(reply, "Error line 1: line longer than 255 characters");
}

TEST_F(LoaderTest, BinaryContentIsRefused) {
  EXPECT_EQ(Load("RD 0x2000 0\n; fine\nRD 0x2000\0 0\n"s), SCRIPT_LOAD_REFUSED);
  EXPECT_EQ(reply, "Error line 3: binary content");
  EXPECT_EQ(Entries(), 0);
  EXPECT_EQ(Load("\x7F" "ELF\x02\x01\x01\0\0\0"s), SCRIPT_LOAD_REFUSED);
  EXPECT_EQ(reply, "Error line 1: binary content");
  EXPECT_EQ(Load("RD 0x2000 0\rRD 0x2001 0\r"), SCRIPT_LOAD_REFUSED);  // CR alone is no line end
  EXPECT_EQ(reply, "Error line 1: binary content");
}

TEST_F(LoaderTest, FirstErrorStopsTheLoadAndNothingRemainsToRun) {
  ubMcFlag2 &= static_cast<uint8_t>(~MC_FLAG2_SCRIPT_REWIND);
  EXPECT_EQ(Load("REWIND\nLABEL 1\nRD 0x2000 0\nFOO\nRD 0x2000\nRD 0x2001 0\n"), SCRIPT_LOAD_UNKNOWN);
  EXPECT_EQ(reply, "What ? line 4: [FOO]");
  EXPECT_EQ(Entries(), 0);
  EXPECT_EQ(sScrContainer.uwLabelEntry[0], CTRL_CMD_LABEL_UNDEFINED);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(+Entry(i).udFlags, 0u) << i;
  EXPECT_FALSE(ubMcFlag2 & MC_FLAG2_SCRIPT_REWIND);  // the failed script's rewind does not outlive it
}

TEST_F(LoaderTest, WithoutStopEveryErrorIsReportedAndStillNothingRuns) {
  // Every reply names its line, also those that would not on the command line.
  EXPECT_EQ(Load("RD 0x2000 0\nRD 0x2000\nFOO\nGOTO 2\nTRACE_PATH /" + std::string(200, 'p') + "\n", false),
            SCRIPT_LOAD_REFUSED);
  EXPECT_EQ(reply, "What ? [RD 0x2000] in line 2\nWhat ? line 3: [FOO]\nError line 4: label 2 not defined\n"
                   "Error: save path to big! (> 200 byte) in line 5");
  EXPECT_EQ(Entries(), 0);
}

TEST_F(LoaderTest, AGoodScriptKeepsItsRewind) {
  EXPECT_EQ(Load("RD 0x2000 0\nREWIND\n"), SCRIPT_LOAD_OK);
  EXPECT_TRUE(ubMcFlag2 & MC_FLAG2_SCRIPT_REWIND);
}

TEST_F(LoaderTest, TwoThousandEntriesWithCommentsLoadTheNextEntryDoesNot) {
  std::string script = "; header\n";
  for (int i = 0; i < 2000; ++i) script += "RD 0x2000 0\n";
  script += "; trailer\n\nLOG ON\n";
  EXPECT_EQ(Load(script), SCRIPT_LOAD_OK) << reply;
  EXPECT_EQ(Entries(), 2000);
  EXPECT_EQ(Load(script + "RD 0x2000 0\n"), SCRIPT_LOAD_REFUSED);
  EXPECT_EQ(reply, "Error: Script file is longer than 2000 lines");
  EXPECT_EQ(Entries(), 0);
}

TEST_F(LoaderTest, EndlessOrHugeInputEnds) {
  // A device without end: the first line is too long.
  for (bool stop : {true, false}) {
    EXPECT_EQ(McycleCompileScriptFile("/dev/zero", stop, reply), SCRIPT_LOAD_REFUSED);
    EXPECT_EQ(reply, "Error line 1: line longer than 255 characters");
  }
  // More lines than the line counter holds, also when every error is wanted.
  EXPECT_EQ(Load(std::string(70000, '\n'), false), SCRIPT_LOAD_REFUSED);
  EXPECT_EQ(reply, "Error: Script file is longer than 65535 lines");
  // Long lines on and on: each is reported once.
  std::string longLines;
  for (int i = 0; i < 3; ++i) longLines += std::string(1000, 'x') + "\n";
  EXPECT_EQ(Load(longLines + "RD 0x2000\n", false), SCRIPT_LOAD_REFUSED);
  EXPECT_EQ(reply, "Error line 1: line longer than 255 characters\nError line 2: line longer than 255 characters\n"
                   "Error line 3: line longer than 255 characters\nWhat ? [RD 0x2000] in line 4");
}

TEST_F(LoaderTest, MissingFileOrFolder) {
  EXPECT_EQ(McycleCompileScriptFile(dir.Path() + "/none.pms", true, reply), SCRIPT_LOAD_OPEN_FAILED);
  EXPECT_EQ(reply, "Can't open File");
  EXPECT_EQ(McycleCompileScriptFile(dir.Path(), true, reply), SCRIPT_LOAD_OPEN_FAILED);
  EXPECT_EQ(reply, "Can't open File");
  EXPECT_EQ(Entries(), 0);
}

TEST_F(LoaderTest, ExampleScriptCompiles) {
  const std::string path = std::string(STROKEDESK_SOURCE_DIR) + "/resources/example.scr";
  ASSERT_EQ(McycleCompileScriptFile(path, true, reply), SCRIPT_LOAD_OK) << reply;
  uint32_t kinds = 0;
  int reads = 0;
  for (int i = 0; i < Entries(); ++i) {
    kinds |= Entry(i).udFlags;
    if (Entry(i).udFlags == 0 && Entry(i).ubLength == 0) ++reads;
  }
  EXPECT_GE(reads, 2);
  for (uint32_t kind : {SCR_FLAG_COUNTER_SET, SCR_FLAG_COUNTER_DEC, SCR_FLAG_SKIP_ZERO, SCR_FLAG_GOTO, SCR_FLAG_IF,
                        SCR_FLAG_LOG_CREATE, SCR_FLAG_LOG_OBJECT, SCR_FLAG_LOG_CLOSE})
    EXPECT_TRUE(kinds & kind) << std::hex << kind;
}

// --- The panels' loader -----------------------------------------------------------------

class PanelLoaderTest : public EngineFixture {
 protected:
  void SetUp() override {
    EngineFixture::SetUp();
    CtrlCmdListInit();
    ubCqDataChannel = 1;
  }
  void TearDown() override {
    ubCqDataChannel = 0;
    CtrlCmdListInit();
    EngineFixture::TearDown();
  }
  // Shows what the loader queued for the log window.
  std::string Shown() {
    for (int i = 0; i < 30; ++i) HmiGetQueue();
    return Log();
  }
  TempDir dir;
};

TEST_F(PanelLoaderTest, NoLinkNoDialog) {
  ubCqDataChannel = 0;
  host.fileAnswer = dir.Write("a.pms", "RD 0x2000 0\n");
  EXPECT_EQ(McycleLoadScriptFile(true), SCRIPT_LOAD_NO_LINK);
  EXPECT_EQ(Shown(), "Target not connected!\n");
  EXPECT_TRUE(host.fileAsked.empty());
  EXPECT_EQ(ubMcSignalQueueCounter, 0);
}

TEST_F(PanelLoaderTest, AGoodFileStartsTheScript) {
  host.fileAnswer = dir.Write("a.scr", "RD 0x2000 0\nRD 0x2001 0\n");
  EXPECT_EQ(McycleLoadScriptFile(true), SCRIPT_LOAD_OK);
  EXPECT_EQ(host.fileAsked, (std::vector<std::string>{"*.pms", "*.pms;*.scr", "Select Scripfile"}));
  EXPECT_EQ(sScrContainer.uwNumOfEntries, 2);
  EXPECT_EQ(McycleSignalQueueGet(), MC_SIG_SCRIPT);
  EXPECT_EQ(McycleSignalQueueGet(), 0);
  EXPECT_EQ(Shown(), "");
}

TEST_F(PanelLoaderTest, ABadFileShowsItsErrorAndStartsNothing) {
  host.fileAnswer = dir.Write("bad.pms", "RD 0x2000 0\nWRB 0x2103 0\n");
  EXPECT_EQ(McycleLoadScriptFile(true), SCRIPT_LOAD_REFUSED);
  EXPECT_EQ(Shown(), "What ? [WRB 0x2103 0] in line 2\n");
  EXPECT_EQ(ubMcSignalQueueCounter, 0);
  EXPECT_EQ(sScrContainer.uwNumOfEntries, 0);
}

TEST_F(PanelLoaderTest, OnlyCommentsStartNothing) {
  host.fileAnswer = dir.Write("c.pms", "; nothing\nLOG OFF\n");
  EXPECT_EQ(McycleLoadScriptFile(true), SCRIPT_LOAD_OK);
  EXPECT_EQ(ubMcSignalQueueCounter, 0);
}

TEST_F(PanelLoaderTest, CancelledOrUnreadable) {
  host.fileAnswer = "";
  EXPECT_EQ(McycleLoadScriptFile(true), SCRIPT_LOAD_CANCELLED);
  host.fileAnswer = dir.Path() + "/missing.pms";
  EXPECT_EQ(McycleLoadScriptFile(true), SCRIPT_LOAD_OPEN_FAILED);
  EXPECT_EQ(Shown(), "Can't open File\n");
  EXPECT_EQ(ubMcSignalQueueCounter, 0);
}

TEST_F(PanelLoaderTest, ManyErrorsAreShownInPart) {
  std::string script;
  for (int i = 0; i < 50; ++i) script += "BAD\n";
  host.fileAnswer = dir.Write("many.pms", script);
  EXPECT_EQ(McycleLoadScriptFile(false), SCRIPT_LOAD_UNKNOWN);
  const std::string shown = Shown();
  EXPECT_NE(shown.find("What ? line 20: [BAD]\n"), std::string::npos);
  EXPECT_EQ(shown.find("What ? line 21: [BAD]"), std::string::npos);
  EXPECT_NE(shown.find("... and 30 more errors\n"), std::string::npos);
}

TEST_F(PanelLoaderTest, ARunningOrWaitingOperationKeepsItsScript) {
  host.fileAnswer = dir.Write("first.pms", "DOS echo first\nRD 0x2000 0\n");
  ASSERT_EQ(McycleLoadScriptFile(true), SCRIPT_LOAD_OK);
  char* const text = sScrContainer.entries[0].pText;

  // The start signal still waits for the tick.
  host.fileAnswer = dir.Write("second.pms", "WRB 0x2103 0 1\n");
  EXPECT_EQ(McycleLoadScriptFile(true), SCRIPT_LOAD_BUSY);
  // Now the script machine runs.
  ASSERT_EQ(McycleSignalQueueGet(), MC_SIG_SCRIPT);
  uwMcycleState = 0x0601;
  EXPECT_EQ(McycleLoadScriptFile(true), SCRIPT_LOAD_BUSY);
  EXPECT_EQ(sScrContainer.uwNumOfEntries, 2);
  EXPECT_EQ(+sScrContainer.entries[0].pText, text);
  EXPECT_STREQ(text, "echo first");
  EXPECT_NE(Shown().find("Script not loaded: an operation is running\n"), std::string::npos);

  uwMcycleState = MC_STATE_IDLE;
  EXPECT_EQ(McycleLoadScriptFile(true), SCRIPT_LOAD_OK);
  EXPECT_EQ(+sScrContainer.entries[0].ubLength, 1);
}

}  // namespace
