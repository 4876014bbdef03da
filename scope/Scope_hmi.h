// The operator's trace-file dialogs and the scope panel's file menu, the
// scope information panel and the comment panel. GUI thread.
#pragma once
#include <cstdint>
#include <string>

// Results of the dialogs.
inline constexpr uint8_t SCOPE_HMI_DONE = 0;
inline constexpr uint8_t SCOPE_HMI_FAILED = 1;     // said in the log; the caller shows the loading error
inline constexpr uint8_t SCOPE_HMI_NOTHING = 2;    // cancelled, or refused with its own message

// Save dialog: name rules, the date-time `prefix`, overwrite confirmation;
// the cycle timer is stopped while the file is written and restarted on
// every path.
uint8_t ScopeHmiSave(const std::string& prefix);
// Load dialog (none when `direct`): reads `path` by its extension; shows the
// trace on success. A rejected file is said in the log with the reason.
uint8_t ScopeHmiLoad(std::string path, bool direct);
// Batch conversion: each chosen ".loz" or ".logzip" file becomes a ".log"
// beside it; a file that fails is named in the log and the others go on.
uint8_t ScopeHmiUZip();

// The load hook of the main panel's Load trace file item (0, 1 or 2 as
// ScopeHmiLoad).
int ScopeHmiLoadHook();
// Installs the callbacks of the scope information and comment panels.
void ScopeHmiInstallCallbacks();

// The trace-file items of the scope menu (reached through the menu callback).
int SCOPE_MENU_FILE_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int ScopeInfoEventCallback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int ScopeCommentEventCallback(int panel, int control, int event, void* data, int eventData1, int eventData2);
int COMMENT_CMD_OK_Callback(int panel, int control, int event, void* data, int eventData1, int eventData2);
