// Channel ring: port discovery, selection messages and the USB watch.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>

#include "comm/ComChannel.h"
#include "comm/ComQueue.h"
#include "comm/StMaUart.h"
#include "comm/zel_ether.h"
#include "platform/Serial.h"
#include "support/LinkFixture.h"
#include "support/TestPty.h"

namespace {

const char* const kHintFirst = "Check correct USB driver installation!\n";
const char* const kHintLast = "Connect USB to RC7\n";

class ChannelTest : public LinkFixture {
 protected:
  // Lets the log queue drain into the log window.
  std::string Shown() {
    Tick(120);
    return Log();
  }
  std::vector<FakePanelHost::RingItem> Ring() { return host.rings[{1, MAIN_RING_COM_CHANNEL}]; }
  int64_t RingValue() { return host.ints[{1, MAIN_RING_COM_CHANNEL}]; }
};

TEST_F(ChannelTest, RingListsPortsOneToEighteenFromTheEnvironment) {
  ScopedEnv com1("STROKEDESK_COM1", "/dev/null");
  ScopedEnv com3("STROKEDESK_COM3", "/dev/zero");
  ScopedEnv com21("STROKEDESK_COM21", "/dev/full");
  host.rings[{1, MAIN_RING_COM_CHANNEL}] = {{"none", 0}, {"UDP", 20}, {"USB", 30}};
  McycleScanReg();
  std::vector<FakePanelHost::RingItem> items = Ring();
  ASSERT_GE(items.size(), 5u);
  EXPECT_EQ(items[0].value, 0);
  EXPECT_EQ(items[1].value, 1);
  EXPECT_EQ(items[1].label.rfind("COM1  /dev/null", 0), 0u) << items[1].label;
  EXPECT_EQ(items[2].value, 3);
  for (const auto& item : items) EXPECT_NE(item.value, 21);
  EXPECT_EQ(items[items.size() - 2].value, 20);
  EXPECT_EQ(items.back().value, 30);
  // A second scan replaces the port items, leaving the fixed ones.
  const size_t before = items.size();
  McycleScanReg();
  EXPECT_EQ(Ring().size(), before);
}

TEST_F(ChannelTest, SerialSelectionOpensAndPostsConnect) {
  TestPty pty(4);
  ASSERT_TRUE(pty.Ok());
  ubMcFlag1 |= MC_FLAG1_LINK_ESTABLISHED | MC_FLAG1_CYCLIC_MONITOR_ON;
  Select(4);
  EXPECT_EQ(ubCqDataChannel, CQ_LINK_SERIAL);
  EXPECT_EQ(iStMaComChan, 4);
  EXPECT_TRUE(SerialIsOpen(4));
  EXPECT_EQ(ubMcSignalQueueCounter, 1);
  EXPECT_EQ(McycleSignalQueueGet(), MC_SIG_CONNECT);
  EXPECT_EQ(ubMcFlag1 & (MC_FLAG1_LINK_ESTABLISHED | MC_FLAG1_CYCLIC_MONITOR_ON), 0);
  EXPECT_FALSE(host.waitCursor);
  Select(0);
  EXPECT_FALSE(SerialIsOpen(4));
  EXPECT_EQ(ubCqDataChannel, CQ_LINK_NONE);
  EXPECT_EQ(iStMaComChan, 0);
  EXPECT_EQ((host.ints[{1, MAIN_LED_LINK}]), 0);
  EXPECT_NE(Shown().find("Com close\n"), std::string::npos);
  // Shutdown closes the link without a word.
  Select(4);
  ASSERT_TRUE(SerialIsOpen(4));
  host.texts.clear();
  McycleChannelClose();
  EXPECT_FALSE(SerialIsOpen(4));
  EXPECT_EQ(ubCqDataChannel, CQ_LINK_NONE);
  EXPECT_EQ(Shown().find("Com close"), std::string::npos);
}

TEST_F(ChannelTest, BusyPortGivesTheChannelErrorWithItsNumber) {
  TestPty pty(3);
  ASSERT_TRUE(pty.Ok());
  const int holder = ::open(pty.Path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
  Select(3);
  ::close(holder);
  EXPECT_EQ(RingValue(), 0);
  EXPECT_EQ(iStMaComChan, 0);
  EXPECT_EQ(ubCqDataChannel, CQ_LINK_NONE);
  EXPECT_EQ(ubMcSignalQueueCounter, 0);
  EXPECT_NE(Shown().find("Com 3: Channel error, not open\nCom 3: " + pty.Path() + ": Device or resource busy\n"),
            std::string::npos)
      << Log();
}

TEST_F(ChannelTest, PortNineteenIsRefused) {
  Select(19);
  EXPECT_EQ(RingValue(), 0);
  EXPECT_NE(Shown().find("Com 19: Channel error, not open\nCom 19: Invalid argument\n"), std::string::npos) << Log();
}

TEST_F(ChannelTest, UsbDeviceNotKnown) {
  ::unsetenv("STROKEDESK_USB");
  Select(COM_RING_USB);
  const std::string log = Shown();
  const size_t msg = log.find("USB Device not in Registry!\n");
  ASSERT_NE(msg, std::string::npos) << log;
  EXPECT_NE(log.find(kHintFirst, msg), std::string::npos);
  EXPECT_NE(log.find(kHintLast, msg), std::string::npos);
  EXPECT_EQ(RingValue(), 0);
  EXPECT_EQ(ubCqDataChannel, CQ_LINK_NONE);
}

TEST_F(ChannelTest, UsbDeviceUnpluggedAtSelection) {
  ScopedEnv usb("STROKEDESK_USB", testing::TempDir() + "strokedesk-no-such-device-" + std::to_string(::getpid()));
  Select(COM_RING_USB);
  const std::string log = Shown();
  const size_t msg = log.find("USB Device not connect\n");
  ASSERT_NE(msg, std::string::npos) << log;
  EXPECT_NE(log.find("USB Com 1 close\n\n", msg), std::string::npos) << log;
  EXPECT_NE(log.find(kHintFirst, msg), std::string::npos);
  EXPECT_EQ(RingValue(), 0);
  EXPECT_EQ(ubCqDataChannel, CQ_LINK_NONE);
  EXPECT_EQ(ubMcSignalQueueCounter, 0);
}

TEST_F(ChannelTest, UsbDeviceThatCannotBeOpenedIsNamed) {
  const std::string plain = testing::TempDir() + "strokedesk-not-a-tty-" + std::to_string(::getpid());
  std::FILE* f = std::fopen(plain.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  ScopedEnv usb("STROKEDESK_USB", plain);
  Select(COM_RING_USB);
  std::remove(plain.c_str());
  const std::string log = Shown();
  const size_t why = log.find("USB: " + plain + ": not a serial device\n");
  ASSERT_NE(why, std::string::npos) << log;
  const size_t msg = log.find("USB Com 1: Channel error, not open\n", why);
  ASSERT_NE(msg, std::string::npos) << log;
  EXPECT_NE(log.find(kHintFirst, msg), std::string::npos);
  EXPECT_EQ(RingValue(), 0);
  EXPECT_EQ(ubCqDataChannel, CQ_LINK_NONE);
}

TEST_F(ChannelTest, UnpluggingTheUsbDeviceDropsTheLinkAtTheNextCheck) {
  ASSERT_TRUE(Connect(SimLink::Usb));
  const std::string link = "/tmp/strokedesk-usb-" + std::to_string(::getpid());
  std::remove(link.c_str());
  ASSERT_EQ(::symlink(sim_->Pty4().c_str(), link.c_str()), 0);
  env_.reset();
  env_ = std::make_unique<ScopedEnv>("STROKEDESK_USB", link);
  Select(COM_RING_USB);
  ASSERT_EQ(ubCqDataChannel, CQ_LINK_USB);
  const int port = ubTcpUsbComPort;
  EXPECT_EQ(MAIN_TIMER_RAM_Callback(1, MAIN_TIMER_RAM, EVENT_TIMER_TICK, nullptr, 0, 0), 0);
  EXPECT_EQ(ubCqDataChannel, CQ_LINK_USB);  // still there
  ASSERT_EQ(Request(CQ_SDO_READ, 0x2004, 0), 2);

  ASSERT_EQ(std::remove(link.c_str()), 0);
  MAIN_TIMER_RAM_Callback(1, MAIN_TIMER_RAM, EVENT_TIMER_TICK, nullptr, 0, 0);
  EXPECT_EQ(ubCqDataChannel, CQ_LINK_NONE);
  EXPECT_EQ(iStMaComChan, 0);
  EXPECT_EQ(RingValue(), 0);
  EXPECT_FALSE(SerialIsOpen(port));
  const std::string log = Shown();
  char closed[40];
  std::snprintf(closed, sizeof closed, "USB Com %d close\n\n", port);
  const size_t msg = log.find("USB Device disconnected!\n");
  ASSERT_NE(msg, std::string::npos) << log;
  EXPECT_NE(log.find(closed, msg), std::string::npos) << log;
  // With no USB link the check has nothing to do.
  EXPECT_EQ(McycleUsbScanReg(0), 1);
}

}  // namespace
