// Serial link and USB link against rc7sim on pseudo-terminals.
#include "support/LinkScenarios.h"

INSTANTIATE_TEST_SUITE_P(Pty, LinkScenario, ::testing::Values(SimLink::Serial, SimLink::Usb),
                         [](const auto& info) { return std::string(SimLinkName(info.param)); });
INSTANTIATE_TEST_SUITE_P(Pty, LinkFault,
                         ::testing::Combine(::testing::Values(SimLink::Serial, SimLink::Usb),
                                            ::testing::ValuesIn(kFaultCases)),
                         FaultCaseName);
