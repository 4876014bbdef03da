// Trace display on the scope panel's graph.
#pragma once
#include <cstdint>

// Removes every plot from the scope graph (GUI thread or tick).
void ScopeClear();
// Writes a message on the scope graph in red, 20-point bold, at (20, 50):
// the place of "ERROR: Scope Transmission Error" and its siblings.
void ScopePlotMessage(const char* text);
// Draws the selected trace when a converted trace is present: the ram and
// command positions of the trace against frame index. analogOnly is
// accepted for the callers that redraw part of the display.
void ScopeTraceDisplay(int analogOnly);
// Recomputes the axes from the scope panel's axis controls and redraws the
// trace shown. Tick or GUI thread; panel calls go through the panel layer.
void ScopeDisplayRefresh();
