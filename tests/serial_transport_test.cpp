// Serial layer and the frame and block reads over a pseudo-terminal.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "comm/CRC16.h"
#include "comm/ComQueue.h"
#include "comm/StMaUart.h"
#include "comm/zel_ether.h"
#include "platform/Serial.h"
#include "support/FakePanelHost.h"
#include "support/TestPty.h"
#include "app/Startup.h"
#include "ui/PanelIds.h"

namespace {

constexpr int kPort = 5;

std::vector<uint8_t> Frame(std::vector<uint8_t> payload) {
  uint8_t x = 0;
  for (uint8_t b : payload) x ^= b;
  payload.push_back(x);
  return payload;
}

class SerialTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.Ok());
    ASSERT_EQ(SerialOpenConfig(kPort, 9600, 0, 8, 1, 4096, 10), 0);
    iStMaComChan = kPort;
  }
  void TearDown() override {
    SerialClose(kPort);
    iStMaComChan = 0;
    ubCqDataChannel = CQ_LINK_NONE;
  }
  TestPty pty{kPort};
};

TEST_F(SerialTest, FrameWrittenWholeWithItsCheckByte) {
  const uint8_t payload[8] = {0x2B, 0x00, 0x20, 0x00, 0x34, 0x12, 0x00, 0x00};
  ASSERT_EQ(UartWriteCanData(payload), 0);
  EXPECT_EQ(pty.Receive(9), (std::vector<uint8_t>{0x2B, 0x00, 0x20, 0x00, 0x34, 0x12, 0x00, 0x00, 0x2D}));
}

TEST_F(SerialTest, FrameReadWaitsForTheNinthByte) {
  const std::vector<uint8_t> f = Frame({0x43, 0x04, 0x20, 0x00, 0x78, 0x56, 0x34, 0x12});
  pty.Send(std::vector<uint8_t>(f.begin(), f.begin() + 8));
  ASSERT_TRUE(WaitForInput(kPort, 8));
  uint8_t payload[8] = {};
  EXPECT_EQ(UartReadCanData(payload), 2);
  EXPECT_EQ(SerialInQLen(kPort), 8);
  pty.Send({f[8]});
  ASSERT_TRUE(WaitForInput(kPort, 9));
  EXPECT_EQ(UartReadCanData(payload), 0);
  EXPECT_EQ(std::vector<uint8_t>(payload, payload + 8), std::vector<uint8_t>(f.begin(), f.begin() + 8));
  EXPECT_EQ(SerialInQLen(kPort), 0);
}

TEST_F(SerialTest, BadCheckByteLosesTheFrame) {
  std::vector<uint8_t> f = Frame({0x43, 0x04, 0x20, 0x00, 1, 2, 3, 4});
  f[8] ^= 0x01;
  pty.Send(f);
  ASSERT_TRUE(WaitForInput(kPort, 9));
  uint8_t payload[8] = {};
  EXPECT_EQ(UartReadCanData(payload), 4);
  EXPECT_EQ(SerialInQLen(kPort), 0);
  iStMaComChan = 0;
  EXPECT_EQ(UartReadCanData(payload), 1);
}

// Bytes a cooked terminal would eat or change: CR, XON, XOFF, NUL, DEL.
TEST_F(SerialTest, RawLineKeepsControlBytesBothWays) {
  const std::vector<uint8_t> bytes = {0x0D, 0x11, 0x13, 0x0A, 0x00, 0x7F, 0x03, 0x1A, 0xFF};
  pty.Send(bytes);
  ASSERT_TRUE(WaitForInput(kPort, 9));
  uint8_t in[16] = {};
  ASSERT_EQ(SerialRead(kPort, in, sizeof in), 9);
  EXPECT_EQ(std::vector<uint8_t>(in, in + 9), bytes);
  ASSERT_EQ(SerialWrite(kPort, bytes.data(), bytes.size()), 9);
  EXPECT_EQ(pty.Receive(9), bytes);
}

TEST_F(SerialTest, BlockRead) {
  std::vector<uint8_t> block(100);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i * 5);
  const uint16_t crc = CRC16calculation(block.data(), block.size());
  std::vector<uint8_t> wire = block;
  wire.push_back(static_cast<uint8_t>(crc));
  wire.push_back(static_cast<uint8_t>(crc >> 8));
  std::vector<uint8_t> buffer(102, 0);

  pty.Send(std::vector<uint8_t>(wire.begin(), wire.begin() + 101));  // short
  ASSERT_TRUE(WaitForInput(kPort, 101));
  EXPECT_EQ(UartReadBlockData(kPort, buffer.data(), 100), 2);
  pty.Send({wire[101]});
  ASSERT_TRUE(WaitForInput(kPort, 102));
  EXPECT_EQ(UartReadBlockData(kPort, buffer.data(), 100), 0);
  EXPECT_EQ(buffer, wire);

  std::vector<uint8_t> bad = wire;
  bad[50] ^= 0x10;
  pty.Send(bad);
  ASSERT_TRUE(WaitForInput(kPort, 102));
  EXPECT_EQ(UartReadBlockData(kPort, buffer.data(), 100), 1);

  // More than a block waits: the block is taken, the buffer never overrun,
  // and the next answer's first bytes stay for the frame reader.
  std::vector<uint8_t> guard(102 + 64, 0xA5);
  std::vector<uint8_t> twice = wire;
  twice.insert(twice.end(), {0x60, 0x00, 0x20});
  pty.Send(twice);
  ASSERT_TRUE(WaitForInput(kPort, 105));
  EXPECT_EQ(UartReadBlockData(kPort, guard.data(), 100), 0);
  EXPECT_EQ(std::vector<uint8_t>(guard.begin(), guard.begin() + 102), wire);
  EXPECT_EQ(std::vector<uint8_t>(guard.begin() + 102, guard.end()), std::vector<uint8_t>(64, 0xA5));
  EXPECT_EQ(SerialInQLen(kPort), 3);
  uint8_t rest[3] = {};
  EXPECT_EQ(SerialRead(kPort, rest, 3), 3);
  EXPECT_EQ(rest[0], 0x60);
}

