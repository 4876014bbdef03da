#include "scope/ScopeDisplay.h"

#include <cmath>
#include <cstdio>

#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "scope/scope.h"
#include "scope/ScopeAxes.h"
#include "scope/ScopeNames.h"
#include "scope/ScopeScale.h"
#include "scope/ScopeTrace.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

namespace {

// Evaluation marks are on the analog graph since it was last drawn.
bool marksShown = false;

constexpr int64_t kRed = 0xFF0000, kBlue = 0x0000FF, kDarkGreen = 0x008000, kMagenta = 0xFF00FF, kCyan = 0x00FFFF,
                  kGreen = 0x00FF00, kBlack = 0;
constexpr int kLanes = 13;
constexpr double kCursorTop = 1200;

struct LaneBit {
  bool out;  // DigOut (else DigIn); pos: the position word
  bool pos;
  uint16_t mask;
};
constexpr LaneBit In(uint16_t m) { return {false, false, m}; }
constexpr LaneBit Out(uint16_t m) { return {true, false, m}; }
constexpr LaneBit Pos(uint16_t m) { return {false, true, m}; }

// Lanes 0..12 per map; lanes 4 and 12 of the P0528 maps depend on the ram-type
// group and are chosen in LaneOf. P0417 lanes 4 and 6 both show DigIn 0x0002,
// as the controller's lane map has it.
constexpr LaneBit kMaps[4][kLanes] = {
    {Out(4), Out(2), Out(0x40), Out(1), In(0x10), In(0x1000), In(4), In(0x80), In(0x40), In(0x20), Out(0x10), Out(0x20),
     In(8)},
    {Out(4), Out(2), Out(0x40), Out(1), In(0x400), In(0x1000), In(4), Pos(4), Pos(2), Pos(1), Out(0x10), Pos(8),
     In(0x200)},
    {In(4), In(8), In(0x40), In(0x80), In(0x100), In(0x200), In(0x400), In(0x800), In(0x1000), Out(1), Out(2), Out(4),
     Out(0x100)},
    {Out(2), Out(1), Out(8), Out(4), In(2), In(1), In(2), In(8), In(4), In(0x40), In(0x20), Out(0x10), In(0x80)},
};

uint16_t Group() { return uwScopeRamtype & 0xF0; }
bool Expert() { return ubMcFlag4 & MC_FLAG4_EXPERT_MODE; }
bool DownHpGroup() { return Group() == 0x30 || Group() == 0x90 || Group() == 0xB0; }

LaneBit LaneOf(ScopeLaneMap map, int lane) {
  if (map == ScopeLaneMap::P0528 && lane == 12 && Expert() && DownHpGroup()) return Out(0x100);
  if (map == ScopeLaneMap::P0528Alt && Group() != 0) {
    if (lane == 4) return Out(0x100);
    if (lane == 12) return Pos(0x10);
  }
  return kMaps[static_cast<int>(map)][lane];
}

// Captions of the lanes that change with the ram-type group.
void LaneCaptions(ScopeLaneMap map) {
  if (map == ScopeLaneMap::P0528) {
    const bool downHp = Expert() && DownHpGroup();
    PanelSetString(uwMcScopePanelHandle, SCOPE_TXT_LANE_0 + 12, downHp ? "  O:DOWN_HP" : "      I:REQ");
  } else if (map == ScopeLaneMap::P0528Alt) {
    const bool group0 = Group() == 0;
    PanelSetString(uwMcScopePanelHandle, SCOPE_TXT_LANE_0 + 4, group0 ? "  I:JOG_NEG" : "  O:DOWN_HP");
    PanelSetString(uwMcScopePanelHandle, SCOPE_TXT_LANE_0 + 12, group0 ? "  I:JOG_POS" : "O:SEEK_FAST");
  }
}

size_t Frames(const ScopeTraceDesc& t) {
  if (!t.pFrames) return 0;
  return t.uwFrames < t.udCapacity ? t.uwFrames : t.udCapacity;
}

void ShowSampleTime(double ms) { PanelSetDouble(uwMcScopePanelHandle, SCOPE_NUM_SAMPLE_TIME, ms); }

void Backtrace(const ScopeTraceDesc& t) {
  ShowSampleTime(t.uwSampleTime * 0.5);
  ScopeClear();
  ScopePlotMessage("Backtrace is running ...");
  if (ubMcFlag5 & MC_FLAG5_STATUS1_BIT19)
    PanelPlotText(uwMcScopePanelHandle, SCOPE_GRAPH, 20, 60,
                  "USB memory is active. Backtrace data are saved on the USB memory", kBlue, 15, false, GRAPH_AXIS_LEFT,
                  "NORL");
  McycleSetTriggerRing(t.udStatus);
}

// Four red bands of the position word's bits 0x100..0x800 (alternative
// group): a top line over each run, edges where the bit changes.
void StatusBands(const ScopeFrame* frames, size_t n) {
  struct Band {
    uint16_t bit;
    double bottom, top;
  } const kBands[] = {{0x100, 90, 98}, {0x200, 80, 88}, {0x400, 70, 78}, {0x800, 110, 118}};
  uint8_t edges = 0;
  for (int b = 0; b < 4; ++b) {
    const Band& band = kBands[b];
    for (const ScopeRun& r : ScopeBandRuns(frames, n, band.bit)) {
      const double end = static_cast<double>(r.last + 1 < n ? r.last + 1 : r.last);
      PanelPlotLine(uwMcScopePanelHandle, SCOPE_GRAPH_DIGITAL, static_cast<double>(r.first), band.top, end, band.top,
                    kRed);
      if (r.first > 0)
        PanelPlotLine(uwMcScopePanelHandle, SCOPE_GRAPH_DIGITAL, static_cast<double>(r.first), band.bottom,
                      static_cast<double>(r.first), band.top, kRed);
      if (r.last + 1 < n)
        PanelPlotLine(uwMcScopePanelHandle, SCOPE_GRAPH_DIGITAL, end, band.top, end, band.bottom, kRed);
    }
    if (n > 0 && (static_cast<uint16_t>(frames[n - 1].swPosWord) & band.bit)) edges |= static_cast<uint8_t>(0x04 << b);
  }
  // The edge memories hold the last frame's state of the four bits.
  ubScopeFlag = static_cast<uint8_t>((ubScopeFlag & ~0x3C) | edges);
}

void Lanes(const ScopeFrame* frames, size_t n) {
  PanelDeleteGraphPlot(uwMcScopePanelHandle, SCOPE_GRAPH_DIGITAL, -1);
  const ScopeLaneMap map = ScopeSelectLaneMap();
  LaneCaptions(map);
  std::vector<double> lane(n);
  for (int k = 0; k < kLanes; ++k) {
    for (size_t i = 0; i < n; ++i) lane[i] = ScopeLaneLevel(map, k, ScopeLaneSet(frames[i], map, k));
    PanelPlotWaveform(uwMcScopePanelHandle, SCOPE_GRAPH_DIGITAL, lane.data(), n, 0, 1, kBlack);
  }
  if (map == ScopeLaneMap::P0528Alt) StatusBands(frames, n);
}

}  // namespace

