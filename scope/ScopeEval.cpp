#include "scope/ScopeEval.h"

#include <limits>

#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "scope/ScopeDisplay.h"
#include "scope/ScopeScale.h"
#include "scope/ScopeTrace.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

ScopeEvalRecord edScopeEvalData;

namespace {

constexpr int64_t kGreen = 0x00FF00;
constexpr int64_t kCyan = 0x00FFFF;
constexpr int64_t kRed = 0xFF0000;
constexpr int64_t kDarkGreen = 0x008000;

constexpr uint16_t kSwitchBit = 0x0040;       // digital output of the event
constexpr uint16_t kSwitchBitP0417 = 0x0008;
constexpr uint16_t kSwitchBitQuill = 0x0100;
constexpr size_t kQuillEventFrom = 5;         // the Quill's output settles in the first frames
constexpr int kTopMargin = 50;                // OT1/OT2: this far past POS2
constexpr int kQuillMirror = 8000;            // the Quill's positions are 8000 - x
constexpr size_t kNone = std::numeric_limits<size_t>::max();

enum class Kind { Standard, Quill, QuillS01 };

bool Basic(uint8_t cycle) { return cycle == 10 || cycle == 20; }
bool OtherCycle(uint8_t cycle) {
  return cycle == 21 || cycle == 30 || cycle == 40 || cycle == 50 || cycle == 60 || cycle == 70;
}

// One evaluation over the frames of a trace. The Quill's positions grow
// upward: with dir = -1 every comparison turns round, so one walk serves
// all three evaluations.
class Walk {
 public:
  Walk(const ScopeTraceDesc& t, Kind kind)
      : f_(t.pFrames),
        n_(t.pFrames ? (t.uwFrames < t.udCapacity ? t.uwFrames : t.udCapacity) : 0),
        dir_(kind == Kind::Standard ? 1 : -1),
        motor_(kind == Kind::QuillS01) {}

  size_t Frames() const { return n_; }
  const ScopeFrame& Frame(size_t i) const { return f_[i]; }
  int Raw(size_t i) const { return motor_ ? f_[i].swMotpos : f_[i].swRam; }
  // The position turned so that the stroke goes toward larger values.
  int Q(size_t i) const { return dir_ * Raw(i); }
  int Dir() const { return dir_; }

  // The first frame in from .. to where pred holds; the last frame of the
  // trace is never found, as the controller may not have finished it.
  template <class Pred>
  size_t First(size_t from, size_t to, Pred pred) const {
    for (size_t i = from; i <= to && i + 1 < n_; ++i)
      if (pred(i)) return i;
    return kNone;
  }

  void Mark(size_t i, int64_t colour) const {
    const int raw = Raw(i);
    const double mm = (dir_ > 0 ? raw : kQuillMirror - raw) / 100.0;
    PanelPlotPoint(uwMcScopePanelHandle, SCOPE_GRAPH, static_cast<double>(i), ScopePositionPlot(mm), colour);
    ScopeNoteMarks();
  }

