// The macro wizard's blocks: their exact lines, their insertion at the
// editor's cursor, and that every block assembles with the shipped include.
#include <gtest/gtest.h>

#include "app/Startup.h"
#include "macro/MacroWizard.h"
#include "macro/macro.h"
#include "support/EngineFixture.h"
#include "support/TempDir.h"
#include "ui/PanelIds.h"

namespace {

constexpr int kMacroPanel = 14;

std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  return text;
}

// A block with every entry its own value: 5 for POS1, 65535 for SPD1.
const uint32_t kBlock[MAC_WIZ_BLOCK_SIZE] = {5, 2000, 2200, 2400, 2500, 2150, 65535, 400, 401, 402, 403, 404, 20, 150, 5000};

const char* const kPunch =
    "    ; Punch\n"
    "    OBJ_WRW 0x2008, 0x00,      5        ; POS1\n"
    "    OBJ_WRW 0x2009, 0x00,   2000        ; POS2\n"
    "    OBJ_WRW 0x200A, 0x00,   2500        ; POS5\n"
    "    OBJ_WRW 0x2291, 0x00,  65535        ; SPD1\n"
    "    OBJ_WRW 0x2292, 0x00,    400        ; SPD2\n"
    "    OBJ_WRW 0x2295, 0x00,    403        ; SPD5\n"
    "    OBJ_WRW 0x22A8, 0x00,   5000        ; TIME8\n"
    "    OBJ_WRW 0x200B, 0x00,    150        ; RDYWIN\n"
    "    OBJ_WRW 0x2000, 0x00, 0x0110        ; CMD_CYCLE_BASIC\n"
    "    OBJ_WRW 0x2000, 0x00, 0x0101        ; CMD_TAKE\n"
    "    DELAY 10\n"
    "    STOP\n";

TEST(MacroWizardLines, EveryKind) {
  const std::string punch = kPunch;
  const auto replace = [&](const std::string& from, const std::string& to) {
    std::string s = punch;
    s.replace(s.find(from), from.size(), to);
    return s;
  };
  struct Case {
    int kind;
    std::vector<uint32_t> block;
    uint32_t value;
    std::string text;
  };
  const std::vector<uint32_t> cycle(kBlock, kBlock + MAC_WIZ_BLOCK_SIZE);
  const Case cases[] = {
      {MAC_WIZ_PUNCH, cycle, 0, punch},
      {MAC_WIZ_HOVER, cycle, 0, replace("; Punch", "; Hover")},
      {MAC_WIZ_PRESS, cycle, 0, replace("; Punch", "; Press")},
      {MAC_WIZ_MARK, cycle, 0, replace("; Punch", "; Mark")},
      {MAC_WIZ_FORM1, cycle, 0,
       replace("    ; Punch\n", "    ; Form1\n")
           .replace(punch.find("    OBJ_WRW 0x22A8"), 0, "    OBJ_WRW 0x200D, 0x00,     20        ; TIME2\n")},
      {MAC_WIZ_OBJECT, {1, 0x2103, 2}, 255, "    OBJ_WRB 0x2103, 0x02,    255        ; Object access\n"},
      {MAC_WIZ_OBJECT, {2, 0xABCD, 0x1F}, 65535, "    OBJ_WRW 0xABCD, 0x1F,  65535        ; Object access\n"},
      {MAC_WIZ_OBJECT, {3, 0x2A00, 3}, 123456, "    OBJ_WRD 0x2A00, 0x03, 123456        ; Object access\n"},
      {MAC_WIZ_OBJECT, {4, 0x2004, 0}, 7, "    OBJ_RD 0x2004, 0x00                 ; Object access\n"},
      {MAC_WIZ_SAMPLE_TIME, {4}, 0, "    OBJ_WRW 0x2102, 0x00,      4        ; Sample Time\n"},
      {MAC_WIZ_RAMTYPE, {0x31}, 0, "    OBJ_WRW 0x2000, 0x00, 0x0431        ; Ramtype\n"},
      {MAC_WIZ_COMMAND, {0x0202}, 0, "    OBJ_WRW 0x2000, 0x00, 0x0202        ; CMD_SEEK_POS2\n"},
      {MAC_WIZ_COMMAND, {0x0214}, 0, "    OBJ_WRW 0x2000, 0x00, 0x0214        ; CMD_START_PULSE_GEN\n"},
      {MAC_WIZ_COMMAND, {0x0999}, 0, "    OBJ_WRW 0x2000, 0x00, 0x0999        ;  CMD\n"},
      {MAC_WIZ_DELAY, {250}, 0, "    DELAY 250\n"},
      {MAC_WIZ_STOP, {}, 0, "    STOP\n"},
      {MAC_WIZ_REPEAT, {0x0203, 100, 5}, 0,
       "    ; Repeat Generator\n    OBJ_WRD 0x2321, 0x01,    100        ; Delay\n"
       "    OBJ_WRD 0x2321, 0x02,      5        ; Counter\n    OBJ_WRD 0x2321, 0x04, 0x0203        ; Cmd\n"},
      {MAC_WIZ_AUTOSTART, {}, 0, "    AUTOSTART\n"},
  };
  for (const Case& c : cases) {
    std::vector<uint32_t> block = c.block;
    block.resize(MAC_WIZ_BLOCK_SIZE);
    std::vector<std::string> lines;
    ASSERT_TRUE(MacroWizLines(c.kind, block.data(), c.value, lines)) << c.kind;
    EXPECT_EQ(Join(lines), c.text) << c.kind;
  }
  std::vector<std::string> lines;
  const std::pair<int, size_t> lengths[] = {{1, 13}, {5, 13}, {6, 13}, {7, 13}, {2, 14}, {3, 18}, {4, 20}};
  for (auto [kind, length] : lengths) {
    ASSERT_TRUE(MacroWizLines(kind, kBlock, 0, lines));
    EXPECT_EQ(lines.size(), length) << kind;
  }
  MacroWizLines(MAC_WIZ_FORM3, kBlock, 0, lines);
  EXPECT_EQ(lines[6], "    OBJ_WRW 0x2005, 0x00,   2150        ; POS6");
  EXPECT_EQ(lines[14], "    OBJ_WRW 0x22A8, 0x00,   5000        ; TIME8");
  EXPECT_EQ(lines[16], "    OBJ_WRW 0x2000, 0x00, 0x012C        ; CMD_CYCLE_FORM3");
  for (int kind : {0, 16, -1}) EXPECT_FALSE(MacroWizLines(kind, kBlock, 0, lines)) << kind;
  EXPECT_TRUE(lines.empty());
}

