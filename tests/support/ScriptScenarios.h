// Scripts against rc7sim through the real queue and transports. Included by
// one test file per test program, which instantiates it for its links.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "objects/ScriptMachine.h"
#include "params/CtrlCmd.h"
#include "support/LinkFixture.h"
#include "support/ScriptRun.h"

class ScriptScenario : public LinkFixture, public ::testing::WithParamInterface<SimLink> {
 protected:
  void SetUp() override {
    LinkFixture::SetUp();
    ubMcTraceSavePath[0] = ubMcLogSavePath[0] = '\0';
  }
  void TearDown() override {
    McycleObjectLogClose();
    LinkFixture::TearDown();
    CtrlCmdListInit();
  }
  // Connects and lets the connect signal pass.
  bool Open(std::vector<std::string> options = {}) {
    if (!Connect(GetParam(), std::move(options))) return false;
    Tick(3);
    host.texts.clear();
    return true;
  }
  bool Run(const std::vector<std::string>& lines, int maxTicks = 5000) {
    return StartScript(lines) && TickUntil([] { return !ScriptActive(); }, maxTicks);
  }
  // The journal's lines without their sequence number and link.
  std::vector<std::string> Wire() const {
    std::vector<std::string> out;
    for (const std::string& line : sim_->Journal()) {
      const size_t at = line.find(' ', line.find(' ') + 1);
      out.push_back(at == std::string::npos ? line : line.substr(at + 1));
    }
    return out;
  }
};

TEST_P(ScriptScenario, TheExamplesReadAndWriteAsShown) {
  ASSERT_TRUE(Open());
  ASSERT_TRUE(Run({"rd 0x2002 0", "rf 0x2602 1", "wrf 0x2602 1 -2.0", "rf 0x2602 1", "wrf 0x2602 1 1.0",
                   "wrb 0x2103 0 0x1FF", "rd 0x2103 0", "rd 0x2004 0"}));
  const std::string log = Log();
  for (const char* line : {"RD(W)  2002[00] = 1234 = 4660\n", "RD(F)  2602[01] = 3F800000 = 1.000000\n",
                           "RD(F)  2602[01] = C0000000 = -2.000000\n", "RD(B)  2103[00] = FF = 255\n",
                           "RD(D)  2004[00] = 12345678 = 305419896\n"})
    EXPECT_NE(log.find(line), std::string::npos) << line << log;
  EXPECT_EQ(Wire(), (std::vector<std::string>{"40 2002 00 00000000 -", "40 2602 01 00000000 -",
                                              "23 2602 01 C0000000 -", "40 2602 01 00000000 -",
                                              "23 2602 01 3F800000 -", "2F 2103 00 000000FF -",
                                              "40 2103 00 00000000 -", "40 2004 00 00000000 -"}));
}

TEST_P(ScriptScenario, AReadAnsweredWithAbortsEndsTheScriptAfterFourAttempts) {
  ASSERT_TRUE(Open());
  ASSERT_TRUE(Run({"rd 0x2FFF 0", "rd 0x2002 0"}));
  EXPECT_EQ(Wire(), std::vector<std::string>(4, "40 2FFF 00 00000000 -"));
  EXPECT_NE(Log().find("Transmission ERROR\n"), std::string::npos) << Log();
  EXPECT_EQ(Log().find("RD(W)"), std::string::npos);
  // A read-only object refuses a write the same way.
  ASSERT_TRUE(Run({"wrd 0x2004 0 1", "rd 0x2002 0"}));
  EXPECT_EQ(Wire().size(), 8u);
  EXPECT_EQ(Wire().back(), "23 2004 00 00000001 -");
}

TEST_P(ScriptScenario, ALoopedReadAsksWithDataZeroEveryTime) {
  ASSERT_TRUE(Open());
  ASSERT_TRUE(Run({"counter_set 1 3", "label 1", "rd 0x2002 0", "counter_dec 1", "skip_zero 1", "goto 1"}));
  EXPECT_EQ(Wire(), std::vector<std::string>(3, "40 2002 00 00000000 -"));
  EXPECT_EQ(Count(Log(), "RD(W)  2002[00] = 1234 = 4660\n"), 3u) << Log();
}

TEST_P(ScriptScenario, EscDuringAReadLeavesTheNextOperationItsOwnAnswer) {
  ASSERT_TRUE(Open({"--delay-ms", "150"}));
  ASSERT_TRUE(StartScript({"rd 0x2002 0", "rd 0x2002 0"}));
  ASSERT_TRUE(TickUntil([&] { return sim_->Journal().size() == 1; }, 1000));
  ubMcFlag2 |= MC_FLAG2_SCRIPT_STOP_REQUEST;
  ASSERT_TRUE(TickUntil([] { return !ScriptActive(); }, 1000));
  ASSERT_TRUE(Run({"rd 0x2004 0"}));
  const std::string log = Log();
  EXPECT_EQ(Count(log, "RD(W)  2002[00] = 1234 = 4660\n"), 1u) << log;
  EXPECT_NE(log.find("RD(D)  2004[00] = 12345678 = 305419896\n"), std::string::npos) << log;
  EXPECT_EQ(Wire(), (std::vector<std::string>{"40 2002 00 00000000 -", "40 2004 00 00000000 -"}));
}

TEST_P(ScriptScenario, ObjectLogFileAndSavedLog) {
  ScriptTempDir dir;
  ASSERT_TRUE(Open());
  ASSERT_TRUE(Run({"log_path " + dir.Path(), "trace_path " + dir.Path(), "log_create e2e", "log_object 0x2002 0",
                   "wrw 0x2002 0 0xBEEF", "log_object 0x2002 0", "log_object 0x2103 0", "log_close",
                   "log_save e2e"}));
  const std::vector<std::string> files = dir.Files();
  ASSERT_EQ(files.size(), 2u) << Log();
  // Named by the clock: the two may lie on either side of a second.
  const bool savedFirst = Like(files[0], "######-######-e2e.log");
  const std::string saveName = files[savedFirst ? 0 : 1], logName = files[savedFirst ? 1 : 0];
  EXPECT_TRUE(Like(saveName, "######-######-e2e.log")) << saveName;
  EXPECT_TRUE(Like(logName, "######-######_e2e")) << logName;
  EXPECT_EQ(ReadFile(dir.File(logName)), "2002\t00\t0x1234\t4660\n2002\t00\t0xBEEF\t48879\n2103\t00\t0x05\t5\n");
  const std::string saved = ReadFile(dir.File(saveName));
  EXPECT_NE(saved.find("RD(W)  2002[00] = BEEF = 48879\nprinted in log file\n"), std::string::npos) << saved;

  ASSERT_TRUE(Run({"log_append " + logName, "log_object 0x2004 0", "log_close"}));
  EXPECT_EQ(ReadFile(dir.File(logName)),
            "2002\t00\t0x1234\t4660\n2002\t00\t0xBEEF\t48879\n2103\t00\t0x05\t5\n2004\t00\t0x12345678\t305419896\n");
}
