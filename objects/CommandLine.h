// The command line of the main panel: a typed line is compiled as a script of
// one line and run; the last 21 lines are kept for the arrow keys.
#pragma once
#include <cstdint>

inline constexpr int CMDLINE_HISTORY_LINES = 21;
inline constexpr int CMDLINE_LINE_SIZE = 200;  // a history line, with its terminating zero

// The history ring: the write index is where the next line goes, the browse
// index the line the arrow keys showed last; the count says how many of the
// 21 places hold a line (the ring is full once it reaches 21).
extern char ubCtrlCmdLineBufQueue[CMDLINE_HISTORY_LINES][CMDLINE_LINE_SIZE];
extern uint8_t ubCtrlCmdLineBufCounterIn;
extern uint8_t ubCtrlCmdLineBufCounterOut;
extern uint8_t ubCtrlCmdLineBufCount;

// Callback of MAIN_TXT_CMDLINE (GUI thread). Commit (Enter): refused with a
// line in the message log while an operation runs; otherwise the line is kept
// in the history (unless it repeats the last one or is longer than 199
// characters), compiled and, when it made an entry, run (signal 5); a reply
// goes to the message log. Up and down keys: the previous or next line of
// the history into the text box, never past the oldest or the newest line.
// Returns 0.
int MAIN_TXT_CMDLINE_Callback(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
