// Commands that act while they are compiled: REWIND, HELP, LOG, MODE_EXPERT.
#include <string>

#include "engine/McycleFlags.h"
#include "hmi/hmi.h"
#include "support/ScriptFixture.h"
#include "support/TempDir.h"

namespace {

using ImmediateTest = ScriptFixture;

// The command summary exactly as the operator reads it.
std::string Help() { return ReadFileBytes(std::string(STROKEDESK_SOURCE_DIR) + "/tests/golden/help.txt"); }

TEST_F(ImmediateTest, HelpWritesItsTextIntoTheLogAtOnce) {
  EXPECT_EQ(Compile("help"), OBJCMD_OK);
  EXPECT_EQ(reply, "");
  EXPECT_EQ(Entries(), 0);
  EXPECT_EQ(host.Text(1, MAIN_TXTBOX_LOG), Help());
  EXPECT_EQ(std::string(ObjCmdHelpText()), Help());
}

TEST_F(ImmediateTest, HelpGoesToStandardOutputInBatchMode) {
  ubMcFlag3 |= MC_FLAG3_BATCH_MODE;
  ubHiTxtBoxPrio = ' ';
  testing::internal::CaptureStdout();
  EXPECT_EQ(Compile("HELP"), OBJCMD_OK);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), Help());
  EXPECT_EQ(host.Text(1, MAIN_TXTBOX_LOG), "");
}

TEST_F(ImmediateTest, RewindSetsTheRequestWithoutAnEntry) {
  EXPECT_EQ(Compile("Rewind"), OBJCMD_OK);
  EXPECT_EQ(reply, "");
  EXPECT_EQ(Entries(), 0);
  EXPECT_TRUE(ubMcFlag2 & MC_FLAG2_SCRIPT_REWIND);
}

TEST_F(ImmediateTest, LogOnAndOff) {
  EXPECT_EQ(Compile("log off"), OBJCMD_OK);
  EXPECT_EQ(reply, "Script logging off");
  EXPECT_TRUE(ubMcFlag3 & MC_FLAG3_SCRIPT_LOG_OFF);
  EXPECT_EQ(Compile("LOG On"), OBJCMD_OK);
  EXPECT_EQ(reply, "Script logging on");
  EXPECT_FALSE(ubMcFlag3 & MC_FLAG3_SCRIPT_LOG_OFF);
  EXPECT_EQ(Entries(), 0);
}

TEST_F(ImmediateTest, ModeExpertOnAndOffAlsoSwitchesScriptLoggingOff) {
  EXPECT_EQ(Compile("Mode_Expert ON"), OBJCMD_OK);
  EXPECT_EQ(reply, "mode expert on");
  EXPECT_TRUE(ubMcFlag2 & MC_FLAG2_EXPERT_MODE);
  EXPECT_TRUE(ubMcFlag4 & MC_FLAG4_EXPERT_MODE);
  EXPECT_FALSE(ubMcFlag3 & MC_FLAG3_SCRIPT_LOG_OFF);

  EXPECT_EQ(Compile("mode_expert off"), OBJCMD_OK);
  EXPECT_EQ(reply, "mode expert off");
  EXPECT_FALSE(ubMcFlag2 & MC_FLAG2_EXPERT_MODE);
  EXPECT_FALSE(ubMcFlag4 & MC_FLAG4_EXPERT_MODE);
  EXPECT_TRUE(ubMcFlag3 & MC_FLAG3_SCRIPT_LOG_OFF);
  EXPECT_EQ(Entries(), 0);
}

TEST_F(ImmediateTest, ImmediateCommandsLeaveTheNextEntryAlone) {
  CompileAll({"DOS echo kept"});
  sScrContainer.uwNumOfEntries = 0;  // entry 0 is the next entry now
  CompileAll({"HELP", "LOG ON", "REWIND", "MODE_EXPERT ON"});
  ASSERT_NE(+Entry(0).pText, nullptr);
  EXPECT_STREQ(Entry(0).pText, "echo kept");
}

}  // namespace
