// The message-log queue, its filter, the frame dumps and saving the log.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "comm/ComQueue.h"
#include "support/EngineFixture.h"

class LogQueue : public EngineFixture {};

TEST_F(LogQueue, HundredFitTheHundredAndFirstIsLost) {
  for (int i = 0; i < 101; ++i) HmiLogWindowOut(("line " + std::to_string(i)).c_str(), 1, 0, MAIN_TXTBOX_LOG);
  EXPECT_EQ(ubHiQueueCounter, 100);
  Tick();
  EXPECT_EQ(Log(), "line 0\n");  // one message per tick
  Tick(120);
  const std::string log = Log();
  EXPECT_NE(log.find("line 99\n"), std::string::npos);
  EXPECT_EQ(log.find("line 100"), std::string::npos);
}

TEST_F(LogQueue, PriorityFilterPassesOnlySharedBitsAndOrdinaryLines) {
  ubHiTxtBoxPrio = 4;
  HmiLogWindowOut("frame\n", 1, HI_PRIO_FRAME, MAIN_TXTBOX_LOG);
  HmiLogWindowOut("text", 1, HI_PRIO_TEXT, MAIN_TXTBOX_LOG);
  HmiLogWindowOut("line", 1, HI_PRIO_LINE, MAIN_TXTBOX_LOG);
  Tick(4);
  EXPECT_EQ(Log(), "textline\n");
}

TEST_F(LogQueue, DisplayModesByPriorityAndCursorCodes) {
  HmiLogWindowOut("old", 1, 0, MAIN_TXTBOX_LOG);
  HmiLogWindowOut("", 1, 0, HI_CURSOR_WAIT_ON);
  Tick(2);
  EXPECT_TRUE(host.waitCursor);
  EXPECT_EQ(Log(), "old\n");
  HmiLogWindowOut("new ", 1, HI_PRIO_REPLACE, MAIN_TXTBOX_LOG);
  HmiLogWindowOut("as is", 1, HI_PRIO_TEXT, MAIN_TXTBOX_LOG);
  HmiLogWindowOut("", 1, 0, HI_CURSOR_WAIT_OFF);
  Tick(3);
  EXPECT_FALSE(host.waitCursor);
  EXPECT_EQ(Log(), "new as is");
}

TEST_F(LogQueue, LongTextIsCutTo255Characters) {
  const std::string longText(400, 'x');
  HmiLogWindowOut(longText.c_str(), 1, HI_PRIO_TEXT, MAIN_TXTBOX_LOG);
  Tick();
  EXPECT_EQ(Log(), std::string(255, 'x'));
}

TEST_F(LogQueue, FrameDumpLines) {
  CqElement e{};
  const uint8_t tx[8] = {0x40, 0x00, 0x20, 0x00, 0, 0, 0, 0};
  const uint8_t rx[8] = {0x4B, 0x02, 0x20, 0x00, 0x34, 0x12, 0, 0};
  std::copy(tx, tx + 8, e.ubTxFrame);
  std::copy(rx, rx + 8, e.ubRxFrame);
  HmiLogWindowSdoSendOut(1, e);
  HmiLogWindowSdoRecvOut(1, e);
  Tick(2);
  EXPECT_EQ(Log(), "TX-SDO: 40 00 20 00 00 00 00 00\nRX-SDO: 4B 02 20 00 34 12 00 00\n");
}

TEST_F(LogQueue, BatchModeWritesEveryLineToStandardOutputInOrder) {
  ubMcFlag3 |= MC_FLAG3_BATCH_MODE;
  testing::internal::CaptureStdout();
  for (int i = 0; i < 150; ++i) HmiLogWindowOut(("L" + std::to_string(i)).c_str(), 1, 0, MAIN_TXTBOX_LOG);
  HmiLogWindowOut("no line end", 1, HI_PRIO_TEXT, MAIN_TXTBOX_LOG);
  const std::string out = testing::internal::GetCapturedStdout();
  std::string expected;
  for (int i = 0; i < 150; ++i) expected += "L" + std::to_string(i) + "\n";
  EXPECT_EQ(out, expected + "no line end");
  EXPECT_EQ(ubHiQueueCounter, 0);
}

class LogSave : public LogQueue {
 protected:
  void SetUp() override {
    LogQueue::SetUp();
    char tmpl[] = "/tmp/strokedesk-logsave-XXXXXX";
    dir = mkdtemp(tmpl);
  }
  void TearDown() override {
    std::filesystem::remove_all(dir);
    LogQueue::TearDown();
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::string dir;
};

TEST_F(LogSave, EmptyWindowGivesTheHeaderOnly) {
  const std::string path = dir + "/empty.log";
  EXPECT_EQ(HmiLogSave(path), 0);
  const std::string text = Read(path);
  EXPECT_EQ(text, HmiLogFileHeader());
  EXPECT_EQ(text.rfind("*******************************************************\n", 0), 0u);
  EXPECT_NE(text.find("* Log-File created by StrokeDesk\n* Software version: S0712-22\n"), std::string::npos);
}

TEST_F(LogSave, WritesEveryLineEachWithALineEnd) {
  host.texts[{1, MAIN_TXTBOX_LOG}] = "first\nsecond";
  const std::string path = dir + "/two.log";
  ASSERT_EQ(HmiLogSave(path), 0);
  EXPECT_EQ(Read(path), HmiLogFileHeader() + "first\nsecond\n");
}

TEST_F(LogSave, UnwritableTargetIsReportedAndLeavesNoFileBehind) {
  EXPECT_EQ(HmiLogSave(dir + "/missing/folder/x.log"), 1);
  // A directory in place of the file: the rename fails, nothing is replaced.
  mkdir((dir + "/taken.log").c_str(), 0755);
  EXPECT_EQ(HmiLogSave(dir + "/taken.log"), 1);
  struct stat st{};
  ASSERT_EQ(stat((dir + "/taken.log").c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  Tick(3);
  const std::string log = Log();
  EXPECT_NE(log.find("Error: log file " + dir + "/missing/folder/x.log not saved"), std::string::npos);
  EXPECT_NE(log.find("Error: log file " + dir + "/taken.log not saved"), std::string::npos);
  // No temporary file is left in the folder.
  EXPECT_EQ(std::system(("test $(ls -A " + dir + " | wc -l) -eq 1").c_str()), 0);
}

TEST_F(LogSave, ExistingFileIsReplacedWhole) {
  const std::string path = dir + "/old.log";
  std::ofstream(path) << std::string(10000, 'o');
  host.texts[{1, MAIN_TXTBOX_LOG}] = "short\n";
  ASSERT_EQ(HmiLogSave(path), 0);
  EXPECT_EQ(Read(path), HmiLogFileHeader() + "short\n");
}
