// What every link must do against rc7sim. Included by one test file per
// test program, which instantiates it for its links.
#pragma once
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "comm/ComQueue.h"
#include "comm/StMaUart.h"
#include "engine/Mcycle.h"
#include "support/LinkFixture.h"

class LinkScenario : public LinkFixture, public ::testing::WithParamInterface<SimLink> {};

TEST_P(LinkScenario, ReadAndWriteGoThrough) {
  ASSERT_TRUE(Connect(GetParam()));
  ASSERT_EQ(Request(CQ_SDO_READ, 0x2004, 0), 2);
  EXPECT_EQ(cqCanData.ubCmd, 0x43);
  EXPECT_EQ(uint32_t{cqCanData.udData}, 0x12345678u);
  EXPECT_EQ(uint32_t{cqCanData.udCobId}, 0x58Fu);
  ASSERT_EQ(Request(CQ_SDO_WRITE2, 0x2000, 0, 0x0123), 2);
  EXPECT_EQ(cqCanData.ubCmd, 0x60);
  ASSERT_EQ(Request(CQ_SDO_READ, 0x2000, 0), 2);
  EXPECT_EQ(cqCanData.ubCmd, 0x4B);
  EXPECT_EQ(uint32_t{cqCanData.udData}, 0x0123u);
  const std::vector<std::string> j = sim_->Journal();
  ASSERT_EQ(j.size(), 3u);
  EXPECT_NE(j[1].find("2B 2000 00 00000123 -"), std::string::npos) << j[1];
}

TEST_P(LinkScenario, ReadOnlyObjectFailsAfterFourAborts) {
  ASSERT_TRUE(Connect(GetParam()));
  EXPECT_EQ(Request(CQ_SDO_WRITE4, 0x2004, 0, 1), 0);
  EXPECT_EQ(Transmissions(), 4u);
  EXPECT_EQ(Request(CQ_SDO_READ, 0x2004, 0), 2);  // the link is fine afterwards
}

struct FaultCase {
  const char* option;
  const char* selector;
  bool succeeds;
  size_t transmissions;
  bool ethernetOnly;
  bool streamOnly;
};

class LinkFault : public LinkFixture, public ::testing::WithParamInterface<std::tuple<SimLink, FaultCase>> {};

TEST_P(LinkFault, RepeatedAndRecoveredOrFailed) {
  const auto& [link, c] = GetParam();
  ASSERT_TRUE(Connect(link, {c.option, c.selector}));
  EXPECT_EQ(Request(CQ_SDO_READ, 0x2004, 0), c.succeeds ? 2 : 0);
  EXPECT_EQ(Transmissions(), c.transmissions);
  if (c.succeeds) {
    EXPECT_EQ(uint32_t{cqCanData.udData}, 0x12345678u);
  }
  // Whatever a passing fault left on the line, the next request is clean.
  if (std::string(c.selector) == "all" && !c.succeeds) return;
  EXPECT_EQ(Request(CQ_SDO_READ, 0x200F, 0), 2);
  EXPECT_EQ(uint32_t{cqCanData.udData}, 0x0A1Cu);
}

inline const FaultCase kFaultCases[] = {
    {"--drop", "first:3", true, 4, false, false},
    {"--drop", "first:4", false, 4, false, false},
    {"--corrupt", "first:2", true, 3, false, false},
    {"--abort", "first:3", true, 4, false, false},
    {"--refuse", "first:4", false, 4, false, false},
    {"--echo", "first:1", true, 2, false, false},
    {"--wrong-sender", "first:2", true, 3, true, false},
    {"--wrong-sender", "all", false, 4, true, false},
    {"--stray-bytes", "first:1", true, 2, false, true},
    {"--stray-short", "all", true, 1, false, false},
    {"--delay-ms", "50", true, 1, false, false},
};

// The faults that apply to a link: sender addresses exist only in
// telegrams, stray bytes only on a byte stream.
inline std::vector<FaultCase> FaultCasesFor(SimLink link) {
  std::vector<FaultCase> cases;
  for (const FaultCase& c : kFaultCases)
    if (!(c.ethernetOnly && link == SimLink::Serial) && !(c.streamOnly && link == SimLink::Udp)) cases.push_back(c);
  return cases;
}

inline std::string FaultCaseName(const ::testing::TestParamInfo<std::tuple<SimLink, FaultCase>>& info) {
  const auto& [link, c] = info.param;
  std::string name = std::string(SimLinkName(link)) + "_" + (c.option + 2) + "_" + c.selector;
  for (char& ch : name)
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return name;
}

TEST_P(LinkScenario, LinkTestGoodWithFourFailuresBadWithFive) {
  for (const auto& [aborts, verdict] : {std::pair{"first:16", "good"}, std::pair{"first:20", "bad"}}) {
    ASSERT_TRUE(Connect(GetParam(), {"--abort", aborts}));
    Tick(3);  // the connect signal passes
    McycleSignalQueuePut(MC_SIG_LINK_TEST);
    const std::string expected = std::string("ComTest: Connection is ") + verdict + "\n";
    EXPECT_TRUE(TickUntil([&] { return Log().find(expected) != std::string::npos; }, 8000)) << Log();
    EXPECT_EQ(uwMcycleState, MC_STATE_IDLE);
    EXPECT_EQ(Transmissions(), aborts == std::string("first:16") ? 16u + 17u : 20u + 16u);
    Select(0);
    host.texts.clear();
  }
}

TEST_P(LinkScenario, BlockFollowsTheBlockCommand) {
  ASSERT_TRUE(Connect(GetParam(), {"--block-len", "86"}));
  ASSERT_EQ(Request(CQ_SDO_WRITE2, 0x2000, 0, 0x1002), 2);
  ubCqFlag |= CQ_FLAG_HOLD;
  std::vector<uint8_t> buffer(88);
  uint8_t rc = 2;
  TickUntil(
      [&] {
        rc = CqReadBlock(static_cast<uint8_t>(iStMaComChan.load()), buffer.data(), 86);
        return rc != 2;
      },
      1000);
  ubCqFlag &= static_cast<uint8_t>(~CQ_FLAG_HOLD);
  ASSERT_EQ(rc, 0);
  for (int i = 0; i < 86; ++i) ASSERT_EQ(buffer[i], static_cast<uint8_t>(2 * 7 + i)) << i;
}
