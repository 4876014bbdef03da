// The Qt panel host: refusals, value semantics of each kind of control, what
// the operator does, and calls from another thread.
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <cmath>
#include <thread>

#include "gui/PanelFixture.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"
#include "app/Startup.h"

namespace {

std::vector<std::pair<int, int>> fired;  // (control, event)
int Record(int, int control, int event, void*, int, int) {
  fired.emplace_back(control, event);
  return 0;
}

class PanelHostTest : public PanelFixture {
 protected:
  void SetUp() override {
    fired.clear();
    PanelFixture::SetUp();
  }
};

TEST_F(PanelHostTest, UnknownHandlesIdsAndKindsAreRefused) {
  int64_t i = 0;
  double d = 0;
  std::string s;
  EXPECT_EQ(PanelSetInt(999, MAIN_NUM_IP_1, 1), PANEL_ERR_UNKNOWN);
  EXPECT_EQ(PanelSetInt(main, 4242, 1), PANEL_ERR_UNKNOWN);
  EXPECT_EQ(PanelGetInt(main, -5, i), PANEL_ERR_UNKNOWN);
  EXPECT_EQ(PanelGetString(0, MAIN_TXTBOX_LOG, s), PANEL_ERR_UNKNOWN);
  EXPECT_EQ(PanelAppendText(main, MAIN_CMD_HOME, "x"), PANEL_ERR_UNKNOWN);      // not a text box
  EXPECT_EQ(PanelSetDouble(main, MAIN_NUM_RAM_POS, std::nan("")), PANEL_ERR_UNKNOWN);
  EXPECT_EQ(PanelSetDouble(main, MAIN_TXT_STATUS0, 1.0), PANEL_ERR_UNKNOWN);    // not numeric
  EXPECT_EQ(PanelSetAttribute(main, MAIN_CMD_HOME, ATTR_CHECKED, 1), PANEL_ERR_UNKNOWN);  // not a menu item
  EXPECT_EQ(PanelSetAttribute(main, MAIN_TIMER_TICK, ATTR_INTERVAL_MS, 0), PANEL_ERR_UNKNOWN);
  EXPECT_EQ(PanelInsertListItem(main, MAIN_RING_RAMTYPE, 1000, "x", 1), PANEL_ERR_UNKNOWN);
  EXPECT_EQ(PanelDeleteListItems(main, MAIN_RING_RAMTYPE, -1, 1), PANEL_ERR_UNKNOWN);
  EXPECT_EQ(PanelSetTableCell(main, MAIN_TXTBOX_LOG, 0, 0, "x"), PANEL_ERR_UNKNOWN);
  EXPECT_EQ(PanelPlotPoint(main, MAIN_TXTBOX_LOG, 1, 1, 0), PANEL_ERR_UNKNOWN);
  EXPECT_EQ(PanelSetAxisRange(uwMcScopePanelHandle, SCOPE_GRAPH, GRAPH_AXIS_X, 5, 5), PANEL_ERR_UNKNOWN);
  EXPECT_EQ(PanelSetAxisRange(uwMcScopePanelHandle, SCOPE_GRAPH, static_cast<GraphAxis>(7), 0, 1), PANEL_ERR_UNKNOWN);
  EXPECT_EQ(PanelDeleteGraphPlot(uwMcScopePanelHandle, SCOPE_GRAPH, -2), PANEL_ERR_UNKNOWN);
  EXPECT_EQ(PanelGetDouble(main, MAIN_NUM_RAM_POS, d), 0);
}

TEST_F(PanelHostTest, RingsShowTheItemOfTheirValue) {
  auto* box = qobject_cast<QComboBox*>(host->ControlObject(main, MAIN_RING_COM_CHANNEL));
  int count = 0;
  PanelGetNumListItems(main, MAIN_RING_COM_CHANNEL, count);
  EXPECT_EQ(count, 3);
  // A serial port inserted after "no link", as the port scan does.
  PanelInsertListItem(main, MAIN_RING_COM_CHANNEL, 1, "COM3", 3);
  PanelSetInt(main, MAIN_RING_COM_CHANNEL, 3);
  EXPECT_EQ(box->currentText().toStdString(), "COM3");
  std::string label;
  PanelGetString(main, MAIN_RING_COM_CHANNEL, label);
  EXPECT_EQ(label, "COM3");
  PanelSetInt(main, MAIN_RING_COM_CHANNEL, 20);
  EXPECT_EQ(box->currentText().toStdString(), "Ethernet (UDP)");
  PanelSetInt(main, MAIN_RING_COM_CHANNEL, 77);  // no such item: none shown
  EXPECT_EQ(box->currentIndex(), -1);
  PanelDeleteListItems(main, MAIN_RING_COM_CHANNEL, 1, 1);
  PanelGetNumListItems(main, MAIN_RING_COM_CHANNEL, count);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(box->count(), 3);

  // The operator's choice: model first, then the callback.
  PanelInstallCallback(main, MAIN_RING_COM_CHANNEL, Record, nullptr);
  box->setCurrentIndex(2);
  emit box->activated(2);
  int64_t v = 0;
  PanelGetInt(main, MAIN_RING_COM_CHANNEL, v);
  EXPECT_EQ(v, 30);
  EXPECT_EQ(fired, (std::vector<std::pair<int, int>>{{MAIN_RING_COM_CHANNEL, EVENT_VAL_CHANGED},
                                                     {MAIN_RING_COM_CHANNEL, EVENT_COMMIT}}));
}

TEST_F(PanelHostTest, NumericFieldsKeepToTheirRangeAndSetValuesRaiseNoCallback) {
  PanelInstallCallback(main, MAIN_NUM_IP_1, Record, nullptr);
  PanelSetInt(main, MAIN_NUM_IP_1, 300);
  int64_t v = 0;
  PanelGetInt(main, MAIN_NUM_IP_1, v);
  EXPECT_EQ(v, 255);
  EXPECT_EQ(qobject_cast<QSpinBox*>(host->ControlObject(main, MAIN_NUM_IP_1))->value(), 255);
  EXPECT_TRUE(fired.empty());
  PanelSetAttribute(main, MAIN_NUM_IP_1, ATTR_MAX_VALUE, 100);
  PanelGetInt(main, MAIN_NUM_IP_1, v);
  EXPECT_EQ(v, 100);
  // A range that would be empty is refused.
  EXPECT_EQ(PanelSetAttribute(main, MAIN_NUM_IP_1, ATTR_MIN_VALUE, 101), PANEL_ERR_UNKNOWN);
  EXPECT_EQ(PanelSetAttribute(main, MAIN_NUM_IP_1, ATTR_MAX_VALUE, -1), PANEL_ERR_UNKNOWN);
  // The operator's entry: value changed, then commit, once each.
  qobject_cast<QSpinBox*>(host->ControlObject(main, MAIN_NUM_IP_1))->setValue(42);
  PanelGetInt(main, MAIN_NUM_IP_1, v);
  EXPECT_EQ(v, 42);
  EXPECT_EQ(fired, (std::vector<std::pair<int, int>>{{MAIN_NUM_IP_1, EVENT_VAL_CHANGED}, {MAIN_NUM_IP_1, EVENT_COMMIT}}));

  PanelSetDouble(main, MAIN_NUM_RAM_POS, 12.345);
  double d = 0;
  PanelGetDouble(main, MAIN_NUM_RAM_POS, d);
  EXPECT_DOUBLE_EQ(d, 12.345);
}

TEST_F(PanelHostTest, MenuCheckMarksBelongToTheLogic) {
  PanelInstallCallback(main, MAIN_MENU_RESERVED_CHECK, Record, nullptr);
  QAction* a = Action(main, MAIN_MENU_RESERVED_CHECK);
  a->setVisible(true);
  a->trigger();
  EXPECT_FALSE(a->isChecked());  // the menu alone does not tick it
  EXPECT_EQ(fired.size(), 1u);
  PanelSetAttribute(main, MAIN_MENU_RESERVED_CHECK, ATTR_CHECKED, 1);
  int64_t checked = 0;
  PanelGetAttribute(main, MAIN_MENU_RESERVED_CHECK, ATTR_CHECKED, checked);
  EXPECT_EQ(checked, 1);
  EXPECT_TRUE(a->isChecked());
  a->trigger();
  EXPECT_TRUE(a->isChecked());
}

TEST_F(PanelHostTest, CommandLineEnterAndHistoryKeys) {
  PanelInstallCallback(main, MAIN_TXT_CMDLINE, Record, nullptr);
  auto* edit = qobject_cast<QLineEdit*>(host->ControlObject(main, MAIN_TXT_CMDLINE));
  EXPECT_EQ(edit->maxLength(), 200);
  edit->setFocus();
  edit->insert("rd 0x2000 0");  // as typed: the model follows
  std::string text;
  PanelGetString(main, MAIN_TXT_CMDLINE, text);
  EXPECT_EQ(text, "rd 0x2000 0");
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QCoreApplication::sendEvent(edit, &enter);
  QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
  QCoreApplication::sendEvent(edit, &up);
  ASSERT_EQ(fired.size(), 2u);
  EXPECT_EQ(fired[0], (std::pair<int, int>{MAIN_TXT_CMDLINE, EVENT_COMMIT}));
  EXPECT_EQ(fired[1], (std::pair<int, int>{MAIN_TXT_CMDLINE, EVENT_KEYPRESS}));
}

TEST_F(PanelHostTest, CallsFromAnotherThreadReachTheWidgetsInOrder) {
  ClearLog();
  auto* box = qobject_cast<QPlainTextEdit*>(host->ControlObject(main, MAIN_TXTBOX_LOG));
  std::thread worker([] {
    for (int i = 0; i < 50; ++i) PanelAppendText(uwMcMainPanelHandle, MAIN_TXTBOX_LOG, std::to_string(i) + "\n");
    PanelSetString(uwMcMainPanelHandle, MAIN_TXT_STATUS0, "0x1234");
  });
  worker.join();
  // The model answers at once; the widget follows when the GUI thread runs.
  std::string status;
  PanelGetString(main, MAIN_TXT_STATUS0, status);
  EXPECT_EQ(status, "0x1234");
  PanelAppendText(main, MAIN_TXTBOX_LOG, "gui\n");  // queues behind the worker's lines
  Process();
  std::string expected;
  for (int i = 0; i < 50; ++i) expected += std::to_string(i) + "\n";
  expected += "gui\n";
  EXPECT_EQ(box->toPlainText().toStdString(), expected);
  EXPECT_EQ(Log(), expected);
  EXPECT_EQ(qobject_cast<QLineEdit*>(host->ControlObject(main, MAIN_TXT_STATUS0))->text(), "0x1234");
}

int DiscardOwnPanel(int panel, int, int event, void*, int, int) {
  return event == EVENT_LEFT_CLICK ? PanelDiscard(panel) : 0;
}

TEST_F(PanelHostTest, APanelMayBeDiscardedFromItsOwnCallback) {
  const int about = uwMcAboutPanelHandle;
  PanelInstallCallback(about, 0, DiscardOwnPanel, nullptr);
  PanelDisplay(about);
  Process();
  QMouseEvent click(QEvent::MouseButtonPress, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  ASSERT_NE(host->PanelWidget(about), nullptr);
  QCoreApplication::sendEvent(host->PanelWidget(about), &click);
  Process();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(host->PanelWidget(about), nullptr);
  EXPECT_EQ(PanelSetString(about, ABOUT_TXT_VERSION, "x"), PANEL_ERR_UNKNOWN);
  uwMcAboutPanelHandle = 0;
}

TEST_F(PanelHostTest, TablesHoldCellsByRowAndColumn) {
  const int panel = uwMcParameterPanelHandle;
  auto* table = qobject_cast<QTableWidget*>(host->ControlObject(panel, PARM_TABLE_1));
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->rowCount(), 4);
  EXPECT_EQ(table->columnCount(), 1);
  EXPECT_EQ(PanelSetTableCell(panel, PARM_TABLE_1, 3, 0, "1200"), 0);
  EXPECT_EQ(table->item(3, 0)->text(), "1200");
  EXPECT_EQ(PanelSetTableCell(panel, PARM_TABLE_1, 4, 0, "x"), PANEL_ERR_UNKNOWN);
  EXPECT_EQ(PanelSetTableCell(panel, PARM_TABLE_1, 0, 1, "x"), PANEL_ERR_UNKNOWN);
  EXPECT_EQ(PanelSetTableSize(panel, PARM_TABLE_1, 8, 3), 0);
  EXPECT_EQ(table->rowCount(), 8);
  EXPECT_EQ(table->columnCount(), 3);
  std::string cell;
  EXPECT_EQ(PanelGetTableCell(panel, PARM_TABLE_1, 3, 0, cell), 0);
  EXPECT_EQ(cell, "1200");  // kept through the resize
  // What the operator types reaches the model and the callback.
  PanelInstallCallback(panel, PARM_TABLE_1, Record, nullptr);
  table->item(3, 0)->setText("1300");
  PanelGetTableCell(panel, PARM_TABLE_1, 3, 0, cell);
  EXPECT_EQ(cell, "1300");
  EXPECT_EQ(fired, (std::vector<std::pair<int, int>>{{PARM_TABLE_1, EVENT_COMMIT}}));
}

}  // namespace
