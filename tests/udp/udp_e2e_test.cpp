// UDP link against rc7sim on 127.0.0.2:49152.
#include "support/LinkScenarios.h"

INSTANTIATE_TEST_SUITE_P(Loopback, LinkScenario, ::testing::Values(SimLink::Udp),
                         [](const auto& info) { return std::string(SimLinkName(info.param)); });
INSTANTIATE_TEST_SUITE_P(Loopback, LinkFault,
                         ::testing::Combine(::testing::Values(SimLink::Udp), ::testing::ValuesIn(FaultCasesFor(SimLink::Udp))),
                         FaultCaseName);

#include "comm/ComChannel.h"
#include "platform/UdpSocket.h"

namespace {

class UdpSelection : public LinkFixture {};

TEST_F(UdpSelection, OpenSaysSoAndABusyPortLeavesNoLink) {
  ASSERT_TRUE(Connect(SimLink::Udp));
  Tick(50);
  EXPECT_NE(Log().find("Udp Channel is open\n"), std::string::npos) << Log();
  Select(COM_RING_NONE);

  UdpEndpoint squatter;  // another program has the tool's port
  ASSERT_TRUE(squatter.Open(0x7F000001, 49153));
  Select(COM_RING_UDP);
  Tick(50);
  EXPECT_NE(Log().find("Udp Channel error, not open\n"), std::string::npos) << Log();
  EXPECT_EQ(ubCqDataChannel, CQ_LINK_NONE);
  EXPECT_EQ((host.ints[{1, MAIN_RING_COM_CHANNEL}]), 0);
}

}  // namespace
