// Scripts against rc7sim on UDP loopback.
#include "support/ScriptScenarios.h"

INSTANTIATE_TEST_SUITE_P(Loopback, ScriptScenario, ::testing::Values(SimLink::Udp),
                         [](const auto& info) { return std::string(SimLinkName(info.param)); });
