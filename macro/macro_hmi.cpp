#include "macro/macro_hmi.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "app/PanelCallbacks.h"
#include "app/Startup.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/McycleMemory.h"
#include "hmi/hmi.h"
#include "macro/MacroSource.h"
#include "macro/MacroWizardPanel.h"
#include "macro/macro.h"
#include "params/CtrlCmd.h"
#include "platform/FileUtil.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

namespace {

int Macro() { return uwMcMacroPanelHandle; }

void Lamp(int control, bool on) { PanelSetInt(Macro(), control, on); }
void LampsOff() {
  for (int c : {MACRO_LED_ERROR, MACRO_LED_SAVED, MACRO_LED_COMPILED, MACRO_LED_LOADED}) Lamp(c, false);
}
void ClearFlags(uint8_t bits) { ubMacFlag &= static_cast<uint8_t>(~bits); }

std::string Printf(const char* format, const std::string& text) {
  std::vector<char> line(text.size() + std::strlen(format) + 1);
  std::snprintf(line.data(), line.size(), format, text.c_str());
  return line.data();
}

std::string Editor() {
  std::string text;
  PanelGetString(Macro(), MACRO_TXT_EDITOR, text);
  return text;
}

// A new text in the editor, its cursor on the first line.
void ShowSource(const std::string& text) {
  PanelSetString(Macro(), MACRO_TXT_EDITOR, text);
  PanelSetInt(Macro(), MACRO_NUM_LINE, 1);
}

bool ProjectValid() { return !Editor().empty() && MacroValidProjectName(MacroProjectName()); }

// "dir/name.ext" into its directory and the name without extension.
void SplitPath(const std::string& path, std::string& dir, std::string& stem, std::string& ext) {
  const size_t slash = path.rfind('/');
  dir = slash == std::string::npos ? std::string(".") : path.substr(0, slash ? slash : 1);
  const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = file.rfind('.');
  stem = dot == std::string::npos || dot == 0 ? file : file.substr(0, dot);
  ext = dot == std::string::npos || dot == 0 ? std::string() : file.substr(dot);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Takes a chosen file as the project: name and directory.
bool TakeProjectPath(const std::string& path) {
  std::string dir, stem, ext;
  SplitPath(path, dir, stem, ext);
  PanelSetString(Macro(), MACRO_STR_NAME, stem);
  return MacroSetProjectDir(dir);
}

void Saved(const std::string& path) {
  ubMacFlag |= MAC_FLAG_SAVED;
  Lamp(MACRO_LED_SAVED, true);
  Lamp(MACRO_LED_LOADED, true);
  MacroMessage(Printf("Macro saved: %s\n", path));
}

// Writes the source to the project's file, asking for one when the project
// has no directory yet. False when nothing was saved.
bool SaveProjectSource() {
  std::string path;
  if (MacroProjectDir().empty()) {
    if (!PanelFileSelectPopup("", MacroProjectName() + ".mac", "*.mac", "Save to file:", true, path)) return false;
    if (!TakeProjectPath(path)) return false;
    if (!ProjectValid()) return MacroCheckProject() == 0;
  }
  path = MacroProjectBase() + ".mac";
  if (MacroSaveMacData(path) != 0) {
    ClearFlags(MAC_FLAG_SAVED);
    Lamp(MACRO_LED_SAVED, false);
    return false;
  }
  Saved(path);
  return true;
}

bool TransferRunning(const char* what) {
  if (!(ubMcFlag & MC_FLAG_MEMORY_TRANSFER)) return false;
  MacroMessage(std::string(what) + ": a memory transfer is running\n");
  return true;
}

// Link and engine checks of the commands that talk to the controller.
bool ReadyForController(const char* what) {
  if (ubCqDataChannel == CQ_LINK_NONE) {
    MacroMessage("Target not connected!\n");
    return false;
  }
  if (McycleMemoryCanStart()) return true;
  MacroMessage(std::string(what) + ": an operation is running\n");
  return false;
}

void New() {
  std::string why;
  const std::string path = MacroResourceFile("example.mac", why);
  if (path.empty()) {
    MacroMessage(why + "\n");
    return;
  }
  if (MacroLoadMacData(path) != 0) {
    MacroMessage("ERROR: Macro loading error!\n");
    return;
  }
  const std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  ShowSource(MacroStampTemplate(MacroSourceText(), t));
  PanelSetString(Macro(), MACRO_STR_NAME, "Example");
  LampsOff();
  Lamp(MACRO_LED_LOADED, true);
  PanelClearText(Macro(), MACRO_TXTBOX_MSG);
  MacroMessage("Macro new: Example.mac\n");
  ubMacFlag = static_cast<uint8_t>((ubMacFlag | MAC_FLAG_PROJECT) & ~(MAC_FLAG_SAVED | MAC_FLAG_COMPILED));
}

void Load() {
  if (TransferRunning("Macro load")) return;
  std::string path;
  if (!PanelFileSelectPopup(MacroProjectDir(), ".mac", "*.mac;*.mbi", "Load file:", false, path)) return;
  std::string dir, stem, ext;
  SplitPath(path, dir, stem, ext);
  if (ext == ".mbi") {
    LampsOff();
    ShowSource("");
    ClearFlags(MAC_FLAG_PROJECT | MAC_FLAG_SAVED | MAC_FLAG_COMPILED);
    if (MacroLoadMbiData(path) != 0) {
      HmiLogDirect("ERROR: Macro loading error!\n");
      return;
    }
    MacroMessage("Macro binär data (*.mbi)\n" + Printf("Macro load: %s\n", path));
    char line[64];
    std::snprintf(line, sizeof line, "Macro CRC32: 0x%08X\nMacro size:  %u\n", static_cast<unsigned>(udMacFileCrc),
                  static_cast<unsigned>(udMacFileSize));
    MacroMessage(line);
    return;
  }
  LampsOff();
  ShowSource("");
  ClearFlags(MAC_FLAG_PROJECT | MAC_FLAG_SAVED | MAC_FLAG_COMPILED);
  PanelSetString(Macro(), MACRO_STR_NAME, stem);
  MacroMessage(Printf("Macro load: %s\n", path));
  if (ext != ".mac" || MacroLoadMacData(path) != 0) {
    Lamp(MACRO_LED_ERROR, true);
    MacroMessage("ERROR: Macro loading error!\n");
    return;
  }
  ShowSource(MacroSourceText());
  if (!MacroSetProjectDir(dir)) return;
  Lamp(MACRO_LED_LOADED, true);
  Lamp(MACRO_LED_SAVED, true);
  ubMacFlag |= MAC_FLAG_PROJECT | MAC_FLAG_SAVED;
}

void Save() {
  if (MacroCheckProject() != 0) return;
  std::string path;
  if (!PanelFileSelectPopup(MacroProjectDir(), MacroProjectName() + ".mac", "*.mac", "Save to file:", true, path))
    return;
  if (!TakeProjectPath(path)) return;
  if (MacroSaveMacData(path) != 0) {
    ClearFlags(MAC_FLAG_SAVED);
    Lamp(MACRO_LED_SAVED, false);
    return;
  }
  Saved(path);
}

// Saves when needed (asking first unless the operator agreed already),
// assembles and builds the image; true when the image was built.
bool Compile(bool askToSave) {
  Lamp(MACRO_LED_COMPILED, false);
  Lamp(MACRO_LED_ERROR, false);
  ClearFlags(MAC_FLAG_COMPILED);
  if (!(ubMacFlag & MAC_FLAG_SAVED)) {
    if (askToSave && !PanelConfirmPopup("File not saved", "Save before compiling?")) {
      MacroMessage("Macro saving aborted! Macro not saved!\nMacro compiling aborted!\n");
      return false;
    }
    if (!SaveProjectSource()) {
      Lamp(MACRO_LED_ERROR, true);
      return false;
    }
  }
  const std::string base = MacroProjectBase();
  if (MacroCompile(base) != 0 || MacroCreateFile(base) != 0) {
    Lamp(MACRO_LED_ERROR, true);
    return false;
  }
  char line[80];
  std::snprintf(line, sizeof line, "Macro compiling succesfully!\nMacro size:  %u\nMacro CRC32: 0x%08X\n",
                static_cast<unsigned>(udMacFileSize), static_cast<unsigned>(udMacFileCrc));
  MacroMessage(line);
  MacroMessage(Printf("File %s.mbi created\n", MacroProjectName()) + Printf("File %s.lst created\n", MacroProjectName()));
  ubMacFlag |= MAC_FLAG_COMPILED;
  Lamp(MACRO_LED_COMPILED, true);
  return true;
}

void Clean() {
  if (MacroCheckProject() != 0) return;
  const std::string base = MacroProjectBase();
  if (base.empty()) {
    MacroMessage("Clean: the project has no directory yet\n");
    return;
  }
  MacroMessage(Printf("\nClean project %s\n", MacroProjectName()));
  for (const char* ext : {".mbi", ".lst", ".err"}) {
    const std::string file = base + ext;
    if (std::remove(file.c_str()) == 0) {
      MacroMessage(Printf("File %s deleted\n", file));
    } else if (errno == ENOENT) {
      MacroMessage(Printf("File %s doesn't exist\n", file));
    } else {
      char line[48];
      std::snprintf(line, sizeof line, "Clean error: %d!\n", errno);
      MacroMessage(line);
      return;
    }
  }
  MacroMessage("Clean successfully\n");
  ClearFlags(MAC_FLAG_COMPILED);
  Lamp(MACRO_LED_COMPILED, false);
}

// The image to upload: the project's, assembled first when the operator
// agrees, or a file the operator picks. Empty: nothing to upload.
std::string UploadImagePath() {
  if (!ProjectValid()) {
    std::string path;
    if (!PanelFileSelectPopup(MacroProjectDir(), "*.mbi", "*.mbi", "Macro Upload: Load file:", false, path)) return {};
    MacroMessage(Printf("Macro load: %s\n", path));
    return path;
  }
  const std::string name = MacroProjectName();
  const uint8_t flags = ubMacFlag;
  if (!(flags & MAC_FLAG_SAVED) && !(flags & MAC_FLAG_COMPILED)) {
    if (!PanelConfirmPopup(Printf("File %s.mac not saved and compiled", name), "Save and compile before upload?") ||
        !Compile(false)) {
      MacroMessage("Macro Upload: aborted\n");
      return {};
    }
  } else if (!(flags & MAC_FLAG_COMPILED)) {
    if (PanelConfirmPopup(Printf("File %s.mac not compiled", name), "Compile before upload?")) {
      if (!Compile(true)) {
        MacroMessage("Macro Upload: aborted\n");
        return {};
      }
    } else {
      MacroMessage("Macro Upload: not compiled; Upload old file\n");
    }
  }
  const std::string base = MacroProjectBase();
  if (base.empty()) {
    MacroMessage("ERROR: no project loaded!\n");
    return {};
  }
  return base + ".mbi";
}

void Upload() {
  if (!ReadyForController("Macro Upload")) return;
  const std::string path = UploadImagePath();
  if (path.empty()) return;
  if (MacroLoadMbiData(path) != 0) {
    MacroMessage("ERROR: Macro loading error!\n");
    return;
  }
  if (!McycleMemoryRequest(MC_FLAG_MEM_MACRO_PANEL | MC_FLAG_MEM_MACRO,
                           MC_FLAG_MEM_READ | MC_FLAG_MEM_ETHERNET | MC_FLAG_MEM_ERASE))
    MacroMessage("Macro Upload: an operation is running\n");
}

void Download() {
  if (!ReadyForController("Memory Download")) return;
  if (!(ubMacFlag & MAC_FLAG_SAVED) && ProjectValid()) {
    if (PanelConfirmPopup(Printf("File %s.mac not saved", MacroProjectName()), "Save before download?"))
      SaveProjectSource();
    else
      MacroMessage("Macro saving aborted! Macro not saved!\n");
  }
  std::string path;
  if (!PanelFileSelectPopup(MacroProjectDir(), MacroProjectName() + ".mbi", "*.mbi", "Download: save (*.mbi) to file:",
                            true, path)) {
    MacroMessage("Macro download: aborted!\n");
    return;
  }
  chMcDownloadPath = path;
  if (!McycleMemoryRequest(MC_FLAG_MEM_MACRO_PANEL | MC_FLAG_MEM_READ | MC_FLAG_MEM_MACRO,
                           MC_FLAG_MEM_ETHERNET | MC_FLAG_MEM_ERASE)) {
    MacroMessage("Memory Download: an operation is running\n");
    return;
  }
  // The project becomes the downloaded file's, its source empty.
  TakeProjectPath(path);
  ShowSource("");
  ubMacFlag = static_cast<uint8_t>((ubMacFlag | MAC_FLAG_SAVED) & ~MAC_FLAG_COMPILED);
  Lamp(MACRO_LED_COMPILED, false);
}

void Erase() {
  if (!ReadyForController("Memory Erase")) return;
  if (!McycleMemoryRequest(MC_FLAG_MEM_MACRO | MC_FLAG_MEM_ERASE, MC_FLAG_MEM_READ | MC_FLAG_MEM_ETHERNET))
    MacroMessage("Memory Erase: an operation is running\n");
}

void MacroCommand(bool start) {
  if (!ReadyForController("Macro")) return;
  std::string line = "Macro: stop macros";
  if (start) {
    int64_t number = 0;
    PanelGetInt(Macro(), MACRO_NUM_MACRO, number);
    const auto n = static_cast<uint8_t>(number);
    sCmdContainer.entries[CTRL_CMD_MACRO_START].udData = CMD_CODE_MACRO_START | n;
    char text[40];
    std::snprintf(text, sizeof text, "Macro: start macro %d", n);
    line = text;
  }
  if (!McycleSignalQueuePut(start ? MC_SIG_MACRO_START : MC_SIG_MACRO_STOP)) {
    MacroMessage("Macro: an operation is running\n");
    return;
  }
  HmiLogDirect(line + "\n");
  MacroMessage(line + "\n");
}

void SaveStatusLog() {
  std::string path;
  if (!PanelFileSelectPopup(MacroProjectDir(), "ZEL_Mac_Sts.log", "*.log", "Save status log:", true, path)) return;
  std::string box, error;
  PanelGetString(Macro(), MACRO_TXTBOX_MSG, box);
  if (!box.empty() && box.back() != '\n') box += '\n';
  if (!FileWriteAtomically(path, HmiFileHeader("", "Macro Status Logfile created by StrokeDesk") + box, error))
    MacroMessage("Status log " + path + " not saved: " + error + "\n");
}

int CloseTestPanel(int panel, int, int event, void*, int, int) {
  if (event == EVENT_COMMIT) PanelHide(panel);
  return 0;
}

}  // namespace

int CMD_Callback(int, int control, int event, void*, int, int) {
  if (event != EVENT_COMMIT) return 0;
  switch (control) {
    case MACRO_CMD_NEW: New(); break;
    case MACRO_CMD_LOAD: Load(); break;
    case MACRO_CMD_SAVE: Save(); break;
    case MACRO_CMD_WIZARD: PanelDisplay(uwMcWizardPanelHandle); break;
    case MACRO_CMD_COMPILE:
      if (!TransferRunning("Macro compile") && MacroCheckProject() == 0) Compile(true);
      break;
    case MACRO_CMD_CLEAN: Clean(); break;
    case MACRO_CMD_UPLOAD: Upload(); break;
    case MACRO_CMD_DOWNLOAD: Download(); break;
    case MACRO_CMD_ERASE: Erase(); break;
    case MACRO_CMD_START: MacroCommand(true); break;
    case MACRO_CMD_STOP: MacroCommand(false); break;
    case MACRO_CMD_SAVE_LOG: SaveStatusLog(); break;
    default: break;
  }
  return 0;
}

void MacroSourceEdited() {
  ClearFlags(MAC_FLAG_SAVED | MAC_FLAG_COMPILED);
  for (int c : {MACRO_LED_SAVED, MACRO_LED_COMPILED, MACRO_LED_LOADED}) Lamp(c, false);
}

int TXT_EDITOR_Callback(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_VAL_CHANGED) {
    MacroSourceEdited();
  } else if (event == EVENT_CURSOR_MOVED) {
    int line = 0;
    PanelGetCursorLine(panel, control, line);
    PanelSetInt(panel, MACRO_NUM_LINE, line + 1);
  }
  return 0;
}

