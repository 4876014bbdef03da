// Files and folders of the script commands: the object log file (create,
// append, object lines, close), LOG_SAVE, TRACE_SAVE, the folders with their
// meta strings, bounded paths, and the steps that reach the scope.
#include <gtest/gtest.h>

#include <unistd.h>

#include <ctime>

#include "app/SystemInfo.h"
#include "engine/Mcycle.h"
#include "objects/ScriptLoader.h"
#include "scope/scope.h"
#include "support/ScriptRunFixture.h"
#include "support/SimProcess.h"

namespace {

class ScriptFiles : public ScriptRunFixture {
 protected:
  // YYMMDD of the PC clock now.
  static std::string Today() {
    McycleGetSystemDateTime();
    char text[16];
    std::snprintf(text, sizeof text, "%02d%02d%02d", static_cast<int>(sdMcYear), static_cast<int>(sdMcMonth),
                  static_cast<int>(sdMcDay));
    return text;
  }
  // The one file in the folder whose name is like `pattern` ('#' a digit).
  std::string Only(const std::string& pattern) {
    std::vector<std::string> found;
    for (const std::string& name : dir.Files())
      if (Like(name, pattern)) found.push_back(name);
    EXPECT_EQ(found.size(), 1u) << pattern;
    return found.empty() ? "" : found[0];
  }

