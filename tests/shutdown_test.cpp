// Shutdown order: the tick is gone before its buffers and links.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ModuleHooks.h"
#include "app/Shutdown.h"
#include "support/EngineFixture.h"

namespace {

std::vector<std::string> calls;
// Records a step, marked when a tick could still run.
void Record(const char* step) { calls.push_back(std::string(step) + (TimerEnabled() || ubTimerSel != 0 ? "+tick" : "")); }

class ShutdownTest : public EngineFixture {
 protected:
  void SetUp() override {
    EngineFixture::SetUp();
    calls.clear();
    mcModuleHooks = {};
    mcModuleHooks.freeTraceBuffer = [] { Record("free"); };
    mcModuleHooks.closeObjectLog = [] { Record("log"); };
    mcModuleHooks.closeLink = [](bool all) { Record(all ? "link-all" : "link-serial"); };
    McycleShutdownReset();
    TimerInit(TIMER_SEL_PANEL);
    ASSERT_TRUE(TimerEnabled());
  }
  void TearDown() override {
    mcModuleHooks = {};
    EngineFixture::TearDown();
  }
};

TEST_F(ShutdownTest, CloseStopsTheTimerFirstAndClosesEveryLink) {
  McycleShutdown(McShutdown::Close);
  EXPECT_EQ(calls, (std::vector<std::string>{"free", "log", "link-all"}));
  EXPECT_TRUE(host.quitRequested);
  EXPECT_EQ((host.attributes[{1, MAIN_TIMER_TICK}][ATTR_ENABLED]), 0);
  // A second close (the window's close after Exit) does nothing more.
  McycleShutdown(McShutdown::Close);
  EXPECT_EQ(calls.size(), 3u);
}

TEST_F(ShutdownTest, ExitClosesOnlyTheSerialPort) {
  McycleShutdown(McShutdown::Exit);
  EXPECT_EQ(calls, (std::vector<std::string>{"free", "log", "link-serial"}));
  EXPECT_TRUE(host.quitRequested);
}

}  // namespace
