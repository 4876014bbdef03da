#include "scope/ScopeAxes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "scope/ScopeCursor.h"
#include "scope/ScopeFile.h"
#include "scope/ScopeFileRead.h"
#include "scope/ScopeScale.h"
#include "scope/ScopeTrace.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

int16_t swScopeYaxisScale[10] = {};
double lfScopeZeroAna = 0;
double lfScopeYgainAna = 10;
double lfScopeXzero = 0;
double lfScopeXgain = 50;

namespace {

// The controls' ranges: zero and gain x 100 fit the 16-bit globals.
constexpr int64_t kPosZeroMin = -100, kPosZeroMax = 100, kPosGainMin = 1, kPosGainMax = 100;
constexpr double kAnaGainMin = 0.1, kTimeGainMin = 0.5, kLimit = 1e7;

int64_t ReadInt(int control, int64_t lo, int64_t hi, int64_t otherwise) {
  int64_t v = otherwise;
  PanelGetInt(uwMcScopePanelHandle, control, v);
  return std::clamp(v, lo, hi);
}

double ReadDouble(int control, double lo, double hi, double otherwise) {
  double v = otherwise;
  PanelGetDouble(uwMcScopePanelHandle, control, v);
  return std::isfinite(v) ? std::clamp(v, lo, hi) : otherwise;
}

void SetLabel(int control, double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  PanelSetString(uwMcScopePanelHandle, control, text);
}

}  // namespace

void ScopeInit() {
  ubScopeFlag = 0;
  udScopeDateYear = udScopeDateMonth = udScopeDateDay = 0;
  udScopeTimeHour = udScopeTimeMin = udScopeTimeSec = 0;
  std::memset(ubScopeCommentBuffer, 0, sizeof ubScopeCommentBuffer);
  ScopeCursorReset();
  // Until the first download the record describes a plain P0528 trace:
  // 1 ms sampling, 100 frames after the trigger, positions 1:1, and the
  // usual 400/250/400 bar at 20 mA.
  scScope[0].uwSampleTime = scScope[1].uwSampleTime = 2;
  uwScopePostTrgTime = 100;
  uwScopeLmsResol = uwScopeMotResol = 10;
  ScopeReadSetPressures(40000, 25000, 40000);
  udScopeSwVersion = 17430;
}

void ScopeCalcYscale() {
  int64_t zero = ReadInt(SCOPE_NUM_AXIS_POS, kPosZeroMin, kPosZeroMax, 0);
  const int64_t gain = ReadInt(SCOPE_NUM_AXIS_GAIN, kPosGainMin, kPosGainMax, 10);
  const bool mirrored = ubMcFlag3 & MC_FLAG3_FW_QUILL;
  SetLabel(SCOPE_TXT_YLABEL_0, static_cast<double>(zero));
  for (int i = 0; i < 10; ++i) {
    swScopeYaxisScale[i] = static_cast<int16_t>(mirrored ? zero - (i + 1) * gain : zero + (i + 1) * gain);
    SetLabel(SCOPE_TXT_YLABEL_0 + 1 + i, swScopeYaxisScale[i]);
  }
  if (mirrored) zero = 80 - zero;
  swScopeZero = static_cast<int16_t>(zero * 100);
  swScopeYgain = static_cast<int16_t>(gain * 100);
}

void ScopeCalcYscaleAna() {
  lfScopeZeroAna = ReadDouble(SCOPE_NUM_ANA_ZERO, -kLimit, kLimit, 0);
  lfScopeYgainAna = ReadDouble(SCOPE_NUM_ANA_GAIN, kAnaGainMin, kLimit, 10);
  SetLabel(SCOPE_TXT_ANA_MIN, lfScopeZeroAna);
  SetLabel(SCOPE_TXT_ANA_MAX, lfScopeZeroAna + 10 * lfScopeYgainAna);
}

void ScopeCalcXscale() {
  lfScopeXzero = ReadDouble(SCOPE_NUM_TIME_ZERO, 0, kLimit, 0);
  lfScopeXgain = ReadDouble(SCOPE_NUM_TIME_AXIS, kTimeGainMin, kLimit, 50);
  // The start steps by one division.
  PanelSetAttribute(uwMcScopePanelHandle, SCOPE_NUM_TIME_ZERO, ATTR_INCR_VALUE, std::llround(lfScopeXgain * 1000));
}

double ScopeAnalogPlot(double percent) { return (percent - lfScopeZeroAna) / (lfScopeYgainAna * 10 / 100); }
