// Switching the controller's communication logging against rc7sim: refused
// (and nothing sent) off the USB link; on the USB link the controller's text
// shows in the log while the buttons stay dimmed, and switching off restores
// the panel, sends 0x10A and leaves the link usable.
#include <string>
#include <vector>

#include "app/PanelCallbacks.h"
#include "comm/ComQueue.h"
#include "support/LinkFixture.h"

namespace {

class CommLogging : public LinkFixture {
 protected:
  void ChooseLogging() { ChooseAndSettle(MAIN_MENU_COM_LOGGING); }
  std::vector<std::string> Requests() { return JournalSinceChoice(); }
  int64_t Dimmed(int control) { return host.attributes[{1, control}][ATTR_DIMMED]; }
  int64_t Checked() { return host.attributes[{1, MAIN_MENU_COM_LOGGING}][ATTR_CHECKED]; }
  int64_t Lamp() { return host.ints[{1, MAIN_LED_LOGGING}]; }
};

TEST_F(CommLogging, RefusedOffTheUsbLinkWithNothingSent) {
  ASSERT_TRUE(Connect(SimLink::Serial));
  ChooseLogging();
  EXPECT_NE(Log().find("Error: Communication logging \n       only avaliable for USB!\n"), std::string::npos)
      << Log();
  EXPECT_TRUE(Requests().empty());
  EXPECT_FALSE(ubCqFlag & CQ_FLAG_RAW_TEXT);
  EXPECT_EQ(Checked(), 0);
  EXPECT_EQ(Dimmed(MAIN_CMD_HOME), 0);
  // Switching off there restores the panel but sends nothing either.
  McycleSignalQueuePut(MC_SIG_LOGGING_OFF);
  ASSERT_TRUE(TickUntil([&] { return Log().find("Communication logging off\n") != std::string::npos; }, 100));
  for (int i = 0; i < 100; ++i) TickPaced();
  EXPECT_TRUE(Requests().empty());
}

TEST_F(CommLogging, OnTheUsbLinkTheControllersTextShowsUntilSwitchedOff) {
  ASSERT_TRUE(Connect(SimLink::Usb));
  ChooseLogging();
  std::vector<std::string> sent = Requests();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_NE(sent[0].find(" 2B 2000 00 00000109 -"), std::string::npos) << sent[0];
  EXPECT_TRUE(ubCqFlag & CQ_FLAG_RAW_TEXT);
  EXPECT_NE(Log().find("Communication logging on\n"), std::string::npos);
  EXPECT_EQ(Checked(), 1);
  EXPECT_EQ(Lamp(), 1);
  EXPECT_EQ((host.attributes[{1, MAIN_LED_LOGGING}][ATTR_ON_COLOR]), 0x00FF00);
  EXPECT_EQ(Dimmed(MAIN_CMD_HOME), 1);
  EXPECT_EQ(Dimmed(MAIN_TXT_CMDLINE), 1);
  EXPECT_EQ(Dimmed(MAIN_MENU_COM_LOGGING), 0);  // the way back stays open
  // The controller's own text arrives in the log.
  EXPECT_TRUE(TickUntil([&] { return Log().find("RC7 LOG ") != std::string::npos; }, 1000)) << Log();

  ChooseLogging();  // checked: this time it switches off
  sent = Requests();
  ASSERT_GE(sent.size(), 1u);
  EXPECT_NE(sent.back().find(" 2B 2000 00 0000010A -"), std::string::npos) << sent.back();
  EXPECT_FALSE(ubCqFlag & CQ_FLAG_RAW_TEXT);
  EXPECT_NE(Log().find("Communication logging off\n"), std::string::npos);
  EXPECT_EQ(Checked(), 0);
  EXPECT_EQ(Lamp(), 0);
  EXPECT_EQ(Dimmed(MAIN_CMD_HOME), 0);
  EXPECT_EQ(Dimmed(MAIN_TXT_CMDLINE), 0);
  // No more text, and telegrams are decoded again.
  const std::string before = Log();
  for (int i = 0; i < 200; ++i) TickPaced();
  EXPECT_EQ(Log(), before);
  ASSERT_EQ(Request(CQ_SDO_READ, 0x2004, 0), 2);
  EXPECT_EQ(uint32_t{cqCanData.udData}, 0x12345678u);
}

TEST_F(CommLogging, AControllerThatRefusesLeavesLoggingOff) {
  ASSERT_TRUE(Connect(SimLink::Usb, {"--abort-object", "0x2000:0"}));
  ChooseLogging();
  EXPECT_EQ(Requests().size(), 4u);  // four attempts
  EXPECT_FALSE(ubCqFlag & CQ_FLAG_RAW_TEXT);
  EXPECT_EQ(Log().find("Communication logging on"), std::string::npos);
  EXPECT_EQ(Checked(), 0);
  EXPECT_EQ(Dimmed(MAIN_CMD_HOME), 0);
}

}  // namespace
