// The command line, the "Run script file" item and the Run script button,
// driven through the real panels.
#include <QLineEdit>
#include <QTest>
#include <fstream>

#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "gui/PanelFixture.h"
#include "params/CtrlCmd.h"
#include "ui/PanelIds.h"

namespace {

class ScriptPanelsTest : public PanelFixture {
 protected:
  QLineEdit* CommandLine() { return qobject_cast<QLineEdit*>(host->ControlWidget(main, MAIN_TXT_CMDLINE)); }
  // Types as the operator does, onto what the line shows, and presses Enter.
  void Type(const QString& text) {
    QLineEdit* edit = CommandLine();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
    Process();
  }
  void Key(Qt::Key key) {
    QTest::keyClick(CommandLine(), key);
    Process();
  }
  std::string ScriptFile(const std::string& name, const std::string& text) {
    const std::string path = (dir / name).string();
    std::ofstream(path) << text;
    return path;
  }
};

TEST_F(ScriptPanelsTest, EnterRunsTheLineAndTheArrowsBrowseTheHistory) {
  ASSERT_NE(CommandLine(), nullptr);
  ubCqDataChannel = 1;
  Type("rd 0x2000 0");
  EXPECT_EQ(Signals(), std::vector<uint16_t>{MC_SIG_SCRIPT});
  EXPECT_EQ(sScrContainer.uwNumOfEntries, 1);
  EXPECT_EQ(sScrContainer.entries[0].uwIndex, 0x2000);
  // The line stays, selected: the next line replaces it, Enter sends it again.
  EXPECT_EQ(CommandLine()->text(), "rd 0x2000 0");
  EXPECT_EQ(CommandLine()->selectedText(), "rd 0x2000 0");
  Type("rd 0x2002 0");
  EXPECT_EQ(CommandLine()->text(), "rd 0x2002 0");
  EXPECT_EQ(Signals(), std::vector<uint16_t>{MC_SIG_SCRIPT});
  EXPECT_EQ(sScrContainer.entries[0].uwIndex, 0x2002);
  Key(Qt::Key_Return);
  EXPECT_EQ(Signals(), std::vector<uint16_t>{MC_SIG_SCRIPT});
  EXPECT_EQ(sScrContainer.entries[0].uwIndex, 0x2002);

  Key(Qt::Key_Up);
  EXPECT_EQ(CommandLine()->text(), "rd 0x2000 0");
  Key(Qt::Key_Up);  // not below the oldest line
  EXPECT_EQ(CommandLine()->text(), "rd 0x2000 0");
  Key(Qt::Key_Down);
  EXPECT_EQ(CommandLine()->text(), "rd 0x2002 0");
}

TEST_F(ScriptPanelsTest, HistoryKeepsTheLast21LinesAfterItsRingWraps) {
  ubCqDataChannel = 1;
  for (int i = 1; i <= 25; ++i) {
    Type(QString("rd 0x2000 %1").arg(i));
    Signals();
  }
  for (int i = 0; i < 30; ++i) Key(Qt::Key_Up);
  EXPECT_EQ(CommandLine()->text(), "rd 0x2000 5");
  for (int i = 0; i < 30; ++i) Key(Qt::Key_Down);
  EXPECT_EQ(CommandLine()->text(), "rd 0x2000 25");
}

TEST_F(ScriptPanelsTest, TypedLineIsRefusedWhileAScriptRuns) {
  ubCqDataChannel = 1;
  Type("rd 0x2000 0");
  Signals();
  ClearLog();
  uwMcycleState = 0x0600;  // the script machine is running
  Type("rd 0x2002 0");
  EXPECT_TRUE(Signals().empty());
  EXPECT_EQ(sScrContainer.entries[0].uwIndex, 0x2000);
  EXPECT_FALSE(Log().empty());
  uwMcycleState = MC_STATE_IDLE;
}

TEST_F(ScriptPanelsTest, MenuItemAndButtonRunNothingFromAFileWithAnError) {
  ubCqDataChannel = 1;
  answer = {true, ScriptFile("bad.pms", "rd 0x2000 0\nbogus words here\nrd 0x2002 0\n")};
  Choose(MAIN_MENU_RUN_SCRIPT);
  EXPECT_TRUE(Signals().empty());
  EXPECT_NE(Log().find("line 2"), std::string::npos);
  ClearLog();
  Click(main, MAIN_CMD_RUN_SCRIPT);
  EXPECT_TRUE(Signals().empty());
  EXPECT_NE(Log().find("line 2"), std::string::npos);

  answer = {true, ScriptFile("good.pms", "rd 0x2000 0\n; comment\nrd 0x2002 0\n")};
  Click(main, MAIN_CMD_RUN_SCRIPT);
  EXPECT_EQ(Signals(), std::vector<uint16_t>{MC_SIG_SCRIPT});
  EXPECT_EQ(sScrContainer.uwNumOfEntries, 2);
}

}  // namespace
