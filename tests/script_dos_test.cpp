// DOS runs its command as a child process: the engine keeps ticking while it
// runs, Esc ends it, the text is run as typed with its meta strings expanded.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <fstream>
#include <thread>

#include "engine/Mcycle.h"
#include "support/ScriptRunFixture.h"
#include "support/SimProcess.h"

namespace {

class ScriptDos : public ScriptRunFixture {
 protected:
  // Paced ticks (real time passes as with the timer) until done or maxTicks.
  template <class Done>
  bool Paced(Done done, int maxTicks) {
    for (int i = 0; i < maxTicks && !done(); ++i) {
      TickPaced();
      controller.Serve();
    }
    return done();
  }
  ScriptTempDir dir;
};

TEST_F(ScriptDos, TheEngineGoesOnWhileTheCommandRuns) {
  const std::string command = "sleep 0.3; echo made > " + dir.File("Made.txt");
  ASSERT_TRUE(StartScript({"dos " + command, "rd 0x2002 0"}));
  int ticksWhileRunning = 0;
  uint32_t startTime = 0;
  ASSERT_TRUE(Paced(
      [&] {
        if (uwMcycleState == MC_SCRIPT_DOS && ticksWhileRunning++ == 0) startTime = McTimerGetCurrentTime();
        return !ScriptActive();
      },
      3000));
  // 0.3 s of sleep: well over a hundred ticks ran meanwhile.
  EXPECT_GT(ticksWhileRunning, 100);
  EXPECT_GT(McTimerGetCurrentTime() - startTime, 200u);
  EXPECT_EQ(ReadFile(dir.File("Made.txt")), "made\n");
  const std::string log = Log();
  EXPECT_NE(log.find("DOS: /bin/sh -c " + command + "\n"), std::string::npos) << log;
  EXPECT_NE(log.find("RD(W)  2002[00]"), std::string::npos) << log;
}

TEST_F(ScriptDos, EscEndsTheWaitAndTheCommand) {
  const std::string pidFile = dir.File("pid");
  ASSERT_TRUE(StartScript({"dos echo $$ > " + pidFile + "; exec sleep 30", "rd 0x2002 0"}));
  ASSERT_TRUE(Paced([&] { return ReadFile(pidFile).find('\n') != std::string::npos; }, 2000));
  const int pid = std::atoi(ReadFile(pidFile).c_str());
  ASSERT_GT(pid, 0);
  ubMcFlag2 |= MC_FLAG2_SCRIPT_STOP_REQUEST;
  ASSERT_TRUE(Finish(10));
  EXPECT_NE(Log().find("DOS: command ended\n"), std::string::npos) << Log();
  EXPECT_EQ(Log().find("RD(W)"), std::string::npos);
  // Killed: gone, or dead and waiting to be collected, within a moment.
  std::string stat;
  for (int i = 0; i < 200; ++i) {
    stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
    if (stat.empty() || stat.find(") Z ") != std::string::npos) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(stat.empty() || stat.find(") Z ") != std::string::npos) << stat;
}

TEST_F(ScriptDos, TheCommandKeepsItsCaseAndGetsTheDate) {
  ASSERT_TRUE(StartScript({"dos\techo $Date > " + dir.File("Upper.TXT")}));
  ASSERT_TRUE(Paced([] { return !ScriptActive(); }, 2000));
  const std::string text = ReadFile(dir.File("Upper.TXT"));
  EXPECT_TRUE(Like(text, "######\n")) << text << Log();
}

TEST_F(ScriptDos, AFailingCommandIsReportedAndTheScriptGoesOn) {
  ASSERT_TRUE(StartScript({"dos exit 3", "rd 0x2002 0"}));
  ASSERT_TRUE(Paced([] { return !ScriptActive(); }, 2000));
  EXPECT_NE(Log().find("DOS: exit code 3\n"), std::string::npos) << Log();
  EXPECT_NE(Log().find("RD(W)  2002[00]"), std::string::npos) << Log();
}

}  // namespace
