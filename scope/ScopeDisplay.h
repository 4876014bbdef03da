// Trace display.
#pragma once

// Recomputes the time and value axes from the scope panel's axis controls
// (time axis, axis position, axis gain) and redraws the trace shown. Tick or
// GUI thread; panel calls go through the panel layer.
void ScopeDisplayRefresh();
