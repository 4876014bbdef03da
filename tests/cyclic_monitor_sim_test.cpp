// The cyclic monitor against rc7sim on a pseudo-terminal: positions that move
// with a stroke, negative positions, the pressure objects by firmware
// revision, and the faults that switch the monitor off.
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "comm/ComQueue.h"
#include "engine/McycleCyclic.h"
#include "scope/scope.h"
#include "support/LinkFixture.h"

namespace {

// The periodic check every 25 ticks (50 ms).
constexpr int kTicksPerPoll = 25;

class CyclicMonitorSim : public LinkFixture {
 protected:
  // Connects, lets the connect end, and switches the monitor on as the
  // position-monitor switch does for a controller of `firmware`.
  bool Start(std::vector<std::string> options, uint32_t firmware = 0x00EB0005) {
    if (!Connect(SimLink::Serial, std::move(options))) return false;
    if (!TickUntil(Settled, 5000)) return false;
    udScopeFwVersion = firmware;
    ubMcFlag3 &= static_cast<uint8_t>(~(MC_FLAG3_FW_P0417 | MC_FLAG3_FW_QUILL));
    ubMcFlag1 |= MC_FLAG1_LINK_ESTABLISHED;
    McycleCyclicPrepareRequests();
    ubMcFlag1 |= MC_FLAG1_CYCLIC_MONITOR_ON;
    return true;
  }
  // Runs `polls` periodic checks on paced ticks; the ram position shown at
  // the end of each completed round.
  std::vector<double> Run(int polls) {
    std::vector<double> shown;
    for (int p = 0; p < polls && (ubMcFlag1 & MC_FLAG1_CYCLIC_MONITOR_ON); ++p) {
      ubMcFlag2 |= MC_FLAG2_CYCLIC_READ_DUE;
      const bool collecting = ubCyclicDataState == 1;
      for (int t = 0; t < kTicksPerPoll; ++t) TickPaced();
      if (collecting && ubCyclicDataState == 0 && (ubMcFlag1 & MC_FLAG1_CYCLIC_MONITOR_ON))
        shown.push_back(Double(MAIN_NUM_RAM_POS));
    }
    return shown;
  }
  double Double(int control) { return host.doubles[{1, control}]; }
  int64_t Int(int control) { return host.ints[{1, control}]; }
  bool QueueFree() {
    return std::all_of(std::begin(cqDataQueue), std::end(cqDataQueue),
                       [](const CqElement& e) { return e.ubStatus == CQ_FREE && e.ubType == 0; });
  }
  bool SwitchedOff() {
    return !(ubMcFlag1 & MC_FLAG1_CYCLIC_MONITOR_ON) && Int(MAIN_BIN_SW_POS_MON_ON) == 0 &&
           !(ubMcFlag2 & MC_FLAG2_CYCLIC_READ_IN_PROGRESS) && !(ubCqFlag & CQ_FLAG_BUSY) && QueueFree();
  }
};

TEST_F(CyclicMonitorSim, PositionsMoveWithTheStroke) {
  ASSERT_TRUE(Start({"--stroke", "400", "--stroke-range", "2000:6000"}));
  const std::vector<double> shown = Run(40);
  ASSERT_GE(shown.size(), 10u);
  const std::set<double> distinct(shown.begin(), shown.end());
  EXPECT_GE(distinct.size(), 4u);
  for (double mm : shown) {
    EXPECT_GE(mm, 20.00);
    EXPECT_LE(mm, 60.00);
  }
  // The motor leads the ram by a quarter millimetre, read a moment later.
  EXPECT_NEAR(Double(MAIN_NUM_MOT_POS), shown.back() + 0.25, 2.0);
  EXPECT_EQ(host.Text(1, MAIN_TXT_STATUS0), "0x12345678");
  EXPECT_EQ(Int(MAIN_NUM_PRESS_ND), 186);
  EXPECT_EQ(Int(MAIN_NUM_PRESS_HD), 250);
}

TEST_F(CyclicMonitorSim, StrokeBelowZero) {
  ASSERT_TRUE(Start({"--stroke", "300", "--stroke-range", "-500:-100"}));
  const std::vector<double> shown = Run(20);
  ASSERT_GE(shown.size(), 4u);
  for (double mm : shown) {
    EXPECT_GE(mm, -5.00);
    EXPECT_LE(mm, -1.00);
  }
}

TEST_F(CyclicMonitorSim, OldFirmwareKeepsThePressuresIn2503) {
  ASSERT_TRUE(Start({"--object", "0x200F:0:2:0x0504", "--pressure", "1186:186"}, 0x00050004));
  ASSERT_FALSE(Run(4).empty());
  EXPECT_EQ(Int(MAIN_NUM_PRESS_ND), 336);
  EXPECT_EQ(Int(MAIN_NUM_PRESS_HD), 0);
  const std::vector<std::string> journal = sim_->Journal();
  for (const char* asked : {" 40 2503 02 ", " 40 2503 03 "})
    EXPECT_TRUE(std::any_of(journal.begin(), journal.end(),
                            [&](const std::string& l) { return l.find(asked) != std::string::npos; }))
        << asked;
}

// Whatever ends the conversation switches the monitor off and gives every
// queue slot back; the rounds before it showed their values.
TEST_F(CyclicMonitorSim, AFailedRoundSwitchesOffAndFreesTheQueue) {
  struct Case {
    const char* what;
    std::vector<std::string> options;
    uint32_t firmware;
    int polls;
    size_t rounds;  // completed before the failure
    bool linkUsable;  // for everything else afterwards
  };
  const Case cases[] = {
      // The tool believes revision 5, the controller has revision 4: 0x2318
      // is unknown to it and answered with aborts.
      {"wrong pressure objects", {"--object", "0x200F:0:2:0x0504"}, 0x00050005, 12, 0, false},
      {"one aborted object", {"--abort-object", "0x2004:0"}, 0x00EB0005, 12, 0, true},
      // One round goes through; the line closes in the middle of the second.
      {"vanished device", {"--hang-up-after", "8"}, 0x00EB0005, 12, 1, false},
      // 3 s: every request of the round times out four times.
      {"silent controller", {"--silent-after", "3"}, 0x00EB0005, 60, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(Start(c.options, c.firmware));
    EXPECT_EQ(Run(c.polls).size(), c.rounds);
    EXPECT_TRUE(SwitchedOff());
    if (c.linkUsable) {
      EXPECT_EQ(Request(CQ_SDO_READ, 0x2119, 0), 2);
    }
  }
}

}  // namespace
