// The return stack, the dispatcher and the basic machine's signal table.
#include <cstring>
#include <string>

#include "comm/ComQueue.h"
#include "params/CtrlCmd.h"
#include "scope/scope.h"
#include "support/EngineFixture.h"

class Dispatch : public EngineFixture {};

TEST_F(Dispatch, StartStepResetsTheEngineTables) {
  ubBatchStateCnt = 3;
  uwMcBatchStateQueue[2] = 0x0600;
  udMcIpAddr = 0xC0A80001;
  ubMcComSpeed = 0;
  ubHiTxtBoxPrio = 4;
  uwMcStackMemory[5] = 0x1234;
  McycleStateMachine(MC_SIG_START);
  EXPECT_EQ(ubBatchStateCnt, 0);
  EXPECT_EQ(uwMcBatchStateQueue[2], 0);
  EXPECT_EQ(udMcIpAddr, 0u);
  EXPECT_EQ(ubMcComSpeed, 1);
  EXPECT_EQ(ubHiTxtBoxPrio, ' ');
  EXPECT_EQ(uwMcStackMemory[5], 0);
  EXPECT_EQ(uwMcycleState, MC_STATE_IDLE);
}

TEST_F(Dispatch, StackPopOnEmptyGives255AndFullPushIsRefused) {
  EXPECT_EQ(McyclePop(), MC_STACK_EMPTY);
  EXPECT_EQ(swStackPointer, 0);
  for (int i = 0; i < MC_STACK_SIZE; ++i) ASSERT_EQ(McyclePush(static_cast<uint16_t>(0x0600 + i)), 0);
  EXPECT_EQ(McyclePush(0x0700), 1);
  EXPECT_EQ(swStackPointer, MC_STACK_SIZE);
  for (int i = MC_STACK_SIZE - 1; i >= 0; --i) ASSERT_EQ(McyclePop(), 0x0600 + i);
  EXPECT_EQ(McyclePop(), MC_STACK_EMPTY);
}

TEST_F(Dispatch, CalleeReturnsToTheCallersPushedStep) {
  // A caller at 0x1F00 pushes its continuation and starts machine 0x23.
  McyclePush(0x2305);
  uwMcycleState = 0x2300;
  // Machine 0x23 reads the clock; with no link it ends after four time-outs.
  for (int i = 0; i < 1000 && uwMcycleState != MC_STATE_IDLE; ++i) Tick();
  EXPECT_EQ(uwMcycleState, MC_STATE_IDLE);
  McycleSignalQueuePut(MC_SIG_HOME);  // the pop wins over this tick's signal
  Tick();
  EXPECT_EQ(uwMcycleState, 0x2305);
  EXPECT_EQ(swStackPointer, 0);
}

TEST_F(Dispatch, SignalPostedDuringAnOperationIsLost) {
  uwMcycleState = 0x0800;  // parameter read-back running
  McycleSignalQueuePut(MC_SIG_HOME);
  Tick();  // the operation's tick consumes the signal
  EXPECT_EQ(ubMcSignalQueueCounter, 0);
  Tick(3);
  EXPECT_EQ(uwMcycleState, MC_STATE_IDLE);
  EXPECT_EQ(Log().find("Home"), std::string::npos);
}

TEST_F(Dispatch, UnknownStateIsReportedOnceAndReturnsToIdle) {
  uwMcycleState = 0x3300;
  Tick();
  EXPECT_EQ(uwMcycleState, MC_STATE_IDLE);
  uwMcycleState = 0x3300;
  Tick(4);
  const std::string log = Log();
  const auto first = log.find("unknown state 0x3300");
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(log.find("unknown state 0x3300", first + 1), std::string::npos);
}

struct SignalCase {
  uint16_t signal;
  const char* line;  // nullptr: no log line
  uint8_t cmd;       // 0: ubMcCmd not set
  uint16_t state;
};