 private:
  const ScopeFrame* f_;
  size_t n_;
  int dir_;
  bool motor_;
};

void ExpertIndex(int control, size_t frame) {
  if (ubMcFlag2 & MC_FLAG2_EXPERT_MODE) PanelSetInt(uwMcEvaluationPanelHandle, control, static_cast<int64_t>(frame));
}

// Mean speed in mm/s between frames from and to of turned positions.
int32_t Speed(int q0, int q1, size_t from, size_t to, double T) {
  return static_cast<int32_t>((q1 - q0) / (static_cast<double>(to - from) * T) * 10.0);
}

int Evaluate(ScopeTraceDesc& t, Kind kind) {
  ScopeEvalRecord& e = edScopeEvalData;
  e.uwPos2 = t.uwPos2;
  e.uwPos5 = t.uwPos5;
  const Walk w(t, kind);
  const size_t n = w.Frames();
  if (n < 2) return SCOPE_EVAL_NO_OT1;
  if (t.uwSampleTime == 0) return SCOPE_EVAL_NO_SAMPLE_TIME;
  const bool p0417 = ubMcFlag3 & MC_FLAG3_FW_P0417;
  const double T = p0417 ? t.uwSampleTime : t.uwSampleTime * 0.5;
  const size_t last = n - 1;

  size_t s = 0;
  if (kind == Kind::Standard) {
    s = w.First(0, last, [&](size_t i) {
      const uint8_t c = w.Frame(i).uwMcState >> 8;
      return Basic(c) || OtherCycle(c);
    });
    // No cycle at all is no basic stroke either.
    if (s == kNone || !Basic(w.Frame(s).uwMcState >> 8)) return SCOPE_EVAL_BAD_CYCLE;
  } else if (kind == Kind::QuillS01) {
    t.uwPos2 = static_cast<uint16_t>(w.Frame(0).swMotpos);
  }
  // Reference positions as signed hundredths, turned like the positions.
  const int pos2 = w.Dir() * static_cast<int16_t>(t.uwPos2);

  const size_t ot1 = w.First(s, last, [&](size_t i) { return w.Q(i) >= pos2 + kTopMargin; });
  if (ot1 == kNone) return SCOPE_EVAL_NO_OT1;
  e.swOt1Pos = static_cast<int16_t>(w.Raw(ot1));
  e.lfStartTime = ot1 * T;
  w.Mark(ot1, kGreen);

  size_t event = kNone;
  if (kind == Kind::Standard) {
    const uint16_t bit = p0417 ? kSwitchBitP0417 : kSwitchBit;
    event = w.First(s, last, [&](size_t i) { return w.Q(i) >= pos2 + kTopMargin && (w.Frame(i).uwDigOut & bit); });
  } else if (!p0417) {
    event = w.First(kQuillEventFrom, last, [&](size_t i) { return (w.Frame(i).uwDigOut & kSwitchBitQuill) != 0; });
  }
  if (event != kNone) {
    e.lfEventTime = event * T;
    e.swEventPos = static_cast<int16_t>(w.Raw(event));
  }

  // Bottom dead centre: the earliest of equal extremes.
  size_t m = s;
  for (size_t i = s + 1; i < n; ++i)
    if (w.Q(i) > w.Q(m)) m = i;
  e.swUtPos = static_cast<int16_t>(w.Raw(m));
  w.Mark(m, kCyan);
  if (kind == Kind::QuillS01) t.uwPos5 = static_cast<uint16_t>(w.Raw(m));

  const size_t ot2 = w.First(m, last, [&](size_t i) { return w.Q(i) <= pos2 + kTopMargin; });
  if (ot2 == kNone) return SCOPE_EVAL_NO_OT2;
  e.swOt2Pos = static_cast<int16_t>(w.Raw(ot2));
  e.lfRunTime = ot2 * T - e.lfStartTime;
  w.Mark(ot2, kGreen);

  // The middle third of the working travel.
  const int d = w.Dir() * (static_cast<int16_t>(t.uwPos5) - static_cast<int16_t>(t.uwPos2));
  const int lo = d / 2 - d / 6;
  const int hi = d / 2 + d / 6;

  const size_t a = w.First(s, m, [&](size_t i) { return w.Q(i) >= pos2 + lo; });
  if (a == kNone) return SCOPE_EVAL_NO_DOWN_A;
  const size_t b = w.First(a, m, [&](size_t i) { return w.Q(i) >= pos2 + hi; });
  // b = a: the band passed within one frame, no time to divide by.
  if (b == kNone || b == a) return SCOPE_EVAL_NO_DOWN_B;
  e.sdSpeedDown = Speed(w.Q(a), w.Q(b), a, b, T);
  w.Mark(a, kRed);
  w.Mark(b, kRed);
  ExpertIndex(EVAL_NUM_IDX_DOWN_A, a);
  ExpertIndex(EVAL_NUM_IDX_DOWN_B, b);

  const size_t up = w.First(m, last, [&](size_t i) { return w.Q(i) <= pos2 + hi; });
  if (up == kNone) return SCOPE_EVAL_NO_UP_A;
  const size_t up2 = w.First(up, last, [&](size_t i) { return w.Q(i) <= pos2 + lo; });
  if (up2 == kNone || up2 == up) return SCOPE_EVAL_NO_UP_B;
  e.sdSpeedUp = Speed(w.Q(up2), w.Q(up), up, up2, T);
  w.Mark(up, kRed);
  w.Mark(up2, kRed);
  if (event != kNone) w.Mark(event, kDarkGreen);
  ExpertIndex(EVAL_NUM_IDX_UP_A, up);
  ExpertIndex(EVAL_NUM_IDX_UP_B, up2);
  ExpertIndex(EVAL_NUM_IDX_EVENT, event == kNone ? 0 : event);
  ExpertIndex(EVAL_NUM_IDX_START, s);
  ExpertIndex(EVAL_NUM_IDX_UT, m);
  ExpertIndex(EVAL_NUM_IDX_OT2, ot2);
  return SCOPE_EVAL_OK;
}

void FillPanel() {
  const int panel = uwMcEvaluationPanelHandle;
  const ScopeEvalRecord& e = edScopeEvalData;
  PanelSetInt(panel, EVAL_NUM_SPEED_UP, e.sdSpeedUp);
  PanelSetInt(panel, EVAL_NUM_SPEED_DOWN, e.sdSpeedDown);
  PanelSetDouble(panel, EVAL_NUM_UT, e.swUtPos / 100.0);
  PanelSetDouble(panel, EVAL_NUM_OT2, e.swOt2Pos / 100.0);
  PanelSetDouble(panel, EVAL_NUM_OT1, e.swOt1Pos / 100.0);
  PanelSetDouble(panel, EVAL_NUM_POS2, static_cast<int16_t>(e.uwPos2) / 100.0);
  PanelSetDouble(panel, EVAL_NUM_POS5, static_cast<int16_t>(e.uwPos5) / 100.0);
  PanelSetDouble(panel, EVAL_NUM_RUN_TIME, e.lfRunTime);
  PanelSetDouble(panel, EVAL_NUM_START_TIME, e.lfStartTime);
  if (ubMcFlag2 & MC_FLAG2_EXPERT_MODE) {
    PanelSetDouble(panel, EVAL_NUM_EVENT_TIME, e.lfEventTime);
    PanelSetDouble(panel, EVAL_NUM_EVENT_POS, e.swEventPos / 100.0);
  }
  PanelDisplay(panel);
}

}  // namespace

