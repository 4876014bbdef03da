// What a running script must never do: repeat a line for ever, read past
// its last entry, leave a request of its own for the next operation, end at
// a stale stop request, or see its container rewritten while it runs.
#include <gtest/gtest.h>

#include "comm/ComChannel.h"
#include "engine/Mcycle.h"
#include "objects/OBJCMD.h"
#include "objects/ScriptLoader.h"
#include "support/ScriptRunFixture.h"

namespace {

using ScriptFaults = ScriptRunFixture;

// Entries the compiler refuses, put into the container by hand as a future
// filler of the container might: the machine ends the script, it does not
// hang or index out of its tables.
TEST_F(ScriptFaults, UndecidableOrOutOfRangeEntriesEndTheScript) {
  struct Case {
    void (*make)(CtrlCmdEntry&);
    const char* message;
  };
  const Case cases[] = {
      {[](CtrlCmdEntry& e) {
         e.udFlags = SCR_FLAG_IF;
         CtrlCmdEntrySetText(e, "=<");
       },
       "Error line 2: IF =< without a value to compare\n"},
      {[](CtrlCmdEntry& e) { e.udFlags = SCR_FLAG_COUNTER_DEC, e.ubCounter = 11; },
       "Error line 2: Counter error (< 1 or > 10)\n"},
      {[](CtrlCmdEntry& e) { e.udFlags = SCR_FLAG_SKIP_ZERO, e.ubCounter = 0; },
       "Error line 2: Counter error (< 1 or > 10)\n"},
      {[](CtrlCmdEntry& e) { e.udFlags = SCR_FLAG_GOTO, e.uwLabel = 4; }, "Error line 2: label 4 not defined\n"},
  };
  for (const Case& c : cases) {
    host.texts.clear();
    ASSERT_TRUE(StartScript({"rd 0x2002 0", "stop", "rd 0x2004 0"}));
    CtrlCmdEntry& e = sScrContainer.entries[1];
    CtrlCmdEntryClear(e);
    e.uwLine = 2;
    c.make(e);
    ASSERT_TRUE(Finish(100)) << c.message;
    EXPECT_NE(Log().find(c.message), std::string::npos) << Log();
    EXPECT_EQ(Log().find("RD(D)"), std::string::npos);
  }
}

TEST_F(ScriptFaults, IfAsTheFirstEntryEndsTheScript) {
  ASSERT_TRUE(StartScript({"rd 0x2002 0", "if == 0"}));
  // Made the first entry by hand (the compiler refuses it).
  std::swap(sScrContainer.entries[0], sScrContainer.entries[1]);
  sScrContainer.uwNumOfEntries = 1;
  ASSERT_TRUE(Finish(100));
  EXPECT_NE(Log().find("Error line 2: IF == without a value to compare\n"), std::string::npos) << Log();
}

// A 2000-entry script whose skip sits at entry `at`.
::testing::AssertionResult StartSkipAt(int at) {
  std::vector<std::string> lines;
  for (int i = 0; i < CTRL_CMD_MAX_ENTRIES; ++i) lines.push_back(i == at ? "skip_zero 1" : "counter_set 2 0");
  return StartScript(lines);
}

// The message names the line two ahead, or the end of the script when that
// is past the last entry.
TEST_F(ScriptFaults, SkipsNearTheEndNameTheEndNotAnEntryBeyondIt) {
  const struct {
    int at;
    const char* message;
  } cases[] = {{1997, "Counter 1 == 0 -> skip to line 2000\n"},
               {1998, "Counter 1 == 0 -> skip to end of script\n"},
               {1999, "Counter 1 == 0 -> skip to end of script\n"}};
  for (const auto& c : cases) {
    host.texts.clear();
    ASSERT_TRUE(StartSkipAt(c.at));
    ASSERT_TRUE(Finish(10000));
    EXPECT_NE(Log().find(c.message), std::string::npos) << c.at << ": " << Log();
  }
  // The same for a false IF on the last entry.
  host.texts.clear();
  ASSERT_TRUE(Run({"rd 0x2002 0", "if == 0"}));
  EXPECT_NE(Log().find("FALSE: skip to end of script\n"), std::string::npos) << Log();
}

TEST_F(ScriptFaults, EscDuringARequestWaitsForItThenTheNextOperationGetsItsOwnAnswer) {
  controller.hold = true;
  ASSERT_TRUE(StartScript({"rd 0x2002 0", "rd 0x2004 0"}));
  Step(5);
  ASSERT_EQ(controller.requests.size(), 1u);
  ubMcFlag2 |= MC_FLAG2_SCRIPT_STOP_REQUEST;
  Step(20);
  // The request is still on its way: the script waits for it.
  EXPECT_EQ(uwMcycleState, MC_SCRIPT_OBJECT);
  EXPECT_EQ(ubCQWriteSDOState, 2);
  controller.hold = false;
  ASSERT_TRUE(Finish(100));
  EXPECT_EQ(ubCQWriteSDOState, 1);
  for (const CqElement& slot : cqDataQueue) EXPECT_EQ(+slot.ubStatus, CQ_FREE);
  EXPECT_EQ(controller.requests.size(), 1u);  // the second read never went out

  host.texts.clear();
  ASSERT_TRUE(Run({"rd 0x2004 0"}));
  EXPECT_NE(Log().find("RD(D)  2004[00] = 12345678 = 305419896\n"), std::string::npos) << Log();
}

TEST_F(ScriptFaults, AnEscPressedWhileIdleDoesNotEndTheNextScript) {
  ubMcFlag2 |= MC_FLAG2_SCRIPT_STOP_REQUEST;
  Step(3);
  ASSERT_TRUE(Run({"rd 0x2002 0"}));
  EXPECT_NE(Log().find("RD(W)  2002[00] = 1234 = 4660\n"), std::string::npos) << Log();
}

TEST_F(ScriptFaults, AbortedReadIsSentFourTimesThenTransmissionError) {
  controller.abortAll = true;
  ASSERT_TRUE(Run({"rd 0x2002 0", "rd 0x2004 0"}));
  EXPECT_EQ(Requests(), std::vector<std::string>(4, "40 02 20 00 00 00 00 00"));
  EXPECT_NE(Log().find("Transmission ERROR\n"), std::string::npos);
  EXPECT_EQ(ubCQWriteSDOState, 1);
}

// While a script runs (or waits to start), its container is not rewritten:
// neither by a new load, nor by a channel the operator chooses, which the
// ring refuses.
TEST_F(ScriptFaults, TheContainerOfARunningScriptStaysAsItIs) {
  ScriptTempDir dir;
  controller.hold = true;
  ASSERT_TRUE(StartScript({"rd 0x2002 0", "log_create objects", "dos true"}));
  Step(4);
  ASSERT_EQ(uwMcycleState, MC_SCRIPT_OBJECT);
  const char* text = sScrContainer.entries[1].pText;

  host.ints[{1, MAIN_RING_COM_CHANNEL}] = COM_RING_UDP;
  MAIN_RING_COM_CHANNEL_Callback(1, MAIN_RING_COM_CHANNEL, EVENT_VAL_CHANGED, nullptr, 0, 0);
  EXPECT_EQ((host.ints[{1, MAIN_RING_COM_CHANNEL}]), 0);  // back at the link in use
  EXPECT_EQ(ubCqDataChannel, CQ_LINK_NONE);
  EXPECT_EQ(sScrContainer.uwNumOfEntries, 3);
  EXPECT_EQ(+sScrContainer.entries[1].pText, text);
  EXPECT_STREQ(text, "objects");

  ubCqDataChannel = CQ_LINK_SERIAL;  // the loader needs a link
  host.fileAnswer = dir.File("other.scr");
  std::FILE* f = std::fopen(host.fileAnswer.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fputs("wrw 0x2000 0 1\n", f);
  std::fclose(f);
  EXPECT_EQ(McycleLoadScriptFile(true), SCRIPT_LOAD_BUSY);
  ubCqDataChannel = CQ_LINK_NONE;
  EXPECT_EQ(+sScrContainer.entries[1].pText, text);

  ubMcFlag2 |= MC_FLAG2_SCRIPT_STOP_REQUEST;
  controller.hold = false;
  ASSERT_TRUE(Finish(100));
  EXPECT_NE(Log().find("Channel not changed: an operation is running (Esc stops a script)\n"), std::string::npos);
  EXPECT_NE(Log().find("Script not loaded: an operation is running\n"), std::string::npos);
  // Idle, a new channel starts from an empty script container.
  McycleChannelContainersInit();
  EXPECT_EQ(sScrContainer.uwNumOfEntries, 0);
  EXPECT_EQ(+sScrContainer.entries[1].pText, nullptr);
}

}  // namespace
