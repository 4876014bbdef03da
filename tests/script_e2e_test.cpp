// Scripts against rc7sim on the serial link and the USB link (pseudo-terminals).
#include "support/ScriptScenarios.h"

INSTANTIATE_TEST_SUITE_P(Pty, ScriptScenario, ::testing::Values(SimLink::Serial, SimLink::Usb),
                         [](const auto& info) { return std::string(SimLinkName(info.param)); });
