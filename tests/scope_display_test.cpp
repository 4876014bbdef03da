// The trace display on a recording host: axis scaling, plot selection and
// colours, the lane maps, status bands, trigger texts, the cursor's frame and
// readout, and what a damaged record (gain 0, sample code 0, 1 frame) draws.
#include <cstring>
#include <gtest/gtest.h>

#include <algorithm>

#include "params/CtrlCmd.h"
#include "scope/ScopeAxes.h"
#include "scope/ScopeFile.h"
#include "scope/ScopeCursor.h"
#include "scope/ScopeDisplay.h"
#include "scope/ScopePanel.h"
#include "scope/ScopeScale.h"
#include "scope/ScopeTrace.h"
#include "support/EngineFixture.h"

namespace {

class ScopeDisplayTest : public EngineFixture {
 protected:
  static constexpr int kScope = 3, kInfo = 4;
  void SetUp() override {
    EngineFixture::SetUp();
    uwMcScopePanelHandle = kScope;
    uwMcTraceInfoPanelHandle = kInfo;
    ubScopeFlag = 0;
    ubScopeNumOfTraces = 1;
    ubMcFlag2 = MC_FLAG2_TRACE_PRESENT;
    ubMcFlag3 = ubMcFlag4 = ubMcFlag5 = 0;
    uwScopeRamtype = 0x40;
    uwScopePostTrgTime = 0;
    host.ints[{kScope, SCOPE_NUM_AXIS_GAIN}] = 10;
    host.doubles[{kScope, SCOPE_NUM_TIME_AXIS}] = 50;
    host.doubles[{kScope, SCOPE_NUM_ANA_GAIN}] = 10;
    ScopeCursorReset();
    Trace(10);
  }
  void TearDown() override {
    ScopeTraceFree();
    EngineFixture::TearDown();
  }
  ScopeTraceDesc& Trace(size_t n) {
    ScopeTraceDesc& t = scScope[0];
    EXPECT_TRUE(ScopeFramesReplace(t, n));
    t.uwFrames = static_cast<uint16_t>(n);
    t.uwSampleTime = 4;
    t.udStatus = SCOPE_STATUS_FORWARD;
    return t;
  }
  std::vector<GraphItem>& Plots(int graph = SCOPE_GRAPH) { return host.plots[{kScope, graph}]; }
  std::vector<int64_t> Colours() {
    std::vector<int64_t> c;
    for (const GraphItem& i : Plots())
      if (i.kind == GraphItem::Waveform) c.push_back(i.colour);
    return c;
  }
  bool HasText(const std::string& text, int graph = SCOPE_GRAPH) {
    for (const GraphItem& i : Plots(graph))
      if (i.kind == GraphItem::Text && i.text == text) return true;
    return false;
  }
};

TEST_F(ScopeDisplayTest, PositionAndAnalogScaling) {
  ScopeCalcYscale();
  EXPECT_DOUBLE_EQ(ScopePositionPlot(123.45), 123.45);  // raw 12345: 12.345 of the ten divisions
  EXPECT_EQ(swScopeYaxisScale[9], 100);
  ubMcFlag3 |= MC_FLAG3_FW_QUILL;
  ScopeCalcYscale();
  EXPECT_EQ(swScopeZero, 8000);
  EXPECT_EQ(swScopeYaxisScale[0], -10);
  EXPECT_DOUBLE_EQ(ScopePositionPlot(80.0), 0.0);
  // A gain of 0 from a script is raised to the control's minimum.
  host.ints[{kScope, SCOPE_NUM_AXIS_GAIN}] = 0;
  ScopeCalcYscale();
  EXPECT_EQ(swScopeYgain, 100);

  struct Case {
    uint8_t flag3, flag5, scopeFlag;
    uint16_t raw;
    double percent;
  } const cases[] = {
      {0, 0, 0, 191, 0},     {0, 0, 0, 956, 100},  {0, 0, SCOPE_FLAG_P0417_TRACE, 0, 0},
      {0, 0, SCOPE_FLAG_P0417_TRACE, 1024, 100},   {MC_FLAG3_FW_QUILL, 0, 0, 819, 0},
      {MC_FLAG3_FW_QUILL, 0, 0, 4095, 100},        {MC_FLAG3_FW_QUILL, MC_FLAG5_QUILL_TWO_TRACES, 0, 956, 100},
  };
  for (const Case& c : cases) {
    ubMcFlag3 = c.flag3;
    ubMcFlag5 = c.flag5;
    ubScopeFlag = c.scopeFlag;
    EXPECT_NEAR(ScopeAnalogPercent(c.raw), c.percent, 1e-9) << c.raw;
  }
}

TEST_F(ScopeDisplayTest, PlotSelectionAndColoursByMode) {
  struct Case {
    uint8_t flag4, flag3, scopeFlag;
    std::vector<int64_t> colours;
  } const cases[] = {
      {0, 0, 0, {0x0000FF}},
      {MC_FLAG4_EXPERT_MODE, 0, 0, {0xFF0000, 0x0000FF, 0x008000}},
      {MC_FLAG4_EXPERT_MODE | MC_FLAG4_ALT_DIGITAL_CAPTIONS, 0, 0, {0x0000FF}},
      {0, MC_FLAG3_ANALOG_SHOWN, 0, {0x0000FF, 0xFF00FF, 0x00FFFF, 0x00FF00, 0}},
      {MC_FLAG4_EXPERT_MODE, MC_FLAG3_ANALOG_SHOWN, SCOPE_FLAG_P0417_TRACE, {0xFF0000, 0x0000FF, 0xFF00FF}},
      {MC_FLAG4_EXPERT_MODE, MC_FLAG3_ANALOG_SHOWN, SCOPE_FLAG_DISPLAY_B, {0, 0, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    ubMcFlag4 = c.flag4;
    ubMcFlag3 = c.flag3;
    ubScopeFlag = c.scopeFlag;
    ScopeTraceDisplay(0);
    EXPECT_EQ(Colours(), c.colours) << int{c.flag4} << " " << int{c.flag3} << " " << int{c.scopeFlag};
  }
}

TEST_F(ScopeDisplayTest, LaneMapsAndCaptions) {
  struct Case {
    uint8_t flag3, flag4, scopeFlag;
    uint16_t ramtype, in, out, pos;
    int lane;
    double level;
    const char* lane12;
  } const cases[] = {
      {0, 0, 0, 0x40, 0x0008, 0, 0, 12, 126, "      I:REQ"},
      {0, 0, 0, 0x40, 0x0080, 0, 0, 7, 75, "      I:REQ"},
      {0, MC_FLAG4_EXPERT_MODE, 0, 0x30, 0, 0x0100, 0, 12, 126, "  O:DOWN_HP"},
      {0, MC_FLAG4_EXPERT_MODE, 0, 0x90, 0x0008, 0, 0, 12, 120, "  O:DOWN_HP"},
      {0, MC_FLAG4_EXPERT_MODE | MC_FLAG4_ALT_DIGITAL_CAPTIONS, 0, 0x00, 0x0200, 0, 0, 12, 126, "  I:JOG_POS"},
      {0, MC_FLAG4_EXPERT_MODE | MC_FLAG4_ALT_DIGITAL_CAPTIONS, 0, 0xB0, 0, 0, 0x0010, 12, 126, "O:SEEK_FAST"},
      {0, MC_FLAG4_EXPERT_MODE | MC_FLAG4_ALT_DIGITAL_CAPTIONS, 0, 0xB0, 0, 0, 0x0004, 7, 76, "O:SEEK_FAST"},
      {MC_FLAG3_FW_QUILL, 0, 0, 0x80, 0x0800, 0, 0, 7, 75, ""},
      {MC_FLAG3_FW_QUILL, 0, 0, 0x80, 0, 0x0100, 0, 12, 126, ""},
      {0, 0, SCOPE_FLAG_P0417_TRACE, 0, 0x0002, 0, 0, 6, 66, ""},
      {0, 0, SCOPE_FLAG_P0417_TRACE, 0, 0x0008, 0, 0, 7, 76, ""},
  };
  for (const Case& c : cases) {
    ubMcFlag3 = c.flag3;
    ubMcFlag4 = c.flag4;
    ubScopeFlag = c.scopeFlag;
    uwScopeRamtype = c.ramtype;
    for (size_t i = 0; i < 10; ++i) {
      scScope[0].pFrames[i].uwDigIn = c.in;
      scScope[0].pFrames[i].uwDigOut = c.out;
      scScope[0].pFrames[i].swPosWord = static_cast<int16_t>(c.pos);
    }
    host.texts[{kScope, SCOPE_TXT_LANE_0 + 12}] = "";
    ScopeTraceDisplay(0);
    const std::vector<GraphItem>& lanes = Plots(SCOPE_GRAPH_DIGITAL);
    ASSERT_GE(lanes.size(), 13u);
    EXPECT_EQ(lanes[c.lane].y[0], c.level) << c.lane << " " << c.ramtype;
    EXPECT_EQ((host.texts[{kScope, SCOPE_TXT_LANE_0 + 12}]), c.lane12) << c.ramtype;
  }
}

TEST_F(ScopeDisplayTest, StatusBandsAreRunsWithTheirEdges) {
  ScopeFrame frames[8]{};
  const uint16_t bits[8] = {1, 1, 0, 1, 1, 1, 0, 1};
  for (int i = 0; i < 8; ++i) frames[i].swPosWord = static_cast<int16_t>(bits[i] * 0x100);
  const std::vector<ScopeRun> runs = ScopeBandRuns(frames, 8, 0x100);
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[1].first, 3u);
  EXPECT_EQ(runs[1].last, 5u);

  ubMcFlag4 = MC_FLAG4_EXPERT_MODE | MC_FLAG4_ALT_DIGITAL_CAPTIONS;
  for (int i = 0; i < 8; ++i) scScope[0].pFrames[i].swPosWord = frames[i].swPosWord;
  ScopeTraceDisplay(0);
  int tops = 0, rising = 0, falling = 0;
  for (const GraphItem& g : Plots(SCOPE_GRAPH_DIGITAL)) {
    if (g.kind != GraphItem::Line) continue;
    EXPECT_EQ(g.colour, 0xFF0000);
    if (g.y1 == 98 && g.y2 == 98) {
      ++tops;
    } else if (g.y1 == 90) {
      ++rising;
      EXPECT_NE(g.x1, 0);  // set from frame 0: no rising edge there
    } else {
      ++falling;
    }
  }
  EXPECT_EQ(tops, 3);
  EXPECT_EQ(rising, 2);
  EXPECT_EQ(falling, 3);  // the last run ends before the trace's last frame
}

TEST_F(ScopeDisplayTest, TriggerTextsBacktraceAndDamagedRecords) {
  scScope[0].udStatus = 0x30;
  uwScopePostTrgTime = 4;
  ScopeTraceDisplay(0);
  EXPECT_TRUE(HasText("Trigger is freezed!"));
  bool line = false;
  for (const GraphItem& g : Plots())
    if (g.kind == GraphItem::Line && g.x1 == 6 && g.x2 == 6 && g.y2 == 1200) line = true;
  EXPECT_TRUE(line);
  // A post-trigger time beyond the trace draws no line.
  uwScopePostTrgTime = 11;
  ScopeTraceDisplay(0);
  for (const GraphItem& g : Plots()) EXPECT_NE(g.kind, GraphItem::Line);

  // analogOnly keeps the lanes.
  const size_t lanes = Plots(SCOPE_GRAPH_DIGITAL).size();
  ScopeTraceDisplay(1);
  EXPECT_EQ(Plots(SCOPE_GRAPH_DIGITAL).size(), lanes);

  // Second trace chosen on the ring, its backtrace running: only the texts.
  ubScopeNumOfTraces = 2;
  ubMcFlag4 = MC_FLAG4_SECOND_TRACE_SKIPPED;
  ubMcFlag5 = MC_FLAG5_STATUS1_BIT19;
  host.ints[{kScope, SCOPE_RING_TRACE}] = 1;
  SCOPE_CMD_Callback(kScope, SCOPE_RING_TRACE, EVENT_COMMIT, nullptr, 0, 0);
  EXPECT_TRUE(ubScopeFlag & SCOPE_FLAG_SECOND_TRACE);
  EXPECT_TRUE(Plots(SCOPE_GRAPH_DIGITAL).empty());
  ASSERT_EQ(Plots().size(), 2u);
  EXPECT_TRUE(HasText("Backtrace is running ..."));
  EXPECT_TRUE(HasText("USB memory is active. Backtrace data are saved on the USB memory"));

  // Sample code 0: against frame index; one frame: an empty graph.
  ubScopeFlag = 0;
  ubMcFlag4 = 0;
  scScope[0].uwSampleTime = 0;
  ScopeTraceDisplay(0);
  EXPECT_EQ((host.ranges[{kScope, SCOPE_GRAPH}][GRAPH_AXIS_X]), (std::pair<double, double>{0, 750}));
  Trace(1);
  ScopeTraceDisplay(0);
  EXPECT_TRUE(Plots().empty());
  EXPECT_TRUE(Plots(SCOPE_GRAPH_DIGITAL).empty());
}

TEST_F(ScopeDisplayTest, CursorFrameAndReadout) {
  // 15 divisions of 50 ms at 2 ms a frame: 375 frames over the width.
  lfScopeXzero = 0;
  lfScopeXgain = 50;
  struct Case {
    double x, width;
    uint16_t frames;
    double first, last;  // frames shown
    long frame;
  } const cases[] = {{0, 600, 400, 0, 375, 0},     {300, 600, 400, 0, 375, 187}, {600, 600, 400, 0, 375, 375},
                     {600, 600, 100, 0, 375, 99},  {-1, 600, 400, 0, 375, -1},   {601, 600, 400, 0, 375, -1},
                     {10, 600, 0, 0, 375, -1},     {300, 600, 400, 100, 110, 105}, {600, 600, 400, 390, 420, 399}};
  for (const Case& c : cases)
    EXPECT_EQ(ScopeCursorFrame(c.x, c.width, c.frames, c.first, c.last), c.frame) << c.x << " " << c.first;

  ScopeFrame* f = scScope[0].pFrames;
  for (int i = 0; i < 10; ++i) f[i].swRam = static_cast<int16_t>(i * 100);  // 1 mm a frame
  f[9].uwAna2 = 956;
  ubMcFlag2 |= MC_FLAG2_EXPERT_MODE;
  host.doubles[{kScope, SCOPE_NUM_TIME_AXIS}] = 10 * 2.0 / 15;  // 10 frames over the width
  sScopeDataContainer.entries[9].udData = 40000;  // ANA2 at 20 mA: 400 bar
  SCOPE_CMD_Callback(kScope, SCOPE_GRAPH, EVENT_RIGHT_CLICK, nullptr, 1000, 0);  // beyond: ignored
  EXPECT_FALSE(ubMcFlag3 & MC_FLAG3_TRACE_INFO_SHOWN);
  ScopeDisplayMouseData(50, 0, 100);  // frame 5
  EXPECT_DOUBLE_EQ((host.doubles[{kInfo, TRACE_INFO_NUM_RAM}]), 5.0);
  EXPECT_DOUBLE_EQ((host.doubles[{kInfo, TRACE_INFO_NUM_SPEED}]), 0.0);
  ScopeDisplayMouseData(50, 0, 100);  // the same frame: no speed
  EXPECT_DOUBLE_EQ((host.doubles[{kInfo, TRACE_INFO_NUM_SPEED}]), 0.0);
  ScopeDisplayMouseData(99, 0, 100);  // frame 9, 4 mm in 8 ms
  EXPECT_DOUBLE_EQ((host.doubles[{kInfo, TRACE_INFO_NUM_SPEED}]), 500.0);
  EXPECT_DOUBLE_EQ((host.doubles[{kInfo, TRACE_INFO_NUM_BAR_2}]), 400.0);
  host.views[{kScope, SCOPE_GRAPH}] = {6, 8};  // zoomed in by the operator
  ScopeDisplayMouseData(50, 0, 100);
  EXPECT_DOUBLE_EQ((host.doubles[{kInfo, TRACE_INFO_NUM_RAM}]), 7.0);
  EXPECT_TRUE(ubMcFlag3 & MC_FLAG3_TRACE_INFO_SHOWN);
  int cursors = 0;
  for (const GraphItem& g : Plots())
    if (g.kind == GraphItem::Line) ++cursors;
  EXPECT_EQ(cursors, 1);
  // A click takes evaluation marks off by redrawing; without marks the
  // analog plots stay as they are.
  const size_t plots = Plots().size();
  ScopeDisplayMouseData(60, 0, 100);
  EXPECT_EQ(Plots().size(), plots);
  PanelPlotPoint(kScope, SCOPE_GRAPH, 7, 50, 0xFF0000);
  ScopeNoteMarks();
  ScopeDisplayMouseData(60, 0, 100);
  EXPECT_TRUE(std::none_of(Plots().begin(), Plots().end(), [](const GraphItem& g) { return g.kind == GraphItem::Point; }));

  // A new start forgets the measurement's start point, the comment, the date
  // and the flags, and sets the record's defaults.
  std::strcpy(ubScopeCommentBuffer, "old trace");
  ubScopeFlag = 0xFF;
  udScopeDateYear = udScopeTimeSec = 99;
  uwScopePostTrgTime = uwScopeLmsResol = uwScopeMotResol = 7;
  scScope[0].uwSampleTime = scScope[1].uwSampleTime = 7;
  for (int e = 7; e <= 9; ++e) sScopeDataContainer.entries[e].udData = 7;
  ScopeInit();
  const struct {
    const char* global;
    uint32_t value, want;
  } defaults[] = {
      {"ubScopeFlag", ubScopeFlag, 0},
      {"udScopeDateYear", udScopeDateYear, 0},
      {"udScopeTimeSec", udScopeTimeSec, 0},
      {"first trace uwSampleTime", scScope[0].uwSampleTime, 2},
      {"second trace uwSampleTime", scScope[1].uwSampleTime, 2},
      {"uwScopePostTrgTime", uwScopePostTrgTime, 100},
      {"uwScopeLmsResol", uwScopeLmsResol, 10},
      {"uwScopeMotResol", uwScopeMotResol, 10},
      {"ANA0 at 20 mA", sScopeDataContainer.entries[7].udData, 40000},
      {"ANA1 at 20 mA", sScopeDataContainer.entries[8].udData, 25000},
      {"ANA2 at 20 mA", sScopeDataContainer.entries[9].udData, 40000},
      {"udScopeSwVersion", udScopeSwVersion, 17430},
  };
  for (const auto& d : defaults) EXPECT_EQ(d.value, d.want) << d.global;
  EXPECT_EQ(ubScopeCommentBuffer[0], '\0');
  ScopeDisplayMouseData(50, 0, 100);
  EXPECT_DOUBLE_EQ((host.doubles[{kInfo, TRACE_INFO_NUM_SPEED}]), 0.0);
}

}  // namespace
