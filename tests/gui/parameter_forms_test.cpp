// The parameter, extended parameter and save/recall panels as loaded from
// their forms: every control the logic names is on the form, the cells the
// logic writes are the cells the operator sees, typed cells keep to what a
// 2-byte object carries, and mouse gestures other than a button's click do
// nothing on the save/recall panel.
#include <QComboBox>
#include <QLineEdit>
#include <QStyleOptionViewItem>
#include <QValidator>
#include <memory>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include "app/Startup.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/McycleParmSaveRecall.h"
#include "gui/PanelFixture.h"
#include "params/CtrlCmd.h"
#include "params/ParameterPanel.h"
#include "ui/PanelIds.h"

namespace {

class ParameterFormsTest : public PanelFixture {
 protected:
  int parm() const { return uwMcParameterPanelHandle; }
  int ext() const { return uwMcExtParameterPanelHandle; }
  int psave() const { return uwMcParmSavePanelHandle; }

  QTableWidget* Table(int panel, int control) {
    return qobject_cast<QTableWidget*>(host->ControlObject(panel, control));
  }
  // The text the operator sees in a value cell.
  QString Shown(int panel, int control, int row) {
    Process();
    QTableWidget* table = Table(panel, control);
    if (!table || row >= table->rowCount()) return "<no cell>";
    const QTableWidgetItem* item = table->item(row, PARM_VALUE_COLUMN);
    return item ? item->text() : QString();
  }
  QString RowName(int panel, int control, int row) {
    const QTableWidgetItem* header = Table(panel, control)->verticalHeaderItem(row);
    return header ? header->text() : QString();
  }
  QSpinBox* SetField() { return qobject_cast<QSpinBox*>(host->ControlObject(psave(), PSAVE_NUM_SET)); }
};

TEST_F(ParameterFormsTest, EveryControlTheLogicUsesIsOnTheForms) {
  for (int c = PARM_CMD_PRESET_1; c <= PARM_CMD_SAVE_RECALL; ++c) EXPECT_NE(Button(parm(), c), nullptr) << c;
  for (int c : {PSAVE_CMD_SAVE, PSAVE_CMD_RECALL, PSAVE_CMD_CLOSE}) EXPECT_NE(Button(psave(), c), nullptr) << c;
  EXPECT_NE(SetField(), nullptr);
  EXPECT_NE(qobject_cast<QLineEdit*>(host->ControlObject(psave(), PSAVE_TXT_RAMTYPE)), nullptr);
  EXPECT_NE(qobject_cast<QComboBox*>(host->ControlObject(ext(), EXTP_RING_CYCLE)), nullptr);

  // Rows as the logic numbers them, named as the operator reads them.
  const char* basic[] = {"POS1", "POS2", "POS3", "READYWIN"};
  for (int row = 0; row < 4; ++row) EXPECT_EQ(RowName(parm(), PARM_TABLE_1, row), basic[row]);
  EXPECT_EQ(RowName(parm(), PARM_TABLE_2, 0), "TIME2");
  const char* prefix[] = {"POS", "SPD", "TIME"};
  const int tables[] = {EXTP_TABLE_1, EXTP_TABLE_2, EXTP_TABLE_3};
  for (int t = 0; t < 3; ++t) {
    ASSERT_NE(Table(ext(), tables[t]), nullptr);
    ASSERT_EQ(Table(ext(), tables[t])->rowCount(), EXTP_TABLE_ROWS);
    for (int row = 0; row < EXTP_TABLE_ROWS; ++row)
      EXPECT_EQ(RowName(ext(), tables[t], row), QString("%1%2").arg(prefix[t]).arg(row + 1));
  }
}

TEST_F(ParameterFormsTest, PresetsAndSendFillTheCellsTheOperatorSees) {
  PanelDisplay(parm());
  const char* presets[3][5] = {
      {"200", "2000", "2500", "150", "0"}, {"200", "2000", "3000", "150", "0"}, {"200", "2000", "3000", "150", "20"}};
  for (int p = 0; p < 3; ++p) {
    Click(parm(), PARM_CMD_PRESET_1 + p);
    for (int row = 0; row < 4; ++row) EXPECT_EQ(Shown(parm(), PARM_TABLE_1, row), presets[p][row]) << p;
    EXPECT_EQ(Shown(parm(), PARM_TABLE_2, 0), presets[p][4]) << p;
  }

  // Without a link the send goes nowhere.
  Click(parm(), PARM_CMD_SEND);
  EXPECT_EQ(Count(Log(), "Target not connected!\n"), 1);
  EXPECT_TRUE(Signals().empty());

  // The operator edits POS1 in its cell, then sends: the basic set with its
  // cycle entry, whichever set a read-back chose last.
  ubCqDataChannel = 1;
  ubMcFlag1 |= MC_FLAG1_PARM_EXTENDED;
  Table(parm(), PARM_TABLE_1)->item(0, PARM_VALUE_COLUMN)->setText("215");
  Click(parm(), PARM_CMD_SEND);
  EXPECT_EQ(Signals(), std::vector<uint16_t>{MC_SIG_PARM_WRITE});
  const uint32_t sent[6] = {215, 2000, 3000, 150, 20, 0x110};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(+sParamContainer.entries[i].udData, sent[i]) << i;
  EXPECT_FALSE(ubMcFlag1 & MC_FLAG1_PARM_EXTENDED);
  EXPECT_EQ(Shown(ext(), EXTP_TABLE_1, 0), "215");
  EXPECT_EQ(Shown(ext(), EXTP_TABLE_1, 4), "3000");  // POS5 on the extended panel
  EXPECT_EQ(Shown(ext(), EXTP_TABLE_3, 1), "20");
  EXPECT_EQ(qobject_cast<QComboBox*>(host->ControlObject(ext(), EXTP_RING_CYCLE))->currentData().toInt(), 0x110);
}

TEST_F(ParameterFormsTest, AnExtendedReadBackFillsBothPanels) {
  for (int i = 0; i < CTRL_CMD_KVO_WORDS; ++i) sKvoParm[i] = static_cast<uint16_t>(1000 + i);
  ParmPanelShowExtended();
  const int tables[] = {EXTP_TABLE_1, EXTP_TABLE_2, EXTP_TABLE_3};
  for (int t = 0; t < 3; ++t)
    for (int row = 0; row < EXTP_TABLE_ROWS; ++row)
      EXPECT_EQ(Shown(ext(), tables[t], row), QString::number(1000 + t * EXTP_TABLE_ROWS + row));
  // POS1, POS2, POS5, RDYWIN and TIME2 of the extended set.
  EXPECT_EQ(Shown(parm(), PARM_TABLE_1, 0), "1000");
  EXPECT_EQ(Shown(parm(), PARM_TABLE_1, 1), "1001");
  EXPECT_EQ(Shown(parm(), PARM_TABLE_1, 2), "1004");
  EXPECT_EQ(Shown(parm(), PARM_TABLE_1, 3), "1024");
  EXPECT_EQ(Shown(parm(), PARM_TABLE_2, 0), "1017");
}

TEST_F(ParameterFormsTest, TypedCellsTakeOnlyTwoByteValues) {
  struct Case {
    const char* typed;
    bool taken;
  } cases[] = {{"0", true},   {"2500", true},  {"65535", true}, {"65536", false}, {"99999", false},
               {"-1", false}, {"1x2", false}, {"", false},     {"0x10", false}};
  for (int panel : {parm(), ext()}) {
    QTableWidget* table = Table(panel, panel == parm() ? int{PARM_TABLE_1} : int{EXTP_TABLE_2});
    std::unique_ptr<QWidget> editor(table->itemDelegate()->createEditor(table->viewport(), QStyleOptionViewItem(),
                                                                        table->model()->index(1, PARM_VALUE_COLUMN)));
    auto* line = qobject_cast<QLineEdit*>(editor.get());
    ASSERT_NE(line, nullptr);
    ASSERT_NE(line->validator(), nullptr);
    for (const Case& c : cases) {
      QString text = c.typed;
      int at = 0;
      EXPECT_EQ(line->validator()->validate(text, at) == QValidator::Acceptable, c.taken) << c.typed;
    }
  }
}

TEST_F(ParameterFormsTest, SaveRecallActsOnlyOnItsButtons) {
  ubCqDataChannel = 1;
  PanelDisplay(psave());
  Process();
  QSpinBox* field = SetField();
  ASSERT_NE(field, nullptr);

  // Clicks and double clicks on the set-number field only set the number.
  field->setValue(9);
  QTest::mouseClick(field, Qt::LeftButton);
  QTest::mouseDClick(field, Qt::LeftButton);
  QTest::mouseClick(field, Qt::RightButton);
  Process();
  EXPECT_TRUE(Signals().empty());
  EXPECT_EQ(ubMcParmSetNo, 7);
  EXPECT_EQ(field->value(), 7);  // the clamped number is what the panel shows
  EXPECT_TRUE(Visible(psave()));

  // The buttons act on their click, with the clamped set; a recall while the
  // save waits to be taken is refused.
  QTest::mouseClick(Button(psave(), PSAVE_CMD_SAVE), Qt::LeftButton);
  Process();
  Click(psave(), PSAVE_CMD_RECALL);
  EXPECT_EQ(Signals(), std::vector<uint16_t>{MC_SIG_PARM_SAVE}) << Log();
  Click(psave(), PSAVE_CMD_RECALL);
  EXPECT_EQ(Signals(), std::vector<uint16_t>{MC_SIG_PARM_RECALL});
  EXPECT_EQ(sCmdContainer.uwNumOfEntries, 1);
  EXPECT_EQ(sCmdContainer.entries[CTRL_CMD_PARM_SAVE_RECALL].udData, CMD_CODE_PARM_READBACK);

  Click(psave(), PSAVE_CMD_CLOSE);
  Process();
  EXPECT_FALSE(Visible(psave()));
}

TEST_F(ParameterFormsTest, TheParameterPanelOpensItsNeighbours) {
  PanelDisplay(parm());
  Click(parm(), PARM_CMD_SAVE_RECALL);
  Click(parm(), PARM_CMD_EXTENDED);
  Process();
  EXPECT_TRUE(Visible(psave()));
  EXPECT_TRUE(Visible(ext()));
  Click(parm(), PARM_CMD_CLOSE);
  Process();
  EXPECT_FALSE(Visible(parm()));
}

}  // namespace
