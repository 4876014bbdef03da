// The scope panel's menu beyond its trace-file items.
#pragma once

// Evaluate, Download, Exit, the trigger items of both traces, the second
// trace's sample times, backtrace restart and the plot colours; the file
// items go on to the trace-file callback. Items that talk to the controller
// need a link. GUI thread; returns 0.
int SCOPE_MENU_Callback(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
// Installs it on every scope menu item (start-up).
void ScopeMenuSetUp();
