// An operator's session on the real panels against rc7sim on COM1: choose
// the channel, acknowledge the ram type, read the parameters back, recall a
// set, download a trace. The engine ticks as the panel timer would drive it.
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QSpinBox>
#include <QTableWidget>
#include <algorithm>
#include <memory>

#include "app/ModuleHooks.h"
#include "app/Startup.h"
#include "comm/ComChannel.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/McycleCyclic.h"
#include "engine/McycleFlags.h"
#include "engine/McycleMachines.h"
#include "gui/SimSession.h"
#include "hmi/hmi.h"
#include "scope/ScopeDownload.h"
#include "support/SimProcess.h"
#include "ui/PanelIds.h"

namespace {

using OperatorSessionTest = SimSessionTest;

TEST_F(OperatorSessionTest, ConnectReadBackAndRecallThroughThePanels) {
  Connect();
  if (HasFatalFailure()) return;

  // Read back: the simulator's working set after power-up.
  Click(main, MAIN_CMD_PARAMETERS);
  Click(uwMcParameterPanelHandle, PARM_CMD_READ_BACK);
  ASSERT_TRUE(Until([&] { return Idle() && !Cell(PARM_TABLE_2, 0).isEmpty(); })) << Log();
  EXPECT_EQ(Cell(PARM_TABLE_1, 0), "200");
  EXPECT_EQ(Cell(PARM_TABLE_1, 1), "2000");
  EXPECT_EQ(Cell(PARM_TABLE_1, 2), "2500");
  EXPECT_EQ(Cell(PARM_TABLE_1, 3), "150");
  EXPECT_EQ(Cell(PARM_TABLE_2, 0), "0");

  // Recall of set 2 (the simulator's sets hold the power-up values + 10 * (n + 1)).
  ClearLog();
  Click(uwMcParameterPanelHandle, PARM_CMD_SAVE_RECALL);
  qobject_cast<QSpinBox*>(host->ControlObject(uwMcParmSavePanelHandle, PSAVE_NUM_SET))->setValue(2);
  Click(uwMcParmSavePanelHandle, PSAVE_CMD_RECALL);
  ASSERT_TRUE(Until([&] { return Idle() && Log().find("Parm Recall O.K.") != std::string::npos; })) << Log();
  const std::string log = Log();
  EXPECT_NE(log.find("PARMSET    = 2"), std::string::npos) << log;
  EXPECT_NE(log.find("POS1       = 230"), std::string::npos) << log;
  EXPECT_FALSE(qobject_cast<QLineEdit*>(host->ControlObject(uwMcParmSavePanelHandle, PSAVE_TXT_RAMTYPE))
                   ->text()
                   .isEmpty());
}

TEST_F(OperatorSessionTest, MainPanelCommandsAndThePositionMonitorReachTheController) {
  Connect();
  if (HasFatalFailure()) return;

  // Acknowledging the ram type switched the position monitor on: it shows the
  // simulator's ram position (0x2002 = 4660) on its next polls.
  auto* monitor = Button(main, MAIN_BIN_SW_POS_MON_ON);
  EXPECT_TRUE(monitor->isChecked());
  EXPECT_TRUE(ubMcFlag1 & MC_FLAG1_CYCLIC_MONITOR_ON);
  EXPECT_TRUE(Until([&] {
    double ram = 0;
    PanelGetDouble(main, MAIN_NUM_RAM_POS, ram);
    return ram != 0;
  })) << Log();
  EXPECT_GT(Seen("2002 00"), 0);
  EXPECT_GT(Seen("2119 00"), 0);  // status word 1 with the lamps

  // Home: command 0x200 written to the command object between the polls.
  Click(main, MAIN_CMD_HOME);
  ASSERT_TRUE(Until([&] { return Idle() && Seen("2000 00 00000200") == 1; })) << Log();
  EXPECT_NE(Log().find("Transmit Home Command"), std::string::npos);

  // Switched off, the monitor asks nothing more.
  Click(main, MAIN_BIN_SW_POS_MON_ON);
  EXPECT_FALSE(monitor->isChecked());
  EXPECT_FALSE(ubMcFlag1 & MC_FLAG1_CYCLIC_MONITOR_ON);
  ASSERT_TRUE(Until([] { return Idle() && ubCyclicDataState == 0; }));
  const int polled = Seen("2002 00");
  TickUntil([] { return false; }, 300);  // longer than two poll periods
  EXPECT_EQ(Seen("2002 00"), polled);

  ChooseRing(main, MAIN_RING_COM_CHANNEL, 0);
  EXPECT_EQ(LinkLamp(), 0);
  EXPECT_EQ(ubCqDataChannel, CQ_LINK_NONE);
}

TEST_F(OperatorSessionTest, TraceDownloadFromTheScopePanelStopsOnEscape) {
  Connect();
  if (HasFatalFailure()) return;
  Click(main, MAIN_CMD_SCOPE);
  ASSERT_FALSE(Dimmed(uwMcScopePanelHandle, SCOPE_CMD_DOWNLOAD));

  // A whole download: the progress bar runs to its end, the panel goes.
  Click(uwMcScopePanelHandle, SCOPE_CMD_DOWNLOAD);
  ASSERT_TRUE(Until([&] { return Visible(uwMcDownloadPanelHandle); })) << Log();
  ASSERT_TRUE(Until([&] { return Idle() && !Visible(uwMcDownloadPanelHandle); })) << Log();
  EXPECT_NE(Log().find("Scope: Download time: "), std::string::npos) << Log();
  EXPECT_TRUE(ubMcFlag2 & MC_FLAG2_TRACE_PRESENT);
  auto* bar = qobject_cast<QProgressBar*>(host->ControlObject(uwMcDownloadPanelHandle, DOWNLOAD_PROGRESS));
  // The bar's range is the download's steps: it ends full.
  EXPECT_GT(bar->value(), 10);
  EXPECT_NEAR(bar->value(), bar->maximum(), 1);

  // Escape on the download panel while blocks come in.
  ClearLog();
  const int unfrozen = Seen("2000 00 0000012B");
  Click(uwMcScopePanelHandle, SCOPE_CMD_DOWNLOAD);
  ASSERT_TRUE(Until([&] { return (uwMcycleState >> 8) == MC_MACHINE_SCOPE_DOWNLOAD && uwMcScopeBlockCnt >= 5 && uwMcScopeBlockCnt < 90; }))
      << Log();
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QCoreApplication::sendEvent(host->PanelWidget(uwMcDownloadPanelHandle), &escape);
  ASSERT_TRUE(Until([&] { return Idle() && !Visible(uwMcDownloadPanelHandle); })) << Log();
  const std::string log = Log();
  EXPECT_NE(log.find("Scope: Download aborded (ESC)\n"), std::string::npos) << log;
  EXPECT_NE(log.find("Scope: Trigger unfreeze\nScope: Download time: "), std::string::npos) << log;
  EXPECT_EQ(Seen("2000 00 0000012B"), unfrozen + 1);
  EXPECT_LT(uwMcScopeBlockCnt, uwMcScopeBlockAnz);
  EXPECT_FALSE(ubMcFlag2 & MC_FLAG2_TRACE_PRESENT);
  EXPECT_FALSE(Dimmed(uwMcScopePanelHandle, SCOPE_CMD_DOWNLOAD));
}

// The operation controls follow the link: while the controller logs its
// communication all are dimmed but the way to switch that off, and every
// other end of identification, and "no link", leaves them all usable.
class LinkControlsTest : public OperatorSessionTest {
 protected:
  // COM1: a P0528 that logs its communication (mode word 0 bit 4); USB: a
  // product the tool does not know, or a device that never answers.
  void StartSims() override {
    StartSimOn(SessionLink::Serial, {"--variant", "p0528", "--mode0", "0x10"});
    unknown = StartSim({"--no-udp", "--no-pty1", "--variant", "unknown"});
    silent = StartSim({"--no-udp", "--no-pty1", "--drop", "all"});
  }
  // The dimmed ones of the operation controls.
  std::vector<int> DimmedControls() {
    Process();
    std::vector<int> dimmed;
    for (uint16_t c : kHmiOperationControls)
      if (Dimmed(main, c)) dimmed.push_back(c);
    return dimmed;
  }
  // Whether the menu item's check mark and the lamp show the logging.
  bool LoggingShown() {
    int64_t checked = 0, lamp = 0;
    PanelGetAttribute(main, MAIN_MENU_COM_LOGGING, ATTR_CHECKED, checked);
    PanelGetInt(main, MAIN_LED_LOGGING, lamp);
    EXPECT_EQ(checked, lamp);
    return checked != 0;
  }
  void ConnectLogging() {
    ClearLog();
    Connect();
    ASSERT_NE(Log().find("Communication logging on\n"), std::string::npos) << Log();
    std::vector<int> allButLogging(std::begin(kHmiOperationControls), std::end(kHmiOperationControls));
    allButLogging.erase(std::find(allButLogging.begin(), allButLogging.end(), MAIN_MENU_COM_LOGGING));
    EXPECT_EQ(DimmedControls(), allButLogging);
    EXPECT_TRUE(LoggingShown());
  }
  // Chooses USB with the simulator `device` behind it; identification ends
  // with `says`.
  void ChooseUsb(SimProcess* device, const char* says) {
    usb.reset();  // before the new value: its end unsets the variable
    usb = std::make_unique<ScopedEnv>("STROKEDESK_USB", device->Pty4());
    ChooseRing(main, MAIN_RING_COM_CHANNEL, COM_RING_USB);
    ASSERT_TRUE(Until([&] { return Idle() && Log().find(says) != std::string::npos; })) << Log();
  }

