// The memory machine's steps against rc7sim on the serial link: blocks and
// their waits, untrusted lengths and status words, erase time, abort, the
// Ethernet block and its check words.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/PanelCallbacks.h"
#include "comm/ComQueue.h"
#include "macro/macro.h"
#include "support/MemoryFixture.h"
#include "ui/PanelIds.h"

namespace {

class MemoryMachineTest : public MemoryFixture {
 protected:
  size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  }
  // Journal values written to one object of the window, in order.
  std::vector<std::string> Written(const char* sub) {
    std::vector<std::string> values;
    const std::string key = std::string(" 2319 ") + sub + " ";
    for (const std::string& line : sim_->Journal())
      if (line.find(" 23 ") != std::string::npos && line.find(key) != std::string::npos)
        values.push_back(line.substr(line.find(key) + key.size(), 8));
    return values;
  }
};

// 100 bytes go up in seven blocks; the last one carries one word of the
// image and zeros after it; every first poll follows its block by > 100 ms.
TEST_F(MemoryMachineTest, UploadInBlocksWithSettledPolls) {
  ASSERT_TRUE(Connect(SimLink::Serial));
  ASSERT_EQ(MacroLoadMbiData(WriteImage("hundred.mbi", 100)), 0);
  uint32_t confirmed = 0, shortest = UINT32_MAX;
  uint16_t last = 0;
  ASSERT_TRUE(Transfer(kUploadBits, kAllBits & ~kUploadBits, [&] {
    if (uwMcycleState == MC_MEMORY_WAIT && last != MC_MEMORY_WAIT) confirmed = McTimerGetCurrentTime();
    if (uwMcycleState == MC_MEMORY_POLL && last == MC_MEMORY_WAIT)
      shortest = std::min(shortest, McTimerGetCurrentTime() - confirmed);
    last = uwMcycleState;
  }));
  EXPECT_EQ(Commands(MC_MEM_CMD_WRITE), 7u);
  EXPECT_GT(shortest, 100u);
  EXPECT_EQ(udMcMacDataCounter, 100u);
  const std::vector<std::string> w9 = Written("09"), w10 = Written("0A");
  ASSERT_EQ(w9.size(), 7u);
  EXPECT_EQ(w9.back(), "5B5A5958");  // bytes 96..99: code bytes 88..91
  EXPECT_EQ(w10.back(), "00000000");
  EXPECT_EQ(Written("06"), std::vector<std::string>{"00000400"});  // the address is written once
  EXPECT_NE(MacroBox().find("Memory Upload\nMacro File Length: 100\nMemory Upload: 100 Bytes written\n"),
            std::string::npos)
      << MacroBox();
  EXPECT_EQ(Count(MacroBox(), "Bytes written"), 1u);  // the progress line was replaced
  EXPECT_EQ(host.ints[std::make_pair(kLoadPanel, int{MACRO_LOAD_PROGRESS})], MC_MEM_BAR_FULL);
  EXPECT_FALSE(host.waitCursor);
}

TEST_F(MemoryMachineTest, ProgressDivisorPerLink) {
  ASSERT_TRUE(Connect(SimLink::Serial));
  for (auto [size, divisor] : {std::pair{1000u, 333u}, {8u, 2u}, {2u, 1u}}) {
    MacroMallocInputMemory(size);
    MacroSetFileDataSize(size);
    ASSERT_TRUE(McycleMemoryRequest(kUploadBits, kAllBits & ~kUploadBits));
    Tick(2);
    EXPECT_EQ(udMcMemDivisor, divisor) << size;
    ubMcFlag4 |= MC_FLAG4_MEMORY_ABORT;
    Tick(3);
    ASSERT_TRUE(McycleEngineIdle());
  }
}

TEST_F(MemoryMachineTest, FullSizeImageRoundTrip) {
  ASSERT_TRUE(Connect(SimLink::Serial));
  const std::string image = WriteImage("full.mbi", MAC_IMAGE_MAX);
  ASSERT_EQ(MacroLoadMbiData(image), 0);
  tickPauseUs = 500;
  ASSERT_TRUE(Transfer(kUploadBits, kAllBits & ~kUploadBits, [this] { WarpWhileSettling(); }, 60000));
  EXPECT_EQ(Commands(MC_MEM_CMD_WRITE), MAC_IMAGE_MAX / 16);
  chMcDownloadPath = dir.Add("full-back.mbi");
  ASSERT_TRUE(Transfer(kDownloadBits, kAllBits & ~kDownloadBits, [this] { WarpWhileSettling(); }, 60000));
  EXPECT_EQ(ReadFileBytes(chMcDownloadPath), ReadFileBytes(image));
}

