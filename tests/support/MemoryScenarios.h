// What every link must carry of the memory machine against rc7sim. Included
// by one test file per test program, which instantiates it for its links.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>

#include "app/PanelCallbacks.h"
#include "comm/ComQueue.h"
#include "macro/macro.h"
#include "params/CtrlCmd.h"
#include "platform/Paths.h"
#include "support/MemoryFixture.h"
#include "ui/PanelIds.h"

class MemoryScenario : public MemoryFixture, public ::testing::WithParamInterface<SimLink> {
 protected:
  // Assembles the shipped example into the folder; the image's path.
  std::string CompileExample() {
    MacroSetResourceDirectory(STROKEDESK_SOURCE_DIR "/resources");
    host.texts[{kMacroPanel, MACRO_TXT_EDITOR}] = ReadFileBytes(STROKEDESK_SOURCE_DIR "/resources/example.mac");
    const std::string base = dir.Path() + "/example";
    EXPECT_EQ(MacroCompile(base), 0) << MacroBox();
    EXPECT_EQ(MacroCreateFile(base), 0) << MacroBox();
    return base + ".mbi";
  }
  bool Download(const std::string& name) {
    chMcDownloadPath = dir.Add(name);
    return Transfer(kDownloadBits, kAllBits & ~kDownloadBits);
  }
};

TEST_P(MemoryScenario, CompiledImageGoesUpAndComesBackUntilErased) {
  ASSERT_TRUE(Connect(GetParam()));
  const std::string image = CompileExample();
  ASSERT_EQ(MacroLoadMbiData(image), 0);
  ASSERT_TRUE(Transfer(kUploadBits, kAllBits & ~kUploadBits));
  EXPECT_NE(MacroBox().find("Memory Upload: Write completed succesfully!\nRestart RC7 to update the macro code!\n"),
            std::string::npos)
      << MacroBox();
  ASSERT_FALSE(host.popups.empty()) << MacroBox();
  EXPECT_EQ(host.popups.back(), "Upload complete!: Restart RC7 to update the macro code!");
  EXPECT_EQ(ubMcFlag, MC_FLAG_MEM_MACRO_PANEL);

  ASSERT_TRUE(Download("back.mbi"));
  EXPECT_EQ(ReadFileBytes(chMcDownloadPath), ReadFileBytes(image));
  EXPECT_NE(MacroBox().find("Memory Download: Read completed succesfully!"), std::string::npos) << MacroBox();

  ASSERT_TRUE(Transfer(kEraseBits, kAllBits & ~kEraseBits));
  EXPECT_NE(MacroBox().find("Memory Erase: Erasing completed succesfully!"), std::string::npos) << MacroBox();
  ASSERT_TRUE(Download("erased.mbi"));
  EXPECT_NE(MacroBox().find("Memory Download: No valid data found!\nMemory Download: Read Error!"), std::string::npos)
      << MacroBox();
  EXPECT_FALSE(FileExists(chMcDownloadPath));
}

TEST_P(MemoryScenario, EthernetSettingsWrittenAreReadBack) {
  ASSERT_TRUE(Connect(GetParam()));
  udMcIpAddr = 0xC0A8010A;
  const uint8_t mac[6] = {1, 2, 3, 4, 5, 6};
  std::copy(mac, mac + 6, udMcMacAddr);
  ASSERT_TRUE(Transfer(kEthWriteBits, kAllBits & ~kEthWriteBits));
  EXPECT_EQ(host.Text(kConfigPanel, CONF_TXT_STATUS), "Succesful");
  udMcIpAddr = 0;
  std::fill(udMcMacAddr, udMcMacAddr + 6, 0);
  ASSERT_TRUE(Transfer(kEthReadBits, kAllBits & ~kEthReadBits));
  EXPECT_EQ(udMcIpAddr, 0xC0A8010Au);
  EXPECT_TRUE(std::equal(mac, mac + 6, udMcMacAddr));
  const int ip[4] = {192, 168, 1, 10};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(host.ints[std::make_pair(kConfigPanel, CONF_NUM_IP_1 + i)], ip[i]);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(host.ints[std::make_pair(kConfigPanel, CONF_NUM_MAC_1 + i)], 6 - i);
  EXPECT_NE(Log().find("Ethernet Config: Read completed succesfully!\nIP:  192.168.1.10\n"
                       "MAC: 0x06 0x05 0x04 0x03 0x02 0x01\n"),
            std::string::npos)
      << Log();
}

// Drops on the 30th request (two of its four tries) are repeated away; a
// controller that stops answering ends the upload with its error.
TEST_P(MemoryScenario, DropsRecoverAndSilenceFails) {
  ASSERT_TRUE(Connect(GetParam(), {"--drop", "from:30:2"}));
  ASSERT_EQ(MacroLoadMbiData(WriteImage("a.mbi", 200)), 0);
  ASSERT_TRUE(Transfer(kUploadBits, kAllBits & ~kUploadBits));
  EXPECT_NE(MacroBox().find("Memory Upload: Write completed succesfully!"), std::string::npos) << MacroBox();

  ASSERT_TRUE(Connect(GetParam(), {"--silent-after", "40"}));
  host.texts.clear();
  ASSERT_TRUE(Transfer(kUploadBits, kAllBits & ~kUploadBits));
  EXPECT_NE(MacroBox().find("Memory Upload: Write Error!"), std::string::npos) << MacroBox();
  EXPECT_EQ(ubMcFlag, MC_FLAG_MEM_MACRO_PANEL);
}

TEST_P(MemoryScenario, StartAndStopMacroReachTheController) {
  ASSERT_TRUE(Connect(GetParam()));
  sCmdContainer.entries[CTRL_CMD_MACRO_START].udData = CMD_CODE_MACRO_START | 3;
  ASSERT_TRUE(McycleSignalQueuePut(MC_SIG_MACRO_START));
  ASSERT_TRUE(TickUntil([] { return McycleEngineIdle(); }, 2000));
  ASSERT_TRUE(McycleSignalQueuePut(MC_SIG_MACRO_STOP));
  ASSERT_TRUE(TickUntil([] { return McycleEngineIdle(); }, 2000));
  EXPECT_EQ(Commands(0x503), 1u);
  EXPECT_EQ(Commands(CMD_CODE_MACRO_STOP), 1u);
}