class SignalTable : public Dispatch, public ::testing::WithParamInterface<SignalCase> {};

TEST_P(SignalTable, SignalSelectsItsMachineAndLogsItsLine) {
  const SignalCase& c = GetParam();
  ubMcCmd = 0;
  McycleSignalQueuePut(c.signal);
  Tick();
  EXPECT_EQ(uwMcycleState, c.state);
  if (c.cmd) {
    EXPECT_EQ(ubMcCmd, c.cmd);
  }
  Tick();  // shows the queued line
  const std::string log = Log();
  if (c.line) {
    EXPECT_EQ(log, std::string(c.line) + "\n");
  } else {
    EXPECT_EQ(log, "");
  }
}

INSTANTIATE_TEST_SUITE_P(
    BasicMachine, SignalTable,
    ::testing::Values(SignalCase{4, "Transmit Parm", 0, 0x0700}, SignalCase{5, nullptr, 0, 0x0600},
                      SignalCase{6, "Transmit Parm Readback Command", 0, 0x0800},
                      SignalCase{7, "Transmit Home Command", 1, 0x0200},
                      SignalCase{8, "Transmit Seek Pos1 Command", 2, 0x0200},
                      SignalCase{9, "Transmit Seek Pos2 Command", 3, 0x0200},
                      SignalCase{10, "Transmit Punch Command", 4, 0x0200},
                      SignalCase{11, "Transmit Form Command", 5, 0x0200},
                      SignalCase{12, "Transmit Mark On Command", 10, 0x0200},
                      SignalCase{13, "Transmit Mark Off Command", 11, 0x0200},
                      SignalCase{14, "Transmit Hover On Command", 8, 0x0200},
                      SignalCase{15, "Transmit Hover Off Command", 9, 0x0200},
                      SignalCase{16, "Transmit Press On Command", 6, 0x0200},
                      SignalCase{17, "Transmit Press Off Command", 7, 0x0200}, SignalCase{18, nullptr, 0, 0x0900},
                      SignalCase{19, nullptr, 0, 0x0A00}, SignalCase{20, nullptr, 0, 0x0B00},
                      SignalCase{21, "Transmit Parm Save Command", 0, 0x0D00},
                      SignalCase{22, "Transmit Parm Recall Command", 0, 0x0E00}, SignalCase{23, nullptr, 16, 0x0200},
                      SignalCase{24, nullptr, 17, 0x0200},
                      SignalCase{25, "Transmit Trigger Backward Trace Command", 18, 0x0202},
                      SignalCase{26, "Transmit Trigger Forward Trace Command", 19, 0x0202},
                      SignalCase{27, "Transmit UDSEL inhibit on Command", 20, 0x0200},
                      SignalCase{28, "Transmit UDSEL inhibit off Command", 21, 0x0200},
                      SignalCase{29, nullptr, 0, 0x1F00},
                      SignalCase{30, "Transmit Trigger Backward Trace Command", 22, 0x0202},
                      SignalCase{31, "Transmit Trigger Forward Trace Command", 23, 0x0202},
                      SignalCase{32, "Transmit Trigger Trace Mcycle Command", 24, 0x0202},
                      SignalCase{33, "Transmit Trigger Trace Hardware Command", 25, 0x0202},
                      SignalCase{34, "Transmit Trigger Trace Freeze Command", 26, 0x0202},
                      SignalCase{35, "Transmit Trigger Trace UnFreeze Command", 27, 0x0202},
                      SignalCase{36, "Transmit Cycle Basic Command", 28, 0x0200},
                      SignalCase{37, "Transmit Cycle Form2 Command", 29, 0x0200},
                      SignalCase{38, "Transmit Cycle Form3 Command", 30, 0x0200},
                      SignalCase{40, "Transmit Trigger Command", 31, 0x0202},
                      SignalCase{44, "Transmit Pressure Monitor on Command", 33, 0x0200},
                      SignalCase{45, "Transmit Pressure Monitor off Command", 34, 0x0200},
                      SignalCase{47, nullptr, 5, 0x0200}, SignalCase{48, nullptr, 0, 0x2200},
                      SignalCase{49, nullptr, 0, 0x2203}, SignalCase{50, nullptr, 0, 0x2300},
                      SignalCase{51, nullptr, 0, 0x2400},
                      SignalCase{53, "Transmit Seek Pos1 Command", 36, 0x0200},
                      SignalCase{54, "Transmit Home Absolut Command", 37, 0x0200},
                      SignalCase{55, "Transmit Jog on Command", 38, 0x0200},
                      SignalCase{56, "Transmit Jog off Command", 39, 0x0200},
                      SignalCase{57, "Transmit Macro Stop Command", 40, 0x0200},
                      SignalCase{58, nullptr, 35, 0x0200},
                      // Ignored by the basic machine.
                      SignalCase{1, nullptr, 0, MC_STATE_IDLE}, SignalCase{39, nullptr, 0, MC_STATE_IDLE},
                      SignalCase{42, nullptr, 0, MC_STATE_IDLE}, SignalCase{43, nullptr, 0, MC_STATE_IDLE},
                      SignalCase{46, nullptr, 0, MC_STATE_IDLE}, SignalCase{52, nullptr, 0, MC_STATE_IDLE},
                      SignalCase{59, nullptr, 0, MC_STATE_IDLE}),
    [](const ::testing::TestParamInfo<SignalCase>& info) { return "Signal" + std::to_string(info.param.signal); });

