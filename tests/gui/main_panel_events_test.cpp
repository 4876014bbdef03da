// Main panel events and the panels it opens: keys, close, the ram-type panel,
// the position monitor, log saving, evaluation copy, display options, scope,
// macro and trace files.
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QWheelEvent>
#include <fstream>
#include <sstream>

#include "app/ModuleHooks.h"
#include "app/PanelCallbacks.h"
#include "app/Shutdown.h"
#include "app/Startup.h"
#include "comm/CRC32.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "gui/PanelFixture.h"
#include "hmi/hmi.h"
#include "macro/macro.h"
#include "scope/ScopeEval.h"
#include "scope/scope.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"
#include "ui/qt/GraphControl.h"

namespace {

std::vector<std::string> hookCalls;

class MainPanelEventsTest : public PanelFixture {
 protected:
  void SetUp() override {
    hookCalls.clear();
    PanelFixture::SetUp();
  }
  void Key(int panel, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(host->PanelWidget(panel), &press);
    Process();
  }
  bool SwitchChecked(int control) {
    return qobject_cast<QCheckBox*>(host->ControlObject(main, control))->isChecked();
  }
};

TEST_F(MainPanelEventsTest, EscRequestsTheScriptStopAndF1ShowsHelp) {
  Key(main, Qt::Key_Escape);
  EXPECT_TRUE(ubMcFlag2 & MC_FLAG2_SCRIPT_STOP_REQUEST);
  EXPECT_FALSE(Visible(uwMcHelpPanelHandle));
  Key(main, Qt::Key_F1);
  EXPECT_TRUE(Visible(uwMcHelpPanelHandle));
  Key(uwMcHelpPanelHandle, Qt::Key_Escape);
  EXPECT_FALSE(Visible(uwMcHelpPanelHandle));
}

TEST_F(MainPanelEventsTest, ClosingTheMainPanelShutsDownWithEveryLink) {
  mcModuleHooks.closeLink = [](bool all) { hookCalls.push_back(all ? "all" : "serial"); };
  mcModuleHooks.freeTraceBuffer = [] { hookCalls.push_back("free"); };
  host->PanelWidget(main)->close();
  EXPECT_EQ(hookCalls, (std::vector<std::string>{"free", "all"}));
  EXPECT_TRUE(Visible(main));  // the callback decides; the event loop ends instead
}

// Exit on either menu; the program ends once, whatever follows.
TEST_F(MainPanelEventsTest, ExitClosesOnlyTheSerialPort) {
  mcModuleHooks.closeLink = [](bool all) { hookCalls.push_back(all ? "all" : "serial"); };
  Choose(MAIN_MENU_EXIT);
  EXPECT_EQ(hookCalls, std::vector<std::string>{"serial"});
  Action(uwMcScopePanelHandle, SCOPE_MENU_EXIT)->trigger();
  EXPECT_EQ(hookCalls, std::vector<std::string>{"serial"});
  McycleShutdownReset();
  Action(uwMcScopePanelHandle, SCOPE_MENU_EXIT)->trigger();
  EXPECT_EQ(hookCalls, (std::vector<std::string>{"serial", "serial"}));
}

TEST_F(MainPanelEventsTest, ChoosingAChannelOnTheRingSelectsIt) {
  ::unsetenv("STROKEDESK_USB");
  ChooseRing(main, MAIN_RING_COM_CHANNEL, 30);
  EXPECT_EQ(Count(Log(), "USB Device not in Registry!\n"), 1);
  EXPECT_EQ(ubCqDataChannel, CQ_LINK_NONE);
}

// The wheel over a ring that has not the focus scrolls the window: the
// ring keeps its choice and nothing is sent or opened.
TEST_F(MainPanelEventsTest, WheelOverAnUnfocusedRingChangesNothing) {
  for (int control : {MAIN_RING_RAMTYPE, MAIN_RING_SAMPLE_TIME, MAIN_RING_COM_CHANNEL}) {
    auto* box = qobject_cast<QComboBox*>(host->ControlObject(main, control));
    ASSERT_NE(box, nullptr) << control;
    ASSERT_GT(box->count(), 1) << control;
    box->clearFocus();
    const int before = box->currentIndex();
    const uint8_t channel = ubCqDataChannel;
    ClearLog();
    for (int delta : {-120, 120}) {
      const QPointF at(box->width() / 2.0, box->height() / 2.0);
      QWheelEvent wheel(at, box->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                        Qt::NoScrollPhase, false);
      QCoreApplication::sendEvent(box, &wheel);
      Process();
    }
    EXPECT_EQ(box->currentIndex(), before) << control;
    EXPECT_EQ(ubCqDataChannel, channel) << control;
    EXPECT_EQ(Log(), "") << control;
  }
}

TEST_F(MainPanelEventsTest, RamtypePanelFromTheControllerAndItsAcknowledge) {
  McycleOpenRamtypePanel(0x4F);  // a code without a name shows its number
  std::string title, message;
  PanelGetString(uwMcRamtypePanelHandle, RTYPE_TXT_TITLE, title);
  PanelGetString(uwMcRamtypePanelHandle, RTYPE_TXTBOX_MESSAGE, message);
  EXPECT_EQ(title, "Ramtype 0x004F");
  EXPECT_EQ(message, "Ramtype 0x004F has been found.\nAfter power up you must set the correct ramtype!\n"
                     "Attention: Setting a new Ramtype will clear the status!");
  McycleOpenRamtypePanel(0x30);
  PanelGetString(uwMcRamtypePanelHandle, RTYPE_TXT_TITLE, title);
  EXPECT_EQ(title, "Ramtype Ram H0");
  Process();
  EXPECT_TRUE(ubMcFlag2 & MC_FLAG2_RAMTYPE_PANEL_OPEN);
  EXPECT_TRUE(Dimmed(main, 0));
  EXPECT_TRUE(Visible(uwMcRamtypePanelHandle));

  ubCqDataChannel = 1;
  ubMcFlag4 |= MC_FLAG4_RAMTYPE_UNACKNOWLEDGED;
  mcModuleHooks.prepareCyclicRequests = [] { hookCalls.push_back("cyclic"); };
  Click(uwMcRamtypePanelHandle, RTYPE_CMD_OK);
  Process();
  EXPECT_FALSE(Visible(uwMcRamtypePanelHandle));
  EXPECT_FALSE(ubMcFlag2 & MC_FLAG2_RAMTYPE_PANEL_OPEN);
  EXPECT_FALSE(ubMcFlag4 & MC_FLAG4_RAMTYPE_UNACKNOWLEDGED);
  EXPECT_FALSE(Dimmed(main, 0));
  EXPECT_TRUE(SwitchChecked(MAIN_BIN_SW_POS_MON_ON));
  EXPECT_TRUE(ubMcFlag1 & MC_FLAG1_CYCLIC_MONITOR_ON);
  EXPECT_EQ(hookCalls, std::vector<std::string>{"cyclic"});
}

TEST_F(MainPanelEventsTest, PositionMonitorNeedsALink) {
  ClearLog();
  Click(main, MAIN_BIN_SW_POS_MON_ON);
  EXPECT_EQ(Log(), "First select data channel!\n");
  EXPECT_FALSE(SwitchChecked(MAIN_BIN_SW_POS_MON_ON));
  EXPECT_FALSE(ubMcFlag1 & MC_FLAG1_CYCLIC_MONITOR_ON);

  ubCqDataChannel = 4;
  PanelSetAttribute(uwMcMacroPanelHandle, MACRO_CMD_TRANSFER_1, ATTR_DIMMED, 1);
  PanelSetAttribute(uwMcScopePanelHandle, SCOPE_CMD_DOWNLOAD, ATTR_DIMMED, 1);
  Click(main, MAIN_BIN_SW_POS_MON_ON);
  EXPECT_TRUE(ubMcFlag1 & MC_FLAG1_CYCLIC_MONITOR_ON);
  EXPECT_FALSE(Dimmed(uwMcMacroPanelHandle, MACRO_CMD_TRANSFER_1));
  EXPECT_FALSE(Dimmed(uwMcScopePanelHandle, SCOPE_CMD_DOWNLOAD));
  Click(main, MAIN_BIN_SW_POS_MON_ON);
  EXPECT_FALSE(ubMcFlag1 & MC_FLAG1_CYCLIC_MONITOR_ON);
}

TEST_F(MainPanelEventsTest, SaveAndClearTheLog) {
  ClearLog();
  HmiLogDirect("line one\nline two\n");
  const std::string path = (dir / "saved.log").string();
  answer = {true, path};
  Click(main, MAIN_CMD_SAVE_LOG);
  ASSERT_EQ(popups.size(), 1u);
  EXPECT_EQ(popups[0].kind, PopupRequest::FileSelect);
  EXPECT_EQ(popups[0].defaultName, "ZEL_Message.log");
  EXPECT_TRUE(popups[0].forSave);
  std::ifstream in(path);
  std::stringstream content;
  content << in.rdbuf();
  EXPECT_EQ(content.str(), HmiLogFileHeader() + "line one\nline two\n");

  // A file that cannot be written is reported in the log.
  answer = {true, (dir / "missing" / "x.log").string()};
  Click(main, MAIN_CMD_SAVE_LOG);
  EXPECT_NE(Log().find("Error: log file " + answer.path + " not saved"), std::string::npos);

  Click(main, MAIN_CMD_CLEAR_LOG);
  EXPECT_EQ(Log(), "");
}

TEST_F(MainPanelEventsTest, CopyEvaluationIntoTheLog) {
  ClearLog();
  Click(uwMcEvaluationPanelHandle, EVAL_CMD_COPY_LOG);
  EXPECT_EQ(Log(), "Error: no valid evaluation data!\n");

  ClearLog();
  edScopeEvalData = {};
  edScopeEvalData.uwPos2 = 1000;
  edScopeEvalData.uwPos5 = static_cast<uint16_t>(-250);  // held as signed hundredths
  edScopeEvalData.swUtPos = 4012;
  edScopeEvalData.lfStartTime = 12.5;
  edScopeEvalData.lfRunTime = 250.25;
  edScopeEvalData.sdSpeedDown = 180;
  edScopeEvalData.sdSpeedUp = -3;
  ubMcFlag1 |= MC_FLAG1_EVALUATION_OPEN;
  Click(uwMcEvaluationPanelHandle, EVAL_CMD_COPY_LOG);
  EXPECT_EQ(Log(),
            "Evaluation data:\n\n"
            "POS2:       10.00 mm\n"
            "POS5:       -2.50 mm\n"
            "UT:         40.12 mm\n"
            "Start Time: 12.50 ms\n"
            "Run Time:   250.25 ms\n"
            "Speed down: 180 mm/s\n"
            "Speed up:   -3 mm/s\n\n");
}

TEST_F(MainPanelEventsTest, DisplayOptionsMoveBothMenusCheckMarks) {
  Choose(MAIN_MENU_DISPLAY_BW);
  Process();
  EXPECT_TRUE(ubScopeFlag & SCOPE_FLAG_DISPLAY_B);
  EXPECT_TRUE(Action(main, MAIN_MENU_DISPLAY_BW)->isChecked());
  EXPECT_FALSE(Action(main, MAIN_MENU_DISPLAY_COLOUR)->isChecked());
  EXPECT_TRUE(Action(uwMcScopePanelHandle, SCOPE_MENU_BLACK_WHITE)->isChecked());
  EXPECT_FALSE(Action(uwMcScopePanelHandle, SCOPE_MENU_COLOUR)->isChecked());
  auto* legend = qobject_cast<QLabel*>(host->ControlObject(uwMcScopePanelHandle, SCOPE_LEGEND_2));
  EXPECT_TRUE(legend->styleSheet().isEmpty());
  Choose(MAIN_MENU_DISPLAY_COLOUR);
  Process();
  EXPECT_FALSE(ubScopeFlag & SCOPE_FLAG_DISPLAY_B);
  EXPECT_TRUE(Action(uwMcScopePanelHandle, SCOPE_MENU_COLOUR)->isChecked());
  EXPECT_TRUE(legend->styleSheet().contains("#00ffff"));
}

TEST_F(MainPanelEventsTest, SpeedItemsAreAPair) {
  Choose(MAIN_MENU_SPEED_LOW);
  EXPECT_EQ(ubMcComSpeed, 0);
  EXPECT_TRUE(Action(main, MAIN_MENU_SPEED_LOW)->isChecked());
  EXPECT_FALSE(Action(main, MAIN_MENU_SPEED_HIGH)->isChecked());
  Choose(MAIN_MENU_SPEED_HIGH);
  EXPECT_EQ(ubMcComSpeed, 1);
  EXPECT_FALSE(Action(main, MAIN_MENU_SPEED_LOW)->isChecked());
}

// Each exclusive pair is one radio group: choosing the checked item again
// leaves it checked.
TEST_F(MainPanelEventsTest, ExclusivePairsAreRadioGroups) {
  const struct {
    int panel, first, second;
  } pairs[] = {{main, MAIN_MENU_SPEED_HIGH, MAIN_MENU_SPEED_LOW},
               {main, MAIN_MENU_DISPLAY_COLOUR, MAIN_MENU_DISPLAY_BW},
               {uwMcScopePanelHandle, SCOPE_MENU_COLOUR, SCOPE_MENU_BLACK_WHITE}};
  for (const auto& p : pairs) {
    QAction* first = Action(p.panel, p.first);
    ASSERT_NE(first->actionGroup(), nullptr) << p.first;
    EXPECT_TRUE(first->actionGroup()->isExclusive());
    EXPECT_EQ(Action(p.panel, p.second)->actionGroup(), first->actionGroup());
    first->trigger();
    first->trigger();
    Process();
    EXPECT_TRUE(first->isChecked()) << p.first;
    EXPECT_FALSE(Action(p.panel, p.second)->isChecked()) << p.second;
  }
}

TEST_F(MainPanelEventsTest, ScopeAndMacroPanelsFollowTheLink) {
  Click(main, MAIN_CMD_SCOPE);
  Process();
  EXPECT_TRUE(Visible(uwMcScopePanelHandle));
  EXPECT_TRUE(ubMcFlag1 & MC_FLAG1_SCOPE_WINDOW_SET_UP);
  EXPECT_TRUE(Dimmed(uwMcScopePanelHandle, SCOPE_CMD_DOWNLOAD));
  ubCqDataChannel = 1;
  Choose(MAIN_MENU_SCOPE);
  Process();
  EXPECT_FALSE(Dimmed(uwMcScopePanelHandle, SCOPE_CMD_DOWNLOAD));

  ubCqDataChannel = 0;
  Choose(MAIN_MENU_MACRO);
  Process();
  EXPECT_TRUE(ubMacFlag & MAC_FLAG_PANEL_OPENED);
  EXPECT_TRUE(Visible(uwMcMacroPanelHandle));
  EXPECT_TRUE(Dimmed(uwMcMacroPanelHandle, MACRO_CMD_TRANSFER_1));
  EXPECT_TRUE(Dimmed(uwMcMacroPanelHandle, MACRO_CMD_TRANSFER_2));
}

TEST_F(MainPanelEventsTest, LoadTraceFileFailureIsShownOnTheGraphAndInTheLog) {
  ClearLog();
  Choose(MAIN_MENU_LOAD_TRACE);
  EXPECT_EQ(Log(), "Trace files are not supported in this build\n");

  ClearLog();
  mcModuleHooks.loadTraceFile = [] { return 1; };
  Choose(MAIN_MENU_LOAD_TRACE);
  Process();
  EXPECT_TRUE(Visible(uwMcScopePanelHandle));
  EXPECT_EQ(Log(), "ERROR: Scope loading file error\n");
  auto* graph = qobject_cast<GraphControl*>(host->ControlObject(uwMcScopePanelHandle, SCOPE_GRAPH));
  ASSERT_EQ(graph->Model().items.size(), 1u);
  const GraphItem& text = graph->Model().items[0].second;
  EXPECT_EQ(text.kind, GraphItem::Text);
  EXPECT_EQ(text.text, "ERROR: Scope loading file error");
  EXPECT_EQ(text.colour, 0xFF0000);
  EXPECT_EQ(text.pointSize, 20);
}

TEST_F(MainPanelEventsTest, MacroUpload) {
  ubCqDataChannel = 1;
  std::string image(8, '\0');
  image += std::string("\x02\x08\x20\x00\xC8\x00\x06", 7);
  image[4] = static_cast<char>(image.size());
  const uint32_t crc = CRC32calculationS(reinterpret_cast<const uint8_t*>(image.data()) + 4, image.size() - 4);
  for (int i = 0; i < 4; ++i) image[i] = static_cast<char>(crc >> (8 * i));
  const std::string good = (dir / "press.mbi").string(), broken = (dir / "broken.mbi").string();
  std::ofstream(good, std::ios::binary) << image;
  image[10] ^= 1;
  std::ofstream(broken, std::ios::binary) << image;

  answer = {true, good};
  ubMcFlag = MC_FLAG_MEM_MACRO_PANEL | MC_FLAG_MEM_ERASE | MC_FLAG_MEM_READ;  // left by earlier operations
  ClearLog();
  Choose(MAIN_MENU_MACRO_UPLOAD);
  Process();
  EXPECT_EQ(Log(), "Macro load: " + good + "\n");
  EXPECT_EQ(popups.back().title, "Macro Upload: Load file:");
  EXPECT_EQ(popups.back().message, "*.mbi");
  EXPECT_EQ(udMacFileSize, 15u);
  EXPECT_TRUE(Visible(uwMcMacroLoadPanelHandle));
  std::string status;
  PanelGetString(uwMcMacroLoadPanelHandle, MACRO_LOAD_TXT_STATUS, status);
  EXPECT_EQ(status, "Upload Status");
  EXPECT_EQ(ubMcFlag, MC_FLAG_MEMORY_TRANSFER | MC_FLAG_MEM_MACRO);
  EXPECT_EQ(Signals(), std::vector<uint16_t>{51});

  // A second request while the transfer runs is refused before any dialog.
  popups.clear();
  ClearLog();
  Choose(MAIN_MENU_MACRO_UPLOAD);
  EXPECT_EQ(Log(), "Macro Upload: an operation is running\n");
  EXPECT_TRUE(popups.empty());

  ubMcFlag = 0;
  PanelSetWaitCursor(false);
  answer = {true, broken};
  ClearLog();
  Choose(MAIN_MENU_MACRO_UPLOAD);
  Process();
  EXPECT_EQ(Log(), "ERROR: Macro loading error!\n");
  EXPECT_EQ(udMacFileSize, 0u);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(Signals().empty());
  EXPECT_EQ(ubMcFlag, 0);

  answer = {false, ""};  // cancel
  ClearLog();
  Choose(MAIN_MENU_MACRO_UPLOAD);
  EXPECT_EQ(Log(), "");
}

TEST_F(MainPanelEventsTest, AboutPanelGoesOnAClick) {
  Choose(MAIN_MENU_ABOUT);
  Process();
  ASSERT_TRUE(Visible(uwMcAboutPanelHandle));
  std::string version;
  PanelGetString(uwMcAboutPanelHandle, ABOUT_TXT_VERSION, version);
  EXPECT_EQ(version, std::string("Rev. S0712-22    ") + McycleBuildStamp());
  QWidget* about = host->PanelWidget(uwMcAboutPanelHandle);
  QMouseEvent click(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::RightButton, Qt::RightButton,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(about, &click);
  Process();
  EXPECT_FALSE(Visible(uwMcAboutPanelHandle));
}

}  // namespace
