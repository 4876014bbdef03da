// Parameter save and recall against rc7sim, started from the save/recall
// panel: set numbers, the wait before the recall's status read, EEPROM codes
// with and without the valid-parameter bit, the logged set.
#include <gtest/gtest.h>

#include <string>

#include "comm/ComChannel.h"
#include "engine/Mcycle.h"
#include "engine/McycleParmSaveRecall.h"
#include "params/CtrlCmd.h"
#include "params/ParameterPanel.h"
#include "params/ParmSaveRecallPanel.h"
#include "support/ControllerFixture.h"
#include "ui/PanelIds.h"

namespace {

class SaveRecallTest : public ControllerFixture {
 protected:
  bool Connected(std::vector<std::string> options = {}) { return Connect(SimLink::Usb, std::move(options)); }
  bool Logged(const std::string& text) { return Log().find(text) != std::string::npos; }
  // The operator types `set` and presses Save or Recall.
  void Press(int button, int64_t set) {
    host.ints[{kParmSavePanel, PSAVE_NUM_SET}] = set;
    CMD_PARM_SAVE_Callback(kParmSavePanel, PSAVE_NUM_SET, EVENT_VAL_CHANGED, nullptr, 0, 0);
    CMD_PARM_SAVE_Callback(kParmSavePanel, button, EVENT_COMMIT, nullptr, 0, 0);
  }
  bool SaveOrRecall(int button, int64_t set) {
    Press(button, set);
    return RunToIdle();
  }
  std::vector<SimRequest> CommandWrites() {
    std::vector<SimRequest> writes;
    for (const SimRequest& r : Requests())
      if (!r.IsRead() && r.index == 0x2000) writes.push_back(r);
    return writes;
  }
};

TEST_F(SaveRecallTest, SetNineGoesOutAsSetSeven) {
  ASSERT_TRUE(Connected());
  ASSERT_TRUE(SaveOrRecall(PSAVE_CMD_SAVE, 9));
  EXPECT_EQ((host.ints[{kParmSavePanel, PSAVE_NUM_SET}]), 7);
  ASSERT_TRUE(SaveOrRecall(PSAVE_CMD_RECALL, 9));
  const std::vector<SimRequest> w = CommandWrites();
  ASSERT_GE(w.size(), 2u);
  EXPECT_TRUE(w[0].IsWrite(0x2000, 0x507));
  EXPECT_TRUE(Logged("Transmit Parm Save Command\n"));
  EXPECT_TRUE(Logged("Parm Save O.K.\n")) << Log();
  bool recall = false;
  for (const SimRequest& r : w) recall = recall || r.IsWrite(0x2000, 0x517);
  EXPECT_TRUE(recall);
  EXPECT_TRUE(Logged("Parm Recall O.K.\n")) << Log();
}

class RecallWaitTest : public SaveRecallTest, public ::testing::WithParamInterface<uint32_t> {};

TEST_P(RecallWaitTest, StatusIsReadNoEarlierThan200MsAfterTheConfirmation) {
  ASSERT_TRUE(Connected());
  udMcTimeTick = GetParam();
  Press(PSAVE_CMD_RECALL, 2);
  uint32_t confirmed = 0, statusRead = 0;
  ASSERT_TRUE(TickUntil(
      [&] {
        const uint16_t state = uwMcycleState;
        if (state == 0x0E02 && confirmed == 0) confirmed = McTimerGetCurrentTime();
        if (state == 0x0E03) statusRead = McTimerGetCurrentTime();  // the read is made in this step
        return statusRead != 0;
      },
      2000));
  EXPECT_GT(statusRead - confirmed, MC_RECALL_SETTLE_MS);
  EXPECT_LE(statusRead - confirmed, MC_RECALL_SETTLE_MS + 6);
  ASSERT_TRUE(RunToIdle());
  EXPECT_TRUE(Logged("Parm Recall O.K.\n"));
}

// From engine time 0, and with the wait spanning the wrap of the counter.
INSTANTIATE_TEST_SUITE_P(Usb, RecallWaitTest, ::testing::Values(0u, 0xFFFFFF80u));

struct EepromCase {
  int button;
  const char* status;   // the status word after the save or recall
  const char* message;  // "" for success
};

class EepromTest : public SaveRecallTest, public ::testing::WithParamInterface<EepromCase> {};

TEST_P(EepromTest, CodeWithOrWithoutValidBitGivesItsMessage) {
  const EepromCase& c = GetParam();
  ASSERT_TRUE(Connected({"--eeprom-status", c.status}));
  ASSERT_TRUE(SaveOrRecall(c.button, 1));
  const bool save = c.button == PSAVE_CMD_SAVE;
  if (*c.message) {
    EXPECT_TRUE(Logged(std::string("Error: ") + c.message + "\n")) << Log();
    ASSERT_EQ(host.popups.size(), 1u);
    EXPECT_EQ(host.popups[0], std::string("ERROR: ") + c.message);
    EXPECT_FALSE(Logged(save ? "Parm Save O.K." : "Parm Recall O.K."));
  } else {
    EXPECT_TRUE(host.popups.empty());
    EXPECT_TRUE(Logged(save ? "Parm Save O.K.\n" : "Parm Recall O.K.\n")) << Log();
  }
  EXPECT_EQ(uwMcycleState, MC_STATE_IDLE);
}

const EepromCase kEepromCases[] = {
    {PSAVE_CMD_SAVE, "0x4015", "EEPROM write"},
    {PSAVE_CMD_SAVE, "0x0015", "EEPROM write"},
    {PSAVE_CMD_SAVE, "0x4017", "EEPROM write"},
    {PSAVE_CMD_SAVE, "0x0017", "EEPROM write"},
    {PSAVE_CMD_SAVE, "0x4016", ""},
    {PSAVE_CMD_SAVE, "0x12345600", ""},
    {PSAVE_CMD_RECALL, "0x4016", "EEPROM read"},
    {PSAVE_CMD_RECALL, "0x0016", "EEPROM read"},
    {PSAVE_CMD_RECALL, "0x4017", "No valid Parameters in EEPROM"},
    {PSAVE_CMD_RECALL, "0x0017", "No valid Parameters in EEPROM"},
    {PSAVE_CMD_RECALL, "0x0015", "No valid Parameters in EEPROM"},
    {PSAVE_CMD_RECALL, "0x4015", ""},
};
INSTANTIATE_TEST_SUITE_P(Usb, EepromTest, ::testing::ValuesIn(kEepromCases), [](const auto& info) {
  return std::string(info.param.button == PSAVE_CMD_SAVE ? "Save_" : "Recall_") + (info.param.status + 2);
});

TEST_F(SaveRecallTest, NoValidParametersRefusesTheSave) {
  ASSERT_TRUE(Connected({"--status", "0x00000000"}));
  ASSERT_TRUE(SaveOrRecall(PSAVE_CMD_SAVE, 0));
  EXPECT_TRUE(Logged("Error: No valid Parameters in target device\n")) << Log();
  ASSERT_EQ(host.popups.size(), 1u);
  EXPECT_EQ(host.popups[0], "ERROR: No valid Parameters in target device");
  EXPECT_TRUE(CommandWrites().empty());
}

TEST_F(SaveRecallTest, RecallOfAnEmptySetSaysSo) {
  ASSERT_TRUE(Connected({"--empty-set", "4"}));
  ASSERT_TRUE(SaveOrRecall(PSAVE_CMD_RECALL, 4));
  EXPECT_TRUE(Logged("Error: No valid Parameters in EEPROM\n")) << Log();
}

TEST_F(SaveRecallTest, LoggedSetIsTheRecalledOneAlsoAfterAnExtendedReadBack) {
  ASSERT_TRUE(Connected());
  host.ints[{kParameterPanel, 0}] = 0;
  PARM_CMD_Callback(kParameterPanel, PARM_CMD_READ_BACK, EVENT_COMMIT, nullptr, 0, 0);
  ASSERT_TRUE(RunToIdle());
  ASSERT_TRUE(ubMcFlag1 & MC_FLAG1_PARM_EXTENDED);
  host.texts.clear();
  ASSERT_TRUE(SaveOrRecall(PSAVE_CMD_RECALL, 3));
  // Stored set 3 is the power-up set plus 40 in every value.
  EXPECT_TRUE(
      Logged("\nPARMSET    = 3\nPOS1       = 240\nPOS2       = 2040\nPOS3       = 2540\n"
             "READYWIN   = 190\nTIME2      = 40\nRAMTYPE    = Ram H0\nParm Recall O.K.\n"))
      << Log();
  EXPECT_EQ(uwMcRamtype, 0x30);
  EXPECT_EQ(Text(kParmSavePanel, PSAVE_TXT_RAMTYPE), "Ram H0");
  EXPECT_FALSE(ubMcFlag1 & MC_FLAG1_PARM_SILENT);
}

TEST_F(SaveRecallTest, SaveLogsTheSetTheControllerHolds) {
  ASSERT_TRUE(Connected());
  ASSERT_TRUE(SaveOrRecall(PSAVE_CMD_SAVE, 6));
  EXPECT_TRUE(Logged("Transmission O.K.\n\nPARMSET    = 6\nPOS1       = 200\n")) << Log();
  ASSERT_TRUE(SaveOrRecall(PSAVE_CMD_RECALL, 6));  // what was saved comes back
  EXPECT_TRUE(Logged("PARMSET    = 6\nPOS1       = 200\nPOS2       = 2000\n")) << Log();
}

TEST_F(SaveRecallTest, FailedReadBackGivesNoOkLinesAndNoStaleSet) {
  // Save: status, command, status, ram type, 0x102, then the first read fails.
  ASSERT_TRUE(Connected({"--drop", "from:6:4"}));
  ASSERT_TRUE(SaveOrRecall(PSAVE_CMD_SAVE, 1));
  EXPECT_TRUE(Logged("Transmission ERROR\n")) << Log();
  EXPECT_FALSE(Logged("Parm Save O.K."));
  EXPECT_FALSE(Logged("PARMSET"));
  EXPECT_FALSE(ubMcFlag1 & MC_FLAG1_PARM_SILENT);
}

TEST_F(SaveRecallTest, FailedCommandOrStatusReadIsReported) {
  for (const char* drop : {"from:1:4", "from:2:4"}) {
    ASSERT_TRUE(Connected({"--drop", drop}));
    host.texts.clear();
    ASSERT_TRUE(SaveOrRecall(PSAVE_CMD_RECALL, 1));
    EXPECT_TRUE(Logged("Transmission ERROR\n")) << drop << Log();
    EXPECT_FALSE(Logged("Parm Recall O.K."));
  }
}

}  // namespace
