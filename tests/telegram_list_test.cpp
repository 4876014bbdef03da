// Operator commands through the telegram-list machine against rc7sim: every
// signal's object and value in the simulator's journal, the trace selector
// before trigger commands, check marks, the ram-type and sample-time
// commands, and a command that fails.
#include <gtest/gtest.h>

#include <string>

#include "app/PanelCallbacks.h"
#include "engine/Mcycle.h"
#include "params/CtrlCmd.h"
#include "scope/scope.h"
#include "support/ControllerFixture.h"
#include "ui/PanelIds.h"

namespace {

class TelegramListTest : public ControllerFixture {
 protected:
  bool Logged(const std::string& text) { return Log().find(text) != std::string::npos; }
  bool Checked(uint16_t panel, int item) { return host.attributes[{panel, item}][ATTR_CHECKED] == 1; }
};

struct OperatorCase {
  uint16_t signal;
  const char* text;  // logged before the command; nullptr: none
  int selector;      // trace selector written first; -1: none
  uint16_t index;
  uint8_t sub;
  uint32_t value;
  int mainItem;   // checked afterwards on the main menu; 0: none
  int scopeItem;  // checked on the scope panel's menu; 0: none
};

const OperatorCase kOperatorCases[] = {
    {MC_SIG_HOME, "Transmit Home Command", -1, 0x2000, 0, 0x200, 0, 0},
    {MC_SIG_SEEK_POS1, "Transmit Seek Pos1 Command", -1, 0x2000, 0, 0x201, 0, 0},
    {MC_SIG_SEEK_POS2, "Transmit Seek Pos2 Command", -1, 0x2000, 0, 0x202, 0, 0},
    {MC_SIG_PUNCH, "Transmit Punch Command", -1, 0x2000, 0, 0x203, 0, 0},
    {MC_SIG_FORM, "Transmit Form Command", -1, 0x2A00, 3, 0, 0, 0},
    {MC_SIG_FORM_SILENT, nullptr, -1, 0x2A00, 3, 0, 0, 0},
    {MC_SIG_MARK_ON, "Transmit Mark On Command", -1, 0x2000, 0, 0x209, MAIN_MENU_MARK_ON, 0},
    {MC_SIG_MARK_OFF, "Transmit Mark Off Command", -1, 0x2000, 0, 0x20A, MAIN_MENU_MARK_OFF, 0},
    {MC_SIG_HOVER_ON, "Transmit Hover On Command", -1, 0x2000, 0, 0x207, MAIN_MENU_HOVER_ON, 0},
    {MC_SIG_HOVER_OFF, "Transmit Hover Off Command", -1, 0x2000, 0, 0x208, MAIN_MENU_HOVER_OFF, 0},
    {MC_SIG_PRESS_ON, "Transmit Press On Command", -1, 0x2000, 0, 0x205, MAIN_MENU_PRESS_ON, 0},
    {MC_SIG_PRESS_OFF, "Transmit Press Off Command", -1, 0x2000, 0, 0x206, MAIN_MENU_PRESS_OFF, 0},
    {MC_SIG_UDSEL_INHIBIT_ON, "Transmit UDSEL inhibit on Command", -1, 0x2000, 0, 0x12D, 0, 0},
    {MC_SIG_UDSEL_INHIBIT_OFF, "Transmit UDSEL inhibit off Command", -1, 0x2000, 0, 0x12E, 0, 0},
    {MC_SIG_CYCLE_BASIC, "Transmit Cycle Basic Command", -1, 0x2000, 0, 0x110, MAIN_MENU_CYCLE_BASIC, 0},
    {MC_SIG_CYCLE_FORM2, "Transmit Cycle Form2 Command", -1, 0x2000, 0, 0x111, MAIN_MENU_CYCLE_FORM2, 0},
    {MC_SIG_CYCLE_FORM3, "Transmit Cycle Form3 Command", -1, 0x2000, 0, 0x12C, MAIN_MENU_CYCLE_FORM3, 0},
    {MC_SIG_PRESSURE_MON_ON, "Transmit Pressure Monitor on Command", -1, 0x2000, 0, 0x141, 0, 0},
    {MC_SIG_PRESSURE_MON_OFF, "Transmit Pressure Monitor off Command", -1, 0x2000, 0, 0x140, 0, 0},
    {MC_SIG_SEEK_POS1_ABS, "Transmit Seek Pos1 Command", -1, 0x2000, 0, 0x21C, 0, 0},
    {MC_SIG_HOME_ABSOLUT, "Transmit Home Absolut Command", -1, 0x2000, 0, 0x20B, 0, 0},
    {MC_SIG_JOG_ON, "Transmit Jog on Command", -1, 0x2000, 0, 0x219, MAIN_MENU_JOG_ON, 0},
    {MC_SIG_JOG_OFF, "Transmit Jog off Command", -1, 0x2000, 0, 0x21A, MAIN_MENU_JOG_OFF, 0},
    {MC_SIG_MACRO_STOP, "Transmit Macro Stop Command", -1, 0x2000, 0, 0x320, 0, 0},
    // Trigger commands: the selector goes first.
    // Command 18 for the second trace has no check mark of its own.
    {MC_SIG_TRIGGER_BACKWARD_SEL, "Transmit Trigger Backward Trace Command", 2, 0x2000, 0, 0x134, 0, 0},
    {MC_SIG_TRIGGER_FORWARD_SEL, "Transmit Trigger Forward Trace Command", 1, 0x2000, 0, 0x13F,
     MAIN_MENU_TRIGGER_FORWARD, SCOPE_MENU_TRACE1_FORWARD},
    {MC_SIG_TRIGGER_BACKWARD, "Transmit Trigger Backward Trace Command", 1, 0x2000, 0, 0x134,
     MAIN_MENU_TRIGGER_BACKWARD, SCOPE_MENU_TRACE1_BACKWARD},
    {MC_SIG_TRIGGER_FORWARD, "Transmit Trigger Forward Trace Command", 1, 0x2000, 0, 0x13F, MAIN_MENU_TRIGGER_FORWARD,
     0},
    {MC_SIG_TRIGGER_MCYCLE, "Transmit Trigger Trace Mcycle Command", 1, 0x2000, 0, 0x128, MAIN_MENU_TRIGGER_MCYCLE,
     SCOPE_MENU_TRACE1_MCYCLE},
    {MC_SIG_TRIGGER_HARDWARE, "Transmit Trigger Trace Hardware Command", 1, 0x2000, 0, 0x129,
     MAIN_MENU_TRIGGER_HARDWARE, 0},
    {MC_SIG_TRACE_FREEZE, "Transmit Trigger Trace Freeze Command", 1, 0x2000, 0, 0x12A, MAIN_MENU_TRACE_FREEZE, 0},
    {MC_SIG_TRACE_UNFREEZE, "Transmit Trigger Trace UnFreeze Command", 1, 0x2000, 0, 0x12B, MAIN_MENU_TRACE_UNFREEZE,
     0},
    {MC_SIG_TRIGGER, "Transmit Trigger Command", 1, 0x2000, 0, 0x120, 0, 0},
};

class OperatorSignalTest : public TelegramListTest, public ::testing::WithParamInterface<OperatorCase> {};

TEST_P(OperatorSignalTest, ReachesTheControllerAndSetsItsCheckMark) {
  const OperatorCase& c = GetParam();
  ASSERT_TRUE(Connect(SimLink::Usb));
  // The callers of signals 30..40 leave the selector at the first trace.
  sCmdContainer.entries[CTRL_CMD_TRACE_SELECT].udData = 1;
  ASSERT_TRUE(Run(c.signal));
  const std::vector<SimRequest> r = Requests();
  ASSERT_EQ(r.size(), c.selector < 0 ? 1u : 2u);
  if (c.selector >= 0) {
    EXPECT_TRUE(r[0].IsWrite(0x2001, static_cast<uint32_t>(c.selector)));
  }
  EXPECT_TRUE(r.back().IsWrite(c.index, c.value)) << std::hex << r.back().index << " " << r.back().data;
  EXPECT_EQ(r.back().sub, c.sub);
  const std::string ok = "Transmission O.K.\n";
  EXPECT_TRUE(Logged(c.text ? std::string(c.text) + "\n" : ok)) << Log();
  EXPECT_TRUE(Logged(ok));
  if (c.mainItem) {
    EXPECT_TRUE(Checked(1, c.mainItem));
  }
  if (c.scopeItem) {
    EXPECT_TRUE(Checked(kScopePanel, c.scopeItem));
  }
}

INSTANTIATE_TEST_SUITE_P(Usb, OperatorSignalTest, ::testing::ValuesIn(kOperatorCases),
                         [](const auto& info) { return "Signal" + std::to_string(info.param.signal); });

TEST_F(TelegramListTest, CheckMarksMoveWithinTheirGroup) {
  ASSERT_TRUE(Connect(SimLink::Usb));
  ASSERT_TRUE(Run(MC_SIG_CYCLE_FORM3));
  ASSERT_TRUE(Run(MC_SIG_CYCLE_BASIC));
  EXPECT_TRUE(Checked(1, MAIN_MENU_CYCLE_BASIC));
  EXPECT_FALSE(Checked(1, MAIN_MENU_CYCLE_FORM3));
  ASSERT_TRUE(Run(MC_SIG_UDSEL_INHIBIT_ON));
  EXPECT_EQ((host.ints[{1, MAIN_BIN_SW_UDSEL_INHIBIT}]), 1);
  ASSERT_TRUE(Run(MC_SIG_UDSEL_INHIBIT_OFF));
  EXPECT_EQ((host.ints[{1, MAIN_BIN_SW_UDSEL_INHIBIT}]), 0);
}

TEST_F(TelegramListTest, SecondTraceMarksOnlyForTriggersEnteredThere) {
  ASSERT_TRUE(Connect(SimLink::Usb));
  ASSERT_TRUE(Run(MC_SIG_TRIGGER_BACKWARD_SEL));  // the selector now holds 2
  ASSERT_EQ(sCmdContainer.entries[CTRL_CMD_TRACE_SELECT].udData, 2u);
  ASSERT_TRUE(Run(MC_SIG_TRIGGER_MCYCLE));
  EXPECT_TRUE(Checked(kScopePanel, SCOPE_MENU_TRACE2_MCYCLE));
  EXPECT_FALSE(Checked(1, MAIN_MENU_TRIGGER_MCYCLE));
  ASSERT_TRUE(Run(MC_SIG_MARK_ON));  // not a trigger: the main menu
  EXPECT_TRUE(Checked(1, MAIN_MENU_MARK_ON));
}

TEST_F(TelegramListTest, RamtypeCommandReadsSampleTimeAndModeWordExceptOnP0417) {
  ASSERT_TRUE(Connect(SimLink::Usb, {"--mode1", "0x0801"}));
  ubMcRamtypeTel = 0x21;
  ASSERT_TRUE(Run(MC_SIG_RAMTYPE));
  std::vector<SimRequest> r = Requests();
  ASSERT_EQ(r.size(), 3u);
  EXPECT_TRUE(r[0].IsWrite(0x2000, 0x421));
  EXPECT_TRUE(r[1].IsRead() && r[1].index == 0x2102);
  EXPECT_TRUE(r[2].IsRead() && r[2].index == 0x210F);
  EXPECT_EQ((host.ints[{1, MAIN_CHK_STATUS_BIT11}]), 1);
  EXPECT_EQ((host.ints[{1, MAIN_BIN_SW_UDSEL_INHIBIT}]), 1);
  EXPECT_EQ((host.ints[{1, MAIN_RING_SAMPLE_TIME}]), 3);  // the simulator's 2 ms
  EXPECT_EQ(ReadObject(0x2106), 0x21u);

  ubMcFlag3 |= MC_FLAG3_FW_P0417;
  const size_t from = Seen();
  ASSERT_TRUE(Run(MC_SIG_RAMTYPE));
  r = Requests(from);
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[1].index, 0x2102);
  ubMcFlag3 &= static_cast<uint8_t>(~MC_FLAG3_FW_P0417);
}