  SimProcess* unknown = nullptr;
  SimProcess* silent = nullptr;
};

TEST_F(LinkControlsTest, DimmedWhileTheControllerLogsAndUsableAtEveryOtherEnd) {
  ASSERT_TRUE(sim && unknown && silent);
  ConnectLogging();
  if (HasFatalFailure()) return;
  // The operator can switch the logging off, and the panel is whole again.
  Choose(MAIN_MENU_COM_LOGGING);
  ASSERT_TRUE(Until([&] { return Idle() && Log().find("Communication logging off\n") != std::string::npos; }));
  EXPECT_EQ(DimmedControls(), std::vector<int>{});
  EXPECT_FALSE(LoggingShown());

  // A product the tool refuses, then one that never answers.
  ChooseUsb(unknown, "is not supported");
  EXPECT_EQ(DimmedControls(), std::vector<int>{});
  EXPECT_FALSE(LoggingShown());
  ConnectLogging();
  ChooseUsb(silent, "Could not get Fw Revision");
  EXPECT_EQ(DimmedControls(), std::vector<int>{});
  EXPECT_FALSE(LoggingShown());

  // "No link".
  ConnectLogging();
  ChooseRing(main, MAIN_RING_COM_CHANNEL, COM_RING_NONE);
  EXPECT_EQ(DimmedControls(), std::vector<int>{});
  EXPECT_FALSE(LoggingShown());
}

}  // namespace
