// The batch-plan machine in batch mode: what each slot prints on standard
// output, how the batch ends and with which exit code, and that nothing
// reaches the controller from a script that does not compile.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "comm/ComChannel.h"
#include "comm/ComQueue.h"
#include "comm/StMaUart.h"
#include "comm/zel_ether.h"
#include "engine/McycleBatch.h"
#include "params/CtrlCmd.h"
#include "platform/Serial.h"
#include "support/LinkFixture.h"

namespace {

class BatchMachine : public LinkFixture {
 protected:
  void SetUp() override {
    LinkFixture::SetUp();
    dir_ = "/tmp/batch-machine-" + std::to_string(::getpid());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    ubMcFlag3 &= static_cast<uint8_t>(~MC_FLAG3_BATCH_MODE);
    std::filesystem::remove_all(dir_);
    LinkFixture::TearDown();
  }
  std::string Script(const std::string& name, const std::string& text) {
    const std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  // Plans the slots as the command line would and runs the batch in batch
  // mode; returns what it printed.
  std::string Run(std::vector<uint16_t> plan, const std::string& script = "") {
    for (int i = 0; i < BATCH_PLAN_SLOTS; ++i)
      uwMcBatchStateQueue[i] = i < static_cast<int>(plan.size()) ? plan[i] : 0;
    ubBatchStateCnt = plan.empty() ? 0 : static_cast<uint8_t>(plan.size() - 1);
    ubBatchCounter = 0;
    std::snprintf(ubCtrlCmdPathBuffer, sizeof ubCtrlCmdPathBuffer, "%s", script.c_str());
    seenBefore_ = sim_ ? sim_->Journal().size() : 0;
    ubMcFlag3 |= MC_FLAG3_BATCH_MODE;
    ubBatchEnd = 0;
    McycleSignalQueuePut(MC_SIG_BATCH);
    ::testing::internal::CaptureStdout();
    ended_ = TickUntil([] { return ubBatchEnd != 0; }, 5000);
    Tick(2);  // the end leaves the engine idle
    return ::testing::internal::GetCapturedStdout();
  }
  // Requests the simulator saw during the batch.
  size_t RequestsDuringBatch() { return sim_ ? sim_->Journal().size() - seenBefore_ : 0; }
  void ExpectEnded(int code) {
    EXPECT_TRUE(ended_);
    EXPECT_EQ(McycleBatchExitCode(), code);
    EXPECT_EQ(uwMcycleState, MC_STATE_IDLE);
    EXPECT_EQ(swStackPointer, 0);  // nothing pushed that was not popped
  }

  std::string dir_;
  bool ended_ = false;
  size_t seenBefore_ = 0;
};

TEST_F(BatchMachine, AnEmptyPlanEndsAtOnceWithoutError) {
  McycleBatchReset();
  EXPECT_EQ(Run({}), "");
  ExpectEnded(BATCH_EXIT_OK);
}

TEST_F(BatchMachine, AScriptThatCannotBeOpenedEndsTheBatch) {
  McycleBatchReset();
  const std::string missing = dir_ + "/Missing.pms";
  EXPECT_EQ(Run({BATCH_PLAN_SCRIPT}, missing), "Open Script " + missing + "\nCan't open File\n");
  ExpectEnded(BATCH_EXIT_FAILED);
}

TEST_F(BatchMachine, AScriptThatDoesNotCompileSendsNothing) {
  ASSERT_TRUE(Connect(SimLink::Serial));
  ASSERT_TRUE(TickUntil([] { return uwMcycleState == MC_STATE_IDLE && ubMcSignalQueueCounter == 0; }, 5000));
  McycleBatchReset();
  const std::string path = Script("Typo.pms", "wrw 0x2000 0 1\nrd 0x2004 0\nwrx 0x2000 0 2\nwrw 0x2000 0 3\n");
  const std::string out = Run({BATCH_PLAN_SCRIPT}, path);
  EXPECT_EQ(out, "Open Script " + path + "\nWhat ? line 3: [wrx 0x2000 0 2]\nScript not run: it does not compile\n");
  ExpectEnded(BATCH_EXIT_FAILED);
  EXPECT_EQ(RequestsDuringBatch(), 0u);
  EXPECT_EQ(sScrContainer.uwNumOfEntries, 0);
}

TEST_F(BatchMachine, RefusedScriptsEndTheBatchWithTheirReason) {
  struct Case {
    const char* what;
    std::string text;
    std::string says;
  };
  const Case cases[] = {
      {"long line", "rd 0x2004 0\nrd 0x2004 0 ;" + std::string(300, 'x') + "\n",
       "Error line 2: line longer than 255 characters\n"},
      {"comments only", "; nothing here\n\n   ; nor here", "Script not run: it holds no commands\n"},
      {"empty file", "", "Script not run: it holds no commands\n"},
      {"binary", std::string("rd 0x2004 0\n\x01\x02\xff\x00zz\n", 19), "Script not run: it does not compile\n"},
  };
  for (const Case& c : cases) {
    McycleBatchReset();
    const std::string out = Run({BATCH_PLAN_SCRIPT}, Script("s.pms", c.text));
    EXPECT_NE(out.find(c.says), std::string::npos) << c.what << ": " << out;
    EXPECT_EQ(McycleBatchExitCode(), BATCH_EXIT_FAILED) << c.what;
    EXPECT_TRUE(ended_) << c.what;
    EXPECT_EQ(swStackPointer, 0) << c.what;
  }
}

TEST_F(BatchMachine, AFileNameKeepsItsCapitals) {
  McycleBatchReset();
  const std::string path = Script("Demo.PMS", "dly 1\n");
  const std::string out = Run({BATCH_PLAN_SCRIPT}, path);
  EXPECT_EQ(out.find("Can't open File"), std::string::npos) << out;
  EXPECT_NE(out.find("Open Script " + dir_ + "/Demo.PMS\n"), std::string::npos) << out;
  ExpectEnded(BATCH_EXIT_OK);
}

TEST_F(BatchMachine, AStopRequestEndsTheBatchWithThree) {
  McycleBatchReset();
  McycleBatchRequestStop();
  EXPECT_EQ(Run({BATCH_PLAN_SCRIPT}, Script("s.pms", "dly 1\n")), "");
  ExpectEnded(BATCH_EXIT_STOPPED);
}

TEST_F(BatchMachine, APortThatCannotBeOpenedEndsTheBatch) {
  McycleBatchReset();
  ubCqDataChannel = CQ_LINK_SERIAL;
  iStMaComChan = 17;  // no device behind it
  const std::string out = Run({BATCH_PLAN_CONNECT, BATCH_PLAN_SCRIPT}, Script("s.pms", "rd 0x2004 0\n"));
  EXPECT_EQ(out, "Connecting COM 17\nCom Channel error, not open\n");
  ExpectEnded(BATCH_EXIT_FAILED);
}

TEST_F(BatchMachine, EthernetWithoutAnAddressEndsTheBatch) {
  McycleBatchReset();
  ubCqDataChannel = CQ_LINK_UDP;
  udUdpEthDestIp_DWORD = 0;
  const std::string out = Run({BATCH_PLAN_SCRIPT}, Script("s.pms", "rd 0x2004 0\n"));
  EXPECT_EQ(out,
            "No IP-Address for the Ethernet channel: set ip_addr in StrokeDesk.ini\n"
            "Com Channel error, not open\n");
  ExpectEnded(BATCH_EXIT_FAILED);
}

TEST_F(BatchMachine, UsbWithoutTheDeviceEndsTheBatch) {
  McycleBatchReset();
  ScopedEnv gone("STROKEDESK_USB", dir_ + "/no-such-device");
  ubCqDataChannel = CQ_LINK_USB;
  const std::string out = Run({BATCH_PLAN_SCRIPT}, Script("s.pms", "rd 0x2004 0\n"));
  EXPECT_NE(out.find("Com Channel error, not open\n"), std::string::npos) << out;
  EXPECT_EQ(out.find("Open Script"), std::string::npos) << out;
  ExpectEnded(BATCH_EXIT_FAILED);
}

TEST_F(BatchMachine, UsbOpensTheFoundDeviceBeforeTheScript) {
  SimProcess sim({"--no-udp", "--no-pty1"});
  ASSERT_TRUE(sim.Ready());
  ScopedEnv usb("STROKEDESK_USB", sim.Pty4());
  McycleBatchReset();
  ubCqDataChannel = CQ_LINK_USB;
  const std::string path = Script("s.pms", "dly 1\n");
  const std::string out = Run({BATCH_PLAN_SCRIPT}, path);
  EXPECT_NE(out.find("Connecting USB COM"), std::string::npos) << out;
  EXPECT_NE(out.find("Com Channel is open\nOpen Script " + path + "\n"), std::string::npos) << out;
  EXPECT_TRUE(SerialIsOpen(ubTcpUsbComPort));
  ExpectEnded(BATCH_EXIT_OK);
  McycleChannelClose();
}

}  // namespace
