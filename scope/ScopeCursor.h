// The cursor of the scope panel: a right click on the analog graph places a
// line at a frame on both graphs and shows that frame's values in the trace
// information panel; two clicks measure the ram's speed between them.
#pragma once
#include <cstdint>

extern uint32_t udScopeCalcSpdRamPosStart, udScopeCalcSpdMotPosStart, udScopeCalcSpdCmdPosStart;
extern uint32_t udScopeCalcSpdFrameStart;
extern double lfScopeCalcSpdTimeStart, lfScopeCalcSpdMouseXOld, lfScopeCalcSpdMouseYOld;

// The frame under pixel x of a plot area `width` pixels wide that shows
// frames first .. last; -1 outside the plot area. Clamped to the trace's
// frames.
long ScopeCursorFrame(double x, double width, uint16_t frames, double first, double last);
// Places the cursor at pixel (x, y) of the analog graph's plot area and fills
// the trace information panel. `width` is the plot area's width.
void ScopeDisplayMouseData(int x, int y, double width);
// Forgets the speed measurement's start point.
void ScopeCursorReset();
