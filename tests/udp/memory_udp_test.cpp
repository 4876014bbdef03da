// Memory transfers over UDP loopback against rc7sim.
#include "support/MemoryScenarios.h"

INSTANTIATE_TEST_SUITE_P(Udp, MemoryScenario, ::testing::Values(SimLink::Udp),
                         [](const auto& info) { return std::string(SimLinkName(info.param)); });
