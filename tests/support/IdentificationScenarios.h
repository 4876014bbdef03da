// Identification of each firmware variant against rc7sim: included by one
// test file per test program, which instantiates it for its links.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "engine/Mcycle.h"
#include "engine/McycleFwRevision.h"
#include "params/CtrlCmd.h"
#include "support/ControllerFixture.h"
#include "ui/PanelIds.h"

struct VariantCase {
  const char* variant;
  uint8_t flag3;         // P0417 / Quill bits expected
  uint8_t flag5;         // Quill with two traces
  int logWalk;           // log-data objects
  int scopeLast;         // last scope-data entry
  const char* firmware;  // "Target Firmware: ..." text
  int lane;              // a caption lane and its text
  const char* caption;
  bool readsTraceModes;  // P0528 family: 0x2A00/1 and /2, then the clock
};

inline const VariantCase kVariants[] = {
    {"p0528", 0, 0, 41, 9, "P0235-07\n", 10, " O:PRESS_OK", true},
    {"p0417", MC_FLAG3_FW_P0417, 0, 10, 1, "P0135-05\n", 12, "      I:RUN", false},
    {"quill", MC_FLAG3_FW_QUILL, 0, 12, 3, "P0150-03\n", 0, "   I:NOTAUS", false},
    {"quill2", MC_FLAG3_FW_QUILL, MC_FLAG5_QUILL_TWO_TRACES, 12, 9, "P0150-03\n", 12, "    O:READY", false},
    {"ffff", 0, 0, 41, 9, "P0235-09\n", 4, "   I:START2", true},
};

class VariantTest : public ControllerFixture, public ::testing::WithParamInterface<std::tuple<SimLink, VariantCase>> {};

inline size_t CountReads(const std::vector<SimRequest>& requests, uint16_t index) {
  size_t n = 0;
  for (const SimRequest& r : requests) n += r.index == index && r.IsRead();
  return n;
}

TEST_P(VariantTest, SetsFlagsContainersCaptionsAndLogsTheFirmware) {
  const auto& [link, c] = GetParam();
  ASSERT_TRUE(Identify(link, {"--variant", c.variant})) << Log();
  EXPECT_TRUE(ubMcFlag1 & MC_FLAG1_LINK_ESTABLISHED);
  EXPECT_EQ(ubMcFlag3 & (MC_FLAG3_FW_P0417 | MC_FLAG3_FW_QUILL), c.flag3);
  EXPECT_EQ(ubMcFlag5 & MC_FLAG5_QUILL_TWO_TRACES, c.flag5);
  EXPECT_EQ(CtrlCmdLogWalkLength(sLogDataContainer), c.logWalk);
  EXPECT_EQ(+sScopeDataContainer.ubLastEntry, c.scopeLast);
  EXPECT_NE(Log().find(std::string("Target Firmware: ") + c.firmware), std::string::npos) << Log();
  EXPECT_NE(Log().find("Target Ramtype:  "), std::string::npos);
  EXPECT_EQ(Text(kScopePanel, SCOPE_TXT_LANE_0 + c.lane), c.caption);
  EXPECT_TRUE(ramtypeAsked);
  EXPECT_EQ(CountReads(Requests(), 0x2A00), c.readsTraceModes ? 2u : 0u);
  EXPECT_EQ(CountReads(Requests(), 0x211C), c.readsTraceModes ? 3u : 0u);
  // The version in 0x211D is read only when 0x200F says so.
  EXPECT_EQ(CountReads(Requests(), 0x211D), std::string(c.variant) == "ffff" ? 4u : 0u);
  EXPECT_EQ(uwMcycleState, MC_STATE_IDLE);
  EXPECT_EQ(ubMcBaudStep, 0);
}

inline std::string VariantName(const ::testing::TestParamInfo<std::tuple<SimLink, VariantCase>>& info) {
  return std::string(SimLinkName(std::get<0>(info.param))) + "_" + std::get<1>(info.param).variant;
}
