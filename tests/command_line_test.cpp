// The command line: option table, batch grammar, and what reaches the globals.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"

namespace {

struct Parsed {
  int rc;
  McStartOptions options;
  std::string error;
};

Parsed Parse(std::vector<std::string> args) {
  args.insert(args.begin(), "strokedesk");
  std::vector<const char*> argv;
  for (const auto& a : args) argv.push_back(a.c_str());
  Parsed p;
  p.rc = McycleParseCommandLine(static_cast<int>(argv.size()), argv.data(), p.options, p.error);
  return p;
}

TEST(CommandLineTest, OptionsAreCaseInsensitiveAndFoundAnywhere) {
  Parsed p = Parse({"-TMOUT:500", "-Expert", "-KITHARA", "-com_CHECK"});
  ASSERT_EQ(p.rc, 0);
  EXPECT_TRUE(p.options.timeoutGiven);
  EXPECT_EQ(p.options.timeoutMs, 500u);
  EXPECT_TRUE(p.options.expert);
  EXPECT_TRUE(p.options.kithara);
  EXPECT_TRUE(p.options.comCheck);
  EXPECT_FALSE(p.options.batch);
  EXPECT_TRUE(p.options.warnings.empty());
}

TEST(CommandLineTest, BadTimeoutKeepsTheDefaultWithAMessage) {
  for (const char* arg : {"-tmout:", "-tmout:abc", "-tmout:12x", "-tmout:0", "-tmout:-5", "-tmout:2147483648",
                          "-tmout:99999999999999999999"}) {
    Parsed p = Parse({arg});
    EXPECT_EQ(p.rc, 0) << arg;
    EXPECT_FALSE(p.options.timeoutGiven) << arg;
    ASSERT_EQ(p.options.warnings.size(), 1u) << arg;
    EXPECT_NE(p.options.warnings[0].find(arg), std::string::npos);
  }
  Parsed largest = Parse({"-tmout:2147483647"});
  EXPECT_TRUE(largest.options.timeoutGiven);
  EXPECT_EQ(largest.options.timeoutMs, 2147483647u);
}

TEST(CommandLineTest, BatchOnlyAsFirstArgument) {
  Parsed p = Parse({"-expert", "-batch", "-script", "x.scr"});
  EXPECT_EQ(p.rc, 0);
  EXPECT_FALSE(p.options.batch);
  EXPECT_TRUE(p.options.expert);
  EXPECT_TRUE(p.options.script.empty());
}

struct PlanCase {
  std::vector<std::string> args;
  uint8_t channel;
  int port;
  std::vector<uint16_t> plan;  // slots 0 .. last
  std::string script;
};

TEST(CommandLineTest, BatchGrammarBuildsThePlan) {
  const PlanCase cases[] = {
      {{"-batch", "-dc", "com", "3", "-script", "x"}, 1, 3, {0x0A00, 0x0600}, "x"},
      {{"-batch", "-script", "x"}, 0, 0, {0x0600}, "x"},
      {{"-batch", "-dc", "ipv4", "-script", "s.txt"}, 3, 0, {0x0600}, "s.txt"},
      {{"-batch", "-dc", "IPV", "-script", "s.txt"}, 3, 0, {0x0600}, "s.txt"},
      {{"-BATCH", "-DC", "USB", "-SCRIPT", "Run/My Script.PMS"}, 4, 0, {0x0600}, "Run/My Script.PMS"},
      {{"-batch", "-dc", "com", "18"}, 1, 18, {0x0A00, 0}, ""},
      {{"-batch", "-tmout:300", "-dc", "com", "1", "-expert", "-script", "a"}, 1, 1, {0x0A00, 0x0600}, "a"},
      {{"-batch"}, 0, 0, {0}, ""},
  };
  for (const PlanCase& c : cases) {
    Parsed p = Parse(c.args);
    ASSERT_EQ(p.rc, 0) << c.args[1] << " " << p.error;
    EXPECT_TRUE(p.options.batch);
    EXPECT_EQ(p.options.dataChannel, c.channel);
    EXPECT_EQ(p.options.comPort, c.port);
    EXPECT_EQ(p.options.planLast, c.plan.size() - 1);
    for (size_t i = 0; i < c.plan.size(); ++i) EXPECT_EQ(p.options.plan[i], c.plan[i]) << "slot " << i;
    // The file name is kept as given: names are case-sensitive here.
    EXPECT_EQ(p.options.script, c.script);
  }
}

TEST(CommandLineTest, RejectedBatchCommandLines) {
  const std::string longName(CTRL_CMD_PATH_BUFFER_SIZE, 'n');
  const std::vector<std::vector<std::string>> rejected = {
      {"-batch", "-dc"},
      {"-batch", "-dc", "com"},
      {"-batch", "-dc", "com", "-script", "x"},
      {"-batch", "-dc", "com", "0"},
      {"-batch", "-dc", "com", "19"},
      {"-batch", "-dc", "com", "3x"},
      {"-batch", "-dc", "com", "+3"},
      {"-batch", "-dc", "com", "99999999999999999999999"},
      {"-batch", "-dc", "serial"},
      {"-batch", "-script"},
      {"-batch", "-script", longName},
      {"-batch", "-script", "x", "-dc", "usb"},
      {"-batch", "-dc", "usb", "-dc", "usb"},
      {"-batch", "-script", "x", "extra"},
      {"-batch", "hello"},
  };
  for (const auto& args : rejected) {
    Parsed p = Parse(args);
    EXPECT_EQ(p.rc, COMMAND_LINE_REJECTED) << args.back();
    EXPECT_FALSE(p.error.empty());
  }
  // The longest name that fits with its terminator is accepted.
  Parsed fits = Parse({"-batch", "-script", std::string(CTRL_CMD_PATH_BUFFER_SIZE - 1, 'n')});
  EXPECT_EQ(fits.rc, 0);
}

class ApplyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ubMcFlag = ubMcFlag1 = ubMcFlag2 = ubMcFlag3 = ubMcFlag4 = ubMcFlag5 = 0;
    ubCqDataChannel = 0;
    iStMaComChan = 0;
    udCqNorlTimeout = 200;
  }
};

