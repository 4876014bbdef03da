// Every operator action of the main panel that talks to the controller: the
// link guard and the signal each one posts.
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>

#include "app/ModuleHooks.h"
#include "app/PanelCallbacks.h"
#include "app/Ramtype.h"
#include "app/Startup.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "params/CtrlCmd.h"
#include "scope/ScopeAxes.h"
#include "scope/ScopeTrace.h"
#include "gui/PanelFixture.h"
#include "hmi/hmi.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

namespace {

constexpr const char* kNoLink = "Target not connected!\n";

// The items and buttons that need a link; what each does with one the
// acceptance session shows against the simulator.
const int kLinkedItems[] = {
    MAIN_MENU_LINK_TEST,        MAIN_MENU_DATE_TIME,       MAIN_MENU_HOME,           MAIN_MENU_SEEK_POS1,
    MAIN_MENU_SEEK_POS2,        MAIN_MENU_PUNCH,           MAIN_MENU_FORM,           MAIN_MENU_MARK_ON,
    MAIN_MENU_MARK_OFF,         MAIN_MENU_PRESS_ON,        MAIN_MENU_PRESS_OFF,      MAIN_MENU_HOVER_ON,
    MAIN_MENU_HOVER_OFF,        MAIN_MENU_HOME_ABSOLUT,    MAIN_MENU_JOG_ON,         MAIN_MENU_JOG_OFF,
    MAIN_MENU_CYCLE_BASIC,      MAIN_MENU_CYCLE_FORM2,     MAIN_MENU_CYCLE_FORM3,    MAIN_MENU_MACRO_STOP,
    MAIN_MENU_TRIGGER,          MAIN_MENU_TRIGGER_BACKWARD, MAIN_MENU_TRIGGER_FORWARD, MAIN_MENU_TRIGGER_MCYCLE,
    MAIN_MENU_TRIGGER_HARDWARE, MAIN_MENU_TRACE_FREEZE,    MAIN_MENU_TRACE_UNFREEZE, MAIN_MENU_COM_LOGGING,
    MAIN_MENU_RUN_SCRIPT,       MAIN_MENU_MACRO_UPLOAD,
};
const int kLinkedButtons[] = {
    MAIN_CMD_HOME,    MAIN_CMD_SEEK_POS1,        MAIN_CMD_SEEK_POS2,       MAIN_CMD_PUNCH,
    MAIN_BIN_SW_MARK, MAIN_BIN_SW_UDSEL_INHIBIT, MAIN_BIN_SW_PRESSURE_MON, MAIN_CMD_RUN_SCRIPT,
};

class MainPanelCommandsTest : public PanelFixture {};

TEST_F(MainPanelCommandsTest, WithoutALinkEachActionSaysSoOnceAndPostsNothing) {
  std::vector<std::pair<std::string, std::function<void()>>> actions;
  for (int item : kLinkedItems) actions.push_back({"menu " + std::to_string(item), [=, this] { Choose(item); }});
  for (int control : kLinkedButtons)
    actions.push_back({"control " + std::to_string(control), [=, this] { Click(main, control); }});
  actions.push_back({"sample time ring", [=, this] { ChooseRing(main, MAIN_RING_SAMPLE_TIME, 5); }});
  actions.push_back({"ram type ring", [=, this] { ChooseRing(main, MAIN_RING_RAMTYPE, 0x30); }});
  actions.push_back({"configuration read", [=, this] { Click(uwMcConfigPanelHandle, CONF_CMD_READ); }});
  actions.push_back({"configuration write", [=, this] { Click(uwMcConfigPanelHandle, CONF_CMD_WRITE); }});
  answer = {true, (dir / "x.mbi").string()};
  for (auto& [name, act] : actions) {
    ClearLog();
    act();
    EXPECT_EQ(Log(), kNoLink) << name;
    EXPECT_TRUE(Signals().empty()) << name;
  }
  EXPECT_TRUE(popups.empty());  // no file was asked for
  // The rings go back to "no choice".
  int64_t v = -1;
  PanelGetInt(main, MAIN_RING_SAMPLE_TIME, v);
  EXPECT_EQ(v, 0);
  PanelGetInt(main, MAIN_RING_RAMTYPE, v);
  EXPECT_EQ(v, RAMTYPE_NO_SELECTION);
}

TEST_F(MainPanelCommandsTest, MarkItemsSetTheMarkSwitchAndLoggingFollowsItsCheckMark) {
  ubCqDataChannel = 3;
  auto* mark = qobject_cast<QCheckBox*>(host->ControlObject(main, MAIN_BIN_SW_MARK));
  Choose(MAIN_MENU_MARK_ON);
  EXPECT_TRUE(mark->isChecked());
  Choose(MAIN_MENU_MARK_OFF);
  EXPECT_FALSE(mark->isChecked());
  Signals();
  // The logging machine moves the check mark; the item only asks.
  PanelSetAttribute(main, MAIN_MENU_COM_LOGGING, ATTR_CHECKED, 1);
  Choose(MAIN_MENU_COM_LOGGING);
  EXPECT_EQ(Signals(), std::vector<uint16_t>{49});
  EXPECT_TRUE(Action(main, MAIN_MENU_COM_LOGGING)->isChecked());
}

TEST_F(MainPanelCommandsTest, SampleTimeCodeFollowsTheFirmware) {
  ubCqDataChannel = 1;
  ClearLog();
  ChooseRing(main, MAIN_RING_SAMPLE_TIME, 5);  // 10 ms
  EXPECT_EQ(ubMcSampleTime, 20);
  EXPECT_EQ(Signals(), std::vector<uint16_t>{23});
  ubMcFlag3 |= MC_FLAG3_FW_P0417;
  ChooseRing(main, MAIN_RING_SAMPLE_TIME, 5);
  EXPECT_EQ(ubMcSampleTime, 10);
  ChooseRing(main, MAIN_RING_SAMPLE_TIME, 1);
  EXPECT_EQ(ubMcSampleTime, 1);
  EXPECT_EQ(Log(), "Set Sample Time: 10 ms\nSet Sample Time: 10 ms\nSet Sample Time: 0,5 ms\n");
  Signals();

  // A ring value off the table (0 is set without a link) changes nothing.
  for (int64_t off : std::initializer_list<int64_t>{0, 9, -1, 0x100000001LL}) {
    PanelSetInt(main, MAIN_RING_SAMPLE_TIME, off);
    MAIN_RING_SAMPLE_TIME_Callback(main, MAIN_RING_SAMPLE_TIME, EVENT_COMMIT, nullptr, 0, 0);
  }
  EXPECT_EQ(ubMcSampleTime, 1);
  EXPECT_TRUE(Signals().empty());
}

TEST_F(MainPanelCommandsTest, SampleTimeMenuNeedsNoLinkAndMovesItsCheckMark) {
  ClearLog();
  Choose(MAIN_MENU_SAMPLE_100);
  EXPECT_EQ(ubMcSampleTime, 200);
  EXPECT_EQ(Signals(), std::vector<uint16_t>{23});
  Choose(MAIN_MENU_SAMPLE_2);
  EXPECT_EQ(ubMcSampleTime, 4);
  Signals();
  for (int item = MAIN_MENU_SAMPLE_0_5; item <= MAIN_MENU_SAMPLE_100; ++item)
    EXPECT_EQ(Action(main, item)->isChecked(), item == MAIN_MENU_SAMPLE_2) << item;
  EXPECT_EQ(Log(), "Set Sample Time: 100 ms\nSet Sample Time: 2 ms\n");
}

TEST_F(MainPanelCommandsTest, RamTypeRing) {
  ubCqDataChannel = 1;
  ClearLog();
  ChooseRing(main, MAIN_RING_RAMTYPE, 79);  // not available
  int64_t v = 0;
  PanelGetInt(main, MAIN_RING_RAMTYPE, v);
  EXPECT_EQ(v, 255);
  EXPECT_EQ(qobject_cast<QComboBox*>(host->ControlObject(main, MAIN_RING_RAMTYPE))->currentIndex(), -1);
  EXPECT_EQ(Log(), "Ramtype not available!\n");
  EXPECT_TRUE(Signals().empty());

  ClearLog();
  PanelSetInt(main, MAIN_RING_RAMTYPE, 51);  // no name: nothing happens
  RING_RAMTYPE_Callback(main, MAIN_RING_RAMTYPE, EVENT_COMMIT, nullptr, 0, 0);
  EXPECT_EQ(Log(), "");
  EXPECT_TRUE(Signals().empty());

  ChooseRing(main, MAIN_RING_RAMTYPE, 0x92);
  EXPECT_EQ(ubMcRamtypeTel, 0x92);
  EXPECT_EQ(Log(), "Ramtype: Ram T2\n");
  EXPECT_EQ(Signals(), std::vector<uint16_t>{24});
}

TEST_F(MainPanelCommandsTest, SoftValueItems) {
  ClearLog();
  Choose(MAIN_MENU_SOFT_60);
  EXPECT_EQ(Log(), "Soft parameter values are not supported in this build\n");
  EXPECT_TRUE(Signals().empty());

  static uint16_t given = 0xFFFF;
  mcModuleHooks.setSoftParm = [](uint16_t value) { given = value; };
  Choose(MAIN_MENU_SOFT_OFF);
  EXPECT_EQ(given, 0);
  Choose(MAIN_MENU_SOFT_1);
  EXPECT_EQ(given, 1);
  EXPECT_EQ(Signals(), (std::vector<uint16_t>{5, 5}));
  for (int item = MAIN_MENU_SOFT_OFF; item <= MAIN_MENU_SOFT_1; ++item)
    EXPECT_EQ(Action(main, item)->isChecked(), item == MAIN_MENU_SOFT_1) << item;
}

TEST_F(MainPanelCommandsTest, ConfigurationPanelByteOrder) {
  ubCqDataChannel = 3;
  const int ip[4] = {192, 168, 0, 10};
  for (int i = 0; i < 4; ++i) PanelSetInt(uwMcConfigPanelHandle, CONF_NUM_IP_1 + i, ip[i]);
  for (int i = 0; i < 6; ++i) PanelSetInt(uwMcConfigPanelHandle, CONF_NUM_MAC_1 + i, 0x10 + i);
  ubMcFlag = 0x48;  // bits of an earlier erase
  ubMcFlag3 |= MC_FLAG3_ETHERNET_READ;
  Click(uwMcConfigPanelHandle, CONF_CMD_WRITE);
  EXPECT_EQ(udMcIpAddr, 0xC0A8000Au);
  const uint8_t mac[6] = {0x15, 0x14, 0x13, 0x12, 0x11, 0x10};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(udMcMacAddr[i], mac[i]) << i;
  EXPECT_EQ(ubMcFlag, MC_FLAG_MEM_ETHERNET | MC_FLAG_MEMORY_TRANSFER);
  EXPECT_FALSE(ubMcFlag3 & MC_FLAG3_ETHERNET_READ);
  EXPECT_EQ(Signals(), std::vector<uint16_t>{51});

  // While that transfer runs, neither button starts another or takes the fields.
  PanelSetInt(uwMcConfigPanelHandle, CONF_NUM_IP_1, 10);
  ClearLog();
  Click(uwMcConfigPanelHandle, CONF_CMD_WRITE);
  Click(uwMcConfigPanelHandle, CONF_CMD_READ);
  EXPECT_EQ(udMcIpAddr, 0xC0A8000Au);
  EXPECT_EQ(Log(), "Ethernet Config: an operation is running\nEthernet Config: an operation is running\n");
  EXPECT_TRUE(Signals().empty());

  ubMcFlag = 0;
  Click(uwMcConfigPanelHandle, CONF_CMD_READ);
  EXPECT_EQ(ubMcFlag, MC_FLAG_MEM_ETHERNET | MC_FLAG_MEM_READ | MC_FLAG_MEMORY_TRANSFER);
  EXPECT_TRUE(ubMcFlag3 & MC_FLAG3_ETHERNET_READ);
  EXPECT_EQ(Signals(), std::vector<uint16_t>{51});

  PanelDisplay(uwMcConfigPanelHandle);
  Process();
  Click(uwMcConfigPanelHandle, CONF_CMD_CLOSE);
  Process();
  EXPECT_FALSE(Visible(uwMcConfigPanelHandle));
}

}  // namespace

