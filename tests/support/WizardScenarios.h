// The wizard's read buttons and the extended parameter panel against
// rc7sim. Included by one test file per test program, which instantiates it
// for its links.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "app/Startup.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/McycleParameter.h"
#include "macro/MacroWizard.h"
#include "macro/MacroWizardPanel.h"
#include "objects/ScriptLoader.h"
#include "params/CtrlCmd.h"
#include "params/ExtParameterPanel.h"
#include "params/ParameterPanel.h"
#include "support/LinkFixture.h"
#include "support/TempDir.h"
#include "ui/PanelIds.h"

class WizardScenario : public LinkFixture, public ::testing::WithParamInterface<SimLink> {
 protected:
  static constexpr int kWizard = 15, kParm = 6, kExt = 7, kMacro = 14;
  void SetUp() override {
    LinkFixture::SetUp();
    uwMcWizardPanelHandle = kWizard;
    uwMcParameterPanelHandle = kParm;
    uwMcExtParameterPanelHandle = kExt;
    uwMcMacroPanelHandle = kMacro;
  }
  bool Connected(std::vector<std::string> options = {}) {
    // TIME2 gets a value of its own; every other value differs already.
    options.insert(options.end(), {"--parm", "0x200D=77"});
    return Connect(GetParam(), options);
  }
  bool RunToIdle() {
    return TickUntil([] { return McycleEngineIdle() && ubHiQueueCounter == 0; }, 5000);
  }
  // The wizard's fields that were set, by control.
  std::map<int, int64_t> WizardFields() {
    std::map<int, int64_t> set;
    for (const auto& [key, value] : host.ints)
      if (key.first == kWizard) set[key.second] = value;
    return set;
  }
  // Values the simulator starts with for the fifteen read-back entries.
  static constexpr int64_t kStart[MAC_WIZ_BLOCK_SIZE] = {200, 2000, 1200, 1800, 2500, 11, 21, 22,
                                                         23,  24,   25,   26,   77,   150, 38};
  // The journal's writes: "index value" per line.
  std::vector<std::string> Writes() {
    std::vector<std::string> w;
    for (const std::string& line : sim_->Journal()) {
      char cmd[4], index[8], sub[4], data[12];
      if (std::sscanf(line.c_str(), "%*u %*s %3s %7s %3s %11s", cmd, index, sub, data) == 4 && std::string(cmd) != "40")
        w.push_back(std::string(index) + " " + data);
    }
    return w;
  }
  TempDir dir;
};

TEST_P(WizardScenario, ReadFillsExactlyThePageFields) {
  ASSERT_TRUE(Connected());
  const PanelCallback reads[WIZ_CYCLE_PAGES] = {CMD_WIZ_PUNCH_READ_Callback, CMD_WIZ_FORM1_READ_Callback,
                                                CMD_WIZ_FORM2_READ_Callback, CMD_WIZ_FORM3_READ_Callback,
                                                CMD_WIZ_HOVER_READ_Callback, CMD_WIZ_PRESS_READ_Callback,
                                                CMD_WIZ_MARK_READ_Callback};
  for (int page = 0; page < WIZ_CYCLE_PAGES; ++page) {
    host.ints.clear();
    reads[page](kWizard, WizardRead(page), EVENT_COMMIT, nullptr, 0, 0);
    ASSERT_TRUE(RunToIdle());
    std::map<int, int64_t> expected;
    for (int entry = 0; entry < MAC_WIZ_BLOCK_SIZE; ++entry)
      if (kWizardPageFields[page] & (1u << entry)) expected[WizardField(page, entry)] = kStart[entry];
    EXPECT_EQ(WizardFields(), expected) << kWizardPageNames[page];
    EXPECT_FALSE(ubMcFlag & MC_FLAG_WIZARD_PARM_REQUEST);
  }
  // The wizard asked: the parameter panels stay as they were.
  EXPECT_EQ(host.Cell(kExt, EXTP_TABLE_1, 0, PARM_VALUE_COLUMN), "");
}

// All four tries of the 12th request dropped: the read-back fails midway.
TEST_P(WizardScenario, FailedReadBackLeavesTheFields) {
  ASSERT_TRUE(Connected({"--drop", "from:12:4"}));
  host.ints[{kWizard, WizardField(WIZ_PAGE_FORM3, MAC_WIZ_POS1)}] = 4321;
  CMD_WIZ_FORM3_READ_Callback(kWizard, WizardRead(WIZ_PAGE_FORM3), EVENT_COMMIT, nullptr, 0, 0);
  ASSERT_TRUE(RunToIdle());
  EXPECT_EQ(WizardFields(), (std::map<int, int64_t>{{WizardField(WIZ_PAGE_FORM3, MAC_WIZ_POS1), 4321}}));
  EXPECT_FALSE(ubMcFlag & MC_FLAG_WIZARD_PARM_REQUEST);
  // The parameter panel's next read-back fills the parameter panels.
  PARM_CMD_Callback(kParm, PARM_CMD_READ_BACK, EVENT_COMMIT, nullptr, 0, 0);
  ASSERT_TRUE(RunToIdle());
  EXPECT_EQ(host.Cell(kExt, EXTP_TABLE_1, 0, PARM_VALUE_COLUMN), "200");
  EXPECT_EQ(host.Cell(kParm, PARM_TABLE_2, 0, PARM_VALUE_COLUMN), "77");
  EXPECT_EQ(WizardFields().size(), 1u);
}

