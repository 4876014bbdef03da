// Macro images and sources on disk: the image header, sizes the tool
// refuses, word access at the end of an image, stamping and byte-exact
// source round trips, a save that fails.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "app/Startup.h"
#include "comm/CRC32.h"
#include "macro/MacroSource.h"
#include "macro/macro.h"
#include "support/EngineFixture.h"
#include "support/TempDir.h"
#include "ui/PanelIds.h"

namespace {

constexpr int kMacroPanel = 14;

class MacroFilesTest : public EngineFixture {
 protected:
  void SetUp() override {
    EngineFixture::SetUp();
    uwMcMacroPanelHandle = kMacroPanel;
  }
  std::string Box() { return host.Text(kMacroPanel, MACRO_TXTBOX_MSG); }
  std::string& Editor() { return host.texts[{kMacroPanel, MACRO_TXT_EDITOR}]; }
  // An assembled image: eight reserved bytes, then code bytes counting up.
  std::string Raw(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 8; i < size; ++i) bytes[i] = static_cast<char>(i);
    return bytes;
  }
  TempDir dir;
};

uint32_t Word(const std::string& s, size_t at) {
  return static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8 | static_cast<uint8_t>(s[at + 2]) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(s[at + 3])) << 24;
}

TEST_F(MacroFilesTest, HeaderOfAnAssembledImage) {
  dir.Write("p.mbi", Raw(24));
  ASSERT_EQ(MacroCreateFile(dir.Path() + "/p"), 0);
  const std::string image = ReadFileBytes(dir.Path() + "/p.mbi");
  ASSERT_EQ(image.size(), 24u);
  EXPECT_EQ(Word(image, 4), 24u);
  const uint32_t crc = CRC32calculationS(reinterpret_cast<const uint8_t*>(image.data()) + 4, 20);
  EXPECT_EQ(Word(image, 0), crc);
  EXPECT_EQ(image.substr(8), Raw(24).substr(8));
  EXPECT_EQ(udMacFileSize, 24u);
  EXPECT_EQ(udMacFileCrc, crc);
  // What was written loads back; one changed byte does not.
  EXPECT_EQ(MacroLoadMbiData(dir.Path() + "/p.mbi"), 0);
  EXPECT_EQ(MacroImageComputedCrc(), crc);
  std::string spoilt = image;
  spoilt[20] ^= 0x40;
  EXPECT_EQ(MacroLoadMbiData(dir.Write("spoilt.mbi", spoilt)), 3);
  EXPECT_EQ(udMacFileSize, 0u);
  EXPECT_EQ(udMacFileCrc, 0u);
}

// Sizes outside 8..8192 are refused before the file is read, and a refused
// load leaves an empty image behind.
TEST_F(MacroFilesTest, ImageSizes) {
  struct Case {
    size_t size;
    int create;
    const char* message;
  } cases[] = {{0, 2, "\nmib file error\n"}, {7, 2, "\nmib file error\n"}, {8, 0, ""}, {8192, 0, ""},
               {8193, 3, "\ncode size error: max. code length = 8192 byte\n"}};
  for (const Case& c : cases) {
    host.texts.clear();
    const std::string base = dir.Path() + "/s" + std::to_string(c.size);
    dir.Write("s" + std::to_string(c.size) + ".mbi", Raw(c.size));
    EXPECT_EQ(MacroCreateFile(base), c.create) << c.size;
    EXPECT_EQ(Box(), c.create ? std::string("ERROR: Macro compiling error!") + c.message : "") << c.size;
    const int load = MacroLoadMbiData(base + ".mbi");
    EXPECT_EQ(load, c.create == 0 ? 0 : 2) << c.size;
    EXPECT_EQ(udMacFileSize, load == 0 ? c.size : 0u) << c.size;
    uint32_t offset = 0;
    EXPECT_EQ(MacroGetFileData(offset) == 0, load != 0) << c.size;
  }
  EXPECT_EQ(MacroLoadMbiData(dir.Path() + "/missing.mbi"), 1);
  EXPECT_EQ(MacroCreateFile(dir.Path() + "/missing"), 1);
  EXPECT_NE(Box().find("\nCannot open " + dir.Path() + "/missing.mbi\n"), std::string::npos) << Box();
}

// Words past the end read as zero bytes and are not stored; nothing outside
// the buffer is touched (the sanitizer build checks).
TEST_F(MacroFilesTest, WordAccessAtTheEnd) {
  for (uint32_t size = 100; size <= 103; ++size) {
    MacroMallocInputMemory(size);
    MacroSetFileDataSize(size);
    uint32_t offset = 0;
    while (offset < size) MacroSetFileData(offset, 0xA1B2C3D4);
    EXPECT_EQ(offset, (size + 3) / 4 * 4);
    MacroSetFileData(offset, 1);  // past the end: nothing
    EXPECT_EQ(offset, (size + 3) / 4 * 4);
    offset = 96;
    const uint32_t tail[4] = {0xA1B2C3D4, 0x000000D4, 0x0000C3D4, 0x00B2C3D4};
    EXPECT_EQ(MacroGetFileData(offset), 0xA1B2C3D4u) << size;
    if (size > 100) {
      EXPECT_EQ(MacroGetFileData(offset), tail[size - 100]) << size;
    }
    EXPECT_EQ(MacroGetFileData(offset), 0u) << size;
  }
  // A size beyond the buffer reads zeros there.
  MacroMallocInputMemory(8);
  MacroSetFileDataSize(16);
  uint32_t offset = 8;
  EXPECT_EQ(MacroGetFileData(offset), 0u);
  EXPECT_EQ(offset, 12u);
}

