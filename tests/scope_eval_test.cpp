// Cycle evaluation: the crossings, the bottom dead centre, the speed bands,
// the Quill's mirrored evaluations, the evaluate command and the panel.
#include <gtest/gtest.h>

#include <functional>

#include "app/PanelCallbacks.h"
#include "scope/ScopeEval.h"
#include "scope/ScopeTrace.h"
#include "sim/SimStroke.h"
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
  const std::vector<int> ramp = Ramp(1000, 5000);
  struct Case {
    const char* name;
    std::function<void(Stroke&)> change;
    bool p0417;
    int result;
    const char* message;
  };
  const Case cases[] = {
      {"band example", [](Stroke&) {}, false, 0, ""},
      {"P0417 time base", [](Stroke&) {}, true, 0, ""},
      {"first cycle 30", [](Stroke& s) { s.cycle = 30; }, false, 10, "Invalid evaluation data:\nInvalid cycle"},
      {"no cycle", [](Stroke& s) { s.cycle = 0; }, false, 10, "Invalid evaluation data:\nInvalid cycle"},
      {"crossing in the last frame", [](Stroke& s) { s.pos = {1000, 1000, 1000, 2000}; }, false, 1,
       "Invalid evaluation data:\nInvalid OT1 pos"},
      {"one frame", [](Stroke& s) { s.pos = {3000}; }, false, 1, "Invalid evaluation data:\nInvalid OT1 pos"},
      {"no return", [](Stroke& s) { s.pos.resize(26); }, false, 2, "Invalid evaluation data:\nInvalid OT2 pos"},
      {"shallow", [](Stroke& s) { s.pos = Ramp(1000, 1500); }, false, 3,
       "Invalid evaluation data:\nInvalid OT1 to OT2 pos"},
      {"band passed down in one frame", [](Stroke& s) { s.pos = {1000, 1000, 1100, 3500, 5000, 5000, 2500, 1500, 1000, 1000}; },
       false, 4, "Invalid evaluation data:\nInvalid OT1 to OT2 pos"},
      {"band passed up in one frame", [](Stroke& s) { s.pos = {1000, 1000, 1600, 2200, 2800, 3400, 5000, 3500, 1000, 1000}; },
       false, 6, "Invalid evaluation data:\nInvalid OT1 to OT2 pos"},
      {"sample code 0", [](Stroke& s) { s.sample = 0; }, false, 11, "Invalid evaluation data"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Stroke s{ramp};
    c.change(s);
    Load(scScope[0], s, false);
    ubMcFlag3 = c.p0417 ? MC_FLAG3_FW_P0417 : 0;
    host.popups.clear();
    host.plots.clear();
    ScopeEvaluateCommand();
    EXPECT_EQ(ScopeEvalData(scScope[0]), c.result);
    EXPECT_EQ(c.result ? Popup() : "", c.result ? std::string("Evaluation Error: ") + c.message : "");
    EXPECT_EQ(ubMcFlag1 & MC_FLAG1_EVALUATION_OPEN, c.result ? 0 : MC_FLAG1_EVALUATION_OPEN);
    if (c.result) continue;
    // Code 2 is 1 ms a frame, on the P0417 2 ms.
    const double T = c.p0417 ? 2 : 1;
    const ScopeEvalRecord& e = edScopeEvalData;
    EXPECT_EQ(e.swOt1Pos, 1250);
    EXPECT_EQ(e.swUtPos, 5000);
    EXPECT_EQ(e.swOt2Pos, 1000);
    EXPECT_DOUBLE_EQ(e.lfStartTime, 3 * T);
    EXPECT_DOUBLE_EQ(e.lfRunTime, 33 * T);
    EXPECT_EQ(e.sdSpeedDown, static_cast<int32_t>(2500 / T));
    EXPECT_EQ(e.sdSpeedUp, static_cast<int32_t>(2500 / T));
    EXPECT_DOUBLE_EQ(e.lfEventTime, 8 * T);
    EXPECT_EQ(e.swEventPos, 2500);
    // POS2 1000, POS5 4000: the band runs from 2000 to 3000; the first of
    // the equal maxima is the bottom.
    EXPECT_EQ(std::vector<int64_t>({Index(EVAL_NUM_IDX_START), Index(EVAL_NUM_IDX_DOWN_A), Index(EVAL_NUM_IDX_DOWN_B),
                                    Index(EVAL_NUM_IDX_UT), Index(EVAL_NUM_IDX_UP_A), Index(EVAL_NUM_IDX_UP_B),
                                    Index(EVAL_NUM_IDX_OT2), Index(EVAL_NUM_IDX_EVENT)}),
              std::vector<int64_t>({1, 6, 10, 18, 28, 32, 36, 8}));
    EXPECT_EQ(Marks(0x00FF00), std::vector<double>({3, 36, 3, 36}));  // command, then the direct call
    EXPECT_EQ(Marks(0x00FFFF).at(0), 18);
    EXPECT_EQ(Marks(0xFF0000).size(), 8u);
    EXPECT_EQ(Marks(0x008000).at(0), 8);
    EXPECT_EQ(host.doubles[(std::pair{kEval, int(EVAL_NUM_UT)})], 50.0);
    EXPECT_EQ(host.doubles[(std::pair{kEval, int(EVAL_NUM_POS5)})], 40.0);
    EXPECT_EQ(host.doubles[(std::pair{kEval, int(EVAL_NUM_RUN_TIME)})], 33 * T);
    EXPECT_EQ(host.ints[(std::pair{kEval, int(EVAL_NUM_SPEED_UP)})], e.sdSpeedUp);
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
}

TEST_F(ScopeEval, SelectionByTargetAndTrace) {
  struct Case {
    uint8_t flag3;
    uint16_t ramtype;
    bool secondTrace;
    uint16_t pos2After;  // the first trace's POS2 after the evaluation
  };
  // A Quill 0x80/0x81 trace takes POS2 from the motor position of frame 0;
  // the Quill's own evaluation and the standard one leave it.
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
  }
}

