// The save/recall panel: a set-number field (0..7, larger numbers taken as
// 7) and explicit Save, Recall and Close buttons acting on commit. GUI thread.
#pragma once
#include <cstdint>

// Set-number field (value changed or commit) and the three buttons (commit).
int CMD_PARM_SAVE_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
// Shows the save/recall panel (commit).
int CMD_PARM_SAVE_RECALL_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
void ParmSaveRecallPanelSetUp();

// Command-list entry 0 as 0x2000/0 := code (2 bytes), the list's count 1.
void ParmSelectSaveRecallEntry(uint16_t code);
// The set number a field value stands for.
uint8_t ParmSetNumber(int64_t fieldValue);
