// The macro panel on the real panels: project commands with their lamps,
// flags and messages, edits against cursor moves, upload requests, closing
// with an unsaved source.
#include <QApplication>
#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QTest>

#include "app/Startup.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "gui/PanelFixture.h"
#include "macro/macro.h"
#include "support/TempDir.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

namespace {

class MacroPanelTest : public PanelFixture {
 protected:
  int Macro() { return uwMcMacroPanelHandle; }
  std::string Box() {
    Process();
    std::string text;
    PanelGetString(Macro(), MACRO_TXTBOX_MSG, text);
    return text;
  }
  void ClearBox() { PanelClearText(Macro(), MACRO_TXTBOX_MSG); }
  std::string Editor() {
    std::string text;
    PanelGetString(Macro(), MACRO_TXT_EDITOR, text);
    return text;
  }
  // Lamps error, saved, compiled, loaded as "1010".
  std::string Lamps() {
    std::string on;
    for (int c : {MACRO_LED_ERROR, MACRO_LED_SAVED, MACRO_LED_COMPILED, MACRO_LED_LOADED}) {
      int64_t v = 0;
      PanelGetInt(Macro(), c, v);
      on += v ? '1' : '0';
    }
    return on;
  }
  QPlainTextEdit* EditorWidget() { return qobject_cast<QPlainTextEdit*>(host->ControlObject(Macro(), MACRO_TXT_EDITOR)); }
  // New, then saved as `name` in the folder.
  void NewProject(const std::string& name) {
    Click(Macro(), MACRO_CMD_NEW);
    answer = {true, project.Path() + "/" + name + ".mac"};
    Click(Macro(), MACRO_CMD_SAVE);
  }
  TempDir project;
};

TEST_F(MacroPanelTest, NewWithoutTemplateNamesWhereItLooked) {
  MacroSetResourceDirectory(project.Path() + "/none");
  Click(Macro(), MACRO_CMD_NEW);
  MacroSetResourceDirectory("");
  EXPECT_EQ(Box(), "example.mac not found; looked in " + project.Path() + "/none (no such folder)\n");
  EXPECT_EQ(Editor(), "");
  EXPECT_EQ(ubMacFlag & MAC_FLAG_PROJECT, 0);
}

TEST_F(MacroPanelTest, NewSaveCompileClean) {
  Click(Macro(), MACRO_CMD_NEW);
  EXPECT_EQ(Box(), "Macro new: Example.mac\n");
  EXPECT_EQ(Lamps(), "0001");
  EXPECT_EQ(ubMacFlag, MAC_FLAG_PROJECT);
  std::string name;
  PanelGetString(Macro(), MACRO_STR_NAME, name);
  EXPECT_EQ(name, "Example");
  const std::string text = Editor();
  const size_t date = text.find("\n        DATE ");
  ASSERT_NE(date, std::string::npos);
  EXPECT_EQ(std::count(text.begin(), text.begin() + static_cast<long>(date), '\n'), 12);  // line 14
  EXPECT_EQ(text.find('\n', text.find("        TIME ")) - text.find("        TIME "), 19u);  // six digits

  const std::string path = project.Path() + "/proj.mac";
  answer = {true, path};
  ClearBox();
  Click(Macro(), MACRO_CMD_SAVE);
  EXPECT_EQ(popups.back().title, "Save to file:");
  EXPECT_EQ(popups.back().defaultName, "Example.mac");
  EXPECT_EQ(Box(), "Macro saved: " + path + "\n");
  EXPECT_EQ(Lamps(), "0101");
  EXPECT_EQ(ubMacFlag, MAC_FLAG_PROJECT | MAC_FLAG_SAVED);
  EXPECT_EQ(ReadFileBytes(path), Editor() + "\n");
  EXPECT_EQ(MacroProjectName(), "proj");
  EXPECT_EQ(MacroProjectDir(), project.Path());

  ClearBox();
  Click(Macro(), MACRO_CMD_COMPILE);
  EXPECT_NE(Box().find("Macro compiling succesfully!\nMacro size:  "), std::string::npos) << Box();
  EXPECT_NE(Box().find("File proj.mbi created\nFile proj.lst created\n"), std::string::npos) << Box();
  EXPECT_EQ(Lamps(), "0111");
  EXPECT_EQ(ubMacFlag, MAC_FLAG_PROJECT | MAC_FLAG_SAVED | MAC_FLAG_COMPILED);

  for (const char* outcome : {"deleted", "doesn't exist"}) {
    ClearBox();
    Click(Macro(), MACRO_CMD_CLEAN);
    const std::string base = project.Path() + "/proj";
    EXPECT_EQ(Box(), "\nClean project proj\nFile " + base + ".mbi " + outcome + "\nFile " + base + ".lst " + outcome +
                         "\nFile " + base + ".err " + outcome + "\nClean successfully\n");
    EXPECT_EQ(Lamps(), "0101");
  }
}

// Typing, pasting and undoing are edits; moving the cursor and copying are not.
TEST_F(MacroPanelTest, EditsAgainstCursorMoves) {
  NewProject("edit");
  Click(Macro(), MACRO_CMD_COMPILE);
  ASSERT_EQ(ubMacFlag, MAC_FLAG_PROJECT | MAC_FLAG_SAVED | MAC_FLAG_COMPILED) << Box();
  QPlainTextEdit* editor = EditorWidget();
  ASSERT_NE(editor, nullptr);
  editor->setFocus();
  QTest::keyClick(editor, Qt::Key_Down);
  QTest::keyClick(editor, Qt::Key_Down);
  QTest::keyClick(editor, Qt::Key_End, Qt::ShiftModifier);
  QTest::keyClick(editor, Qt::Key_C, Qt::ControlModifier);
  Process();
  int64_t line = 0;
  PanelGetInt(Macro(), MACRO_NUM_LINE, line);
  EXPECT_EQ(line, 3);
  EXPECT_EQ(ubMacFlag, MAC_FLAG_PROJECT | MAC_FLAG_SAVED | MAC_FLAG_COMPILED);
  EXPECT_EQ(Lamps(), "0111");

  struct Edit {
    const char* what;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
  } edits[] = {{"type", Qt::Key_X, Qt::NoModifier}, {"paste", Qt::Key_V, Qt::ControlModifier},
               {"undo", Qt::Key_Z, Qt::ControlModifier}};
  for (const Edit& e : edits) {
    ubMacFlag |= MAC_FLAG_SAVED | MAC_FLAG_COMPILED;
    QTest::keyClick(editor, e.key, e.modifiers);
    Process();
    EXPECT_EQ(ubMacFlag, MAC_FLAG_PROJECT) << e.what;
    EXPECT_EQ(Lamps(), "0000") << e.what;
  }
  EXPECT_EQ(ReadFileBytes(project.Path() + "/edit.mac").find("X"), std::string::npos);  // nothing saved by itself
}

TEST_F(MacroPanelTest, CompileOfAnUnsavedSource) {
  NewProject("c");
  EditorWidget()->insertPlainText("    BOGUS\n");
  ASSERT_EQ(ubMacFlag, MAC_FLAG_PROJECT);
  answer = {false, ""};
  ClearBox();
  Click(Macro(), MACRO_CMD_COMPILE);
  EXPECT_EQ(popups.back().title, "File not saved");
  EXPECT_EQ(popups.back().message, "Save before compiling?");
  EXPECT_EQ(Box(), "Macro saving aborted! Macro not saved!\nMacro compiling aborted!\n");
  answer = {true, ""};
  ClearBox();
  Click(Macro(), MACRO_CMD_COMPILE);
  EXPECT_NE(Box().find("Macro saved: " + project.Path() + "/c.mac\n"), std::string::npos) << Box();
  EXPECT_NE(Box().find("c.mac:1: warning: label alone on a line"), std::string::npos) << Box();
  EXPECT_EQ(Lamps(), "1101");
  EXPECT_EQ(ubMacFlag, MAC_FLAG_PROJECT | MAC_FLAG_SAVED);
}

TEST_F(MacroPanelTest, UploadRequests) {
  NewProject("up");
  Click(Macro(), MACRO_CMD_UPLOAD);
  EXPECT_EQ(Box().substr(Box().rfind("Target")), "Target not connected!\n");

  ubCqDataChannel = CQ_LINK_SERIAL;
  answer = {true, ""};
  Click(Macro(), MACRO_CMD_UPLOAD);
  EXPECT_EQ(popups.back().title, "File up.mac not compiled");
  EXPECT_EQ(popups.back().message, "Compile before upload?");
  EXPECT_EQ(ubMacFlag, MAC_FLAG_PROJECT | MAC_FLAG_SAVED | MAC_FLAG_COMPILED);
  EXPECT_TRUE(Visible(uwMcMacroLoadPanelHandle));
  std::string title;
  PanelGetString(uwMcMacroLoadPanelHandle, MACRO_LOAD_TXT_STATUS, title);
  EXPECT_EQ(title, "Upload Status");
  EXPECT_EQ(ubMcFlag, MC_FLAG_MEMORY_TRANSFER | MC_FLAG_MEM_MACRO_PANEL | MC_FLAG_MEM_MACRO);
  EXPECT_EQ(udMacFileSize, ReadFileBytes(project.Path() + "/up.mbi").size());
  // The transfer has not run yet: every transfer command refuses.
  ClearBox();
  for (int c : std::initializer_list<int>{MACRO_CMD_UPLOAD, MACRO_CMD_DOWNLOAD, MACRO_CMD_ERASE, MACRO_CMD_START})
    Click(Macro(), c);
  EXPECT_EQ(Count(Box(), "an operation is running\n"), 4) << Box();
  EXPECT_EQ(Signals(), std::vector<uint16_t>{51});

  // The operator's "no" to compiling uploads the old file.
  ubMcFlag = 0;
  ubMacFlag &= static_cast<uint8_t>(~MAC_FLAG_COMPILED);
  answer = {false, ""};
  ClearBox();
  Click(Macro(), MACRO_CMD_UPLOAD);
  EXPECT_NE(Box().find("Macro Upload: not compiled; Upload old file\n"), std::string::npos) << Box();
  EXPECT_EQ(Signals(), std::vector<uint16_t>{51});

  // A source that does not assemble is not uploaded, the old image neither.
  ubMcFlag = 0;
  answer = {true, ""};
  EditorWidget()->insertPlainText("    BOGUS\n");
  ClearBox();
  Click(Macro(), MACRO_CMD_UPLOAD);
  EXPECT_EQ(popups.back().title, "File up.mac not saved and compiled");
  EXPECT_NE(Box().find("Macro Upload: aborted\n"), std::string::npos) << Box();
  EXPECT_TRUE(Signals().empty());
  EXPECT_EQ(ubMcFlag, 0);
}

TEST_F(MacroPanelTest, ClosingWithAnUnsavedSourceAsksForAFile) {
  Click(Macro(), MACRO_CMD_NEW);
  PanelDisplay(Macro());
  Process();
  const std::string path = project.Path() + "/closing.mac";
  answer = {true, path};
  host->PanelWidget(Macro())->close();
  Process();
  ASSERT_GE(popups.size(), 2u);
  EXPECT_EQ(popups[popups.size() - 2].message, "Save before closing?");
  EXPECT_EQ(popups.back().title, "Save to file:");
  EXPECT_EQ(ReadFileBytes(path), Editor() + "\n");
  EXPECT_FALSE(Visible(Macro()));
  EXPECT_EQ(MacroProjectDir(), project.Path());
}

}  // namespace