TEST_F(SerialTest, LinkFourBlockReadWaitsForTheWholeTelegram) {
  ubCqDataChannel = CQ_LINK_USB;
  ubTcpUsbComPort = kPort;
  std::vector<uint8_t> buffer(12);
  pty.Send(std::vector<uint8_t>(25, 0x11));  // a block of 10 needs 30
  ASSERT_TRUE(WaitForInput(kPort, 25));
  EXPECT_EQ(ZelEtherReadBlockData(buffer.data(), 10), 2);
  EXPECT_EQ(SerialInQLen(kPort), 25);
  pty.Send(std::vector<uint8_t>(10, 0x22));
  ASSERT_TRUE(WaitForInput(kPort, 35));
  EXPECT_EQ(ZelEtherReadBlockData(buffer.data(), 10), 5);  // one telegram's bytes, a wrong CRC
  EXPECT_EQ(SerialInQLen(kPort), 5);
}

TEST(SerialPorts, NumbersOutsideTheRangeAreRefused) {
  uint8_t b = 0;
  for (int port : {0, 19, 20, -1, 255}) {
    EXPECT_EQ(SerialOpen(port), SERIAL_ERR_PORT);
    EXPECT_EQ(SerialWrite(port, &b, 1), SERIAL_ERR_PORT);
    EXPECT_EQ(SerialRead(port, &b, 1), SERIAL_ERR_PORT);
    EXPECT_EQ(SerialInQLen(port), SERIAL_ERR_PORT);
    EXPECT_EQ(SerialClose(port), SERIAL_ERR_PORT);
  }
  EXPECT_EQ(SerialOpen(17), SERIAL_ERR_PORT);  // no device behind it
  EXPECT_EQ(SerialRead(17, &b, 1), SERIAL_ERR_NOT_OPEN);
}

TEST(SerialPorts, OpenIsExclusive) {
  TestPty pty(6);
  ASSERT_TRUE(pty.Ok());
  // Another program holds the line.
  const int holder = ::open(pty.Path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
  EXPECT_EQ(SerialOpen(6), SERIAL_ERR_BUSY);
  ::close(holder);
  ASSERT_EQ(SerialOpen(6), 0);
  // The same device under a second number is busy too.
  ScopedEnv twin("STROKEDESK_COM7", pty.Path());
  EXPECT_EQ(SerialOpen(7), SERIAL_ERR_BUSY);
  EXPECT_EQ(SerialOpenConfig(6, 12345, 0, 8, 1, 1, 1), SERIAL_ERR_CONFIG);
  EXPECT_EQ(SerialClose(6), 0);
  EXPECT_EQ(SerialClose(6), SERIAL_ERR_NOT_OPEN);
}

// The GUI closes and reopens the port while the tick reads it: every read
// sees either the open port or a closed one, never a stale descriptor.
TEST(SerialPorts, CloseWhileTheTickReads) {
  TestPty pty(8);
  ASSERT_TRUE(pty.Ok());
  ASSERT_EQ(SerialOpen(8), 0);
  std::atomic<bool> stop{false};
  std::atomic<int> bad{0};
  std::thread tick([&] {
    uint8_t buf[16];
    while (!stop) {
      const int q = SerialInQLen(8);
      const int r = SerialRead(8, buf, sizeof buf);
      if ((q < 0 && q != SERIAL_ERR_NOT_OPEN) || (r < 0 && r != SERIAL_ERR_NOT_OPEN)) ++bad;
    }
  });
  for (int i = 0; i < 200; ++i) {
    pty.Send({1, 2, 3});
    SerialClose(8);
    // Another descriptor takes the number the port had.
    const int other = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    EXPECT_EQ(SerialOpen(8), 0);
    ::close(other);
  }
  stop = true;
  tick.join();
  SerialClose(8);
  EXPECT_EQ(bad, 0);
}

}  // namespace

namespace {

// Link 4 with the controller's communication log on: text, not telegrams.
TEST_F(SerialTest, RawTextOnTheUsbLinkGoesToTheLogWindow) {
  FakePanelHost host;
  PanelSetHost(&host);
  uwMcMainPanelHandle = 1;
  ubCqDataChannel = CQ_LINK_USB;
  ubTcpUsbComPort = kPort;
  ubCqFlag |= CQ_FLAG_RAW_TEXT;
  const std::string first = "controller log: 40 bytes of text so far.";
  ASSERT_EQ(first.size(), 40u);
  pty.Send(std::vector<uint8_t>(first.begin(), first.end()));
  ASSERT_TRUE(WaitForInput(kPort, 40));
  EXPECT_EQ(CqCheckAndReadCanOpenDataFrame(), 0);
  EXPECT_EQ(host.Text(1, MAIN_TXTBOX_LOG), "");  // fewer than 41 wait
  pty.Send({'\n'});
  ASSERT_TRUE(WaitForInput(kPort, 41));
  EXPECT_EQ(CqCheckAndReadCanOpenDataFrame(), 0);
  EXPECT_EQ(host.Text(1, MAIN_TXTBOX_LOG), first + "\n");
  ubCqFlag &= static_cast<uint8_t>(~CQ_FLAG_RAW_TEXT);
  PanelSetHost(nullptr);
}

}  // namespace