TEST_F(ApplyTest, FlagsOfTheOptionTable) {
  ubMcFlag2 = MC_FLAG2_EXPERT_MODE;  // cleared unless asked for
  McycleApplyStartFlags(Parse({}).options);
  EXPECT_EQ(ubMcFlag2 & MC_FLAG2_EXPERT_MODE, 0);
  McycleApplyStartFlags(Parse({"-expert", "-kithara", "-com_check"}).options);
  EXPECT_TRUE(ubMcFlag2 & MC_FLAG2_EXPERT_MODE);
  EXPECT_TRUE(ubMcFlag4 & MC_FLAG4_EXPERT_MODE);
  EXPECT_TRUE(ubMcFlag4 & MC_FLAG4_KITHARA_TIMER);
  EXPECT_TRUE(ubMcFlag5 & MC_FLAG5_SCAN_PORTS_AT_START);
  EXPECT_FALSE(ubMcFlag3 & MC_FLAG3_BATCH_MODE);
}

TEST_F(ApplyTest, BatchPlanSurvivesTheStartStep) {
  const McStartOptions o = Parse({"-batch", "-dc", "com", "7", "-script", "Test.scr", "-tmout:500"}).options;
  McycleApplyStartFlags(o);
  EXPECT_TRUE(ubMcFlag3 & MC_FLAG3_BATCH_MODE);
  McycleStateMachine(MC_SIG_START);  // clears the plan slots
  McycleApplyAfterStartStep(o);
  EXPECT_EQ(udCqNorlTimeout, 500u);
  EXPECT_EQ(uwMcBatchStateQueue[0], 0x0A00);
  EXPECT_EQ(uwMcBatchStateQueue[1], 0x0600);
  EXPECT_EQ(ubBatchStateCnt, 1);
  EXPECT_EQ(ubCqDataChannel, 1);
  EXPECT_EQ(iStMaComChan, 7);
  EXPECT_STREQ(ubCtrlCmdPathBuffer, "Test.scr");
  ubMcFlag3 = 0;
}

}  // namespace
