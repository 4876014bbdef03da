// The main panel's command line: Enter compiles and runs the line, the
// history keeps 21 lines for the arrow keys, and nothing is compiled while an
// operation runs.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/Mcycle.h"
#include "objects/CommandLine.h"
#include "support/ScriptRunFixture.h"

namespace {

class ScriptCommandLine : public ScriptRunFixture {
 protected:
  void SetUp() override {
    ScriptRunFixture::SetUp();
    std::memset(ubCtrlCmdLineBufQueue, 0, sizeof ubCtrlCmdLineBufQueue);
    ubCtrlCmdLineBufCounterIn = ubCtrlCmdLineBufCounterOut = ubCtrlCmdLineBufCount = 0;
  }
  void Enter(const std::string& line) {
    host.texts[{1, MAIN_TXT_CMDLINE}] = line;
    MAIN_TXT_CMDLINE_Callback(1, MAIN_TXT_CMDLINE, EVENT_COMMIT, nullptr, 0, 0);
  }
  std::string Key(int key) {
    MAIN_TXT_CMDLINE_Callback(1, MAIN_TXT_CMDLINE, EVENT_KEYPRESS, nullptr, key, 0);
    return host.Text(1, MAIN_TXT_CMDLINE);
  }
};

TEST_F(ScriptCommandLine, EnterRunsTheLineAsAScriptOfOneLine) {
  Enter("rd 0x2002 0");
  EXPECT_EQ(ubMcSignalQueueCounter, 1);
  ASSERT_TRUE(Finish(100));
  EXPECT_NE(Log().find("RD(W)  2002[00] = 1234 = 4660\n"), std::string::npos) << Log();

  // Replies of immediate commands and errors go to the log; nothing runs.
  Enter("log off");
  Enter("rd 0x2002");
  Enter("frobnicate 1");
  EXPECT_EQ(ubMcSignalQueueCounter, 0);
  ASSERT_TRUE(Finish(100));
  const std::string log = Log();
  EXPECT_NE(log.find("Script logging off\nWhat ? [rd 0x2002]\nWhat ? line 1: [frobnicate 1]\n"), std::string::npos)
      << log;
}

TEST_F(ScriptCommandLine, AGotoReachesOnlyLabelsOfItsOwnLine) {
  Enter("label 1");
  ASSERT_TRUE(Finish(100));
  Enter("goto 1");
  ASSERT_TRUE(Finish(100));
  EXPECT_NE(Log().find("Error line 1: label 1 not defined\n"), std::string::npos) << Log();
}

TEST_F(ScriptCommandLine, NothingIsCompiledWhileAnOperationRuns) {
  controller.hold = true;
  Enter("rd 0x2002 0");
  Step(3);
  ASSERT_EQ(uwMcycleState >> 8, 0x06);
  Enter("wrw 0x2000 0 1");
  EXPECT_EQ(sScrContainer.uwNumOfEntries, 1);
  EXPECT_EQ(+sScrContainer.entries[0].uwIndex, 0x2002);
  EXPECT_EQ(ubCtrlCmdLineBufCount, 1);  // not kept either
  // A line typed before the tick took the first one's signal is refused too.
  controller.hold = false;
  ASSERT_TRUE(Finish(100));
  Enter("rd 0x2004 0");
  Enter("rd 0x2002 0");
  EXPECT_EQ(+sScrContainer.entries[0].uwIndex, 0x2004);
  ASSERT_TRUE(Finish(100));
  EXPECT_EQ(Count(Log(), "Command not run: an operation is running (Esc stops a script)\n"), 2u) << Log();
  EXPECT_EQ(controller.Value(0x2000, 0), 0u);
}

TEST_F(ScriptCommandLine, HistoryKeeps21LinesAndTheArrowsStayInsideIt) {
  for (int i = 1; i <= 25; ++i) {
    Enter("dly " + std::to_string(i));
    ASSERT_TRUE(Finish(200));
  }
  Enter("dly 25");  // the same line again is not kept twice
  ASSERT_TRUE(Finish(200));
  EXPECT_EQ(ubCtrlCmdLineBufCount, 21);
  EXPECT_EQ(ubCtrlCmdLineBufCounterIn, 25 % 21);

  // Up from the newest line: 24, 23 ... down to the oldest kept, 5.
  for (int i = 24; i >= 5; --i) EXPECT_EQ(Key(PANEL_KEY_UP), "dly " + std::to_string(i));
  EXPECT_EQ(Key(PANEL_KEY_UP), "dly 5");
  EXPECT_EQ(Key(PANEL_KEY_UP), "dly 5");
  for (int i = 6; i <= 25; ++i) EXPECT_EQ(Key(PANEL_KEY_DOWN), "dly " + std::to_string(i));
  EXPECT_EQ(Key(PANEL_KEY_DOWN), "dly 25");
  EXPECT_LT(ubCtrlCmdLineBufCounterOut, CMDLINE_HISTORY_LINES);

  // A line entered again after browsing is the newest one.
  host.texts[{1, MAIN_TXT_CMDLINE}] = "dly 7";
  Enter("dly 7");
  ASSERT_TRUE(Finish(200));
  EXPECT_EQ(Key(PANEL_KEY_UP), "dly 25");
  EXPECT_EQ(Key(PANEL_KEY_DOWN), "dly 7");
}

TEST_F(ScriptCommandLine, ArrowsWithAFewLinesOrNone) {
  EXPECT_EQ(Key(PANEL_KEY_UP), "");
  EXPECT_EQ(Key(PANEL_KEY_DOWN), "");
  Enter("dly 1");
  ASSERT_TRUE(Finish(100));
  Enter("dly 2");
  ASSERT_TRUE(Finish(100));
  EXPECT_EQ(Key(PANEL_KEY_UP), "dly 1");
  EXPECT_EQ(Key(PANEL_KEY_UP), "dly 1");
  EXPECT_EQ(Key(PANEL_KEY_DOWN), "dly 2");
  EXPECT_EQ(Key(PANEL_KEY_DOWN), "dly 2");
  // A line too long for the history still runs.
  Enter("dly 1 ; " + std::string(200, 'x'));
  EXPECT_EQ(ubCtrlCmdLineBufCount, 2);
  EXPECT_EQ(ubMcSignalQueueCounter, 1);
  ASSERT_TRUE(Finish(100));
}

}  // namespace
