// Trace downloads from rc7sim over the serial and USB links: every variant's
// records, trigger paths, odd geometry and failures.
#include "support/ScopeScenarios.h"

namespace {

const ScopeCase kSerialCases[] = {
    {"P0417", {"--variant", "p0417", "--scope", "150"}, SimScopeLayout::P0417, 2, 1, false, 4, ""},
    {"Quill81", {"--variant", "quill2", "--ramtype", "0x81", "--scope", "260:200"}, SimScopeLayout::Quill, 4, 2, true,
     3, "Press HP [400 Bar]"},
};
INSTANTIATE_TEST_SUITE_P(Serial, ScopeDownload, ::testing::Combine(::testing::Values(SimLink::Serial),
                                                                   ::testing::ValuesIn(kSerialCases)),
                         ScopeCaseName);

const ScopeCase kUsbCases[] = {
    {"Quill80", {"--variant", "quill", "--scope", "300"}, SimScopeLayout::Quill, 3, 1, true, 3, ""},
};
INSTANTIATE_TEST_SUITE_P(Usb, ScopeDownload, ::testing::Combine(::testing::Values(SimLink::Usb),
                                                                ::testing::ValuesIn(kUsbCases)),
                         ScopeCaseName);

}  // namespace
