// Callbacks of the scope and download panels. GUI thread; each returns 0.
#pragma once

// Scope panel, commit events. Download: the previous trace is dropped and the
// download machine started.
int SCOPE_CMD_Callback(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
// Download panel: Escape (key 768) aborts the download; so does its Abort
// button.
int ScopeDownloadEventCallback(int panel, int control, int event, void* callbackData, int eventData1,
                               int eventData2);
int DOWNLOAD_CMD_ABORT_Callback(int panel, int control, int event, void* callbackData, int eventData1,
                                int eventData2);
// Installs the callbacks of the scope and download panels (start-up).
void ScopePanelsSetUp();
