// The parameter and save/recall panels' callbacks: no link, typed values,
// read back, refusals while an operation runs, the parameter file dialog, the
// set number; and the soft value. The panels as loaded from their forms are
// in gui/parameter_forms_test.cpp.
#include <gtest/gtest.h>

#include <string>

#include "comm/ComChannel.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/McycleParameter.h"
#include "engine/McycleParmSaveRecall.h"
#include "params/CtrlCmd.h"
#include "params/ParameterPanel.h"
#include "params/ParmFile.h"
#include "params/ParmSaveRecallPanel.h"
#include "support/ControllerFixture.h"
#include "support/TempDir.h"
#include "ui/PanelIds.h"

namespace {

class PanelTest : public ControllerFixture {
 protected:
  void SetUp() override {
    ControllerFixture::SetUp();
    McycleChannelContainersInit();
  }
  void TearDown() override {
    ubCqDataChannel = CQ_LINK_NONE;
    ControllerFixture::TearDown();
  }
  // A link as far as the panels can tell; nothing is sent in these tests.
  void Linked() { ubCqDataChannel = CQ_LINK_UDP; }
  void Parm(int control, int event = EVENT_COMMIT) {
    PARM_CMD_Callback(kParameterPanel, control, event, nullptr, 0, 0);
  }
  void ParmSave(int control, int event = EVENT_COMMIT) {
    CMD_PARM_SAVE_Callback(kParmSavePanel, control, event, nullptr, 0, 0);
  }
  void SetCell(int table, int row, const std::string& text) {
    host.cells[{kParameterPanel, table}][{row, PARM_VALUE_COLUMN}] = text;
  }
  std::string Cell(uint16_t panel, int table, int row) { return host.Cell(panel, table, row, PARM_VALUE_COLUMN); }
  std::vector<uint16_t> Signals() {
    std::vector<uint16_t> s;
    while (uint16_t signal = McycleSignalQueueGet()) s.push_back(signal);
    return s;
  }
};

TEST_F(PanelTest, WithoutALinkNothingIsRequested) {
  Parm(PARM_CMD_PRESET_1);
  Parm(PARM_CMD_SEND);
  Parm(PARM_CMD_READ_BACK);
  ParmSave(PSAVE_CMD_SAVE);
  ParmSave(PSAVE_CMD_RECALL);
  EXPECT_EQ(Log(), "Target not connected!\nTarget not connected!\nTarget not connected!\nTarget not connected!\n");
  EXPECT_TRUE(Signals().empty());
  EXPECT_EQ(sParamContainer.entries[0].udData, 0u);
}

TEST_F(PanelTest, CellsTakeOnlyWhatATwoByteObjectCarries) {
  uint16_t v = 1;
  EXPECT_TRUE(ParmCellValue("0", v) && v == 0);
  EXPECT_TRUE(ParmCellValue("65535", v) && v == 65535);
  EXPECT_TRUE(ParmCellValue(" 42\t", v) && v == 42);
  for (const char* bad : {"65536", "-1", "", "  ", "abc", "1e3", "0x10", "4294967296", "12 34", "+5"})
    EXPECT_FALSE(ParmCellValue(bad, v)) << bad;

  Linked();
  Parm(PARM_CMD_PRESET_1);
  SetCell(PARM_TABLE_1, 2, "70000");
  Parm(PARM_CMD_SEND);
  EXPECT_EQ(Log(), "Parameter POS3: \"70000\" is not a value from 0 to 65535\n");
  EXPECT_TRUE(Signals().empty());
  EXPECT_EQ(sParamContainer.entries[0].udData, 0u);
}

TEST_F(PanelTest, ReadBackAsksForTheExtendedSet) {
  Linked();
  sCmdContainer.entries[0].udData = 0x507;
  Parm(PARM_CMD_READ_BACK);
  const CtrlCmdEntry& e = sCmdContainer.entries[CTRL_CMD_PARM_SAVE_RECALL];
  EXPECT_EQ(+e.uwIndex, 0x2000);
  EXPECT_EQ(+e.ubLength, 2);
  EXPECT_EQ(e.udData, 258u);
  EXPECT_EQ(sCmdContainer.uwNumOfEntries, 1);
  EXPECT_TRUE(ubMcFlag1 & MC_FLAG1_PARM_EXTENDED);
  EXPECT_EQ(Signals(), std::vector<uint16_t>{MC_SIG_PARM_READBACK});
}

TEST_F(PanelTest, RequestsWhileAnOperationRunsAreRefusedWithALine) {
  Linked();
  Parm(PARM_CMD_PRESET_1);
  uwMcycleState = 0x0D04;
  Parm(PARM_CMD_SEND);
  Parm(PARM_CMD_READ_BACK);
  ParmSave(PSAVE_CMD_SAVE);
  ParmSave(PSAVE_CMD_RECALL);
  EXPECT_EQ(Log(),
            "Parameters not sent: an operation is running\nParameters not read: an operation is running\n"
            "Parm Save not started: an operation is running\nParm Recall not started: an operation is running\n");
  EXPECT_TRUE(Signals().empty());
  EXPECT_EQ(sParamContainer.entries[0].udData, 0u);
  uwMcycleState = MC_STATE_IDLE;
}

TEST_F(PanelTest, SaveFileWritesTheValuesShown) {
  TempDir dir;
  host.fileAnswer = dir.Add("p.pms");
  Parm(PARM_CMD_PRESET_2);
  Parm(PARM_CMD_SAVE_FILE);
  EXPECT_EQ(host.fileAsked[0], PARM_FILE_DEFAULT_NAME);
  EXPECT_EQ(host.fileAsked[1], PARM_FILE_FILTER);
  EXPECT_EQ(ReadFileBytes(host.fileAnswer), ParmFileText({200, 2000, 3000, 150, 0}));

  // A cell that is no value: no dialog, no file.
  host.fileAsked.clear();
  host.fileAnswer = dir.Add("q.pms");
  SetCell(PARM_TABLE_2, 0, "x");
  Parm(PARM_CMD_SAVE_FILE);
  EXPECT_TRUE(host.fileAsked.empty());
  EXPECT_EQ(ReadFileBytes(host.fileAnswer), "");
  EXPECT_NE(Log().find("Parameter TIME2: \"x\" is not a value from 0 to 65535\n"), std::string::npos);
}

TEST_F(PanelTest, SetNumberIsClampedAndShown) {
  for (const auto& [typed, set] : {std::pair<int64_t, uint8_t>{9, 7}, {5, 5}, {-3, 0}, {7, 7}, {300, 7}}) {
    host.ints[{kParmSavePanel, PSAVE_NUM_SET}] = typed;
    ParmSave(PSAVE_NUM_SET, EVENT_VAL_CHANGED);
    EXPECT_EQ(ubMcParmSetNo, set) << typed;
    EXPECT_EQ((host.ints[{kParmSavePanel, PSAVE_NUM_SET}]), set) << typed;
  }
  EXPECT_EQ(ParmSetNumber(8), 7);
}

TEST_F(PanelTest, SoftValueFillsTheScriptAndIsRefusedWhileBusy) {
  ASSERT_EQ(McycleSetSoftParm(80), 0);
  ASSERT_EQ(sScrContainer.uwNumOfEntries, 3);
  const uint16_t objects[3] = {0x2000, 0x211F, 0x2000};
  const uint32_t values[3] = {331, 80, 257};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(+sScrContainer.entries[i].uwIndex, objects[i]);
    EXPECT_EQ(sScrContainer.entries[i].udData, values[i]);
    EXPECT_EQ(+sScrContainer.entries[i].ubLength, 2);
    EXPECT_EQ(sScrContainer.entries[i].udFlags, 0u);
  }
  EXPECT_EQ(Signals(), std::vector<uint16_t>{MC_SIG_SCRIPT});

  ASSERT_EQ(McycleSetSoftParm(0), 0);
  ASSERT_EQ(sScrContainer.uwNumOfEntries, 2);
  EXPECT_EQ(sScrContainer.entries[0].udData, 332u);
  EXPECT_EQ(sScrContainer.entries[1].udData, 257u);
  Signals();

  uwMcycleState = 0x0604;  // a script runs
  EXPECT_EQ(McycleSetSoftParm(100), 1);
  EXPECT_EQ(sScrContainer.uwNumOfEntries, 2);
  EXPECT_TRUE(Signals().empty());
  Tick();
  EXPECT_NE(Log().find("Soft parameter not sent: an operation is running"), std::string::npos);
  uwMcycleState = MC_STATE_IDLE;
}

}  // namespace
