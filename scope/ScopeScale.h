// The position axis of the scope graph: zero and gain as the axis controls
// set them, and the conversion of a position into plot units. The drawing and
// the evaluation marks share it, so a mark sits on its curve.
#pragma once
#include <cstdint>

// Zero and gain of the position axis in hundredths of a millimetre (control
// value x 100; mirrored mode: (80 - control value) x 100).
extern int16_t swScopeZero;
extern int16_t swScopeYgain;

// Plot units of a position v in millimetres: (v - zero) * 10 / gain, ten
// divisions over the axis. A gain of 0 (never set) counts as 10 mm.
double ScopePositionPlot(double v);