TEST_F(ScopeEval, QuillS01TwiceUsesTheDerivedReferences) {
  Load(scScope[0], Stroke{Ramp(1000, 5000)}, true);
  scScope[0].uwPos2 = scScope[0].uwPos5 = 0;
  ASSERT_EQ(ScopeQuillS01EvalData(scScope[0]), 0);
  EXPECT_EQ(edScopeEvalData.uwPos2, 0);
  EXPECT_EQ(scScope[0].uwPos2 * 10000 + scScope[0].uwPos5, 7000 * 10000 + 3000);
  ASSERT_EQ(ScopeQuillS01EvalData(scScope[0]), 0);
  EXPECT_EQ(edScopeEvalData.uwPos2 * 10000 + edScopeEvalData.uwPos5, 7000 * 10000 + 3000);
  // POS2 at 70, POS5 at 30 mm: the band of the mirrored stroke is 56.66 to 43.34 mm.
  EXPECT_EQ(edScopeEvalData.sdSpeedUp, 2500);
  EXPECT_EQ(Marks(0x00FFFF).at(0), 18);
  EXPECT_EQ(Marks(0x008000).at(0), 8);
}

TEST_F(ScopeEval, CloseTakesTheMarksAndThePanel) {
  ubMcFlag1 = MC_FLAG1_EVALUATION_OPEN;
  EVAL_CMD_EXIT_Callback(kEval, EVAL_CMD_EXIT, EVENT_COMMIT, nullptr, 0, 0);
  EXPECT_FALSE(ubMcFlag1 & MC_FLAG1_EVALUATION_OPEN);
  EXPECT_EQ(host.hidden, std::vector<int>{kEval});
}

// The simulator's stroke, evaluated: the crossings, the bottom and the speeds
// of the model within one frame.
TEST_F(ScopeEval, SimulatorStrokeMatchesItsModel) {
  const SimStrokeModel m = SimScopeTraceModel(SimScopeLayout::P0528, 0, false);
  const auto samples = SimStrokeGenerate(m, 1500, 1.0);
  ScopeTraceDesc& t = scScope[0];
  ASSERT_TRUE(ScopeFramesReplace(t, samples.size()));
  t.uwFrames = static_cast<uint16_t>(samples.size());
  t.uwSampleTime = 2;
  t.uwPos2 = static_cast<uint16_t>(m.top);
  t.uwPos5 = static_cast<uint16_t>(m.bottom);
  for (size_t i = 0; i < samples.size(); ++i) {
    t.pFrames[i].swRam = samples[i].ram;
    t.pFrames[i].uwMcState = samples[i].mcState;
    t.pFrames[i].uwDigOut = samples[i].digOut;
  }
  ASSERT_EQ(ScopeEvalData(t), 0);
  const double ot1 = SimStrokeTimeAt(m, m.top + 50, true);
  const ScopeEvalRecord& e = edScopeEvalData;
  EXPECT_NEAR(e.lfStartTime, ot1, 1.0);
  EXPECT_NEAR(Index(EVAL_NUM_IDX_UT), SimStrokeTimeAt(m, m.bottom, true), 1.0);
  EXPECT_NEAR(e.lfRunTime, SimStrokeTimeAt(m, m.top + 50, false) - ot1, 1.0);
  EXPECT_NEAR(e.lfEventTime, SimStrokeTimeAt(m, m.switchAt + 1, true), 1.0);
  EXPECT_NEAR(e.sdSpeedDown, m.speedDown, 2);
  EXPECT_NEAR(e.sdSpeedUp, m.speedUp, 2);
}

}  // namespace
