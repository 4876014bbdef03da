// Identification, parameters and save/recall over UDP against rc7sim on
// 127.0.0.2: Ethernet never changes the serial speed.
#include "support/IdentificationScenarios.h"

INSTANTIATE_TEST_SUITE_P(Loopback, VariantTest,
                         ::testing::Combine(::testing::Values(SimLink::Udp), ::testing::ValuesIn(kVariants)),
                         VariantName);

#include "comm/ComChannel.h"
#include "engine/McycleParmSaveRecall.h"
#include "params/ParmSaveRecallPanel.h"

namespace {

class UdpController : public ControllerFixture {
 protected:
  bool Logged(const std::string& text) { return Log().find(text) != std::string::npos; }
};

TEST_F(UdpController, NeverChangesSpeedAtEitherSetting) {
  for (const uint8_t speed : {uint8_t{0}, uint8_t{1}}) {
    ubMcComSpeed = speed;
    ASSERT_TRUE(Identify(SimLink::Udp));
    for (const SimRequest& r : Requests()) EXPECT_FALSE(r.index == 0x2000 && !r.IsRead()) << std::hex << r.data;
    EXPECT_FALSE(Logged("Baud")) << Log();
    EXPECT_FALSE(Logged("Communication speed"));
    EXPECT_TRUE(ubMcFlag1 & MC_FLAG1_LINK_ESTABLISHED);
    Select(COM_RING_NONE);
  }
}

TEST_F(UdpController, SilentControllerIsGivenUpAfterOneRequest) {
  ASSERT_TRUE(Identify(SimLink::Udp, {"--drop", "all"}));
  EXPECT_EQ(Requests().size(), 4u);
  EXPECT_TRUE(Logged("Could not get Fw Revision\n"));
  EXPECT_FALSE(ubMcFlag1 & MC_FLAG1_LINK_ESTABLISHED);
}

TEST_F(UdpController, WriteReadBackAndRecallGoThrough) {
  ASSERT_TRUE(Identify(SimLink::Udp));
  for (int i = 0; i < 25; ++i) sParamRdContainer.entries[i].udData = 500 + i;
  ubMcFlag1 |= MC_FLAG1_PARM_EXTENDED;
  size_t from = Seen();
  ASSERT_TRUE(Run(MC_SIG_PARM_WRITE));
  EXPECT_EQ(Requests(from).size(), 27u);
  from = Seen();
  ASSERT_TRUE(Run(MC_SIG_PARM_READBACK));
  EXPECT_EQ(Requests(from).size(), 27u);
  EXPECT_EQ(sKvoParm[24], 524);

  ubMcParmSetNo = 2;
  ParmSelectSaveRecallEntry(CMD_CODE_PARM_READBACK);
  ASSERT_TRUE(Run(MC_SIG_PARM_RECALL));
  EXPECT_TRUE(Logged("PARMSET    = 2\nPOS1       = 230\n")) << Log();
  EXPECT_TRUE(Logged("Parm Recall O.K.\n"));
}

}  // namespace