struct LengthCase {
  const char* length;
  const char* message;
  bool blocksRead;
  bool fileWritten;
};

// Lengths the controller reports are not trusted.
TEST_F(MemoryMachineTest, DownloadLengthsFromTheController) {
  const LengthCase cases[] = {
      {"0", "Memory Download: Invalid macro length!\nMemory Download: No valid data found!\n", false, false},
      {"8193", "Memory Download: Invalid macro length!\n", false, false},
      {"0xFFFFFFFF", "Memory Download: Invalid macro length!\n", false, false},
      {"102", "Memory Download: the image header does not fit its data (size field", true, true},
  };
  for (const LengthCase& c : cases) {
    ASSERT_TRUE(Connect(SimLink::Serial, {"--macro-length", c.length}));
    host.texts.clear();
    chMcDownloadPath = dir.Add(std::string("len") + c.length + ".mbi");
    ASSERT_TRUE(Transfer(kDownloadBits, kAllBits & ~kDownloadBits)) << c.length;
    EXPECT_NE(MacroBox().find(c.message), std::string::npos) << MacroBox();
    EXPECT_NE(MacroBox().find("Memory Download: Read Error!\n"), std::string::npos) << MacroBox();
    EXPECT_EQ(MacroBox().find("completed"), std::string::npos) << MacroBox();
    EXPECT_EQ(Commands(MC_MEM_CMD_READ) > 0, c.blocksRead) << c.length;
    EXPECT_EQ(ReadFileBytes(chMcDownloadPath).size(), c.fileWritten ? 102u : 0u) << c.length;
    EXPECT_EQ(ubMcFlag, MC_FLAG_MEM_MACRO_PANEL);
  }
}

// Status words: the error bit fails at once, no done within 1000 ms fails,
// a late done still succeeds.
TEST_F(MemoryMachineTest, StatusWordsOfTheController) {
  struct Case {
    const char* mode;
    bool succeeds;
    uint32_t minMs;
  } cases[] = {{"error", false, 0}, {"never", false, 1100}, {"slow:300", true, 0}};
  for (const Case& c : cases) {
    ASSERT_TRUE(Connect(SimLink::Serial, {"--mem-status", c.mode}));
    host.texts.clear();
    ASSERT_EQ(MacroLoadMbiData(WriteImage("s.mbi", 16)), 0);
    const uint32_t start = McTimerGetCurrentTime();
    ASSERT_TRUE(Transfer(kUploadBits, kAllBits & ~kUploadBits)) << c.mode;
    EXPECT_GE(McTimerGetCurrentTime() - start, c.minMs) << c.mode;
    EXPECT_NE(MacroBox().find(c.succeeds ? "Memory Upload: Write completed succesfully!" : "Memory Upload: Write Error!"),
              std::string::npos)
        << c.mode << "\n" << MacroBox();
    EXPECT_FALSE(host.waitCursor);
  }
}

TEST_F(MemoryMachineTest, EraseShowsItsTimeAndEndsAtItsDeadline) {
  ASSERT_TRUE(Connect(SimLink::Serial, {"--erase-ms", "1200"}));
  ASSERT_TRUE(Transfer(kEraseBits, kAllBits & ~kEraseBits));
  const std::string box = MacroBox();
  EXPECT_NE(box.find("Memory Erase\nErasing "), std::string::npos) << box;
  EXPECT_EQ(Count(box, "\nErasing "), 1u) << box;  // each line replaced the one before
  EXPECT_NE(box.find("Memory Erase: Erasing completed succesfully!"), std::string::npos) << box;

  ASSERT_TRUE(Connect(SimLink::Serial, {"--mem-status", "never"}));
  host.texts.clear();
  const uint32_t start = McTimerGetCurrentTime();
  ASSERT_TRUE(Transfer(kEraseBits, kAllBits & ~kEraseBits, [this] { WarpWhilePolling(700); }));
  EXPECT_GE(McTimerGetCurrentTime() - start, 60000u);
  EXPECT_LT(McTimerGetCurrentTime() - start, 62000u);
  const size_t shown = MacroBox().rfind("\nErasing ");
  ASSERT_NE(shown, std::string::npos) << MacroBox();
  EXPECT_GE(std::stod(MacroBox().substr(shown + 9)), 59.0) << MacroBox();
  EXPECT_NE(MacroBox().find("Memory Erase: Erase Error!"), std::string::npos) << MacroBox();
}

