// The scope panel's axes: position, analog and time, read from their
// controls. Values outside the controls' ranges (a script, a damaged file)
// are brought into them, so no axis divides by zero.
#pragma once
#include <cstdint>

#include "scope/ScopeFile.h"

extern int16_t swScopeYaxisScale[10];  // position-axis labels, bottom to top
extern double lfScopeZeroAna;          // analog axis zero [%]
extern double lfScopeYgainAna;         // analog axis gain [%/div]
extern double lfScopeXzero;            // time axis start [ms]
extern double lfScopeXgain;            // time axis gain [ms/div]
// udScopeSwVersion (set by ScopeInit) lives with the trace-file header globals.

inline constexpr int SCOPE_TIME_DIVISIONS = 15;

// Forgets the display flags, the trace's date and comment and the speed
// measurement; sets the record's defaults and the software version.
void ScopeInit();
// Position axis from its zero and gain controls: labels (mirrored on a
// Quill), swScopeZero and swScopeYgain.
void ScopeCalcYscale();
// Analog axis from its zero and gain controls: the right axis' two labels.
void ScopeCalcYscaleAna();
// Time axis from its zero and gain controls.
void ScopeCalcXscale();
// Analog value in plot units of the right axis (before the axis: percent).
double ScopeAnalogPlot(double percent);
