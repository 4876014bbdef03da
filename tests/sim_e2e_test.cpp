// Serial link and USB link against rc7sim on pseudo-terminals.
#include "support/LinkScenarios.h"

INSTANTIATE_TEST_SUITE_P(Pty, LinkScenario, ::testing::Values(SimLink::Serial, SimLink::Usb),
                         [](const auto& info) { return std::string(SimLinkName(info.param)); });
INSTANTIATE_TEST_SUITE_P(Serial, LinkFault,
                         ::testing::Combine(::testing::Values(SimLink::Serial),
                                            ::testing::ValuesIn(FaultCasesFor(SimLink::Serial))),
                         FaultCaseName);
INSTANTIATE_TEST_SUITE_P(Usb, LinkFault,
                         ::testing::Combine(::testing::Values(SimLink::Usb),
                                            ::testing::ValuesIn(FaultCasesFor(SimLink::Usb))),
                         FaultCaseName);
