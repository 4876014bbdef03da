// Operator helpers: message boxes and dimming.
#include <gtest/gtest.h>

#include <set>

#include "support/EngineFixture.h"

namespace {

class HmiHelpersTest : public EngineFixture {};

TEST_F(HmiHelpersTest, AllButtonsAreNineteenOperationControls) {
  const std::set<uint16_t> distinct(std::begin(kHmiOperationControls), std::end(kHmiOperationControls));
  EXPECT_EQ(distinct.size(), 19u);
  // Panel-level work (log, rings that only show, opening panels) stays usable.
  for (int c : std::initializer_list<int>{MAIN_TXTBOX_LOG, MAIN_RING_COM_CHANNEL, MAIN_CMD_CLEAR_LOG, MAIN_CMD_SAVE_LOG, MAIN_MENU_EXIT,
                MAIN_MENU_HELP, MAIN_CMD_PARAMETERS, MAIN_BIN_SW_POS_MON_ON})
    EXPECT_EQ(distinct.count(static_cast<uint16_t>(c)), 0u) << c;
  // Dimming them on the real panels: gui/operator_session_test.cpp.
}

TEST_F(HmiHelpersTest, MessageBoxes) {
  EXPECT_FALSE(HmiOkMessageBox("Title", "Text"));
  ASSERT_EQ(host.popups.size(), 1u);
  EXPECT_EQ(host.popups[0], "Title: Text");
  host.confirmAnswer = true;
  EXPECT_TRUE(HmiYesNoMessageBox("Q", "Sure?"));
  host.confirmAnswer = false;
  EXPECT_FALSE(HmiYesNoMessageBox("Q", "Sure?"));

  PanelSetHost(nullptr);  // batch mode: nothing can be shown
  EXPECT_TRUE(HmiOkMessageBox("Title", "Text"));
  EXPECT_FALSE(HmiYesNoMessageBox("Q", "Sure?"));
}

TEST_F(HmiHelpersTest, DeleteTextBoxLineTakesTheLastLineOnly) {
  HmiLogDirect("one\ntwo\nthree\n");
  HmiDeleteTextBoxLine(1, MAIN_TXTBOX_LOG);
  EXPECT_EQ(Log(), "one\ntwo\n");
  HmiDeleteTextBoxLine(1, MAIN_TXTBOX_LOG);
  HmiDeleteTextBoxLine(1, MAIN_TXTBOX_LOG);
  HmiDeleteTextBoxLine(1, MAIN_TXTBOX_LOG);
  EXPECT_EQ(Log(), "");
}

}  // namespace
