// Parameter write and read-back against rc7sim: the basic and the extended
// set, the take command after the last parameter, the read-back request
// first, panels filled, and failed telegrams at any entry.
#include <gtest/gtest.h>

#include <string>

#include "app/Startup.h"
#include "comm/ComChannel.h"
#include "engine/Mcycle.h"
#include "engine/McycleParameter.h"
#include "params/CtrlCmd.h"
#include "params/ParameterPanel.h"
#include "support/ControllerFixture.h"
#include "ui/PanelIds.h"

namespace {

class ParameterTest : public ControllerFixture {
 protected:
  void SetUp() override {
    ControllerFixture::SetUp();
    ASSERT_TRUE(Connect(SimLink::Usb, faults_));
  }
  bool Logged(const std::string& text) { return Log().find(text) != std::string::npos; }
  std::string Cell(uint16_t panel, int table, int row) { return host.Cell(panel, table, row, PARM_VALUE_COLUMN); }
  // Runs one operation with the extended set selected or not.
  bool RunWith(uint16_t signal, bool extended) {
    if (extended)
      ubMcFlag1 |= MC_FLAG1_PARM_EXTENDED;
    else
      ubMcFlag1 &= static_cast<uint8_t>(~MC_FLAG1_PARM_EXTENDED);
    return Run(signal);
  }
  // The simulator's read-back registers after a read-back request.
  uint32_t SimValue(uint16_t index) {
    Request(CQ_SDO_WRITE2, 0x2000, 0, 0x102);
    return ReadObject(index);
  }

  std::vector<std::string> faults_;
};

TEST_F(ParameterTest, BasicSetWritesSevenEntriesWithTheTakeLineAfterTheSixth) {
  const uint32_t values[5] = {210, 1990, 2990, 140, 20};
  for (int i = 0; i < 5; ++i) sParamContainer.entries[i].udData = values[i];
  sParamContainer.entries[5].udData = 0x110;
  ASSERT_TRUE(RunWith(MC_SIG_PARM_WRITE, false));
  const std::vector<SimRequest> r = Requests();
  ASSERT_EQ(r.size(), 7u);
  const uint16_t objects[7] = {0x2008, 0x2009, 0x200A, 0x200B, 0x200D, 0x2000, 0x2000};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(r[i].index, objects[i]) << i;
    EXPECT_EQ(r[i].cmd, 0x2B) << i;
  }
  EXPECT_EQ(r[5].data, 0x110u);
  EXPECT_EQ(r[6].data, 0x101u);
  // Six frame pairs, the take line, the seventh pair, then O.K.
  const std::string log = Log();
  const size_t take = log.find("Transmit Take Parameter Command\n");
  ASSERT_NE(take, std::string::npos) << log;
  EXPECT_EQ(log.find("Transmission O.K.\n"), log.rfind("Transmission O.K.\n"));
  EXPECT_GT(log.find("Transmission O.K.\n"), take);
  EXPECT_EQ(log.substr(take).find("TX-SDO: 2B 00 20 00 01 01 00 00"), log.substr(take).find("TX-SDO"));
  EXPECT_EQ(SimValue(0x200A), 2990u);
}

TEST_F(ParameterTest, ExtendedSetWritesTwentySevenEntries) {
  for (int i = 0; i < 25; ++i) sParamRdContainer.entries[i].udData = 1000 + i;
  ASSERT_TRUE(RunWith(MC_SIG_PARM_WRITE, true));
  const std::vector<SimRequest> r = Requests();
  ASSERT_EQ(r.size(), 27u);
  EXPECT_TRUE(r[26].IsWrite(0x2000, 0x101));
  for (int i = 0; i < 25; ++i) EXPECT_EQ(r[i].data, 1000u + i) << i;
  EXPECT_TRUE(Logged("Transmit Take Parameter Command\n"));
  EXPECT_EQ(SimValue(0x200B), 1024u);
}

TEST_F(ParameterTest, WorkingSetChangesOnlyWithTheTakeCommand) {
  sParamContainer.entries[0].udData = 555;
  sParamContainer.entries[5].udData = 0x110;
  Select(COM_RING_NONE);
  ASSERT_TRUE(Connect(SimLink::Usb, {"--drop", "from:7:4"}));  // every try of the take command
  ASSERT_TRUE(RunWith(MC_SIG_PARM_WRITE, false));
  EXPECT_TRUE(Logged("Transmit Take Parameter Command\n"));
  EXPECT_TRUE(Logged("Transmission ERROR\n")) << Log();
  EXPECT_FALSE(Logged("Transmission O.K."));
  EXPECT_EQ(SimValue(0x2008), 200u);  // the power-up value
}

TEST_F(ParameterTest, ReadBackRequestsFirstAndNeverReadsTheTakeEntry) {
  for (const bool extended : {false, true}) {
    const size_t from = Seen();
    ASSERT_TRUE(RunWith(MC_SIG_PARM_READBACK, extended));
    const std::vector<SimRequest> r = Requests(from);
    const size_t reads = extended ? 26 : 6;
    ASSERT_EQ(r.size(), 1 + reads) << extended;
    EXPECT_TRUE(r[0].IsWrite(0x2000, 0x102));
    for (size_t i = 1; i < r.size(); ++i) EXPECT_TRUE(r[i].IsRead()) << i;
    const CtrlCmdContainer& c = extended ? sParamRdContainer : sParamContainer;
    for (size_t i = 0; i < reads; ++i) EXPECT_EQ(r[1 + i].index, +c.entries[i].uwIndex) << i;
  }
}

