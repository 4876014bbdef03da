// Callbacks of the scope and download panels. GUI thread; each returns 0.
#pragma once

// Scope panel controls: Download drops the previous trace and starts the
// download machine; the trace ring shows the first or the second trace; the
// analog switch and the axis controls redraw; a right click on the analog
// graph (expert mode) places the cursor.
int SCOPE_CMD_Callback(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
// Scope panel events: got focus brings the download and evaluation panels
// forward and hides the trace information; close forgets the trace shown.
int ScopeEventCallback(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
// Download panel: Escape (key 768) aborts the download; so does its Abort
// button.
int ScopeDownloadEventCallback(int panel, int control, int event, void* callbackData, int eventData1,
                               int eventData2);
int DOWNLOAD_CMD_ABORT_Callback(int panel, int control, int event, void* callbackData, int eventData1,
                                int eventData2);
// Installs the callbacks of the scope and download panels (start-up).
void ScopePanelsSetUp();
