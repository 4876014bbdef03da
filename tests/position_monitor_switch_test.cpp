// The position-monitor switch of the main panel: it prepares the monitor's
// requests for the mode and firmware at hand, and switching it off ends a
// round in flight.
#include "app/PanelCallbacks.h"
#include "comm/ComQueue.h"
#include "engine/McycleCyclic.h"
#include "scope/scope.h"
#include "support/EngineFixture.h"

namespace {

// A link value with no transport: requests count as sent, none is answered.
constexpr uint8_t kLinkWithoutTransport = 2;

class PositionMonitorSwitch : public EngineFixture {
 protected:
  void TearDown() override {
    ubCqDataChannel = CQ_LINK_NONE;
    EngineFixture::TearDown();
  }
  void Operate(bool on) {
    host.ints[{1, MAIN_BIN_SW_POS_MON_ON}] = on;
    MAIN_BIN_SW_POS_MON_ON_Callback(1, MAIN_BIN_SW_POS_MON_ON, EVENT_COMMIT, nullptr, 0, 0);
  }
  int SlotsTaken() const {
    int n = 0;
    for (const CqElement& e : cqDataQueue) n += e.ubStatus != CQ_FREE;
    return n;
  }
};

TEST_F(PositionMonitorSwitch, PreparesTheRequestsForModeAndFirmware) {
  ubCqDataChannel = kLinkWithoutTransport;
  udScopeFwVersion = 0x00EB0004;
  ubMcFlag2 |= MC_FLAG2_EXPERT_MODE;
  udCqNorlTimeout = 1500;
  Operate(true);
  EXPECT_TRUE(ubMcFlag1 & MC_FLAG1_CYCLIC_MONITOR_ON);
  const CqElement* stores[] = {&cqRamPosStore,  &cqMotPosStore,  &cqStatusStore,
                               &cqPressNDStore, &cqPressHDStore, &cqStatus1Store};
  const uint16_t index[] = {0x2002, 0x22B1, 0x2004, 0x2503, 0x2503, 0x2119};
  const uint8_t sub[] = {0, 0, 0, 2, 3, 0};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(+stores[i]->uwIndex, index[i]) << i;
    EXPECT_EQ(stores[i]->ubSubIndex, sub[i]) << i;
    EXPECT_EQ(stores[i]->ubType, CQ_SDO_READ) << i;
    EXPECT_EQ(stores[i]->ubNodeId, 15) << i;
    EXPECT_EQ(uint32_t{stores[i]->udTimeout}, 1500u) << i;
    EXPECT_EQ(stores[i]->ubLog, 0) << i;
  }
  // Outside expert mode the time-out is 200 ms; revision 5 reads 0x2318.
  Operate(false);
  ubMcFlag2 &= static_cast<uint8_t>(~MC_FLAG2_EXPERT_MODE);
  udScopeFwVersion = 0x00EB0005;
  Operate(true);
  EXPECT_EQ(uint32_t{cqPressHDStore.udTimeout}, CQ_DEFAULT_TIMEOUT_MS);
  EXPECT_EQ(cqPressHDStore.uwIndex, 0x2318);
}

TEST_F(PositionMonitorSwitch, WithoutALinkItFlipsBack) {
  Operate(true);
  EXPECT_FALSE(ubMcFlag1 & MC_FLAG1_CYCLIC_MONITOR_ON);
  EXPECT_EQ((host.ints[{1, MAIN_BIN_SW_POS_MON_ON}]), 0);
  EXPECT_NE(Log().find("First select data channel!\n"), std::string::npos);
}

TEST_F(PositionMonitorSwitch, SwitchingOffEndsTheRoundInFlight) {
  ubCqDataChannel = kLinkWithoutTransport;
  ubMcFlag1 |= MC_FLAG1_LINK_ESTABLISHED;
  Operate(true);
  MAIN_TIMER_RAM_Callback(1, MAIN_TIMER_RAM, EVENT_TIMER_TICK, nullptr, 0, 0);  // a poll falls due
  Tick();
  ASSERT_EQ(SlotsTaken(), 6);
  Operate(false);
  Tick();
  EXPECT_EQ(SlotsTaken(), 0);
  EXPECT_FALSE(ubCqFlag & CQ_FLAG_BUSY);
  EXPECT_FALSE(ubMcFlag2 & MC_FLAG2_CYCLIC_READ_IN_PROGRESS);
}

}  // namespace