TEST_F(MemoryMachineTest, EscAbortsAndTheNextTransferIsClean) {
  ASSERT_TRUE(Connect(SimLink::Serial));
  ASSERT_EQ(MacroLoadMbiData(WriteImage("abort.mbi", 200)), 0);
  ASSERT_TRUE(Transfer(kUploadBits, kAllBits & ~kUploadBits, [] {
    // Esc while the first data word is on its way.
    if (uwMcycleState == MC_MEMORY_WRITE_BLOCK && ubCQWriteSDOState == 2)
      MacroLoadEventCallback(kLoadPanel, 0, EVENT_KEYPRESS, nullptr, PANEL_KEY_ESC, 0);
  }));
  EXPECT_NE(MacroBox().find("Macro Upload: aborted\n"), std::string::npos) << MacroBox();
  EXPECT_EQ(ubMcFlag, MC_FLAG_MEM_MACRO_PANEL);
  EXPECT_FALSE(ubMcFlag4 & MC_FLAG4_MEMORY_ABORT);
  EXPECT_EQ(host.hidden.back(), kLoadPanel);
  // Esc without a transfer asks nothing.
  MacroLoadEventCallback(kLoadPanel, 0, EVENT_KEYPRESS, nullptr, PANEL_KEY_ESC, 0);
  EXPECT_FALSE(ubMcFlag4 & MC_FLAG4_MEMORY_ABORT);

  host.texts.clear();
  ASSERT_TRUE(Transfer(kUploadBits, kAllBits & ~kUploadBits));
  EXPECT_NE(MacroBox().find("Memory Upload: Write completed succesfully!"), std::string::npos) << MacroBox();
  EXPECT_EQ(Count(MacroBox(), "Error"), 0u) << MacroBox();
}

// The block's words as the configuration describes them, and a block read
// whose check word does not fit.
TEST_F(MemoryMachineTest, EthernetBlockAndItsCheckWords) {
  udMcIpAddr = 0xC0A8010A;
  const uint8_t mac[6] = {1, 2, 3, 4, 5, 6};
  std::copy(mac, mac + 6, udMcMacAddr);
  const uint32_t expected[] = {0xC0A8010A, 0x3F57FEF5, 0x04030201, 0x00000605, 0xFBFCFBFB};
  uint32_t position = 0;
  for (uint32_t word : expected) EXPECT_EQ(McycleGetEthConfigData(position), word);
  EXPECT_EQ(McycleGetEthConfigData(position), 0u);
  EXPECT_EQ(position, 5u);

  position = 0;
  const uint32_t spoilt[] = {0xC0A8010A, 0x3F57FEF4};
  EXPECT_EQ(McycleSetEthConfigData(position, 0x0A0B0C0D), 0);
  EXPECT_EQ(udMcIpAddr, 0x0A0B0C0Du);  // taken before the check word came
  position = 0;
  EXPECT_EQ(McycleSetEthConfigData(position, spoilt[0]), 0);
  EXPECT_EQ(McycleSetEthConfigData(position, spoilt[1]), 1);

  for (const char* word : {"1", "4"}) {
    ASSERT_TRUE(Connect(SimLink::Serial, {"--eth-corrupt", word}));
    host.texts.clear();
    ASSERT_TRUE(Transfer(kEthReadBits, kAllBits & ~kEthReadBits)) << word;
    EXPECT_NE(Log().find("Ethernet Config: invalid data!"), std::string::npos) << Log();
    EXPECT_EQ(host.Text(kConfigPanel, CONF_TXT_STATUS), "Invalid");
    EXPECT_EQ(ubMcFlag, 0);
    EXPECT_FALSE(host.waitCursor);
  }
}

}  // namespace
