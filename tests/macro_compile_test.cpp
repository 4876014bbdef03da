// Assembly of macro projects with the real assembler and with stand-ins
// for it: success, errors, the include file, an assembler that hangs,
// fails, crashes, writes nothing or is missing, and project names that a
// shell would misread.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "app/Startup.h"
#include "macro/macro.h"
#include "platform/Paths.h"
#include "support/EngineFixture.h"
#include "support/SimProcess.h"
#include "support/TempDir.h"
#include "ui/PanelIds.h"

namespace {

constexpr int kMacroPanel = 14;
const std::string kResources = STROKEDESK_SOURCE_DIR "/resources";

class MacroCompileTest : public EngineFixture {
 protected:
  void SetUp() override {
    EngineFixture::SetUp();
    uwMcMacroPanelHandle = kMacroPanel;
    MacroSetResourceDirectory(kResources);
    host.texts[{kMacroPanel, MACRO_TXT_EDITOR}] = ReadFileBytes(kResources + "/example.mac");
  }
  void TearDown() override {
    MacroSetResourceDirectory("");
    udMacCompileLimitMs = 30000;
    EngineFixture::TearDown();
  }
  std::string Box() { return host.Text(kMacroPanel, MACRO_TXTBOX_MSG); }
  std::string Fake(const std::string& body) {
    const std::string path = dir.Write("fake-nasm", "#!/bin/sh\n" + body + "\n");
    chmod(path.c_str(), 0755);
    return path;
  }
  TempDir dir;
};

TEST_F(MacroCompileTest, ExampleAssemblesWithTheShippedInclude) {
  const std::string base = dir.Path() + "/example";
  ASSERT_EQ(MacroCompile(base), 0) << Box();
  EXPECT_EQ(ReadFileBytes(base + ".err"), "");
  EXPECT_TRUE(FileExists(base + ".lst"));
  EXPECT_EQ(ReadFileBytes(dir.Path() + "/norl_mac.inc"), ReadFileBytes(kResources + "/norl_mac.inc"));
  ASSERT_EQ(MacroCreateFile(base), 0) << Box();
  EXPECT_EQ(MacroLoadMbiData(base + ".mbi"), 0);
  EXPECT_EQ(MacroImageHeaderSize(), udMacFileSize);
  EXPECT_GT(udMacFileSize, 8u);
  // The stamp went into the source that was assembled.
  const std::string saved = ReadFileBytes(base + ".mac");
  EXPECT_EQ(saved.find("        DATE 20250131"), std::string::npos);
  EXPECT_NE(saved.find("        TIME "), std::string::npos);
}

// Errors and warnings alike: a value too wide for its operand is no value.
TEST_F(MacroCompileTest, AssemblerMessagesFailTheCompile) {
  const std::pair<const char*, const char*> cases[] = {
      {"    OBJ_WRB 0x2000, 0, 300", "bad.mac:2: warning: byte data exceeds bounds"},
      {"    BOGUS 1", "bad.mac:2: error"},
  };
  for (const auto& [line, message] : cases) {
    host.texts[{kMacroPanel, MACRO_TXTBOX_MSG}].clear();
    host.texts[{kMacroPanel, MACRO_TXT_EDITOR}] = std::string("        %include \"norl_mac.inc\"\n") + line;
    EXPECT_EQ(MacroCompile(dir.Path() + "/bad"), 2) << line;
    EXPECT_NE(Box().find(message), std::string::npos) << Box();
  }
}

// A shipped file that is missing is named with the folders looked in; the
// project folder is left as it was.
TEST_F(MacroCompileTest, ShippedFilesMissing) {
  const std::string nowhere = dir.Path() + "/nowhere";
  const std::string emptyBin = dir.Path() + "/bin";
  ASSERT_EQ(mkdir(emptyBin.c_str(), 0755), 0);
  const std::string savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  struct Case {
    bool includeInProject;
    int rc;
    std::string message;
  } cases[] = {
      {false, 4, "norl_mac.inc not found; looked in " + nowhere + " (no such folder)\n"},
      {true, 3, "assembler nasm not found on the PATH (" + emptyBin + ") nor shipped: nasm not found; looked in " +
                    nowhere + " (no such folder)\n"},
  };
  MacroSetResourceDirectory(nowhere);
  setenv("PATH", emptyBin.c_str(), 1);
  for (const Case& c : cases) {
    host.texts[{kMacroPanel, MACRO_TXTBOX_MSG}].clear();
    if (c.includeInProject) dir.Write("norl_mac.inc", ReadFileBytes(kResources + "/norl_mac.inc"));
    EXPECT_EQ(MacroCompile(dir.Path() + "/example"), c.rc) << c.message;
    EXPECT_NE(Box().find(c.message), std::string::npos) << Box();
    EXPECT_NE(Box().find("ERROR: Macro compiling error!"), std::string::npos) << Box();
    EXPECT_EQ(FileExists(dir.Path() + "/norl_mac.inc"), c.includeInProject);
    EXPECT_FALSE(FileExists(dir.Path() + "/example.mbi"));
  }
  setenv("PATH", savedPath.c_str(), 1);
}

// Stand-ins for the assembler, chosen with STROKEDESK_NASM.
TEST_F(MacroCompileTest, AssemblerThatMisbehaves) {
  struct Case {
    const char* script;  // nullptr: no such program
    int rc;
    const char* message;
  } cases[] = {
      {"exec sleep 30", 1, "\nnasm stopped: no result within 0 s\n"},
      {": > \"$2\"; exit 1", 2, "\nnasm exit status: 1\n"},
      {"exit 0", 1, "\nCannot open result file error.err\n"},
      {"kill -9 $$", 1, "\nnasm ended by signal 9\n"},
      {"echo 'x.mac:1: error: nope' > \"$2\"", 2, "x.mac:1: error: nope\n"},
      {nullptr, 3, "\nnasm executation error: 2\n"},
  };
  udMacCompileLimitMs = 300;
  for (const Case& c : cases) {
    host.texts[{kMacroPanel, MACRO_TXTBOX_MSG}].clear();
    // An error file of an earlier run must not count for this one.
    dir.Write("p.err", "");
    ScopedEnv nasm("STROKEDESK_NASM", c.script ? Fake(c.script) : dir.Path() + "/no-such-nasm");
    EXPECT_EQ(MacroCompile(dir.Path() + "/p"), c.rc) << c.script;
    EXPECT_NE(Box().find(c.message), std::string::npos) << c.script << "\n" << Box();
  }
}

// Names reach the assembler as single arguments of their own; a name that
// leaves the folder is refused.
TEST_F(MacroCompileTest, ProjectNamesAreNeverShellText) {
  char before[4096];
  ASSERT_NE(getcwd(before, sizeof before), nullptr);
  for (const std::string name : {"-o", "a b", "x;touch y", "$(touch z)", "`touch w`"}) {
    ASSERT_EQ(MacroCompile(dir.Path() + "/" + name), 0) << name << "\n" << Box();
    EXPECT_EQ(MacroCreateFile(dir.Path() + "/" + name), 0) << name;
  }
  EXPECT_EQ(MacroCompile(dir.Path() + "/.."), 1);
  EXPECT_NE(Box().find("Invalid or empty project!\n"), std::string::npos);
  char after[4096];
  ASSERT_NE(getcwd(after, sizeof after), nullptr);
  EXPECT_STREQ(before, after);
  for (const char* stray : {"y", "z", "w"}) {
    EXPECT_FALSE(FileExists(dir.Path() + "/" + stray)) << stray;
    EXPECT_FALSE(FileExists(std::string(after) + "/" + stray)) << stray;
  }
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) files += entry.is_regular_file();
  EXPECT_EQ(files, 5u * 4 + 1);  // .mac .err .lst .mbi of each, the include
}

}  // namespace