// The scope panel's menu on the real form: trigger items name their trace in
// the selector, the second trace's sample times log and post, backtrace
// restart asks first; without a link each says so and posts nothing.
TEST_F(MainPanelCommandsTest, ScopeMenuItemsNeedALinkAndNameTheirTrace) {
  const int scope = uwMcScopePanelHandle;
  auto choose = [&](int item) {
    QAction* a = Action(scope, item);
    ASSERT_NE(a, nullptr) << item;
    a->trigger();
  };
  const struct {
    int item;
    uint32_t trace;
    uint16_t signal;
  } triggers[] = {
      {SCOPE_MENU_TRACE1_TRIGGER, 1, 40},  {SCOPE_MENU_TRACE1_BACKWARD, 1, 30}, {SCOPE_MENU_TRACE1_FORWARD, 1, 31},
      {SCOPE_MENU_TRACE1_MCYCLE, 1, 32},   {SCOPE_MENU_TRACE1_HARDWARE, 1, 33}, {SCOPE_MENU_TRACE1_FREEZE, 1, 34},
      {SCOPE_MENU_TRACE1_UNFREEZE, 1, 35}, {SCOPE_MENU_TRACE2_BACKWARD, 2, 30}, {SCOPE_MENU_TRACE2_FORWARD, 2, 31},
      {SCOPE_MENU_TRACE2_MCYCLE, 2, 32},   {SCOPE_MENU_TRACE2_HARDWARE, 2, 33},
  };
  answer = {true, ""};
  std::vector<int> linked{SCOPE_MENU_BACKTRACE_RESTART, SCOPE_MENU_TRACE2_SAMPLE_0_5};
  for (const auto& t : triggers) linked.push_back(t.item);
  for (int item : linked) {
    ClearLog();
    choose(item);
    EXPECT_EQ(Log(), kNoLink) << item;
    EXPECT_TRUE(Signals().empty()) << item;
  }
  EXPECT_TRUE(popups.empty());

  ubCqDataChannel = 2;
  for (const auto& t : triggers) {
    sCmdContainer.entries[CTRL_CMD_TRACE_SELECT].udData = 0;
    choose(t.item);
    EXPECT_EQ(Signals(), std::vector<uint16_t>{t.signal}) << t.item;
    EXPECT_EQ(sCmdContainer.entries[CTRL_CMD_TRACE_SELECT].udData, t.trace) << t.item;
  }
  ClearLog();
  const uint16_t codes[9] = {1, 2, 4, 8, 20, 40, 80, 200, 400};
  for (int i = 0; i < 9; ++i) {
    choose(SCOPE_MENU_TRACE2_SAMPLE_0_5 + i);
    EXPECT_EQ(sCmdContainer.entries[CTRL_CMD_SAMPLE_TIME_2].udData, codes[i]);
    EXPECT_EQ(Signals(), std::vector<uint16_t>{47});
  }
  for (int i = 0; i < 9; ++i) EXPECT_EQ(Action(scope, SCOPE_MENU_TRACE2_SAMPLE_0_5 + i)->isChecked(), i == 8) << i;
  EXPECT_NE(Log().find("Set Sample Time Trace 2: 0,5 ms\nSet Sample Time Trace 2: 1 ms\n"), std::string::npos);
  EXPECT_NE(Log().find("Set Sample Time Trace 2: 200 ms\n"), std::string::npos);

  for (bool yes : {false, true}) {
    popups.clear();
    answer = {yes, ""};
    choose(SCOPE_MENU_BACKTRACE_RESTART);
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0].title, "Backtrace Restart");
    EXPECT_EQ(popups[0].message, "Restart Backward Tace2? All RC7 error data will be deleted!");
    EXPECT_EQ(Signals(), yes ? std::vector<uint16_t>{25} : std::vector<uint16_t>{}) << yes;
  }

  // The plot colours need no link and move the marks on both menus.
  ubCqDataChannel = 0;
  choose(SCOPE_MENU_BLACK_WHITE);
  EXPECT_TRUE(ubScopeFlag & SCOPE_FLAG_DISPLAY_B);
  EXPECT_TRUE(Action(main, MAIN_MENU_DISPLAY_BW)->isChecked());
  choose(SCOPE_MENU_COLOUR);
  EXPECT_FALSE(ubScopeFlag & SCOPE_FLAG_DISPLAY_B);
  EXPECT_TRUE(Action(main, MAIN_MENU_DISPLAY_COLOUR)->isChecked());
}

TEST_F(MainPanelCommandsTest, ScopeTimeZeroStepsByOneDivision) {
  auto* zero = qobject_cast<QDoubleSpinBox*>(host->ControlObject(uwMcScopePanelHandle, SCOPE_NUM_TIME_ZERO));
  ASSERT_NE(zero, nullptr);
  for (double gain : {20.0, 0.5}) {
    PanelSetDouble(uwMcScopePanelHandle, SCOPE_NUM_TIME_AXIS, gain);
    ScopeCalcXscale();
    QCoreApplication::processEvents();
    EXPECT_DOUBLE_EQ(zero->singleStep(), gain);
  }
}