TEST_F(TelegramListTest, SampleTimeGoesToItsObjectAndTheRing) {
  ASSERT_TRUE(Connect(SimLink::Usb));
  ubMcSampleTime = 40;  // 20 ms
  ASSERT_TRUE(Run(MC_SIG_SAMPLE_TIME));
  const std::vector<SimRequest> r = Requests();
  ASSERT_EQ(r.size(), 1u);
  EXPECT_TRUE(r[0].IsWrite(0x2102, 40));
  EXPECT_EQ((host.ints[{1, MAIN_RING_SAMPLE_TIME}]), 6);
  EXPECT_TRUE(Checked(1, MAIN_MENU_SAMPLE_20));
  EXPECT_FALSE(Logged("Transmit"));
}

TEST_F(TelegramListTest, FailedCommandSaysSoAndTheEngineIsIdle) {
  ASSERT_TRUE(Connect(SimLink::Usb, {"--abort", "all"}));
  ASSERT_TRUE(Run(MC_SIG_PUNCH));
  EXPECT_TRUE(Logged("Transmit Punch Command\nTX-SDO"));
  EXPECT_TRUE(Logged("Transmission ERROR\n")) << Log();
  EXPECT_FALSE(Logged("Transmission O.K."));
  EXPECT_EQ(Requests().size(), 4u);
}

TEST_F(TelegramListTest, TriggerWhoseSelectorFailsSendsNoCommand) {
  ASSERT_TRUE(Connect(SimLink::Usb, {"--drop", "from:1:4"}));
  ASSERT_TRUE(Run(MC_SIG_TRIGGER_BACKWARD_SEL));
  const std::vector<SimRequest> r = Requests();
  ASSERT_EQ(r.size(), 4u);
  for (const SimRequest& q : r) EXPECT_EQ(q.index, 0x2001);
  EXPECT_TRUE(Logged("Transmission ERROR\n"));
}

}  // namespace
