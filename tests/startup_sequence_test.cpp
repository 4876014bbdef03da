// The start-up sequence over a recording panel host: order, screen sizes and
// what happens when a panel cannot be loaded.
#include <gtest/gtest.h>

#include "app/PanelStartup.h"
#include "support/EngineFixture.h"

namespace {

class StartupSequenceTest : public EngineFixture {
 protected:
  int Start(std::string& why) { return McycleStartPanels(McStartOptions{}, "/nonexistent", why); }
  void TearDown() override {
    TimerClose();
    EngineFixture::TearDown();
  }
};

TEST_F(StartupSequenceTest, PanelsAreLoadedInTheirOrder) {
  std::string why;
  ASSERT_EQ(Start(why), 0) << why;
  const std::vector<int> expected = {PANEL_MAIN,        PANEL_INTRO,        PANEL_SCOPE,      PANEL_DOWNLOAD,
                                     PANEL_PARM_SAVE,   PANEL_PARAMETER,    PANEL_EXT_PARAMETER, PANEL_RAMTYPE,
                                     PANEL_EVALUATION,  PANEL_CONFIG,       PANEL_TRACE_INFO, PANEL_ABOUT,
                                     PANEL_SCOPE_INFO,  PANEL_MACRO,        PANEL_MACRO_WIZARD, PANEL_MACRO_LOAD,
                                     PANEL_SCOPE_COMMENT, PANEL_HELP,       PANEL_SAVE,       PANEL_MACRO_TEST};
  EXPECT_EQ(host.loadedResources, expected);
  EXPECT_EQ(uwMcMainPanelHandle, 1);
  EXPECT_EQ(uwMcSavePanelHandle, 19);
  // The engine's start step ran: idle, log queue ready.
  EXPECT_EQ(uwMcycleState, MC_STATE_IDLE);
}

TEST_F(StartupSequenceTest, AScreenOf800By600GetsTheSmallSizes) {
  host.screenWidth = 800;
  host.screenHeight = 600;
  std::string why;
  ASSERT_EQ(Start(why), 0);
  EXPECT_EQ((host.attributes[{uwMcMainPanelHandle, 0}][ATTR_HEIGHT]), 448);
  EXPECT_EQ((host.attributes[{uwMcMainPanelHandle, 0}][ATTR_WIDTH]), 437);
  EXPECT_EQ((host.attributes[{uwMcScopePanelHandle, 0}][ATTR_HEIGHT]), 528);
  EXPECT_EQ((host.attributes[{uwMcScopePanelHandle, 0}][ATTR_WIDTH]), 645);
}

TEST_F(StartupSequenceTest, ALargerScreenKeepsTheSizes) {
  host.screenWidth = 801;
  host.screenHeight = 600;
  std::string why;
  ASSERT_EQ(Start(why), 0);
  EXPECT_EQ((host.attributes[{uwMcMainPanelHandle, 0}].count(ATTR_HEIGHT)), 0u);
  EXPECT_EQ((host.attributes[{uwMcScopePanelHandle, 0}].count(ATTR_WIDTH)), 0u);
}

TEST_F(StartupSequenceTest, APanelThatCannotBeLoadedEndsTheStart) {
  host.failResource = PANEL_MACRO_WIZARD;
  std::string why;
  EXPECT_EQ(Start(why), -1);
  EXPECT_NE(why.find("could not be loaded"), std::string::npos);
  EXPECT_EQ(host.loadedResources.size(), 14u);  // up to the macro panel
}

}  // namespace
