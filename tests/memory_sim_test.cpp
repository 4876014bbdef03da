// Memory transfers over the serial link against rc7sim.
#include "support/MemoryScenarios.h"

INSTANTIATE_TEST_SUITE_P(Serial, MemoryScenario, ::testing::Values(SimLink::Serial),
                         [](const auto& info) { return std::string(SimLinkName(info.param)); });