TEST(MacroSourceTest, Stamping) {
  std::tm t{};
  t.tm_year = 125, t.tm_mon = 0, t.tm_mday = 31, t.tm_hour = 14, t.tm_min = 30, t.tm_sec = 25;
  struct Case {
    const char* text;
    const char* stamped;
  } cases[] = {
      {"        DATE 1\n        DATE 2\n        TIME 3\n        DATE 4\n        TIME 5",
       "        DATE 20250131\n        DATE 20250131\n        TIME 14302500\n        DATE 4\n        TIME 5"},
      {"    DATE 1\n       TIME 2\n\tDATE", "    DATE 1\n       TIME 2\n\tDATE"},
      {"        TIMEOUT\n        DATEX", "        TIME 14302500\n        DATEX"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(MacroStampSource(c.text, t), c.stamped) << c.text;
  std::string lines;
  for (int i = 1; i <= 16; ++i) lines += "line " + std::to_string(i) + (i < 16 ? "\n" : "");
  const std::string stamped = MacroStampTemplate(lines, t);
  EXPECT_NE(stamped.find("line 13\n        DATE 20250131\n        TIME 143025\nline 16"), std::string::npos) << stamped;
  EXPECT_EQ(MacroStampTemplate("a\nb", t), "a\nb");
  std::string fourteen = "x", expected = "x";
  for (int i = 2; i <= 14; ++i) fourteen += "\nx", expected += i < 14 ? "\nx" : "\n        DATE 20250131";
  EXPECT_EQ(MacroStampTemplate(fourteen, t), expected);
}

// Loaded and saved unedited, a source keeps every byte.
TEST_F(MacroFilesTest, SourceRoundTrips) {
  const std::pair<const char*, std::string> cases[] = {
      {"lf", "; a\n    STOP\n"},
      {"crlf", "; a\r\n    STOP\r\n"},
      {"latin1", "; Gr\xFC\xDF" "e\n    STOP\n"},
      {"utf8", "; Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC\n    STOP\n"},
      {"mixed", "; a\r\n    STOP\n"},
  };
  for (const auto& [name, bytes] : cases) {
    ASSERT_EQ(MacroLoadMacData(dir.Write(std::string(name) + ".mac", bytes)), 0) << name;
    Editor() = MacroSourceText();
    EXPECT_EQ(Editor().find('\r'), std::string(name) == "mixed" ? 3u : std::string::npos) << name;
    ASSERT_EQ(MacroSaveMacData(dir.Add(std::string(name) + "-saved.mac")), 0) << name;
    EXPECT_EQ(ReadFileBytes(dir.Path() + "/" + name + "-saved.mac"), bytes) << name;
  }
  // Latin-1 shows as UTF-8; edited with a character Latin-1 cannot hold,
  // the file is written as UTF-8.
  ASSERT_EQ(MacroLoadMacData(dir.Path() + "/latin1.mac"), 0);
  EXPECT_EQ(MacroSourceText(), "; Gr\xC3\xBC\xC3\x9F" "e\n    STOP");
  Editor() = "; \xE2\x82\xAC";
  ASSERT_EQ(MacroSaveMacData(dir.Add("euro.mac")), 0);
  EXPECT_EQ(ReadFileBytes(dir.Path() + "/euro.mac"), "; \xE2\x82\xAC\n");
  // One line ending in a lone CR: the line end a save adds must not take
  // that CR with it when the file is read again.
  ASSERT_EQ(MacroLoadMacData(dir.Write("cr.mac", "; a\r")), 0);
  Editor() = MacroSourceText();
  ASSERT_EQ(MacroSaveMacData(dir.Add("cr-saved.mac")), 0);
  ASSERT_EQ(MacroLoadMacData(dir.Path() + "/cr-saved.mac"), 0);
  EXPECT_EQ(MacroSourceText(), "; a\r");
  EXPECT_EQ(MacroLoadMacData(dir.Write("nul.mac", std::string("a\0b", 3))), -1);
  EXPECT_NE(Box().find("NUL"), std::string::npos);
  EXPECT_EQ(MacroLoadMacData(dir.Path() + "/none.mac"), -1);
}

// A save that cannot be written says so and leaves the old file whole.
TEST_F(MacroFilesTest, FailedSaveKeepsTheOldFile) {
  const std::string path = dir.Write("keep.mac", "; old\n");
  Editor() = "; new and much longer than the old source";
  // Writes fail as they would on a full disk (a read-only folder does not
  // stop root).
  rlimit before{};
  getrlimit(RLIMIT_FSIZE, &before);
  signal(SIGXFSZ, SIG_IGN);
  rlimit tiny = before;
  tiny.rlim_cur = 4;
  setrlimit(RLIMIT_FSIZE, &tiny);
  const int rc = MacroSaveMacData(path);
  setrlimit(RLIMIT_FSIZE, &before);
  EXPECT_EQ(rc, 1);
  EXPECT_EQ(ReadFileBytes(path), "; old\n");
  EXPECT_EQ(Box().rfind("ERROR: Macro saving error!\n", 0), 0u) << Box();
}

}  // namespace
