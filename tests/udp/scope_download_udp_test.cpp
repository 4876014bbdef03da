// A P0528 download of two traces over UDP.
#include "support/ScopeScenarios.h"

namespace {

const ScopeCase kUdpCases[] = {
    {"P0528", {"--variant", "p0528", "--scope", "400:330", "--scope-pressure", "35000:20000:30000"},
     SimScopeLayout::P0528, 4, 2, false, 3, "Press HP [350 Bar]"},
};
INSTANTIATE_TEST_SUITE_P(Loopback, ScopeDownload, ::testing::Combine(::testing::Values(SimLink::Udp),
                                                                     ::testing::ValuesIn(kUdpCases)),
                         ScopeCaseName);

}  // namespace
