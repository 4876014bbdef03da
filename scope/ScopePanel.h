// Callbacks of the scope panel's commands. GUI thread, commit events; each
// returns 0.
#pragma once

// Download: the previous trace is dropped and the download machine started.
int SCOPE_CMD_Callback(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
// Installs the callbacks of the scope and download panels (start-up).
void ScopePanelsSetUp();
