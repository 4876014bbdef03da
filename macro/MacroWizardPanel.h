// The macro wizard's panel: seven cycle pages (fields, read, insert) and the
// Advanced page. GUI thread, commit events unless said otherwise.
#pragma once

int CMD_WIZ_PUNCH_CREATE_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int CMD_WIZ_PUNCH_READ_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int CMD_WIZ_FORM1_CREATE_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int CMD_WIZ_FORM1_READ_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int CMD_WIZ_FORM2_CREATE_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int CMD_WIZ_FORM2_READ_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int CMD_WIZ_FORM3_CREATE_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int CMD_WIZ_FORM3_READ_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int CMD_WIZ_HOVER_CREATE_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int CMD_WIZ_HOVER_READ_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int CMD_WIZ_PRESS_CREATE_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int CMD_WIZ_PRESS_READ_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int CMD_WIZ_MARK_CREATE_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int CMD_WIZ_MARK_READ_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
// Every button of the Advanced page; the access ring also limits the value.
int CMD_WIZ_ADV_CREATE_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
// Closing (or Esc) hides the panel.
int WizardEventCallback(int panel, int control, int event, void* data, int eventData1, int eventData2);
// Ring items and callbacks.
void MacroWizardPanelSetUp();
