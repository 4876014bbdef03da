// The extended parameter panel: three tables of eight positions, speeds and
// times, the cycle type, send, read back, three presets and the extended
// parameter script. Callbacks on the GUI thread, on commit events.
#pragma once
#include <cstdint>
#include <string>

inline constexpr int EXTP_VALUES = 24;
inline constexpr const char* EXTP_SCRIPT_DEFAULT_NAME = "ZEL_P0528Ext.pms";

// The script: the header lines, 24 "wrw" lines in table order, the cycle
// line when the type is 0x110, 0x111 or 0x12C, the take line; every line
// ends in a line feed.
std::string ExtParmScriptText(const uint16_t (&values)[EXTP_VALUES], uint32_t cycleType);

int EXTP_CMD_SEND_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int EXTP_CMD_READBACK_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int EXTP_CMD_MAKE_SCRIPT_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int EXTP_CMD_EXIT_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int EXTP_CMD_PUNCH_5MM_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int EXTP_CMD_PUNCH_10MM_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int EXTP_CMD_FORM_10MM_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
// The cycle-type ring's items and the callbacks.
void ExtParmPanelSetUp();