class MacroWizardInsertTest : public EngineFixture {
 protected:
  void SetUp() override {
    EngineFixture::SetUp();
    uwMcMacroPanelHandle = kMacroPanel;
    ubMacFlag = MAC_FLAG_PROJECT | MAC_FLAG_SAVED | MAC_FLAG_COMPILED;
  }
  std::string& Editor() { return host.texts[{kMacroPanel, MACRO_TXT_EDITOR}]; }
  int& Cursor() { return host.cursorLines[{kMacroPanel, MACRO_TXT_EDITOR}]; }
};

// Where a block goes, where the cursor ends and which line shows first.
TEST_F(MacroWizardInsertTest, AtTheCursorLine) {
  std::string forty;
  for (int i = 0; i < 40; ++i) forty += "l" + std::to_string(i) + (i < 39 ? "\n" : "");
  struct Case {
    std::string text;
    int cursor;
    size_t at;       // where the block starts in the new text
    int cursorAfter;
    int firstShown;
  } cases[] = {
      {forty, 0, 0, 13, 0},
      {forty, 30, forty.find("l30"), 43, 18},
      {forty, 39, forty.find("l39"), 52, 27},
      {forty, 60, forty.size() + 1, 53, 28},  // past the end: after the last line
      {"", 0, 0, 13, 0},
  };
  for (const Case& c : cases) {
    Editor() = c.text;
    Cursor() = c.cursor;
    ubMacFlag = MAC_FLAG_PROJECT | MAC_FLAG_SAVED | MAC_FLAG_COMPILED;
    ASSERT_EQ(MacroWizCreate(MAC_WIZ_PUNCH, kBlock, 0), 0);
    EXPECT_EQ(Editor().substr(c.at, std::string(kPunch).size()), kPunch) << c.cursor;
    EXPECT_EQ(Editor().size(), c.text.size() + std::string(kPunch).size() + (c.cursor == 60 ? 1 : 0)) << c.cursor;
    EXPECT_EQ(Cursor(), c.cursorAfter) << c.cursor;
    EXPECT_EQ((host.firstVisible[{kMacroPanel, MACRO_TXT_EDITOR}]), c.firstShown) << c.cursor;
    EXPECT_EQ(ubMacFlag, MAC_FLAG_PROJECT) << c.cursor;  // an insertion is an edit
  }
  // Kinds outside the table insert nothing and change nothing.
  const std::string before = Editor();
  ubMacFlag = MAC_FLAG_PROJECT | MAC_FLAG_SAVED;
  EXPECT_EQ(MacroWizCreate(16, kBlock, 0), 1);
  EXPECT_EQ(MacroWizCreate(0, kBlock, 0), 1);
  EXPECT_EQ(Editor(), before);
  EXPECT_EQ(ubMacFlag, MAC_FLAG_PROJECT | MAC_FLAG_SAVED);
}

// Every block the wizard writes is understood by the shipped include file.
TEST_F(MacroWizardInsertTest, EveryBlockAssembles) {
  TempDir dir;
  MacroSetResourceDirectory(STROKEDESK_SOURCE_DIR "/resources");
  const std::string example = ReadFileBytes(STROKEDESK_SOURCE_DIR "/resources/example.mac");
  const std::pair<int, std::vector<uint32_t>> blocks[] = {
      {1, {}}, {2, {}}, {3, {}}, {4, {}}, {5, {}}, {6, {}}, {7, {}},
      {8, {1, 0x2103, 0}}, {8, {2, 0x2008, 0}}, {8, {3, 0x2A00, 3}}, {8, {4, 0x2004, 0}},
      {9, {8}}, {10, {0x31}}, {11, {0x0203}}, {12, {50}}, {13, {}}, {14, {0x0203, 100, 3}}, {15, {}},
  };
  for (const auto& [kind, extra] : blocks) {
    std::vector<uint32_t> block(kBlock, kBlock + MAC_WIZ_BLOCK_SIZE);
    std::copy(extra.begin(), extra.end(), block.begin());
    Editor() = example.substr(0, example.size() - 1);
    Cursor() = 16;
    ASSERT_EQ(MacroWizCreate(kind, block.data(), kind == 8 ? 200 : 0), 0);
    host.texts[{kMacroPanel, MACRO_TXTBOX_MSG}].clear();
    EXPECT_EQ(MacroCompile(dir.Path() + "/w" + std::to_string(kind)), 0)
        << kind << "\n" << host.Text(kMacroPanel, MACRO_TXTBOX_MSG);
  }
  MacroSetResourceDirectory("");
}

}  // namespace
