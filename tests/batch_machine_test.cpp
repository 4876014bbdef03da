// The batch-plan machine in batch mode: what each slot prints on standard
// output, how the batch ends and with which exit code, and the engine it
// leaves. The program's own batch runs are in batch_run_test.cpp.
#include <cstdio>
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
#include "support/TempDir.h"

namespace {

class BatchMachine : public LinkFixture {
 protected:
  void TearDown() override {
    ubMcFlag3 &= static_cast<uint8_t>(~MC_FLAG3_BATCH_MODE);
    LinkFixture::TearDown();
  }
  // Plans the slots as the command line would and runs the batch in batch
  // mode; returns what it printed.
  std::string Run(std::vector<uint16_t> plan, const std::string& script = "") {
    for (int i = 0; i < BATCH_PLAN_SLOTS; ++i)
      uwMcBatchStateQueue[i] = i < static_cast<int>(plan.size()) ? plan[i] : 0;
    ubBatchStateCnt = plan.empty() ? 0 : static_cast<uint8_t>(plan.size() - 1);
    ubBatchCounter = 0;
    std::snprintf(ubCtrlCmdPathBuffer, sizeof ubCtrlCmdPathBuffer, "%s", script.c_str());
    ubMcFlag3 |= MC_FLAG3_BATCH_MODE;
    ubBatchEnd = 0;
    McycleSignalQueuePut(MC_SIG_BATCH);
    ::testing::internal::CaptureStdout();
    ended_ = TickUntil([] { return ubBatchEnd != 0; }, 5000);
    Tick(2);  // the end leaves the engine idle
    return ::testing::internal::GetCapturedStdout();
  }
  void ExpectEnded(int code) {
    EXPECT_TRUE(ended_);
    EXPECT_EQ(McycleBatchExitCode(), code);
    EXPECT_EQ(uwMcycleState, MC_STATE_IDLE);
    EXPECT_EQ(swStackPointer, 0);  // nothing pushed that was not popped
  }

  TempDir dir_;
  bool ended_ = false;
};

// Every way a batch ends before or without reaching the controller: what it
// prints, its exit code, and an engine left idle with nothing pushed that was
// not popped.
TEST_F(BatchMachine, EveryEarlyEndLeavesTheEngineIdle) {
  struct Case {
    const char* what;
    uint8_t link;
    std::vector<uint16_t> plan;
    const char* file;  // in the test's folder; nullptr: a file that is not there
    std::string text;
    std::string out;  // what it prints, after "Open Script <path>\n" when a script opens
    int code;
  };
  const std::string script = "rd 0x2004 0\n";
  const std::string noDevice = dir_.Add("no-such-device");
  const Case cases[] = {
      {"empty plan", CQ_LINK_NONE, {}, "s.pms", "", "", BATCH_EXIT_OK},
      {"no such file", CQ_LINK_NONE, {BATCH_PLAN_SCRIPT}, nullptr, "", "Can't open File\n", BATCH_EXIT_FAILED},
      {"long line", CQ_LINK_NONE, {BATCH_PLAN_SCRIPT}, "s.pms", "rd 0x2004 0\nrd 0x2004 0 ;" + std::string(300, 'x'),
       "Error line 2: line longer than 255 characters\nScript not run: it does not compile\n", BATCH_EXIT_FAILED},
      {"comments only", CQ_LINK_NONE, {BATCH_PLAN_SCRIPT}, "s.pms", "; nothing here\n\n   ; nor here",
       "Script not run: it holds no commands\n", BATCH_EXIT_FAILED},
      {"binary", CQ_LINK_NONE, {BATCH_PLAN_SCRIPT}, "s.pms", std::string("rd 0x2004 0\n\x01\x02\xff\x00zz\n", 19),
       "Error line 2: binary content\nScript not run: it does not compile\n", BATCH_EXIT_FAILED},
      {"capitals in the name", CQ_LINK_NONE, {BATCH_PLAN_SCRIPT}, "Demo.PMS", "dly 1\n", "DLY  1 ms\n", BATCH_EXIT_OK},
      {"port not opened", CQ_LINK_SERIAL, {BATCH_PLAN_CONNECT, BATCH_PLAN_SCRIPT}, "s.pms", script,
       "Connecting COM 17\nCom Channel error, not open\nCom 17: No such device\n", BATCH_EXIT_FAILED},
      {"no address", CQ_LINK_UDP, {BATCH_PLAN_SCRIPT}, "s.pms", script,
       "No IP-Address for the Ethernet channel: set ip_addr in StrokeDesk.ini\nCom Channel error, not open\n",
       BATCH_EXIT_FAILED},
      {"no USB device", CQ_LINK_USB, {BATCH_PLAN_SCRIPT}, "s.pms", script,
       "Connecting USB COM  1\nUSB: " + noDevice + ": No such file or directory\nCom Channel error, not open\n",
       BATCH_EXIT_FAILED},
  };
  ScopedEnv gone("STROKEDESK_USB", noDevice);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    McycleBatchReset();
    ubCqDataChannel = c.link;
    iStMaComChan = c.link == CQ_LINK_SERIAL ? 17 : 0;  // no device behind it
    udUdpEthDestIp_DWORD = 0;
    const std::string path = c.file ? dir_.Write(c.file, c.text) : dir_.Add("Missing.pms");
    const bool opens = c.link == CQ_LINK_NONE && !c.plan.empty();
    EXPECT_EQ(Run(c.plan, path), (opens ? "Open Script " + path + "\n" : "") + c.out);
    ExpectEnded(c.code);
  }
  ubCqDataChannel = CQ_LINK_NONE;
}

TEST_F(BatchMachine, AStopRequestEndsTheBatchWithThree) {
  McycleBatchReset();
  McycleBatchRequestStop();
  EXPECT_EQ(Run({BATCH_PLAN_SCRIPT}, dir_.Write("s.pms", "dly 1\n")), "");
  ExpectEnded(BATCH_EXIT_STOPPED);
}

}  // namespace
