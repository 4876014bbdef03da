// UDP link against rc7sim on 127.0.0.2:49152.
#include "support/LinkScenarios.h"

INSTANTIATE_TEST_SUITE_P(Loopback, LinkScenario, ::testing::Values(SimLink::Udp),
                         [](const auto& info) { return std::string(SimLinkName(info.param)); });
INSTANTIATE_TEST_SUITE_P(Loopback, LinkFault,
                         ::testing::Combine(::testing::Values(SimLink::Udp), ::testing::ValuesIn(FaultCasesFor(SimLink::Udp))),
                         FaultCaseName);