TEST_F(Dispatch, ForwardTriggerSelectsTheTraceByTheScopeFlag) {
  ubScopeFlag = SCOPE_FLAG_SECOND_TRACE;
  McycleSignalQueuePut(MC_SIG_TRIGGER_FORWARD_SEL);
  Tick();
  EXPECT_EQ(sCmdContainer.entries[CTRL_CMD_TRACE_SELECT].udData, 2u);

  uwMcycleState = MC_STATE_IDLE;
  ubScopeFlag = 0;
  McycleSignalQueuePut(MC_SIG_TRIGGER_FORWARD_SEL);
  Tick();
  EXPECT_EQ(sCmdContainer.entries[CTRL_CMD_TRACE_SELECT].udData, 1u);

  uwMcycleState = MC_STATE_IDLE;
  McycleSignalQueuePut(MC_SIG_TRIGGER_BACKWARD_SEL);
  Tick();
  EXPECT_EQ(sCmdContainer.entries[CTRL_CMD_TRACE_SELECT].udData, 2u);
}

TEST_F(Dispatch, ReadStatusTakesTheEepromCodeFromTheLowByte) {
  cqCanData.udData = 0x4000;
  EXPECT_EQ(McycleReadStatus(0x4000), 0x01);
  EXPECT_EQ(McycleReadStatus(0x4015), 0x01 | 0x04);  // 21 reported beside bit 14
  EXPECT_EQ(McycleReadStatus(22), 0x01 | 0x02);
  cqCanData.udData = 0;
  EXPECT_EQ(McycleReadStatus(23), 0x08);
  EXPECT_EQ(McycleReadStatus(24), 0x00);
}

TEST_F(Dispatch, ReadyLampBlinksOverFourPolls) {
  McycleUsbLedFlashing();  // blinking not enabled: nothing
  EXPECT_EQ(host.ints.count({1, MAIN_LED_READY}), 0u);
  ubMcFlag4 |= MC_FLAG4_READY_LAMP_BLINK;
  std::string pattern;
  for (int i = 0; i < 8; ++i) {
    McycleUsbLedFlashing();
    pattern += host.ints.count({1, MAIN_LED_READY}) ? char('0' + host.ints[{1, MAIN_LED_READY}]) : '-';
  }
  EXPECT_EQ(pattern, "-1100110");
}