ScopeLaneMap ScopeSelectLaneMap() {
  if (ubScopeFlag & SCOPE_FLAG_P0417_TRACE) return ScopeLaneMap::P0417;
  if (ubMcFlag3 & MC_FLAG3_FW_QUILL) return ScopeLaneMap::Quill;
  if (Expert() && (ubMcFlag4 & MC_FLAG4_ALT_DIGITAL_CAPTIONS)) return ScopeLaneMap::P0528Alt;
  return ScopeLaneMap::P0528;
}

bool ScopeLaneSet(const ScopeFrame& f, ScopeLaneMap map, int lane) {
  const LaneBit b = LaneOf(map, lane);
  const uint16_t word = b.pos ? static_cast<uint16_t>(f.swPosWord) : b.out ? f.uwDigOut : f.uwDigIn;
  return word & b.mask;
}

double ScopeLaneLevel(ScopeLaneMap map, int lane, bool set) {
  if (!set) return 10.0 * lane;
  if (lane == 7) return (map == ScopeLaneMap::P0528 || map == ScopeLaneMap::Quill) ? 75 : 76;
  return 10.0 * lane + 6;
}

const ScopeTraceDesc& ScopeSelectedTrace() {
  const bool second = (ubScopeFlag & SCOPE_FLAG_SECOND_TRACE) && ubScopeNumOfTraces == 2;
  return scScope[second ? 1 : 0];
}