TEST_F(ParameterTest, ReadBackFillsTheParameterAndExtendedPanels) {
  ASSERT_TRUE(RunWith(MC_SIG_PARM_READBACK, true));
  EXPECT_TRUE(Logged("Transmission O.K.\n"));
  EXPECT_EQ(sKvoParm[0], 200);
  EXPECT_EQ(sKvoParm[24], 150);  // 0x200B
  EXPECT_EQ(Cell(kExtParameterPanel, EXTP_TABLE_1, 0), "200");
  EXPECT_EQ(Cell(kExtParameterPanel, EXTP_TABLE_1, 2), "1200");  // 0x200C
  EXPECT_EQ(Cell(kExtParameterPanel, EXTP_TABLE_2, 0), "21");    // 0x2291
  EXPECT_EQ(Cell(kExtParameterPanel, EXTP_TABLE_3, 7), "38");    // 0x22A8
  // Parameter panel: elements 0, 1, 4 (0x200A), 24 (0x200B) and 17 (0x200D).
  EXPECT_EQ(Cell(kParameterPanel, PARM_TABLE_1, 2), "2500");
  EXPECT_EQ(Cell(kParameterPanel, PARM_TABLE_1, 3), "150");
  EXPECT_EQ(Cell(kParameterPanel, PARM_TABLE_2, 0), "0");

  host.cells.clear();
  ASSERT_TRUE(RunWith(MC_SIG_PARM_READBACK, false));
  EXPECT_EQ(Cell(kParameterPanel, PARM_TABLE_1, 1), "2000");
  EXPECT_EQ(Cell(kExtParameterPanel, EXTP_TABLE_1, 0), "");  // the basic set leaves it
}

TEST_F(ParameterTest, WizardGetsItsFifteenControlsAndThePanelsNothing) {
  uwMcMacWizParmPanelHandle = kWizardPanel;
  for (int i = 0; i < MC_WIZARD_PARM_CONTROLS; ++i) ubMcMacWizParmNum[i] = static_cast<uint8_t>(40 + i);
  ubMcFlag |= MC_FLAG_WIZARD_PARM_REQUEST;
  ASSERT_TRUE(RunWith(MC_SIG_PARM_READBACK, true));
  EXPECT_FALSE(ubMcFlag & MC_FLAG_WIZARD_PARM_REQUEST);
  const int64_t expected[15] = {200, 2000, 1200, 1800, 2500, 11, 21, 22, 23, 24, 25, 26, 0, 150, 38};
  for (int i = 0; i < 15; ++i) EXPECT_EQ((host.ints[{kWizardPanel, 40 + i}]), expected[i]) << i;
  EXPECT_EQ(Cell(kExtParameterPanel, EXTP_TABLE_1, 0), "");
}

// A failed telegram at the first, a middle and the last entry of a read-back
// or a write: "Transmission ERROR", nothing shown, and the next read-back
// fills the panels again.
struct FailureCase {
  uint16_t signal;
  int request;  // the request whose four tries are dropped
};

class ParameterFailureTest : public ParameterTest, public ::testing::WithParamInterface<FailureCase> {
 protected:
  void SetUp() override {
    faults_ = {"--drop", "from:" + std::to_string(GetParam().request) + ":4"};
    ParameterTest::SetUp();
  }
};

TEST_P(ParameterFailureTest, ReportsTheErrorAndTheNextReadBackStillFills) {
  const FailureCase& c = GetParam();
  sParamContainer.entries[5].udData = 0x110;
  // A save or recall reads back silently; a failure must not leave it so.
  if (c.signal == MC_SIG_PARM_READBACK) ubMcFlag1 |= MC_FLAG1_PARM_SILENT;
  ASSERT_TRUE(RunWith(c.signal, false));
  EXPECT_TRUE(Logged("Transmission ERROR\n")) << Log();
  EXPECT_FALSE(Logged("Transmission O.K."));
  EXPECT_EQ(Cell(kParameterPanel, PARM_TABLE_1, 0), "");
  if (c.signal == MC_SIG_PARM_READBACK) {
    EXPECT_EQ(ubMcParmReadFailed, 1);
    EXPECT_FALSE(ubMcFlag1 & MC_FLAG1_PARM_SILENT);
  }
  host.texts.clear();
  ASSERT_TRUE(RunWith(MC_SIG_PARM_READBACK, false));
  EXPECT_TRUE(Logged("Transmission O.K.\n")) << Log();
  // A write that failed took nothing over: the power-up values.
  EXPECT_EQ(Cell(kParameterPanel, PARM_TABLE_1, 0), "200");
}

INSTANTIATE_TEST_SUITE_P(Usb, ParameterFailureTest,
                         ::testing::Values(FailureCase{MC_SIG_PARM_READBACK, 1}, FailureCase{MC_SIG_PARM_READBACK, 2},
                                           FailureCase{MC_SIG_PARM_READBACK, 4}, FailureCase{MC_SIG_PARM_READBACK, 7},
                                           FailureCase{MC_SIG_PARM_WRITE, 1}, FailureCase{MC_SIG_PARM_WRITE, 4},
                                           FailureCase{MC_SIG_PARM_WRITE, 7}),
                         [](const auto& info) {
                           return std::string(info.param.signal == MC_SIG_PARM_WRITE ? "Write" : "ReadBack") +
                                  std::to_string(info.param.request);
                         });

}  // namespace
