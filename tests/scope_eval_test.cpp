// Cycle evaluation: the crossings, the bottom dead centre, the speed bands,
// the Quill's mirrored evaluations, the evaluate command and the panel.
#include <gtest/gtest.h>

#include <functional>

#include "app/PanelCallbacks.h"
#include "scope/ScopeEval.h"
#include "scope/ScopeTrace.h"
#include "support/EngineFixture.h"

namespace {

constexpr int kScope = 3, kEval = 5;

// Idle at `top` for three frames, down in steps of 250 to `bottom`, `dwell`
// frames there, back up likewise, three frames idle.
std::vector<int> Ramp(int top, int bottom, int dwell = 2) {
  std::vector<int> p(3, top);
  for (int v = top + 250; v < bottom; v += 250) p.push_back(v);
  p.insert(p.end(), dwell + 1, bottom);
  for (int v = bottom - 250; v > top; v -= 250) p.push_back(v);
  p.insert(p.end(), 3, top);
  return p;
}

struct Stroke {
  std::vector<int> pos;  // standard positions; a Quill trace holds 8000 - pos
  uint8_t cycle = 10;    // from frame 1 on
  uint16_t sample = 2;
  uint16_t pos2 = 1000, pos5 = 4000;
  size_t switchFrom = 8;  // switch output on from this frame
};

void Load(ScopeTraceDesc& t, const Stroke& s, bool quill) {
  ASSERT_TRUE(ScopeFramesReplace(t, s.pos.size()));
  t.uwFrames = static_cast<uint16_t>(s.pos.size());
  t.uwSampleTime = s.sample;
  t.uwPos2 = quill ? 8000 - s.pos2 : s.pos2;
  t.uwPos5 = quill ? 8000 - s.pos5 : s.pos5;
  for (size_t i = 0; i < s.pos.size(); ++i) {
    ScopeFrame& f = t.pFrames[i];
    f.swRam = f.swMotpos = static_cast<int16_t>(quill ? 8000 - s.pos[i] : s.pos[i]);
    f.uwMcState = static_cast<uint16_t>(i > 0 ? s.cycle << 8 : 0);
    f.uwDigOut = i >= s.switchFrom ? 0x0148 : 0;  // the bits of all variants
  }
}

class ScopeEval : public EngineFixture {
 protected:
  void SetUp() override {
    EngineFixture::SetUp();
    uwMcScopePanelHandle = kScope;
    uwMcEvaluationPanelHandle = kEval;
    ubScopeFlag = 0;
    uwScopeRamtype = 0x30;
    ubMcFlag2 = MC_FLAG2_TRACE_PRESENT | MC_FLAG2_EXPERT_MODE;
    edScopeEvalData = {};
  }
  void TearDown() override {
    ScopeTraceFree();
    EngineFixture::TearDown();
  }
  int64_t Index(int control) { return host.ints[{kEval, control}]; }
  // Frames marked in a colour, in drawing order.
  std::vector<double> Marks(int64_t colour) {
    std::vector<double> x;
    for (const GraphItem& g : host.plots[{kScope, SCOPE_GRAPH}])
      if (g.kind == GraphItem::Point && g.colour == colour) x.push_back(g.x1);
    return x;
  }
  std::string Popup() { return host.popups.empty() ? "" : host.popups.back(); }
};

TEST_F(ScopeEval, ResultsAndMessagesOfTheStandardEvaluation) {
  const std::string band = "Invalid evaluation data:\nInvalid OT1 to OT2 pos";
  struct Case {
    std::function<void(Stroke&)> change;
    bool p0417;
    int result;
    std::string message;
  };
  const Case cases[] = {
      {[](Stroke&) {}, false, 0, ""},
      {[](Stroke&) {}, true, 0, ""},
      {[](Stroke& s) { s.cycle = 30; }, false, 10, "Invalid evaluation data:\nInvalid cycle"},
      {[](Stroke& s) { s.cycle = 0; }, false, 10, "Invalid evaluation data:\nInvalid cycle"},
      {[](Stroke& s) { s.pos = {1000, 1000, 1000, 2000}; }, false, 1, "Invalid evaluation data:\nInvalid OT1 pos"},
      {[](Stroke& s) { s.pos = {3000}; }, false, 1, "Invalid evaluation data:\nInvalid OT1 pos"},
      {[](Stroke& s) { s.pos.resize(26); }, false, 2, "Invalid evaluation data:\nInvalid OT2 pos"},
      {[](Stroke& s) { s.pos = Ramp(1000, 1500); }, false, 3, band},
      // The band passed within one frame, down and up.
      {[](Stroke& s) { s.pos = {1000, 1000, 1100, 3500, 5000, 5000, 2500, 1500, 1000, 1000}; }, false, 4, band},
      {[](Stroke& s) { s.pos = {1000, 1000, 1600, 2200, 2800, 3400, 5000, 3500, 1000, 1000}; }, false, 6, band},
      {[](Stroke& s) { s.sample = 0; }, false, 11, "Invalid evaluation data"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.result);
    Stroke s{Ramp(1000, 5000)};
    c.change(s);
    Load(scScope[0], s, false);
    ubMcFlag3 = c.p0417 ? MC_FLAG3_FW_P0417 : 0;
    host.popups.clear();
    host.plots.clear();
    ScopeEvaluateCommand();
    EXPECT_EQ(Popup(), c.result ? "Evaluation Error: " + c.message : "");
    EXPECT_EQ(ubMcFlag1 & MC_FLAG1_EVALUATION_OPEN, c.result ? 0 : MC_FLAG1_EVALUATION_OPEN);
    if (c.result) continue;
    // Code 2 is 1 ms a frame, on the P0417 2 ms.
    const double T = c.p0417 ? 2 : 1;
    const ScopeEvalRecord& e = edScopeEvalData;
    EXPECT_EQ(std::vector<double>({double(e.swOt1Pos), double(e.swUtPos), double(e.swOt2Pos), e.lfStartTime,
                                   e.lfRunTime, double(e.sdSpeedDown), double(e.sdSpeedUp), e.lfEventTime,
                                   double(e.swEventPos)}),
              std::vector<double>({1250, 5000, 1000, 3 * T, 33 * T, 2500 / T, 2500 / T, 8 * T, 2500}));
    // POS2 1000, POS5 4000: the band runs from 2000 to 3000; the first of
    // the equal maxima is the bottom.
    std::vector<int64_t> indices;
    for (int control = EVAL_NUM_IDX_START; control <= EVAL_NUM_IDX_EVENT; ++control) indices.push_back(Index(control));
    EXPECT_EQ(indices, std::vector<int64_t>({1, 18, 36, 6, 10, 28, 32, 8}));
    EXPECT_EQ(Marks(0x00FF00), std::vector<double>({3, 36}));
    EXPECT_EQ(Marks(0x00FFFF), std::vector<double>({18}));
    EXPECT_EQ(Marks(0xFF0000), std::vector<double>({6, 10, 28, 32}));
    EXPECT_EQ(Marks(0x008000), std::vector<double>({8}));
    EXPECT_EQ(host.doubles[(std::pair{kEval, int(EVAL_NUM_POS5)})], 40.0);
    EXPECT_EQ(host.doubles[(std::pair{kEval, int(EVAL_NUM_RUN_TIME)})], 33 * T);
  }
}

TEST_F(ScopeEval, NoEventNoMarkAndAFailureClosesThePanel) {
  Stroke s{Ramp(1000, 5000)};
  s.switchFrom = 1000;
  Load(scScope[0], s, false);
  ScopeEvaluateCommand();
  EXPECT_TRUE(Marks(0x008000).empty());
  EXPECT_EQ(Index(EVAL_NUM_IDX_EVENT), 0);
  ASSERT_TRUE(ubMcFlag1 & MC_FLAG1_EVALUATION_OPEN);

  scScope[0].uwFrames = 20;  // the ram no longer comes back
  ScopeEvaluateCommand();
  EXPECT_FALSE(ubMcFlag1 & MC_FLAG1_EVALUATION_OPEN);
  EXPECT_EQ(host.hidden, std::vector<int>{kEval});
  EXPECT_EQ(Popup(), "Evaluation Error: Invalid evaluation data:\nInvalid OT2 pos");

  ubMcFlag2 = 0;
  ScopeEvaluateCommand();
  EXPECT_EQ(Popup(), "Evaluation Error: Invalid evaluation data:\nNo data avaliable");

  ubMcFlag1 = MC_FLAG1_EVALUATION_OPEN;
  EVAL_CMD_EXIT_Callback(kEval, EVAL_CMD_EXIT, EVENT_COMMIT, nullptr, 0, 0);
  EXPECT_FALSE(ubMcFlag1 & MC_FLAG1_EVALUATION_OPEN);
  EXPECT_EQ(host.hidden, std::vector<int>({kEval, kEval}));
}

TEST_F(ScopeEval, SelectionByTargetAndTrace) {
  struct Case {
    uint8_t flag3;
    uint16_t ramtype;
    bool secondTrace;
    uint16_t pos2After;  // the first trace's POS2 after the evaluation
  };
  // A Quill 0x80/0x81 trace takes POS2 and POS5 from the motor position of
  // frame 0 and of the bottom; the Quill's own evaluation and the standard
  // one leave them.
  for (const Case& c : {Case{MC_FLAG3_FW_QUILL, 0x80, false, 7000}, Case{MC_FLAG3_FW_QUILL, 0x81, false, 7000},
                        Case{MC_FLAG3_FW_QUILL, 0x85, false, 7040}, Case{0, 0x30, true, 1000}}) {
    SCOPED_TRACE(c.ramtype);
    Stroke s{Ramp(1000, 5000)};
    s.pos2 = 960;
    Load(scScope[0], s, c.flag3);
    if (!c.flag3) {
      scScope[0].uwFrames = 0;
      scScope[0].uwPos2 = 1000;
      Load(scScope[1], Stroke{Ramp(1000, 5000)}, false);
    }
    ubMcFlag3 = c.flag3;
    uwScopeRamtype = c.ramtype;
    ubScopeFlag = c.secondTrace ? SCOPE_FLAG_SECOND_TRACE : 0;
    host.popups.clear();
    ScopeEvaluateCommand();
    EXPECT_EQ(Popup(), "");
    EXPECT_EQ(scScope[0].uwPos2, c.pos2After);
    EXPECT_EQ(edScopeEvalData.sdSpeedDown, 2500);
    EXPECT_EQ(edScopeEvalData.swUtPos, c.flag3 ? 3000 : 5000);
    // Once more: the record shows the references the first run derived.
    ScopeEvaluateCommand();
    EXPECT_EQ(edScopeEvalData.uwPos2 * 10000 + edScopeEvalData.uwPos5, c.pos2After * 10000 + (c.pos2After == 7000 ? 3000 : 4000));
    EXPECT_EQ(Marks(0x008000).back(), 8);
  }
}

// Frames from a damaged file or a faulty controller: any values give a
// result code and marks inside the trace, never a read beyond it.
TEST_F(ScopeEval, AnyFramesGiveAResult) {
  uint32_t seed = 12345;
  const auto next = [&] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
  for (int round = 0; round < 300; ++round) {
    ScopeTraceDesc& t = scScope[0];
    const size_t n = next() % 64;
    ASSERT_TRUE(ScopeFramesReplace(t, n));
    for (size_t i = 0; i < n; ++i) {
      uint8_t* bytes = reinterpret_cast<uint8_t*>(&t.pFrames[i]);
      for (size_t k = 0; k < sizeof(ScopeFrame); ++k) bytes[k] = static_cast<uint8_t>(next());
    }
    // More frames claimed than held, now and then.
    t.uwFrames = static_cast<uint16_t>(round % 7 ? n : n + 100);
    t.uwSampleTime = static_cast<uint16_t>(next() % 3);
    t.uwPos2 = static_cast<uint16_t>(next());
    t.uwPos5 = static_cast<uint16_t>(next());
    ubMcFlag3 = static_cast<uint8_t>(next()) & (MC_FLAG3_FW_QUILL | MC_FLAG3_FW_P0417);
    uwScopeRamtype = static_cast<uint16_t>(0x7F + next() % 4);
    host.plots.clear();
    host.popups.clear();
    ScopeEvaluateCommand();
    EXPECT_TRUE(host.popups.empty() || host.popups.back().rfind("Evaluation Error: Invalid evaluation data", 0) == 0);
    for (const GraphItem& g : host.plots[{kScope, SCOPE_GRAPH}]) {
      if (g.kind == GraphItem::Point) {
        EXPECT_LT(g.x1, static_cast<double>(n));
      }
    }
  }
}

}  // namespace