  ScriptTempDir dir;
};

TEST_F(ScriptFiles, ObjectLogCreateObjectsAppendAndClose) {
  const std::string day = Today();
  ASSERT_TRUE(Run({"log_path " + dir.Path(), "log_create objects", "log_object 0x2002 0", "log_object 0x2103 0",
                   "log_object 0x2004 0", "log_close"}));
  const std::string name = Only("######-######_objects");
  EXPECT_TRUE(name.rfind(day, 0) == 0 || name.rfind(Today(), 0) == 0) << name;
  EXPECT_EQ(ReadFile(dir.File(name)), "2002\t00\t0x1234\t4660\n2103\t00\t0x05\t5\n2004\t00\t0x12345678\t305419896\n");
  std::string log = Log();
  EXPECT_NE(log.find("Log Path =  " + dir.Path() + "\n"), std::string::npos) << log;
  EXPECT_NE(log.find("open log file: " + dir.File(name) + "\n"), std::string::npos) << log;
  EXPECT_NE(log.find("RD(W)  2002[00] = 1234 = 4660\nprinted in log file\n"), std::string::npos) << log;
  EXPECT_EQ(Count(log, "printed in log file\n"), 3u);
  EXPECT_EQ(fpMcLogFile, nullptr);

  controller.Set(0x2002, 0, 0xBEEF, 2);
  ASSERT_TRUE(Run({"log_append " + name, "log_object 0x2002 0", "log_close"}));
  EXPECT_EQ(ReadFile(dir.File(name)), "2002\t00\t0x1234\t4660\n2103\t00\t0x05\t5\n2004\t00\t0x12345678\t305419896\n"
                                      "2002\t00\t0xBEEF\t48879\n");
  EXPECT_NE(Log().find("append log file: " + name + "\n"), std::string::npos) << Log();
}

TEST_F(ScriptFiles, WithoutAnOpenFileObjectLinesAndCloseSaySoAndGoOn) {
  ASSERT_TRUE(Run({"log_object 0x2002 0", "log_close", "rd 0x2004 0"}));
  const std::string log = Log();
  EXPECT_NE(log.find("RD(W)  2002[00] = 1234 = 4660\nLog object: no log file open (LOG_CREATE or LOG_APPEND first)\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("Log close: no log file open\n"), std::string::npos) << log;
  EXPECT_NE(log.find("RD(D)  2004[00]"), std::string::npos) << log;
}

TEST_F(ScriptFiles, AnAnswerThatIsNoReadValueIsNotLogged) {
  ASSERT_TRUE(Run({"log_path " + dir.Path(), "log_append odd", "log_object 0x2119 0", "log_close"}));
  EXPECT_EQ(ReadFile(dir.File("odd")), "");
  EXPECT_NE(Log().find("Log object: answer 0x47 is no read answer, nothing printed in log file\n"), std::string::npos)
      << Log();
}

TEST_F(ScriptFiles, OpeningAnotherFileFlushesAndClosesTheFirst) {
  ASSERT_TRUE(Run({"log_path " + dir.Path(), "log_append first", "log_object 0x2002 0", "log_append second"}));
  // The first file is complete although LOG_CLOSE never came.
  EXPECT_EQ(ReadFile(dir.File("first")), "2002\t00\t0x1234\t4660\n");
  EXPECT_NE(fpMcLogFile, nullptr);
  EXPECT_EQ(McycleObjectLogClose(), 0);
  EXPECT_EQ(McycleObjectLogClose(), 1);
}

TEST_F(ScriptFiles, AFileThatCannotBeOpenedIsReportedAsAFailure) {
  ASSERT_TRUE(Run({"log_path " + dir.File("missing"), "log_create objects", "log_append more", "log_object 0x2002 0",
                   "rd 0x2004 0"}));
  const std::string log = "\n" + Log();
  EXPECT_EQ(log.find("\nopen log file:"), std::string::npos) << log;
  EXPECT_EQ(log.find("\nappend log file:"), std::string::npos) << log;
  EXPECT_NE(log.find("Error: can't open log file: " + dir.File("missing") + "/"), std::string::npos) << log;
  EXPECT_EQ(Count(log, "No such file or directory)\n"), 2u) << log;
  EXPECT_NE(log.find("RD(D)  2004[00]"), std::string::npos) << log;  // the script went on
}

TEST_F(ScriptFiles, LogSaveWritesTheWindowUnderTheClockReadThen) {
  // The engine time of a DLY is real time only on a paced tick.
  ASSERT_TRUE(StartScript({"trace_path " + dir.Path(), "rd 0x2002 0", "log_save session", "dly 1100",
                           "log_save session"}));
  for (int i = 0; i < 2000 && ScriptActive(); ++i) {
    TickPaced();
    controller.Serve();
  }
  ASSERT_FALSE(ScriptActive());
  std::vector<std::string> saved;
  for (const std::string& name : dir.Files())
    if (Like(name, "######-######-session.log")) saved.push_back(name);
  ASSERT_EQ(saved.size(), 2u);  // two saves a second apart: two files
  const std::string first = ReadFile(dir.File(saved[0]));
  EXPECT_EQ(first.rfind(HmiLogFileHeader(), 0), 0u);
  EXPECT_NE(first.find("RD(W)  2002[00] = 1234 = 4660\n"), std::string::npos) << first;
  EXPECT_NE(Log().find("Trace: Save " + dir.File(saved[0]) + "\n"), std::string::npos) << Log();
  const std::string day = Today();
  EXPECT_TRUE(saved[1].rfind(day, 0) == 0 || saved[0].rfind(day, 0) == 0) << saved[1];
}

TEST_F(ScriptFiles, LogClearEmptiesTheWindowAfterTheLinesBeforeIt) {
  ASSERT_TRUE(Run({"rd 0x2002 0", "log_clear", "rd 0x2004 0"}));
  const std::string log = Log();
  EXPECT_EQ(log.find("2002"), std::string::npos) << log;
  EXPECT_NE(log.find("RD(D)  2004[00]"), std::string::npos) << log;
}

TEST_F(ScriptFiles, FoldersTakeTheMetaStringsInAnyCase) {
  ASSERT_TRUE(Run({"log_path " + dir.Path() + "/$date-$TIME", "trace_path " + dir.Path() + "/T$Date"}));
  EXPECT_TRUE(Like(ubMcLogSavePath, dir.Path() + "/######-######")) << ubMcLogSavePath;
  EXPECT_TRUE(Like(ubMcTraceSavePath, dir.Path() + "/T######")) << ubMcTraceSavePath;
  EXPECT_NE(Log().find(std::string("Trace: Path =  ") + ubMcTraceSavePath + "\n"), std::string::npos) << Log();
}

// A built file name may have 260 characters; one more ends the script
// instead of opening a file under a cut name.
TEST_F(ScriptFiles, APathTooLongEndsTheScriptAndLeavesNoFile) {
  const size_t folder = dir.Path().size() + 1;  // with its "/"
  const size_t stamp = 13 + 1;                   // "YYMMDD-hhmmss" and "_" or "-"
  auto name = [](size_t n) { return std::string(n, 'n'); };
  const std::string tooLong[] = {"log_create " + name(261 - folder - stamp), "log_append " + name(261 - folder),
                                 "log_save " + name(261 - folder - stamp - 4),
                                 "trace_save " + name(261 - folder - stamp - 4)};
  for (const std::string& command : tooLong) {
    host.texts.clear();
    ASSERT_TRUE(Run({"log_path " + dir.Path(), "trace_path " + dir.Path(), command, "rd 0x2002 0"}));
    EXPECT_NE(Log().find("Error: path length to big!\n"), std::string::npos) << command << Log();
    EXPECT_EQ(Log().find("RD(W)"), std::string::npos) << command;
  }
  EXPECT_TRUE(dir.Files().empty());
  host.texts.clear();
  ASSERT_TRUE(Run({"log_path " + dir.Path(), "log_create " + name(260 - folder - stamp),
                   "log_append " + name(260 - folder), "log_close"}));
  EXPECT_EQ(dir.Files().size(), 2u) << Log();
}

TEST_F(ScriptFiles, TraceSaveWithoutATraceSaysInvalidData) {
  ASSERT_TRUE(Run({"trace_path " + dir.Path(), "trace_save stroke", "rd 0x2002 0"}));
  const std::string log = Log();
  EXPECT_TRUE(ContainsLike(log, "Trace: Save " + dir.Path() + "/######-######-stroke.loz\nTrace: Invalid Data\n"))
      << log;
  EXPECT_NE(log.find("RD(W)"), std::string::npos);  // the script goes on
  EXPECT_TRUE(dir.Files().empty());
}

TEST_F(ScriptFiles, ScopeStepsSetTheScopePanelsControls) {
  ASSERT_TRUE(Run({"scope_sample_time 5000", "scope_axis_pos -5", "scope_axis_gain 0x10", "rd 0x2002 0"}));
  EXPECT_EQ((host.ints[{kScopePanel, SCOPE_NUM_TIME_AXIS}]), 5000);
  EXPECT_EQ((host.ints[{kScopePanel, SCOPE_NUM_AXIS_POS}]), -5);
  EXPECT_EQ((host.ints[{kScopePanel, SCOPE_NUM_AXIS_GAIN}]), 16);
  // The axis position is a 16-bit value.
  ASSERT_TRUE(Run({"scope_axis_pos 0x18000"}));
  EXPECT_EQ((host.ints[{kScopePanel, SCOPE_NUM_AXIS_POS}]), -32768);
}

TEST_F(ScriptFiles, TheExampleScriptRuns) {
  // Its object log goes to the folder the program runs in.
  char* cwd = getcwd(nullptr, 0);
  ASSERT_EQ(chdir(dir.Path().c_str()), 0);
  std::string reply;
  const uint8_t compiled = McycleCompileScriptFile(STROKEDESK_SOURCE_DIR "/resources/example.scr", true, reply);
  if (compiled == SCRIPT_LOAD_OK) McycleSignalQueuePut(MC_SIG_SCRIPT);
  const bool done = compiled == SCRIPT_LOAD_OK && Finish();
  EXPECT_EQ(chdir(cwd), 0);
  std::free(cwd);
  ASSERT_EQ(compiled, SCRIPT_LOAD_OK) << reply;
  ASSERT_TRUE(done);
  const std::string name = Only("######-######_example");
  EXPECT_EQ(ReadFile(dir.File(name)), "2002\t00\t0x1234\t4660\n2002\t00\t0x1234\t4660\n2002\t00\t0x1234\t4660\n"
                                      "2103\t00\t0x05\t5\n");
  EXPECT_NE(Log().find("RD(F)  2602[01] = 3F800000 = 1.000000\n"), std::string::npos) << Log();
}

}  // namespace
