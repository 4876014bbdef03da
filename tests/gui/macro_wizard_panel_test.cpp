// The wizard panel on the real panels: each page inserts its own block from
// its own fields, the Advanced page's checks, a read without a link.
#include <QPlainTextEdit>

#include "app/Startup.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "gui/PanelFixture.h"
#include "macro/MacroWizard.h"
#include "macro/macro.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

namespace {

class MacroWizardPanelTest : public PanelFixture {
 protected:
  int Wiz() { return uwMcWizardPanelHandle; }
  std::string Editor() {
    Process();
    std::string text;
    PanelGetString(uwMcMacroPanelHandle, MACRO_TXT_EDITOR, text);
    return text;
  }
  void ClearEditor() { PanelSetString(uwMcMacroPanelHandle, MACRO_TXT_EDITOR, ""); }
};

TEST_F(MacroWizardPanelTest, EachPageInsertsItsBlockFromItsFields) {
  for (int page = 0; page < WIZ_CYCLE_PAGES; ++page) {
    ClearEditor();
    Process();
    uint32_t block[MAC_WIZ_BLOCK_SIZE] = {};
    for (int entry = 0; entry < MAC_WIZ_BLOCK_SIZE; ++entry)
      if (kWizardPageFields[page] & (1u << entry)) {
        block[entry] = 1000 * (page + 1) + entry;
        PanelSetInt(Wiz(), WizardField(page, entry), block[entry]);
      }
    if (page == WIZ_PAGE_MARK) block[MAC_WIZ_SPD2] = block[MAC_WIZ_SPD5] = 400;
    ubMacFlag = MAC_FLAG_PROJECT | MAC_FLAG_SAVED | MAC_FLAG_COMPILED;
    Process();
    Click(Wiz(), WizardCreate(page));
    std::vector<std::string> lines;
    ASSERT_TRUE(MacroWizLines(page + 1, block, 0, lines));
    std::string expected;
    for (const std::string& l : lines) expected += l + "\n";
    EXPECT_EQ(Editor(), expected) << kWizardPageNames[page];
    EXPECT_EQ(ubMacFlag, MAC_FLAG_PROJECT) << kWizardPageNames[page];
  }
  EXPECT_NE(Editor().find("OBJ_WRW 0x2292, 0x00,    400        ; SPD2"), std::string::npos);
}

TEST_F(MacroWizardPanelTest, AdvancedChecksInsertNothing) {
  struct Case {
    int ring;        // set to its "none" value, or the index field for 0x1FFF
    int64_t value;
    int button;
    const char* message;
  } cases[] = {
      {WIZ_ADV_RING_RAMTYPE, 0xFF, WIZ_ADV_CMD_RAMTYPE, "No Ramtype selected!"},
      {WIZ_ADV_RING_SAMPLE, 0, WIZ_ADV_CMD_SAMPLE, "No Sample Time selected!"},
      {WIZ_ADV_RING_COMMAND, 0, WIZ_ADV_CMD_COMMAND, "No Command selected!"},
      {WIZ_ADV_NUM_INDEX, 0x1FFF, WIZ_ADV_CMD_OBJECT, "Invalid address!"},
      {WIZ_ADV_RING_REP_COMMAND, 0, WIZ_ADV_CMD_REPEAT, "No Command selected!"},
  };
  ClearEditor();
  for (const Case& c : cases) {
    popups.clear();
    PanelSetInt(Wiz(), c.ring, c.value);
    Process();
    Click(Wiz(), c.button);
    Process();
    ASSERT_EQ(popups.size(), 1u) << c.message;
    EXPECT_EQ(popups[0].title, "Error");
    EXPECT_EQ(popups[0].message, c.message);
    EXPECT_EQ(Editor(), "") << c.message;
  }
  // With a choice made the same buttons insert.
  ChooseRing(Wiz(), WIZ_ADV_RING_COMMAND, 0x0202);
  Click(Wiz(), WIZ_ADV_CMD_COMMAND);
  PanelSetInt(Wiz(), WIZ_ADV_NUM_INDEX, 0x2103);
  ChooseRing(Wiz(), WIZ_ADV_RING_WIDTH, 1);
  PanelSetInt(Wiz(), WIZ_ADV_NUM_VALUE, 300);  // more than a byte holds
  Process();
  Click(Wiz(), WIZ_ADV_CMD_OBJECT);
  EXPECT_EQ(Editor(), "    OBJ_WRW 0x2000, 0x00, 0x0202        ; CMD_SEEK_POS2\n"
                      "    OBJ_WRB 0x2103, 0x00,    255        ; Object access\n");
}

TEST_F(MacroWizardPanelTest, ReadWithoutALinkChangesOnlyTheMessageBox) {
  PanelSetInt(Wiz(), WizardField(WIZ_PAGE_PUNCH, MAC_WIZ_POS1), 123);
  ClearLog();
  Process();
  Click(Wiz(), WizardRead(WIZ_PAGE_PUNCH));
  Process();
  std::string box;
  PanelGetString(uwMcMacroPanelHandle, MACRO_TXTBOX_MSG, box);
  EXPECT_EQ(box, "Target not connected!\n");
  int64_t pos1 = 0;
  PanelGetInt(Wiz(), WizardField(WIZ_PAGE_PUNCH, MAC_WIZ_POS1), pos1);
  EXPECT_EQ(pos1, 123);
  EXPECT_TRUE(Signals().empty());
  EXPECT_EQ(ubMcFlag & MC_FLAG_WIZARD_PARM_REQUEST, 0);
  EXPECT_EQ(Log(), "");
}

}  // namespace
