// The wizard's read-back and the extended parameter panel over the serial
// link against rc7sim.
#include "support/WizardScenarios.h"

INSTANTIATE_TEST_SUITE_P(Serial, WizardScenario, ::testing::Values(SimLink::Serial),
                         [](const auto& info) { return std::string(SimLinkName(info.param)); });