int STR_PATH_Callback(int, int, int event, void*, int, int) {
  if (event != EVENT_LEFT_CLICK) return 0;
  std::string dir;
  if (!PanelDirSelectPopup(MacroProjectDir(), "Select Directory", dir) || !MacroSetProjectDir(dir)) return 0;
  ClearFlags(MAC_FLAG_SAVED | MAC_FLAG_COMPILED);
  Lamp(MACRO_LED_SAVED, false);
  Lamp(MACRO_LED_COMPILED, false);
  return 0;
}

int MacroEventCallback(int panel, int, int event, void*, int eventData1, int) {
  switch (event) {
    case EVENT_KEYPRESS:
      if (eventData1 == PANEL_KEY_ESC) PanelHide(panel);
      break;
    case EVENT_GOT_FOCUS:
      if (ubMcFlag & MC_FLAG_MEMORY_TRANSFER) PanelDisplay(uwMcMacroLoadPanelHandle);
      break;
    case EVENT_CLOSE:
      if (!(ubMacFlag & MAC_FLAG_SAVED) && ProjectValid() &&
          PanelConfirmPopup("File not saved", "Save before closing?"))
        SaveProjectSource();
      PanelHide(panel);
      PanelHide(uwMcWizardPanelHandle);
      break;
    default: break;
  }
  return 0;
}

