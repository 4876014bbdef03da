// Callbacks of the main panel and of the small panels around it, and the
// helpers they share. All run on the GUI thread, react to commit events
// unless said otherwise, and return 0. An action that needs the controller
// first checks that a link is selected.
#pragma once
#include <cstdint>

// Sample time code sent with signal 23, ram-type code sent with signal 24,
// and the MAC address for the target's Ethernet settings (first field in the
// last byte).
extern uint8_t ubMcSampleTime;
extern uint8_t ubMcRamtypeTel;
extern uint8_t udMcMacAddr[6];

// True when a link is selected; otherwise writes "Target not connected!\n"
// into the log window.
bool McycleRequireLink();

// Sample time choices 1..8 (0.5 .. 100 ms): the code for the connected
// firmware and the log line. False for a choice outside 1..8.
bool McycleSampleTimeChoice(int choice, uint8_t& code, char* line, int lineSize);

// Main panel.
int EventCallback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int MAIN_CMD_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int MAIN_MENU_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int MAIN_RING_SAMPLE_TIME_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int RING_RAMTYPE_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int MAIN_BIN_SW_POS_MON_ON_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
// Puts the items of the channel, sample-time and ram-type rings on the main
// panel and installs its callbacks.
void MainPanelSetUp(int panel);

// Main menu helpers also used by other panels' menus.
void McycleSetCheckMenuSoft(int item);
// Display option A (colour) or B (black and white) on both menus.
void McycleSetDisplayOption(bool blackWhite);
// The scope's three legends in magenta, cyan and green, or without colour.
void McycleSetLegendColours(bool blackWhite);
// Shows the scope panel, setting it up on first use.
void McycleShowScopePanel();
// Load trace file: shows the scope panel, stops the cycle timer and loads a
// file through the module hook; on failure restarts the timer and shows the
// loading error on the trace graph and in the log.
void McycleLoadTraceFile();
// "ERROR: Scope loading file error" on the trace graph and in the log.
void McycleShowTraceLoadError();

// Ram-type panel.
void McycleOpenRamtypePanel(uint16_t ramtype);
int RTYPE_CMD_OK_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
// Terms-of-use panel.
int INTRO_CMD_ACCEPT_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int INTRO_CMD_DISCARD_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
// Configuration panel: read, write and close buttons.
int CMD_CONF_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
// Help, about and trace information panels.
int HelpEventCallback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int AboutEventCallback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int CMD_TRACE_INFO_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
// Evaluation panel: copy the results into the log window; close.
int CMD_COPY_LOG_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int EVAL_CMD_EXIT_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
