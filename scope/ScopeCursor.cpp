#include "scope/ScopeCursor.h"

#include <cmath>

#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "params/CtrlCmd.h"
#include "scope/ScopeAxes.h"
#include "scope/ScopeDisplay.h"
#include "scope/ScopeTrace.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

uint32_t udScopeCalcSpdRamPosStart = 0, udScopeCalcSpdMotPosStart = 0, udScopeCalcSpdCmdPosStart = 0;
uint32_t udScopeCalcSpdFrameStart = 0;
double lfScopeCalcSpdTimeStart = 0, lfScopeCalcSpdMouseXOld = -1, lfScopeCalcSpdMouseYOld = -1;

namespace {

constexpr int64_t kBlack = 0, kRed = 0xFF0000, kBlue = 0x0000FF, kDarkGreen = 0x008000;
int cursorPlots[2] = {0, 0};  // the cursor lines on the two graphs (0: none)

void Set(int control, double value) { PanelSetDouble(uwMcTraceInfoPanelHandle, control, value); }

// Pressure at 20 mA of analog channel a in hundredths of a bar.
double FullScale(int a) {
  if (a > 2) return 40000;
  const uint32_t v = sScopeDataContainer.entries[7 + a].udData;
  return v ? v : 40000;
}

void PlaceLines(long frame) {
  const int graphs[2] = {SCOPE_GRAPH, SCOPE_GRAPH_DIGITAL};
  const double tops[2] = {1200, 130};
  for (int g = 0; g < 2; ++g) {
    if (cursorPlots[g] > 0) PanelDeleteGraphPlot(uwMcScopePanelHandle, graphs[g], cursorPlots[g]);
    const double at = static_cast<double>(frame);
    cursorPlots[g] = PanelPlotLine(uwMcScopePanelHandle, graphs[g], at, 0, at, tops[g], kBlack);
  }
}

}  // namespace

long ScopeCursorFrame(double x, double width, uint16_t frames, double first, double last) {
  if (frames == 0 || width <= 0 || x < 0 || x > width) return -1;
  const double frame = first + (last - first) * (x / width);
  if (!std::isfinite(frame)) return -1;
  return std::lround(std::fmin(std::fmax(std::floor(frame), 0.0), frames - 1.0));
}

void ScopeCursorReset() {
  udScopeCalcSpdRamPosStart = udScopeCalcSpdMotPosStart = udScopeCalcSpdCmdPosStart = 0;
  udScopeCalcSpdFrameStart = 0;
  lfScopeCalcSpdTimeStart = 0;
  lfScopeCalcSpdMouseXOld = lfScopeCalcSpdMouseYOld = -1;
  cursorPlots[0] = cursorPlots[1] = 0;
}

void ScopeDisplayMouseData(int x, int y, double width) {
  if (!(ubMcFlag2 & MC_FLAG2_TRACE_PRESENT)) return;
  const ScopeTraceDesc& t = ScopeSelectedTrace();
  const uint16_t frames = static_cast<uint16_t>(t.pFrames ? (t.uwFrames < t.udCapacity ? t.uwFrames : t.udCapacity) : 0);
  const double period = ScopeSamplePeriod(t);
  ScopeCalcXscale();
  // The view the operator zoomed to, else the axis controls' range.
  double first, last;
  ScopeFrameRange(period, first, last);
  double viewFirst = first, viewLast = last;
  PanelGetAxisView(uwMcScopePanelHandle, SCOPE_GRAPH, GRAPH_AXIS_X, viewFirst, viewLast);
  if (viewLast > viewFirst) first = viewFirst, last = viewLast;  // a graph not drawn yet has no view
  const long frame = ScopeCursorFrame(x, width, frames, first, last);
  if (frame < 0) return;
  // The analog plots again when evaluation marks are to go; otherwise moving
  // the cursor line is all (a redraw converts every frame again).
  if (ScopeMarksShown()) {
    ScopeTraceDisplay(1);
    cursorPlots[0] = 0;
  }
  PlaceLines(frame);

  const ScopeFrame& f = t.pFrames[frame];
  double motor, ram, cmd;
  bool hasCmd;
  ScopeFramePositions(f, motor, ram, cmd, hasCmd);
  const double T = period > 0 ? period : 1;
  Set(TRACE_INFO_NUM_FRAME, static_cast<double>(frame));
  Set(TRACE_INFO_NUM_TIME, frame * T);
  Set(TRACE_INFO_NUM_MOTOR, motor);
  Set(TRACE_INFO_NUM_RAM, ram);
  Set(TRACE_INFO_NUM_CMD, cmd);
  Set(TRACE_INFO_NUM_DIGIN, f.uwDigIn);
  Set(TRACE_INFO_NUM_DIGOUT, f.uwDigOut);
  const uint16_t raw[4] = {f.uwAna0, f.uwAna1, f.uwAna2, f.uwAna3};
  for (int a = 0; a < 4; ++a) {
    // Bar from 4 mA (191) to 20 mA (956); P20 is held in 1/100 bar.
    Set(TRACE_INFO_NUM_BAR_0 + a, raw[a] > 191 ? (raw[a] - 191) * FullScale(a) / 100.0 / 765 : 0.0);
    Set(TRACE_INFO_NUM_VOLT_0 + a, (raw[a] - 512) / 51.2);
  }
  // Speed between this click and the one before; none on the same frame.
  if (lfScopeCalcSpdMouseXOld >= 0 && static_cast<uint32_t>(frame) != udScopeCalcSpdFrameStart && period > 0) {
    const double mm = ram - static_cast<int32_t>(udScopeCalcSpdRamPosStart) / 100.0;
    const double ms = frame * T - lfScopeCalcSpdTimeStart;
    Set(TRACE_INFO_NUM_SPEED, mm / ms * 1000.0);
  } else {
    Set(TRACE_INFO_NUM_SPEED, 0);
  }
  udScopeCalcSpdRamPosStart = static_cast<uint32_t>(static_cast<int32_t>(std::lround(ram * 100)));
  udScopeCalcSpdMotPosStart = static_cast<uint32_t>(static_cast<int32_t>(std::lround(motor * 100)));
  udScopeCalcSpdCmdPosStart = static_cast<uint32_t>(static_cast<int32_t>(std::lround(cmd * 100)));
  udScopeCalcSpdFrameStart = static_cast<uint32_t>(frame);
  lfScopeCalcSpdTimeStart = frame * T;
  lfScopeCalcSpdMouseXOld = x;
  lfScopeCalcSpdMouseYOld = y;

  const bool quill = ubMcFlag3 & MC_FLAG3_FW_QUILL;
  PanelSetAttribute(uwMcTraceInfoPanelHandle, TRACE_INFO_TXT_MOTOR, ATTR_TEXT_COLOR, quill ? kRed : kBlack);
  PanelSetAttribute(uwMcTraceInfoPanelHandle, TRACE_INFO_TXT_RAM, ATTR_TEXT_COLOR, quill ? kBlue : kBlack);
  PanelSetAttribute(uwMcTraceInfoPanelHandle, TRACE_INFO_TXT_CMD, ATTR_TEXT_COLOR, quill ? kDarkGreen : kBlack);
  PanelDisplay(uwMcTraceInfoPanelHandle);
  ubMcFlag3 |= MC_FLAG3_TRACE_INFO_SHOWN;
}
