// The parameter script file: its exact bytes, failures that leave a good
// file alone, and the file read back as a script.
#include <gtest/gtest.h>

#include <string>

#include "objects/ScriptLoader.h"
#include "params/CtrlCmd.h"
#include "params/ExtParameterPanel.h"
#include "params/ParmFile.h"
#include "support/EngineFixture.h"
#include "support/TempDir.h"

namespace {

constexpr ParmFileValues kPreset1 = {200, 2000, 2500, 150, 0};

std::string Golden() { return ReadFileBytes(std::string(STROKEDESK_SOURCE_DIR) + "/tests/golden/ZEL_P0528.pms"); }

class ParmFileTest : public EngineFixture {
 protected:
  TempDir dir;
  std::string reply;
};

TEST_F(ParmFileTest, WrittenBytesEqualTheGoldenFile) {
  const std::string golden = Golden();
  ASSERT_FALSE(golden.empty());
  EXPECT_NE(golden.back(), '\n');
  EXPECT_EQ(ParmFileText(kPreset1), golden);
  const std::string path = dir.Add(PARM_FILE_DEFAULT_NAME);
  ASSERT_TRUE(ParmFileWrite(path, kPreset1));
  EXPECT_EQ(ReadFileBytes(path), golden);
}

// The extended script: the same header, 24 lines, the cycle line only for
// the three cycle types, the take line, a line feed after every line.
TEST_F(ParmFileTest, ExtendedScriptPerCycleType) {
  const uint16_t punch5[EXTP_VALUES] = {200, 2000, 2200, 2400, 2500, 2150, 1,   1,   400, 400, 400, 400,
                                        400, 400,  400,  400,  0,    0,    0, 0, 0,   0,   0,   5000};
  const std::string golden = ReadFileBytes(std::string(STROKEDESK_SOURCE_DIR) + "/tests/golden/ZEL_P0528Ext.pms");
  ASSERT_FALSE(golden.empty());
  EXPECT_EQ(ExtParmScriptText(punch5, 0x110), golden);
  EXPECT_EQ(golden.substr(0, ParmFileHeader().size()), Golden().substr(0, ParmFileHeader().size()));
  const std::string basic = "wrw 0x2000 0 0x0110 ;CYCLE_BASIC\n";
  const std::pair<uint32_t, std::string> cycles[] = {{0x111, "wrw 0x2000 0 0x0111 ;CYCLE_FORM2\n"},
                                                     {0x12C, "wrw 0x2000 0 0x012C ;CYCLE_FORM3\n"},
                                                     {0x200, ""},
                                                     {0, ""}};
  for (const auto& [type, line] : cycles) {
    std::string expected = golden;
    expected.replace(expected.find(basic), basic.size(), line);
    EXPECT_EQ(ExtParmScriptText(punch5, type), expected) << type;
  }
  EXPECT_EQ(golden.substr(golden.size() - 36), "wrw 0x2000 0 0x0101 ;Take Parameter\n");
}

TEST_F(ParmFileTest, ValuesRightAlignedInSixColumnsOverTheWholeRange) {
  const std::string text = ParmFileText({0, 65535, 7, 12345, 80});
  EXPECT_NE(text.find("wrw 0x2008 0      0 ;POS1\n"), std::string::npos);
  EXPECT_NE(text.find("wrw 0x2009 0  65535 ;POS2\n"), std::string::npos);
  EXPECT_NE(text.find("wrw 0x200A 0      7 ;POS5\n"), std::string::npos);
  EXPECT_NE(text.find("wrw 0x200B 0  12345 ;RDYWIN\n"), std::string::npos);
  EXPECT_NE(text.find("wrw 0x200D 0     80 ;TIME2\n"), std::string::npos);
  size_t lines = 1;
  for (char c : text) lines += c == '\n';
  EXPECT_EQ(lines, 18u);
}

TEST_F(ParmFileTest, UnwritablePlaceIsReportedAndAGoodFileStays) {
  const std::string good = dir.Write("good.pms", "keep me");
  // A folder that does not exist, and a "folder" that is a file.
  for (const std::string& path : {dir.Path() + "/missing/p.pms", good + "/p.pms"}) {
    host.texts.clear();
    EXPECT_FALSE(ParmFileWrite(path, kPreset1));
    Tick();
    EXPECT_NE(Log().find("Error: parameter file " + path + " not saved: "), std::string::npos) << Log();
  }
  EXPECT_EQ(ReadFileBytes(good), "keep me");
}

TEST_F(ParmFileTest, ExistingFileIsReplacedWhole) {
  const std::string path = dir.Write("p.pms", std::string(5000, 'x'));
  ASSERT_TRUE(ParmFileWrite(path, kPreset1));
  EXPECT_EQ(ReadFileBytes(path), Golden());
}

// What the script loader makes of the file: five parameters, the cycle
// command and the take command, all 2-byte writes.
void ExpectParameterScript(const ParmFileValues& v) {
  struct Write {
    uint16_t index;
    uint32_t value;
  };
  const Write expected[7] = {{0x2008, v.pos1},  {0x2009, v.pos2}, {0x200A, v.pos3}, {0x200B, v.readyWin},
                             {0x200D, v.time2}, {0x2000, 0x110},  {0x2000, 0x101}};
  ASSERT_EQ(sScrContainer.uwNumOfEntries, 7);
  for (int i = 0; i < 7; ++i) {
    const CtrlCmdEntry& e = sScrContainer.entries[i];
    EXPECT_EQ(+e.ubLength, 2) << i;
    EXPECT_EQ(+e.uwIndex, expected[i].index) << i;
    EXPECT_EQ(+e.ubSubIndex, 0) << i;
    EXPECT_EQ(e.udData, expected[i].value) << i;
    EXPECT_EQ(e.udFlags, 0u) << i;
  }
}

TEST_F(ParmFileTest, LoadsAsAScriptWithLfAndWithCrLf) {
  const ParmFileValues v = {210, 1990, 3000, 140, 20};
  const std::string path = dir.Add("p.pms");
  ASSERT_TRUE(ParmFileWrite(path, v));
  ASSERT_EQ(McycleCompileScriptFile(path, true, reply), SCRIPT_LOAD_OK) << reply;
  ExpectParameterScript(v);

  std::string crlf;
  for (char c : ReadFileBytes(path)) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  ASSERT_EQ(McycleCompileScriptFile(dir.Write("crlf.pms", crlf), true, reply), SCRIPT_LOAD_OK) << reply;
  ExpectParameterScript(v);
}

}  // namespace
