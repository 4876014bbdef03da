// The wizard's read-back and the extended parameter panel over UDP loopback
// against rc7sim.
#include "support/WizardScenarios.h"

INSTANTIATE_TEST_SUITE_P(Udp, WizardScenario, ::testing::Values(SimLink::Udp),
                         [](const auto& info) { return std::string(SimLinkName(info.param)); });