double ScopeSamplePeriod(const ScopeTraceDesc& t) {
  return (ubScopeFlag & SCOPE_FLAG_P0417_TRACE) ? t.uwSampleTime : t.uwSampleTime * 0.5;
}

void ScopeFramePositions(const ScopeFrame& f, double& motor, double& ram, double& cmd, bool& hasCmd) {
  hasCmd = !(ubScopeFlag & SCOPE_FLAG_P0417_TRACE);
  if (!hasCmd) {
    motor = f.swCmdpos / 100.0;  // the stepper position
    ram = f.swRam / 100.0;
    cmd = 0;
    return;
  }
  const bool mirrored = ubMcFlag3 & MC_FLAG3_FW_QUILL;
  auto at = [mirrored](int16_t raw) { return mirrored ? (8000 - raw) / 100.0 : raw / 100.0; };
  motor = at(f.swMotpos);
  ram = at(f.swRam);
  cmd = at(f.swCmdpos);
}

double ScopeAnalogPercent(uint16_t raw) {
  double offset = 191, factor = 100.0 / 765;
  if (ubMcFlag3 & MC_FLAG3_FW_QUILL) {
    if (!(ubMcFlag5 & MC_FLAG5_QUILL_TWO_TRACES)) offset = 819, factor = 100.0 / 3276;
  } else if (ubScopeFlag & SCOPE_FLAG_P0417_TRACE) {
    offset = 0, factor = 100.0 / 1024;
  }
  return (raw - offset) * factor;
}

std::vector<ScopeRun> ScopeBandRuns(const ScopeFrame* frames, size_t n, uint16_t bit) {
  std::vector<ScopeRun> runs;
  for (size_t i = 0; i < n; ++i) {
    if (!(static_cast<uint16_t>(frames[i].swPosWord) & bit)) continue;
    if (!runs.empty() && runs.back().last + 1 == i) runs.back().last = i;
    else runs.push_back({i, i});
  }
  return runs;
}

void ScopeClear() {
  PanelDeleteGraphPlot(uwMcScopePanelHandle, SCOPE_GRAPH, -1);
  PanelDeleteGraphPlot(uwMcScopePanelHandle, SCOPE_GRAPH_DIGITAL, -1);
  ShowSampleTime(0.0);
  PanelSetString(uwMcScopePanelHandle, SCOPE_TXT_RAMTYPE, "");
  PanelSetString(uwMcScopePanelHandle, SCOPE_TXT_MCYCLE, "");
}

void ScopePlotMessage(const char* text) {
  PanelPlotText(uwMcScopePanelHandle, SCOPE_GRAPH, 20, 50, text, kRed, 20, true, GRAPH_AXIS_LEFT, "NORL");
}

void ScopeFrameRange(double period, double& first, double& last) {
  const double T = period > 0 ? period : 1;
  first = lfScopeXzero / T;
  last = first + SCOPE_TIME_DIVISIONS * lfScopeXgain / T;
}