int ScopeEvalData(ScopeTraceDesc& trace) { return Evaluate(trace, Kind::Standard); }
int ScopeQuillEvalData(ScopeTraceDesc& trace) { return Evaluate(trace, Kind::Quill); }
int ScopeQuillS01EvalData(ScopeTraceDesc& trace) { return Evaluate(trace, Kind::QuillS01); }

const char* ScopeEvalMessage(int result) {
  switch (result) {
    case SCOPE_EVAL_OK: return "";
    case SCOPE_EVAL_NO_OT1: return "Invalid evaluation data:\nInvalid OT1 pos";
    case SCOPE_EVAL_NO_OT2: return "Invalid evaluation data:\nInvalid OT2 pos";
    case SCOPE_EVAL_NO_DOWN_A:
    case SCOPE_EVAL_NO_DOWN_B:
    case SCOPE_EVAL_NO_UP_A:
    case SCOPE_EVAL_NO_UP_B: return "Invalid evaluation data:\nInvalid OT1 to OT2 pos";
    case SCOPE_EVAL_BAD_CYCLE: return "Invalid evaluation data:\nInvalid cycle";
    default: return "Invalid evaluation data";
  }
}

void ScopeEvaluateCommand() {
  constexpr const char* kTitle = "Evaluation Error";
  if (!(ubMcFlag2 & MC_FLAG2_TRACE_PRESENT)) {
    PanelMessagePopup(kTitle, "Invalid evaluation data:\nNo data avaliable");
    return;
  }
  // The marks of an earlier evaluation go before new ones are drawn.
  if (ubMcFlag1 & MC_FLAG1_EVALUATION_OPEN) ScopeTraceDisplay(0);
  int result;
  if (ubMcFlag3 & MC_FLAG3_FW_QUILL)
    result = (uwScopeRamtype == 0x80 || uwScopeRamtype == 0x81) ? ScopeQuillS01EvalData(scScope[0])
                                                                : ScopeQuillEvalData(scScope[0]);
  else
    result = ScopeEvalData(scScope[(ubScopeFlag & SCOPE_FLAG_SECOND_TRACE) ? 1 : 0]);
  if (result == SCOPE_EVAL_OK) {
    ubMcFlag1 |= MC_FLAG1_EVALUATION_OPEN;
    FillPanel();
    return;
  }
  if (ubMcFlag1 & MC_FLAG1_EVALUATION_OPEN) {
    PanelHide(uwMcEvaluationPanelHandle);
    ubMcFlag1 &= static_cast<uint8_t>(~MC_FLAG1_EVALUATION_OPEN);
  }
  PanelMessagePopup(kTitle, ScopeEvalMessage(result));
}