int CMD_TEST_Callback(int, int, int event, void*, int, int) {
  if (event != EVENT_COMMIT) return 0;
  std::string text;
  char line[96];
  std::snprintf(line, sizeof line, "Image size:     %u bytes\nSize field:     %u\nCRC32 stored:   0x%08X\n",
                static_cast<unsigned>(MacroGetFileDataSize()), static_cast<unsigned>(MacroImageHeaderSize()),
                static_cast<unsigned>(MacroImageHeaderCrc()));
  text += line;
  std::snprintf(line, sizeof line, "CRC32 computed: 0x%08X\n\n", static_cast<unsigned>(MacroImageComputedCrc()));
  text += line;
  uint32_t offset = 0;
  while (offset < MacroGetFileDataSize()) {
    const uint32_t at = offset;
    std::snprintf(line, sizeof line, "%04X:", static_cast<unsigned>(at));
    text += line;
    for (int w = 0; w < 4 && offset < MacroGetFileDataSize(); ++w) {
      std::snprintf(line, sizeof line, " %08X", static_cast<unsigned>(MacroGetFileData(offset)));
      text += line;
    }
    text += '\n';
  }
  PanelSetString(uwMcMacroTestPanelHandle, MTEST_TXTBOX, text);
  PanelDisplay(uwMcMacroTestPanelHandle);
  return 0;
}

