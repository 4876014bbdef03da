// The line that says what the controller answered a failed request with.
#include "comm/SdoAbort.h"

#include <gtest/gtest.h>

namespace {

TEST(SdoAbort, NamedCodesCarryTheirMeaningUnknownOnesOnlyTheCode) {
  const struct {
    uint32_t code;
    const char* line;
  } cases[] = {
      {0x06020000, "Abort 06020000: object does not exist"},
      {0x06090011, "Abort 06090011: sub-index does not exist"},
      {0x06010002, "Abort 06010002: object is read-only"},
      {0x06010001, "Abort 06010001: object is write-only"},
      {0x06070010, "Abort 06070010: length of the data does not match"},
      {0x06090030, "Abort 06090030: value range of the parameter exceeded"},
      {0x08000000, "Abort 08000000: general error"},
      {0x12345678, "Abort 12345678"},
      {0x00000000, "Abort 00000000"},
  };
  for (const auto& c : cases) EXPECT_EQ(SdoAbortText(c.code), c.line);
}

}  // namespace
