// The cyclic monitor through the real tick and queue: what a round asks for,
// how answers show on the main panel, and that its queue slots always come
// back (failed read, monitor switched off, link lost, signal 39).
#include <vector>

#include "comm/ComQueue.h"
#include "engine/McycleCyclic.h"
#include "scope/scope.h"
#include "support/EngineFixture.h"

namespace {

// A link value with no transport: requests count as sent and the test plays
// the controller by offering answers to the queue.
constexpr uint8_t kLinkWithoutTransport = 2;
constexpr int kMacroPanel = 2;

struct Object {
  uint16_t index;
  uint8_t sub;
};

class CyclicMonitor : public EngineFixture {
 protected:
  void SetUp() override {
    EngineFixture::SetUp();
    uwMcMacroPanelHandle = kMacroPanel;
    McycleCyclicReset();
    udScopeFwVersion = 0x00EB0005;
    ubCqDataChannel = kLinkWithoutTransport;
    ubMcFlag1 |= MC_FLAG1_LINK_ESTABLISHED;
    SwitchOn();
  }
  void TearDown() override {
    ubCqDataChannel = CQ_LINK_NONE;
    EngineFixture::TearDown();
  }
  void SwitchOn() {
    McycleCyclicPrepareRequests();
    ubMcFlag1 |= MC_FLAG1_CYCLIC_MONITOR_ON;
  }
  // The periodic check found a poll due; one tick follows.
  void Poll() {
    ubMcFlag2 |= MC_FLAG2_CYCLIC_READ_DUE;
    Tick();
  }
  // Slots that are not free.
  std::vector<Object> Taken() const {
    std::vector<Object> taken;
    for (const CqElement& e : cqDataQueue)
      if (e.ubStatus != CQ_FREE || e.ubType != 0) taken.push_back({e.uwIndex, e.ubSubIndex});
    return taken;
  }
  bool AnyFailed() const {
    for (const CqElement& e : cqDataQueue)
      if (e.ubStatus == CQ_FAILED) return true;
    return false;
  }
  // The request on the link, or none.
  const CqElement* OnTheLink() const {
    for (const CqElement& e : cqDataQueue)
      if (e.ubStatus == CQ_SENT) return &e;
    return nullptr;
  }
  // Answers the request on the link with `cmd` and `value`, then ticks so the
  // queue judges it and sends the next one. Returns the object answered.
  Object Answer(uint8_t cmd, uint32_t value) {
    const CqElement* e = OnTheLink();
    if (!e) return {0, 0};
    const Object asked{e->uwIndex, e->ubSubIndex};
    CqCanMessage m{};
    m.udCobId = CQ_COB_RESPONSE + MachineDataChan.ubNodeId;
    m.ubDlc = 8;
    m.ubData[0] = cmd;
    m.ubData[1] = static_cast<uint8_t>(asked.index);
    m.ubData[2] = static_cast<uint8_t>(asked.index >> 8);
    m.ubData[3] = asked.sub;
    for (int i = 0; i < 4; ++i) m.ubData[4 + i] = static_cast<uint8_t>(value >> (8 * i));
    CqSetRecvData(m);
    Tick();
    return asked;
  }
  // One whole round: poll, answer every request in order, poll to collect.
  std::vector<Object> Round(const std::vector<std::pair<uint8_t, uint32_t>>& answers) {
    std::vector<Object> asked;
    Poll();
    for (const auto& [cmd, value] : answers) asked.push_back(Answer(cmd, value));
    Poll();
    return asked;
  }
  double Double(int control) { return host.doubles[{1, control}]; }
  int64_t Int(int control) { return host.ints[{1, control}]; }
  std::string Text(int control) { return host.Text(1, control); }
  int64_t Colour(int control) { return host.attributes[{1, control}][ATTR_ON_COLOR]; }
};

TEST_F(CyclicMonitor, ARoundReadsTheSixObjectsInOrderAndShowsThem) {
  const std::vector<Object> asked = Round({{0x4B, 2000}, {0x4B, 2100}, {0x4B, 0x1234}, {0x43, 12345},
                                           {0x43, 67890}, {0x43, 0x00080000}});
  const std::vector<Object> expected = {{0x2002, 0}, {0x22B1, 0}, {0x2004, 0}, {0x2318, 2}, {0x2318, 3}, {0x2119, 0}};
  ASSERT_EQ(asked.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(asked[i].index, expected[i].index) << i;
    EXPECT_EQ(asked[i].sub, expected[i].sub) << i;
  }
  EXPECT_DOUBLE_EQ(Double(MAIN_NUM_RAM_POS), 20.00);
  EXPECT_DOUBLE_EQ(Double(MAIN_NUM_MOT_POS), 21.00);
  EXPECT_EQ(Text(MAIN_TXT_STATUS0), "0x1234");
  EXPECT_EQ(Int(MAIN_NUM_PRESS_ND), 123);
  EXPECT_EQ(Int(MAIN_NUM_PRESS_HD), 678);
  EXPECT_EQ(Text(MAIN_TXT_STATUS1), "0x00080000");
  EXPECT_EQ(ubCyclicDataState, 0);
  EXPECT_FALSE(ubMcFlag2 & MC_FLAG2_CYCLIC_READ_IN_PROGRESS);
  EXPECT_TRUE(Taken().empty());
  // The templates hold the values read, and the next round asks the same.
  EXPECT_EQ(uint32_t{cqPressNDStore.udData}, 12345u);
  EXPECT_EQ(Round({{0x4B, 1}, {0x4B, 1}, {0x4B, 1}, {0x43, 1}, {0x43, 1}, {0x43, 1}})[3].sub, 2);
}

struct PositionCase {
  bool quill;
  uint8_t cmd;
  uint32_t raw;
  double mm;
};

TEST_F(CyclicMonitor, PositionsAreSignedInTheAnswersWidthAndScaled) {
  const PositionCase cases[] = {
      {false, 0x4B, 2000, 20.00},        {true, 0x4B, 2000, 60.00},
      {false, 0x4B, 0xFFFF, -0.01},      {false, 0x43, 0xFFFFFFFF, -0.01},
      {false, 0x4F, 0x80, -1.28},        {false, 0x47, 0x800000, -83886.08},
      {false, 0x4B, 0x7FFF, 327.67},     {true, 0x4B, 0xFFF6, 80.10},
      {false, 0x42, 0xFFFFFFF6, -0.10},  {false, 0x4B, 0x1234FFFF, -0.01},
  };
  for (const PositionCase& c : cases) {
    if (c.quill) ubMcFlag3 |= MC_FLAG3_FW_QUILL;
    else ubMcFlag3 &= static_cast<uint8_t>(~MC_FLAG3_FW_QUILL);
    Round({{c.cmd, c.raw}, {c.cmd, c.raw}, {0x4B, 0}, {0x43, 0}, {0x43, 0}, {0x43, 0}});
    EXPECT_NEAR(Double(MAIN_NUM_RAM_POS), c.mm, 1e-9) << std::hex << c.raw;
    EXPECT_NEAR(Double(MAIN_NUM_MOT_POS), c.mm, 1e-9) << std::hex << c.raw;
  }
}

struct PressureCase {
  uint32_t firmware;
  uint32_t nd, hd;
  int64_t ndShown, hdShown;
};

TEST_F(CyclicMonitor, PressuresFollowTheFirmwareRevision) {
  // Below revision 5: factor x (raw - 186) with the single-precision factors
  // (169908 and 55181 show where double factors would differ), 0 for 0 and
  // for anything at or below the offset; from 5 on raw / 100. Truncated.
  const PressureCase cases[] = {
      {4, 186, 100, 0, 0},
      {4, 0, 187, 0, 0},
      {4, 1186, 1186, 336, 538},
      {4, 169908, 55181, 57107, 29607},
      {0x00870003, 2000, 5000, 610, 2591},
      {4, 30000, 4294967295u, 10031, 2312230043},
      {5, 12399, 99, 123, 0},
      {0x0005FF05, 4294967295u, 100, 42949672, 1},
  };
  for (const PressureCase& c : cases) {
    udScopeFwVersion = c.firmware;
    SwitchOn();
    Round({{0x4B, 0}, {0x4B, 0}, {0x4B, 0}, {0x43, c.nd}, {0x43, c.hd}, {0x43, 0}});
    EXPECT_EQ(Int(MAIN_NUM_PRESS_ND), c.ndShown) << c.firmware << " " << c.nd;
    EXPECT_EQ(Int(MAIN_NUM_PRESS_HD), c.hdShown) << c.firmware << " " << c.hd;
  }
}

struct LampCase {
  uint32_t status1;
  int64_t ready;        // lamp value
  int64_t readyColour;  // colour when on
  bool blinking;
  bool bit19;
  int64_t second;
};

TEST_F(CyclicMonitor, LampsFollowStatusWordOne) {
  constexpr int64_t green = 0x00FF00, red = 0xFF0000;
  const LampCase cases[] = {
      {0x00000000, 0, -1, false, false, 0},   {0x00080000, 1, green, false, true, 0},
      {0x00180000, 1, green, true, true, 0},  {0x00380000, 1, red, false, true, 0},
      {0x00200000, 1, red, false, false, 0},  {0x00100000, 0, -1, false, false, 0},
      {0x08000000, 0, -1, false, false, 1},   {0x08180000, 1, green, true, true, 1},
      {0xFFFFFFFF, 1, red, false, true, 1},
  };
  for (const LampCase& c : cases) {
    ubMcFlag4 |= MC_FLAG4_READY_LAMP_BLINK;  // whatever the last round left
    Round({{0x4B, 0}, {0x4B, 0}, {0x4B, 0}, {0x43, 0}, {0x43, 0}, {0x43, c.status1}});
    EXPECT_EQ(Int(MAIN_LED_READY), c.ready) << std::hex << c.status1;
    if (c.readyColour >= 0) {
      EXPECT_EQ(Colour(MAIN_LED_READY), c.readyColour) << std::hex << c.status1;
    }
    EXPECT_EQ(bool(ubMcFlag4 & MC_FLAG4_READY_LAMP_BLINK), c.blinking) << std::hex << c.status1;
    EXPECT_EQ(bool(ubMcFlag5 & MC_FLAG5_STATUS1_BIT19), c.bit19) << std::hex << c.status1;
    EXPECT_EQ(Int(MAIN_LED_STATUS), c.second) << std::hex << c.status1;
    if (c.second) {
      EXPECT_EQ(Colour(MAIN_LED_STATUS), green);
    }
  }
}

TEST_F(CyclicMonitor, P0417AsksThreeObjectsAndCompletesOnThem) {
  ubMcFlag3 |= MC_FLAG3_FW_P0417;
  Poll();
  EXPECT_EQ(Taken().size(), 3u);
  for (int i = 0; i < 3; ++i) Answer(0x4B, 100);
  EXPECT_EQ(OnTheLink(), nullptr);
  Poll();
  EXPECT_EQ(ubCyclicDataState, 0);
  EXPECT_FALSE(ubMcFlag2 & MC_FLAG2_CYCLIC_READ_IN_PROGRESS);
  EXPECT_TRUE(Taken().empty());
  EXPECT_DOUBLE_EQ(Double(MAIN_NUM_MOT_POS), 1.00);
}

TEST_F(CyclicMonitor, AnswersCollectOverSeveralPolls) {
  Poll();
  Answer(0x4B, 500);
  Answer(0x4B, 600);
  Poll();  // two of six in
  EXPECT_EQ(ubCyclicDataState, 1);
  EXPECT_DOUBLE_EQ(Double(MAIN_NUM_RAM_POS), 5.00);
  EXPECT_EQ(Taken().size(), 4u);
  for (int i = 0; i < 4; ++i) Answer(0x43, 0);
  Poll();
  EXPECT_EQ(ubCyclicDataState, 0);
  EXPECT_TRUE(Taken().empty());
}

TEST_F(CyclicMonitor, AFailedReadSwitchesOffAndLeavesEveryQueueSlotFree) {
  Poll();
  Answer(0x4B, 1);
  // The rest is never answered: each request times out four times.
  for (int i = 0; i < 5000 && !AnyFailed(); ++i) Tick();
  ASSERT_TRUE(AnyFailed());
  Poll();
  EXPECT_FALSE(ubMcFlag1 & MC_FLAG1_CYCLIC_MONITOR_ON);
  EXPECT_FALSE(ubMcFlag2 & MC_FLAG2_CYCLIC_READ_IN_PROGRESS);
  EXPECT_FALSE(ubCqFlag & CQ_FLAG_BUSY);
  EXPECT_EQ(ubCyclicDataState, 0);
  EXPECT_TRUE(Taken().empty());
  EXPECT_EQ(Int(MAIN_BIN_SW_POS_MON_ON), 0);
  EXPECT_EQ((host.attributes[{kMacroPanel, MACRO_CMD_TRANSFER_1}][ATTR_DIMMED]), 1);
  EXPECT_EQ((host.attributes[{kMacroPanel, MACRO_CMD_TRANSFER_2}][ATTR_DIMMED]), 1);
  // It stays off: later polls ask nothing.
  Poll();
  EXPECT_TRUE(Taken().empty());
}

TEST_F(CyclicMonitor, EndingARoundEarlyFreesItsSlots) {
  struct Ending {
    const char* what;
    void (*end)();
  };
  const Ending endings[] = {
      {"switched off", [] { ubMcFlag1 &= static_cast<uint8_t>(~MC_FLAG1_CYCLIC_MONITOR_ON); }},
      {"link closed", [] { ubCqDataChannel = CQ_LINK_NONE; }},
      {"connection lost", [] { ubMcFlag1 &= static_cast<uint8_t>(~MC_FLAG1_LINK_ESTABLISHED); }},
      {"signal 39", [] { McycleSignalQueuePut(MC_SIG_CYCLIC_ABORT); }},
  };
  for (const Ending& e : endings) {
    ubCqDataChannel = kLinkWithoutTransport;
    ubMcFlag1 |= MC_FLAG1_LINK_ESTABLISHED;
    SwitchOn();
    Poll();
    Answer(0x4B, 1);
    ASSERT_EQ(Taken().size(), 6u) << e.what;  // one answered, not yet collected
    ASSERT_TRUE(ubCqFlag & CQ_FLAG_BUSY) << e.what;
    e.end();
    Tick();
    EXPECT_TRUE(Taken().empty()) << e.what;
    EXPECT_FALSE(ubCqFlag & CQ_FLAG_BUSY) << e.what;
    EXPECT_FALSE(ubMcFlag2 & MC_FLAG2_CYCLIC_READ_IN_PROGRESS) << e.what;
    EXPECT_EQ(ubCyclicDataState, 0) << e.what;
  }
}

TEST_F(CyclicMonitor, PurgesOnlyItsOwnSlots) {
  ubMcFlag3 |= MC_FLAG3_FW_P0417;
  Poll();
  ASSERT_EQ(Taken().size(), 3u);
  // Another request takes a slot beside the round.
  uint8_t other = 0;
  ASSERT_EQ(CqWriteSDO(0, 0x2106, MachineDataChan.ubNodeId, 0, CQ_SDO_READ, &other, 0), 0);
  McycleCyclicReset();
  const std::vector<Object> taken = Taken();
  ASSERT_EQ(taken.size(), 1u);
  EXPECT_EQ(taken[0].index, 0x2106);
  McycleCyclicReset();  // nothing of the round is left to purge twice
  EXPECT_EQ(Taken().size(), 1u);
}

TEST_F(CyclicMonitor, NeverRunsWhileAnOperationRunsAndResumesAfter) {
  Poll();
  Answer(0x4B, 700);  // in the queue, not yet collected
  McycleSignalQueuePut(MC_SIG_DATE_TIME);
  Tick();
  ASSERT_EQ(uwMcycleState >> 8, 0x23);
  // The clock read runs; polls fall due and every request on the link is
  // answered, the round's as well as the clock's.
  for (int i = 0; i < 200 && (uwMcycleState >> 8) == 0x23; ++i) {
    ubMcFlag2 |= MC_FLAG2_CYCLIC_READ_DUE;
    if (OnTheLink()) Answer(0x4F, 5);
    else Tick();
    ASSERT_DOUBLE_EQ(Double(MAIN_NUM_RAM_POS), 0.0);
    ASSERT_EQ(ubCyclicDataState, 1);
  }
  ASSERT_EQ(uwMcycleState, MC_STATE_IDLE);
  // Idle again: the next poll collects the round, the one after starts anew.
  while (OnTheLink()) Answer(0x43, 0);
  Poll();
  EXPECT_DOUBLE_EQ(Double(MAIN_NUM_RAM_POS), 7.00);
  EXPECT_EQ(ubCyclicDataState, 0);
  EXPECT_TRUE(Taken().empty());
  Poll();
  EXPECT_EQ(ubCyclicDataState, 1);
}

TEST_F(CyclicMonitor, WaitsWhileCommunicationLoggingShowsText) {
  ubCqFlag |= CQ_FLAG_RAW_TEXT;
  Poll();
  EXPECT_TRUE(Taken().empty());
  EXPECT_TRUE(ubMcFlag2 & MC_FLAG2_CYCLIC_READ_DUE);
  ubCqFlag &= static_cast<uint8_t>(~CQ_FLAG_RAW_TEXT);
  Poll();
  EXPECT_EQ(Taken().size(), 6u);
}

TEST_F(CyclicMonitor, TemplatesCarryTheTimeOutOfTheMode) {
  Poll();
  for (const CqElement& e : cqDataQueue) {
    if (e.ubStatus != CQ_FREE) {
      EXPECT_EQ(uint32_t{e.udTimeout}, CQ_DEFAULT_TIMEOUT_MS);
    }
  }
  McycleCyclicReset();
  ubMcFlag2 |= MC_FLAG2_EXPERT_MODE;
  udCqNorlTimeout = 750;
  SwitchOn();
  Poll();
  int seen = 0;
  for (const CqElement& e : cqDataQueue)
    if (e.ubStatus != CQ_FREE) {
      EXPECT_EQ(uint32_t{e.udTimeout}, 750u);
      EXPECT_EQ(e.ubNodeId, 15);
      ++seen;
    }
  EXPECT_EQ(seen, 6);
}

}  // namespace
