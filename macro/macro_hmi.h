// The macro panel: its commands, the editor, the project directory field,
// the panel's own events and the image view. GUI thread only; commit events
// unless said otherwise.
#pragma once

int CMD_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
// Edits clear the saved and compiled state; the line field follows the cursor.
int TXT_EDITOR_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
// A click chooses the project directory.
int STR_PATH_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
// Esc hides the panel; focus during a transfer raises the progress panel;
// closing offers to save an unsaved source.
int MacroEventCallback(int panel, int control, int event, void* data, int eventData1, int eventData2);
// Shows the image view (size, CRC stored and computed, the bytes).
int CMD_TEST_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
// An edit of the source: not saved, not compiled, the three lamps off.
void MacroSourceEdited();
// Installs the callbacks of the macro, progress, image and wizard panels.
void MacroPanelSetUp();
