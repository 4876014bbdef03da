#include "scope/Scope_hmi.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/PanelCallbacks.h"
#include "app/Startup.h"
#include "app/SystemInfo.h"
#include "engine/Mcycle.h"
#include "engine/McycleFlags.h"
#include "engine/McycleIo.h"
#include "engine/McycleVariant.h"
#include "engine/Timer.h"
#include "scope/ScopeCsv.h"
#include "scope/ScopeDisplay.h"
#include "scope/ScopeFile.h"
#include "scope/ScopeFileName.h"
#include "scope/ScopeInfo.h"
#include "scope/ScopeTrace.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

namespace {

constexpr const char* kInvalidFile = "ERROR: Scope invalid file";

void Log(const std::string& text) { McycleLog(text.c_str()); }

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

std::string Folder(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

// Stops the cycle timer and shows the wait cursor for as long as it lives.
class Busy {
 public:
  Busy() {
    TimerStop();
    PanelSetWaitCursor(true);
  }
  ~Busy() {
    PanelSetWaitCursor(false);
    TimerStart();
  }
  Busy(const Busy&) = delete;
  Busy& operator=(const Busy&) = delete;
};

// The name the operator types, checked; false when the dialog was cancelled.
bool ChooseSaveName(std::string& chosen) {
  for (;;) {
    if (!PanelFileSelectPopup("", "NORL_SCOPE.loz", "*.loz;*.log", "Save to file:", true, chosen)) return false;
    switch (ScopeCheckFileName(ScopeBaseName(chosen))) {
      case 0: return true;
      case 1: PanelMessagePopup("ERROR!", "only 20 chars"); break;
      default: PanelMessagePopup("ERROR!", "only 0-9, A-Z, a-z, _, -, ."); break;
    }
  }
}

void ShowTrace() {
  const McFwVariant variant = (ubScopeFlag & SCOPE_FLAG_P0417_TRACE) ? McFwVariant::P0417
                              : (ubMcFlag3 & MC_FLAG3_FW_QUILL)     ? McFwVariant::Quill
                                                                    : McFwVariant::P0528;
  McycleSetScopeCaptions(variant, uwScopeRamtype);
  PanelDeleteGraphPlot(uwMcScopePanelHandle, SCOPE_GRAPH, -1);
  ScopeDisplayRefresh();
}

void ExportCsv() {
  if (!(ubMcFlag2 & MC_FLAG2_TRACE_PRESENT)) {
    Log("Trace: Invalid Data");
    return;
  }
  std::string path;
  if (!PanelFileSelectPopup("", "NORL_SCOPE.csv", "*.csv", "Export CSV:", true, path)) return;
  if (ScopeNameExtension(path) != ".csv") path += ".csv";
  if (ScopeExportCsv(path) == SCOPE_CSV_OK)
    Log("Trace: CSV " + path);
  else
    Log("Trace: File Error: " + ScopeFileReason());
}

void ShowComment() {
  PanelClearText(uwMcScopeCommentPanelHandle, COMMENT_TXTBOX);
  PanelAppendText(uwMcScopeCommentPanelHandle, COMMENT_TXTBOX,
                  std::string(ubScopeCommentBuffer, strnlen(ubScopeCommentBuffer, SCOPE_COMMENT_SIZE)));
  PanelDisplay(uwMcScopeCommentPanelHandle);
}

// The comment panel's text into the comment buffer (cut to its size), and
// the panel hidden.
void TakeComment(int panel) {
  std::string text;
  PanelGetString(panel, COMMENT_TXTBOX, text);
  const size_t n = std::min(text.size(), SCOPE_COMMENT_SIZE - 1);
  std::memcpy(ubScopeCommentBuffer, text.data(), n);
  ubScopeCommentBuffer[n] = '\0';
  PanelHide(panel);
}

}  // namespace

uint8_t ScopeHmiSave(const std::string& prefix) {
  if (!(ubMcFlag2 & MC_FLAG2_TRACE_PRESENT)) {
    Log("Trace: Invalid Data");
    return SCOPE_HMI_NOTHING;
  }
  std::string chosen;
  if (!ChooseSaveName(chosen)) return SCOPE_HMI_NOTHING;
  Busy busy;
  std::string path = Folder(chosen) + prefix + "_" + ScopeBaseName(chosen);
  ScopeLowerExtension(path);
  if (Exists(path)) {
    char question[400];
    std::snprintf(question, sizeof question, "File '%s' allready exist!\nOverwrite file?", ScopeBaseName(path).c_str());
    if (!PanelConfirmPopup("Save as confirmation!", question)) return SCOPE_HMI_NOTHING;
  }
  if (ScopeSaveTraceToFile(path.c_str()) != SCOPE_SAVE_OK) {
    Log("Trace: File Error: " + ScopeFileReason());
    return SCOPE_HMI_FAILED;
  }
  PanelSetString(uwMcScopePanelHandle, SCOPE_TXT_FILENAME, path);
  return SCOPE_HMI_DONE;
}

uint8_t ScopeHmiLoad(std::string path, bool direct) {
  if (!direct) {
    const char* extension = (ubScopeFlag & SCOPE_FLAG_LAST_LOAD_LOG)     ? "*.log"
                            : (ubScopeFlag1 & SCOPE_FLAG1_LAST_LOAD_LO1) ? "*.lo1"
                                                                         : "*.loz";
    if (!PanelFileSelectPopup("", extension, "*.loz;*.lo1;*.log", "Load file:", false, path)) return SCOPE_HMI_NOTHING;
  }
  PanelSetWaitCursor(true);
  ubMcFlag2 &= static_cast<uint8_t>(~MC_FLAG2_TRACE_PRESENT);
  PanelDeleteGraphPlot(uwMcScopePanelHandle, SCOPE_GRAPH, -1);
  PanelSetString(uwMcScopePanelHandle, SCOPE_TXT_FILENAME, path);
  const std::string extension = ScopeFileExtension(path);
  uint8_t result = SCOPE_HMI_DONE;
  if (extension.empty()) {
    result = SCOPE_HMI_NOTHING;
  } else if (extension != ".log" && extension != ".loz" && extension != ".lo1") {
    PanelPlotText(uwMcScopePanelHandle, SCOPE_GRAPH, 20, 50, kInvalidFile, 0xFF0000, 20, true);
    Log(kInvalidFile);
    result = SCOPE_HMI_NOTHING;
  } else if (ScopeLoadFile(path) < 0) {
    Log("Trace file " + path + ": " + ScopeFileReason());
    result = SCOPE_HMI_FAILED;
  } else {
    ShowTrace();
  }
  PanelSetWaitCursor(false);
  return result;
}

uint8_t ScopeHmiUZip() {
  std::vector<std::string> files;
  if (!PanelMultiFileSelectPopup("", "*.loz", "*.loz;*.logzip;*.log", "Load file:", files)) return SCOPE_HMI_NOTHING;
  Busy busy;
  uint8_t result = SCOPE_HMI_DONE;
  for (const std::string& file : files) {
    std::string log;
    if (ScopeConvertFileToLog(file, log) == 0) {
      Log("Trace: " + file + " -> " + log);
    } else {
      Log("Trace file " + file + " not converted: " + ScopeFileReason());
      result = SCOPE_HMI_FAILED;
    }
  }
  return result;
}

int ScopeHmiLoadHook() { return ScopeHmiLoad("", false); }

void ScopeHmiInstallCallbacks() {
  PanelInstallCallback(uwMcScopeInfoPanelHandle, 0, ScopeInfoEventCallback, nullptr);
  PanelInstallCallback(uwMcScopeCommentPanelHandle, 0, ScopeCommentEventCallback, nullptr);
  PanelInstallCallback(uwMcScopeCommentPanelHandle, COMMENT_CMD_OK, COMMENT_CMD_OK_Callback, nullptr);
}

int SCOPE_MENU_FILE_Callback(int, int control, int event, void*, int, int) {
  if (event != EVENT_COMMIT) return 0;
  switch (control) {
    case SCOPE_MENU_SAVE: ScopeHmiSave(McycleDateTimeStamp('-')); break;
    case SCOPE_MENU_LOAD: McycleLoadTraceFile(); break;
    case SCOPE_MENU_CONVERT:
      if (ScopeHmiUZip() == SCOPE_HMI_FAILED) McycleShowTraceLoadError();
      break;
    case SCOPE_MENU_EXPORT_CSV: ExportCsv(); break;
    case SCOPE_MENU_INFORMATION:
      PanelDisplay(uwMcScopeInfoPanelHandle);
      ScopeCreateInfoData();
      break;
    case SCOPE_MENU_COMMENT: ShowComment(); break;
    default: break;
  }
  return 0;
}

int ScopeInfoEventCallback(int panel, int, int event, void*, int eventData1, int) {
  if (event == EVENT_CLOSE || (event == EVENT_KEYPRESS && eventData1 == PANEL_KEY_ESC)) PanelHide(panel);
  return 0;
}

int ScopeCommentEventCallback(int panel, int, int event, void*, int, int) {
  if (event == EVENT_CLOSE) TakeComment(panel);
  return 0;
}

int COMMENT_CMD_OK_Callback(int panel, int, int event, void*, int, int) {
  if (event == EVENT_COMMIT) TakeComment(panel);
  return 0;
}