void ScopeTraceDisplay(int analogOnly) {
  if (!(ubMcFlag2 & MC_FLAG2_TRACE_PRESENT)) return;
  const ScopeTraceDesc& t = ScopeSelectedTrace();
  if (&t == &scScope[1] && (ubMcFlag4 & MC_FLAG4_SECOND_TRACE_SKIPPED)) return Backtrace(t);
  McycleSetTriggerRing(t.udStatus);
  const size_t n = Frames(t);
  const ScopeFrame* frames = t.pFrames;

  ScopeCalcXscale();
  // A sample-time code of 0 (a damaged file) has no time base: frame index.
  const double period = ScopeSamplePeriod(t);
  ShowSampleTime(period);
  double x0, x1;
  ScopeFrameRange(period, x0, x1);
  PanelSetAxisRange(uwMcScopePanelHandle, SCOPE_GRAPH, GRAPH_AXIS_X, x0, x1);
  PanelSetAxisRange(uwMcScopePanelHandle, SCOPE_GRAPH_DIGITAL, GRAPH_AXIS_X, x0, x1);
  PanelSetAxisRange(uwMcScopePanelHandle, SCOPE_GRAPH, GRAPH_AXIS_LEFT, 0, 100);
  PanelSetAxisRange(uwMcScopePanelHandle, SCOPE_GRAPH_DIGITAL, GRAPH_AXIS_LEFT, 0, 130);
  PanelDeleteGraphPlot(uwMcScopePanelHandle, SCOPE_GRAPH, -1);
  marksShown = false;
  // Fewer than two frames make no curve: an empty graph.
  if (n < 2) {
    if (!analogOnly) PanelDeleteGraphPlot(uwMcScopePanelHandle, SCOPE_GRAPH_DIGITAL, -1);
    return;
  }

  ScopeCalcYscale();
  ScopeCalcYscaleAna();
  std::vector<double> motor(n), ram(n), cmd(n), ana[4];
  bool hasCmd = true;
  for (size_t i = 0; i < n; ++i) {
    double m, r, c;
    ScopeFramePositions(frames[i], m, r, c, hasCmd);
    motor[i] = ScopePositionPlot(m);
    ram[i] = ScopePositionPlot(r);
    cmd[i] = ScopePositionPlot(c);
  }
  const bool p0417 = ubScopeFlag & SCOPE_FLAG_P0417_TRACE;
  const bool bw = ubScopeFlag & SCOPE_FLAG_DISPLAY_B;
  auto colour = [bw](int64_t c) { return bw ? kBlack : c; };
  const bool expertPlots = Expert() && !(ubMcFlag4 & MC_FLAG4_ALT_DIGITAL_CAPTIONS);
  const int id = uwMcScopePanelHandle;
  if (expertPlots) PanelPlotWaveform(id, SCOPE_GRAPH, motor.data(), n, 0, 1, colour(kRed));
  PanelPlotWaveform(id, SCOPE_GRAPH, ram.data(), n, 0, 1, colour(kBlue));
  if (expertPlots && hasCmd) PanelPlotWaveform(id, SCOPE_GRAPH, cmd.data(), n, 0, 1, colour(kDarkGreen));
  if (ubMcFlag3 & MC_FLAG3_ANALOG_SHOWN) {
    const int64_t kAnaColours[4] = {kMagenta, kCyan, kGreen, kBlack};
    PanelSetAxisRange(id, SCOPE_GRAPH, GRAPH_AXIS_RIGHT, 0, 100);
    for (int a = 0; a < (p0417 ? 1 : 4); ++a) {
      ana[a].resize(n);
      for (size_t i = 0; i < n; ++i) {
        const uint16_t raw[4] = {frames[i].uwAna0, frames[i].uwAna1, frames[i].uwAna2, frames[i].uwAna3};
        ana[a][i] = ScopeAnalogPlot(ScopeAnalogPercent(raw[a]));
      }
      PanelPlotWaveform(id, SCOPE_GRAPH, ana[a].data(), n, 0, 1, colour(kAnaColours[a]), GRAPH_AXIS_RIGHT);
    }
  }
  if (!analogOnly) Lanes(frames, n);
  PanelSetString(id, SCOPE_TXT_RAMTYPE, ScopeExtractRamtype(uwScopeRamtype));
  PanelSetString(id, SCOPE_TXT_MCYCLE, ScopeExtractMcycle(frames[0].uwMcState));

  // The trigger line only where it falls inside the trace.
  if ((t.udStatus & SCOPE_STATUS_BACKWARD) && uwScopePostTrgTime > 0 && uwScopePostTrgTime <= n) {
    const double at = static_cast<double>(n - uwScopePostTrgTime);
    PanelPlotLine(id, SCOPE_GRAPH, at, 0, at, kCursorTop, kBlack);
  }
  if (t.udStatus & SCOPE_STATUS_FROZEN)
    PanelPlotText(id, SCOPE_GRAPH, 20, 20, "Trigger is freezed!", kBlack, 10, false, GRAPH_AXIS_LEFT, "NORL");
}

void ScopeDisplayRefresh() { ScopeTraceDisplay(0); }

void ScopeNoteMarks() { marksShown = true; }
bool ScopeMarksShown() { return marksShown; }