TEST_P(WizardScenario, SendAfterAPresetAndReadBack) {
  ASSERT_TRUE(Connected());
  host.ints[{kExt, EXTP_RING_CYCLE}] = 0x111;
  host.cells[{kParm, PARM_TABLE_1}][{3, PARM_VALUE_COLUMN}] = "150";
  EXTP_CMD_PUNCH_5MM_Callback(kExt, EXTP_CMD_PUNCH_5MM, EVENT_COMMIT, nullptr, 0, 0);
  EXPECT_EQ((host.ints[{kExt, EXTP_RING_CYCLE}]), 0x111);  // presets leave the cycle type
  EXTP_CMD_SEND_Callback(kExt, EXTP_CMD_SEND, EVENT_COMMIT, nullptr, 0, 0);
  ASSERT_TRUE(RunToIdle());
  const std::vector<std::string> w = Writes();
  ASSERT_EQ(w.size(), 27u);
  const char* objects[27] = {"2008", "2009", "200C", "200E", "200A", "2286", "2287", "2288", "2291",
                             "2292", "2293", "2294", "2295", "2296", "2297", "2298", "22A1", "200D",
                             "22A3", "22A4", "22A5", "22A6", "22A7", "22A8", "200B", "2000", "2000"};
  for (int i = 0; i < 27; ++i) EXPECT_EQ(w[i].substr(0, 4), objects[i]) << i;
  EXPECT_EQ(w[4], "200A 000009C4");   // 2500
  EXPECT_EQ(w[5], "2286 00000866");   // 2150
  EXPECT_EQ(w[23], "22A8 00001388");  // 5000
  EXPECT_EQ(w[25], "2000 00000111");
  EXPECT_EQ(w[26], "2000 00000101");
  EXPECT_EQ(host.Cell(kParm, PARM_TABLE_1, 2, PARM_VALUE_COLUMN), "2500");  // POS5 copied over

  host.cells.clear();
  EXTP_CMD_READBACK_Callback(kExt, EXTP_CMD_READBACK, EVENT_COMMIT, nullptr, 0, 0);
  ASSERT_TRUE(RunToIdle());
  EXPECT_EQ(host.Cell(kExt, EXTP_TABLE_1, 5, PARM_VALUE_COLUMN), "2150");
  EXPECT_EQ(host.Cell(kExt, EXTP_TABLE_3, 7, PARM_VALUE_COLUMN), "5000");
  EXPECT_EQ(host.Cell(kParm, PARM_TABLE_1, 3, PARM_VALUE_COLUMN), "150");
  EXPECT_EQ(uint32_t{sParamRdContainer.entries[25].udData}, 0x111u);  // the cycle type read back

  // Without a link: one line and nothing sent.
  Select(0);
  Tick(4);  // the closing line
  host.texts.clear();
  EXTP_CMD_SEND_Callback(kExt, EXTP_CMD_SEND, EVENT_COMMIT, nullptr, 0, 0);
  EXTP_CMD_READBACK_Callback(kExt, EXTP_CMD_READBACK, EVENT_COMMIT, nullptr, 0, 0);
  Tick(4);
  EXPECT_EQ(Log(), "Target not connected!\nTarget not connected!\n");
  EXPECT_EQ(McycleSignalQueueGet(), 0);
}

// The exported script, run by the command interpreter, sets the controller.
TEST_P(WizardScenario, ExportedScriptSetsTheController) {
  ASSERT_TRUE(Connected());
  uint16_t values[EXTP_VALUES];
  for (int i = 0; i < EXTP_VALUES; ++i) values[i] = static_cast<uint16_t>(1000 + i);
  const std::string path = dir.Write("ext.pms", ExtParmScriptText(values, 0x12C));
  std::string reply;
  ASSERT_EQ(McycleCompileScriptFile(path, true, reply), SCRIPT_LOAD_OK) << reply;
  ASSERT_TRUE(McycleSignalQueuePut(MC_SIG_SCRIPT));
  ASSERT_TRUE(RunToIdle());
  ASSERT_EQ(Request(CQ_SDO_WRITE2, CTRL_OBJ_COMMAND, 0, CMD_CODE_PARM_READBACK), 2);
  const uint16_t objects[EXTP_VALUES] = {0x2008, 0x2009, 0x200C, 0x200E, 0x200A, 0x2286, 0x2287, 0x2288,
                                         0x2291, 0x2292, 0x2293, 0x2294, 0x2295, 0x2296, 0x2297, 0x2298,
                                         0x22A1, 0x200D, 0x22A3, 0x22A4, 0x22A5, 0x22A6, 0x22A7, 0x22A8};
  for (int i = 0; i < EXTP_VALUES; ++i) {
    ASSERT_EQ(Request(CQ_SDO_READ, objects[i], 0), 2);
    EXPECT_EQ(uint32_t{cqCanData.udData}, 1000u + i) << std::hex << objects[i];
  }
  ASSERT_EQ(Request(CQ_SDO_READ, 0x2005, 0), 2);  // POS6 by its other number
  EXPECT_EQ(uint32_t{cqCanData.udData}, 1005u);
  ASSERT_EQ(Request(CQ_SDO_READ, CTRL_OBJ_COMMAND, 0), 2);
  EXPECT_EQ(uint32_t{cqCanData.udData}, 0x12Cu);
  const std::vector<std::string> w = Writes();
  EXPECT_NE(std::find(w.begin(), w.end(), "2000 00000101"), w.end());  // the take
}
