// What the trace settings show on the rings and menus, and the header
// information block copied from the log containers.
#include <gtest/gtest.h>

#include "params/CtrlCmd.h"
#include "scope/ScopeInfoData.h"
#include "scope/scope.h"
#include "support/EngineFixture.h"

namespace {

class ScopeTables : public EngineFixture {
 protected:
  static constexpr int kScope = 3;
  void SetUp() override {
    EngineFixture::SetUp();
    uwMcScopePanelHandle = kScope;
  }
  // The positions 1.. of the checked items among `count` from `first`.
  std::vector<int> Checked(int panel, int first, int count) {
    std::vector<int> on;
    for (int i = 0; i < count; ++i)
      if (host.attributes[{panel, first + i}][ATTR_CHECKED]) on.push_back(i + 1);
    return on;
  }
};

TEST_F(ScopeTables, SampleTimeCodesOnBothTracesRings) {
  struct Case {
    uint16_t code;
    bool p0417;
    int ring;   // main panel's ring value and first-trace item, 0 none
    int trace2; // second-trace item, 0 none
  };
  const Case cases[] = {{1, false, 1, 1},   {2, false, 2, 2},  {4, false, 3, 3},   {8, false, 4, 4},
                        {20, false, 5, 5},  {40, false, 6, 6}, {80, false, 7, 7},  {200, false, 8, 8},
                        {400, false, 0, 9}, {3, false, 0, 0},  {0, false, 0, 0},   {1, true, 2, 2},
                        {10, true, 5, 5},   {100, true, 8, 8}, {200, true, 0, 9},  {400, true, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.code) + (c.p0417 ? " P0417" : ""));
    ubMcFlag3 = c.p0417 ? MC_FLAG3_FW_P0417 : 0;
    host.attributes[{1, MAIN_MENU_SAMPLE_0_5}][ATTR_CHECKED] = 1;  // an earlier choice
    McycleSetSampleTimeRing(c.code);
    McycleSetSampleTime2Ring(c.code);
    EXPECT_EQ((host.ints[{1, MAIN_RING_SAMPLE_TIME}]), c.ring);
    EXPECT_EQ(Checked(1, MAIN_MENU_SAMPLE_0_5, 8), c.ring ? std::vector<int>{c.ring} : std::vector<int>{});
    EXPECT_EQ(Checked(kScope, SCOPE_MENU_TRACE2_SAMPLE_0_5, 9),
              c.trace2 ? std::vector<int>{c.trace2} : std::vector<int>{});
  }
}

TEST_F(ScopeTables, SecondTraceMenuFollowsItsStatus) {
  struct Case {
    uint32_t status;
    bool hardware, backward, forward;
  };
  // Neither direction bit leaves the direction marks as they were (forward here).
  for (const Case& c : {Case{0x0008, false, false, true}, {0x0001, true, false, true}, {0x0010, false, true, false},
                        {0x0111, true, true, false}}) {
    SCOPED_TRACE(c.status);
    McycleSetCheckTrace2Menu(8, c.status);
    EXPECT_EQ((host.attributes[{kScope, SCOPE_MENU_TRACE2_HARDWARE}][ATTR_CHECKED]), c.hardware);
    EXPECT_EQ((host.attributes[{kScope, SCOPE_MENU_TRACE2_MCYCLE}][ATTR_CHECKED]), !c.hardware);
    EXPECT_EQ((host.attributes[{kScope, SCOPE_MENU_TRACE2_BACKWARD}][ATTR_CHECKED]), c.backward);
    EXPECT_EQ((host.attributes[{kScope, SCOPE_MENU_TRACE2_FORWARD}][ATTR_CHECKED]), c.forward);
    EXPECT_EQ(Checked(kScope, SCOPE_MENU_TRACE2_SAMPLE_0_5, 9), std::vector<int>{4});
  }
}

TEST_F(ScopeTables, InformationBlockTakesTheLogValuesInItsOrder) {
  CtrlCmdLogDataContainerP528Init(0);
  for (int e = 0; e < 41; ++e) sLogDataContainer.entries[e].udData = 1000u + e;
  for (int e = 0; e < 28; ++e) sLogExtDataContainer.entries[e].udData = 2000u + e;
  sInfoDataFrame[3].udData = 77;
  ScopeCopyInfoData();  // no trace present: nothing copied
  EXPECT_EQ(+sInfoDataFrame[3].udData, 77u);

  ubMcFlag2 |= MC_FLAG2_TRACE_PRESENT;
  ScopeCopyInfoData();
  struct Entry {
    int e;
    uint16_t index;
    uint8_t sub;
    uint32_t value;
  };
  for (const Entry& x : {Entry{0, 0x2601, 0, 1012}, {1, 0x2503, 8, 1013}, {4, 0x2604, 4, 1028},
                         {14, 0x2604, 16, 1025}, {15, 0x2604, 17, 1024},  // crosswise
                         {18, 0x2604, 20, 0}, {19, 0x2604, 23, 1029}, {26, 0x2604, 22, 1038},
                         {27, 0x260A, 1, 2000}, {41, 0x260A, 15, 2014}, {42, 0x2107, 1, 2015},
                         {51, 0x211F, 0, 2024}, {54, 0x260E, 1, 2027}}) {
    SCOPED_TRACE(x.e);
    const CtrlCmdEntry& got = sInfoDataFrame[x.e];
    EXPECT_EQ(+got.uwIndex, x.index);
    EXPECT_EQ(+got.ubSubIndex, x.sub);
    EXPECT_EQ(+got.udData, x.value);
  }
}

}  // namespace