void MacroPanelSetUp() {
  const int p = Macro();
  for (int c : std::initializer_list<int>{MACRO_CMD_NEW, MACRO_CMD_LOAD, MACRO_CMD_SAVE, MACRO_CMD_WIZARD, MACRO_CMD_COMPILE, MACRO_CMD_CLEAN,
                MACRO_CMD_UPLOAD, MACRO_CMD_DOWNLOAD, MACRO_CMD_ERASE, MACRO_CMD_START, MACRO_CMD_STOP,
                MACRO_CMD_SAVE_LOG})
    PanelInstallCallback(p, c, CMD_Callback, nullptr);
  PanelInstallCallback(p, MACRO_CMD_TEST, CMD_TEST_Callback, nullptr);
  PanelInstallCallback(p, MACRO_TXT_EDITOR, TXT_EDITOR_Callback, nullptr);
  PanelInstallCallback(p, MACRO_STR_PATH, STR_PATH_Callback, nullptr);
  PanelInstallCallback(p, 0, MacroEventCallback, nullptr);
  PanelInstallCallback(uwMcMacroLoadPanelHandle, 0, MacroLoadEventCallback, nullptr);
  PanelInstallCallback(uwMcMacroTestPanelHandle, 0, HelpEventCallback, nullptr);
  PanelInstallCallback(uwMcMacroTestPanelHandle, MTEST_CMD_CLOSE, CloseTestPanel, nullptr);
  MacroWizardPanelSetUp();
}
