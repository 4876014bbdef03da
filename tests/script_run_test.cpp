// Running scripts through the real engine tick: flow of control (counters,
// labels, IF, REWIND, STOP), delays in engine time, what the log shows with
// script logging on and off, and batch mode.
#include <gtest/gtest.h>

#include "engine/Mcycle.h"
#include "objects/OBJCMD.h"
#include "support/ScriptRunFixture.h"

namespace {

using ScriptRun = ScriptRunFixture;

const char* const kRead2002 = "40 02 20 00 00 00 00 00";

TEST_F(ScriptRun, CounterLoopRunsItsBodyThreeTimesThenSkipsTheGoto) {
  ASSERT_TRUE(Run({"counter_set 1 3", "label 1", "rd 0x2002 0", "counter_dec 1", "skip_zero 1", "goto 1",
                   "rd 0x2004 0"}));
  EXPECT_EQ(Requests(), (std::vector<std::string>{kRead2002, kRead2002, kRead2002, "40 04 20 00 00 00 00 00"}));
  const std::string log = Log();
  EXPECT_EQ(Count(log, "RD(W)  2002[00] = 1234 = 4660\n"), 3u) << log;
  for (const char* line : {"Counter 1 dec = 2\n", "Counter 1 dec = 1\n", "Counter 1 dec = 0\n",
                           "Counter 1 == 0 -> skip to line 7\n"})
    EXPECT_EQ(Count(log, line), 1u) << line << log;
  EXPECT_EQ(Count(log, "GOTO label 1, line 2\n"), 2u) << log;
  EXPECT_EQ(sScrContainer.udCounter[0], 0u);
}

TEST_F(ScriptRun, TheLoopOfTheHelpTextWithoutBody) {
  // counter_set, label, counter_dec, skip_zero, goto: the body is empty.
  ASSERT_TRUE(Run({"counter_set 1 3", "label 1", "counter_dec 1", "skip_zero 1", "goto 1"}));
  const std::string log = Log();
  EXPECT_EQ(Count(log, "GOTO label 1, line 2\n"), 2u) << log;
  EXPECT_EQ(Count(log, "Counter 1 == 0 -> skip to end of script\n"), 1u) << log;
  EXPECT_EQ(uwMcycleState, MC_STATE_IDLE);
}

TEST_F(ScriptRun, CounterBelowZeroAndSkipNonzeroEndOrSkip) {
  ASSERT_TRUE(Run({"counter_set 2 1", "skip_nonzero 2", "rd 0x2004 0", "counter_dec 2", "counter_dec 2",
                   "rd 0x2002 0"}));
  const std::string log = Log();
  EXPECT_NE(log.find("Counter 2 != 0 -> skip to line 4\n"), std::string::npos) << log;
  EXPECT_NE(log.find("Counter 2 dec = 0\nCounter 2 error: counter < 0\n"), std::string::npos) << log;
  EXPECT_TRUE(Requests().empty());  // the skipped read and the one after the error
}

struct IfCase {
  uint32_t value;  // what the controller holds
  const char* op;
  const char* constant;
  bool truth;
};

class ScriptIf : public ScriptRunFixture, public ::testing::WithParamInterface<IfCase> {};

TEST_P(ScriptIf, ComparesTheValueReadJustBefore) {
  const IfCase& c = GetParam();
  controller.Set(0x2002, 0, c.value, 2);
  ASSERT_TRUE(Run({"rd 0x2002 0", std::string("if ") + c.op + " " + c.constant, "wrw 0x2000 0 7", "rd 0x2004 0"}));
  char head[64];
  std::snprintf(head, sizeof head, "IF 0x%04X %s 0x%04X\n", c.value,
                c.op, static_cast<uint32_t>(ObjCmdStringToNumber(c.constant)));
  const std::string log = Log();
  EXPECT_NE(log.find(head), std::string::npos) << log;
  EXPECT_NE(log.find(c.truth ? "TRUE: next line\n" : "FALSE: skip to line 4\n"), std::string::npos) << log;
  const bool wrote = controller.Value(0x2000, 0) == 7;
  EXPECT_EQ(wrote, c.truth);
  EXPECT_EQ(Requests().back(), "40 04 20 00 00 00 00 00");  // the line after the skipped one runs
}

INSTANTIATE_TEST_SUITE_P(Operators, ScriptIf,
                         ::testing::Values(IfCase{0x1234, "==", "0x1234", true}, IfCase{0x1234, "==", "4661", false},
                                           IfCase{0x1234, "!=", "0", true}, IfCase{0x1234, "!=", "4660", false},
                                           IfCase{0x1234, ">", "0x1233", true}, IfCase{0x1234, ">", "0x1234", false},
                                           IfCase{0x1234, "<", "0x1235", true}, IfCase{0xFFFF, "<", "-1", true},
                                           IfCase{0x1234, "<", "0x1234", false}));

TEST_F(ScriptRun, RewindRepeatsUntilEscAndEveryReadAsksWithDataZero) {
  ASSERT_TRUE(StartScript({"rd 0x2002 0", "rewind", "dly 10"}));
  Step(200);
  EXPECT_EQ(uwMcycleState >> 8, 0x06);
  const size_t reads = controller.requests.size();
  EXPECT_GE(reads, 5u);
  // The entry now holds the value read; the next request must not carry it.
  EXPECT_EQ(+sScrContainer.entries[0].udData, 0x1234u);
  for (const std::string& r : Requests()) EXPECT_EQ(r, kRead2002);

  ubMcFlag2 |= MC_FLAG2_SCRIPT_STOP_REQUEST;
  ASSERT_TRUE(Finish(50));
  EXPECT_LE(controller.requests.size(), reads + 1);
  EXPECT_EQ(ubMcFlag2 & (MC_FLAG2_SCRIPT_STOP_REQUEST | MC_FLAG2_SCRIPT_REWIND), 0);
}

TEST_F(ScriptRun, StopEndsTheScriptThere) {
  ASSERT_TRUE(Run({"rd 0x2002 0", "stop", "rd 0x2004 0"}));
  EXPECT_EQ(Requests(), std::vector<std::string>{kRead2002});
  EXPECT_NE(Log().find("Stop\n"), std::string::npos);
}

// Ticks spent in the delay step: it ends on the first tick on which more than
// the delay has passed, so 100 ms take 51 ticks of 2 ms.
int DelayTicks(uint32_t startTime, const char* line) {
  udMcTimeTick = startTime;
  EXPECT_TRUE(StartScript({line}));
  int ticks = 0;
  for (int i = 0; i < 100000 && ScriptActive(); ++i) {
    McycleTimerCallback();
    ticks += uwMcycleState == MC_SCRIPT_DELAY;
  }
  return ticks;
}

TEST_F(ScriptRun, DelayCountsEngineMillisecondsAlsoAcrossTheWrap) {
  EXPECT_EQ(DelayTicks(1000, "dly 100"), 51);
  EXPECT_EQ(DelayTicks(0xFFFFFFFFu - 60, "dly 100"), 51);  // the counter wraps halfway
  EXPECT_EQ(DelayTicks(0xFFFFFFFEu, "dly 65535"), 32768);
  EXPECT_EQ(DelayTicks(5, "dly 0"), 1);
  EXPECT_NE(Log().find("DLY  100 ms\n"), std::string::npos);
}

TEST_F(ScriptRun, ScriptLoggingShowsOrHidesTheFrameLines) {
  ASSERT_TRUE(Run({"rd 0x2002 0", "dly 4"}));
  std::string log = Log();
  // A read of a width is one message: its value.
  for (const char* line : {"TX-SDO: 40 02 20 00 00 00 00 00\n",
                           "RX-SDO: 4B 02 20 00 34 12 00 00\nRD(W)  2002[00] = 1234 = 4660\n", "DLY  4 ms\n"})
    EXPECT_NE(log.find(line), std::string::npos) << line << log;
  EXPECT_EQ(log.find("RX:"), std::string::npos) << log;

  host.texts.clear();
  std::string reply;
  ASSERT_EQ(ObjCmdInterpreter("log off", reply), OBJCMD_OK);
  ASSERT_TRUE(Run({"rd 0x2002 0", "dly 4", "wrb 0x2103 0 1"}));
  log = Log();
  EXPECT_EQ(log, "RD(W)  2002[00] = 1234 = 4660\n");
}

TEST_F(ScriptRun, BatchModeWritesTheMessagesToStandardOutput) {
  ubMcFlag3 |= MC_FLAG3_BATCH_MODE;
  ::testing::internal::CaptureStdout();
  const bool done = Run({"rd 0x2002 0", "rf 0x2602 1", "stop"});
  const std::string out = ::testing::internal::GetCapturedStdout();
  ubMcFlag3 &= static_cast<uint8_t>(~MC_FLAG3_BATCH_MODE);
  ASSERT_TRUE(done);
  EXPECT_NE(out.find("RD(W)  2002[00] = 1234 = 4660\n"), std::string::npos) << out;
  EXPECT_NE(out.find("RD(F)  2602[01] = 3F800000 = 1.000000\n"), std::string::npos) << out;
  EXPECT_NE(out.find("Stop\n"), std::string::npos) << out;
  EXPECT_EQ(Log(), "");
}

TEST_F(ScriptRun, ReadLinesFollowTheAnswersSpecifier) {
  controller.Set(0x2004, 0, 0xFFFFFFFE, 4);
  ASSERT_TRUE(Run({"rd 0x2103 0", "rd 0x2004 0", "rd 0x2119 0"}));
  const std::string log = Log();
  EXPECT_NE(log.find("RD(B)  2103[00] = 05 = 5\n"), std::string::npos) << log;
  EXPECT_NE(log.find("RD(D)  2004[00] = FFFFFFFE = -2\n"), std::string::npos) << log;
  // A 3-byte answer (0x47) is shown as its bytes.
  EXPECT_NE(log.find("RX:  47  19  21  00  EF  CD  AB  00\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("2119[00] ="), std::string::npos) << log;

  // With script logging off the bytes are still the only way to see it.
  host.texts.clear();
  ubMcFlag3 |= MC_FLAG3_SCRIPT_LOG_OFF;
  ASSERT_TRUE(Run({"rd 0x2119 0"}));
  EXPECT_EQ(Log(), "RX:  47  19  21  00  EF  CD  AB  00\n");
}

TEST_F(ScriptRun, WritesSendTheirWidthAndTheFloatBytes) {
  ASSERT_TRUE(Run({"wrb 0x2103 0 0x1FF", "wrw 0x2002 0 -1", "wrd 0x2602 1 0x12345678", "wrf 0x2602 1 1.0"}));
  EXPECT_EQ(Requests(), (std::vector<std::string>{"2F 03 21 00 FF 00 00 00", "2B 02 20 00 FF FF 00 00",
                                                  "23 02 26 01 78 56 34 12", "23 02 26 01 00 00 80 3F"}));
}

}  // namespace
