// Files and folders of the script commands: the object log file, LOG_SAVE,
// TRACE_SAVE and the two folders with their meta strings.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/Startup.h"
#include "app/SystemInfo.h"
#include "engine/Mcycle.h"
#include "engine/McycleIo.h"
#include "hmi/hmi.h"
#include "objects/ScriptMachine.h"
#include "objects/ScriptSteps.h"
#include "scope/ScopeFile.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

char ubMcTraceSavePath[MC_PATH_MAX + 1];
char ubMcLogSavePath[MC_PATH_MAX + 1];
FILE* fpMcLogFile;

namespace {

// Joins a folder and a file name with "/" (nothing before the name when the
// folder is empty: the current folder). False when longer than MC_PATH_MAX.
bool JoinPath(const char* folder, const std::string& name, std::string& out) {
  out = folder;
  if (!out.empty() && out.back() != '/') out += '/';
  out += name;
  return out.size() <= MC_PATH_MAX;
}

// Flushes and closes the open object log file first, then opens `path`: a
// new file (an existing one is never overwritten) or one to append to.
bool OpenObjectLog(const std::string& path, bool append) {
  if (fpMcLogFile && McycleObjectLogClose() == 2) McycleLog("Error: log file not completely written");
  // Not inherited by the commands DOS starts.
  fpMcLogFile = std::fopen(path.c_str(), append ? "ae" : "wxe");
  if (fpMcLogFile) return true;
  McycleLogf("Error: can't open log file: %s (%s)", path.c_str(), std::strerror(errno));
  return false;
}

// Replaces a folder by the entry's text with its meta strings expanded; the
// old folder stays when the new one does not fit.
ScriptStep SetFolder(const CtrlCmdEntry& e, char* folder, const char* label) {
  char path[MC_PATH_MAX + 1];
  const char* text = ScriptText(e);
  if (std::strlen(text) > MC_PATH_MAX) return ScriptPathTooLong();
  std::strcpy(path, text);
  if (ScriptExpandMeta(path, sizeof path) != 0) return ScriptPathTooLong();
  std::strcpy(folder, path);
  McycleLogf("%s %s", label, folder);
  return ScriptStep::Next;
}

bool MetaAt(const char* p, const char* meta) {
  for (int i = 0; i < 5; ++i) {
    const char c = p[i];
    if ((c >= 'a' && c <= 'z' ? c - 32 : c) != meta[i]) return false;
  }
  return true;
}

}  // namespace

uint8_t McycleObjectLogClose() {
  if (!fpMcLogFile) return 1;
  const bool flushed = std::fflush(fpMcLogFile) == 0;
  const bool closed = std::fclose(fpMcLogFile) == 0;
  fpMcLogFile = nullptr;
  return flushed && closed ? 0 : 2;
}

uint8_t ScriptObjectLogWrite(const char* line) {
  if (!fpMcLogFile) return 1;
  return std::fputs(line, fpMcLogFile) >= 0 ? 0 : 2;
}

ScriptStep ScriptPathTooLong() {
  McycleLog("Error: path length to big!\n");
  return ScriptStep::Fail;
}

int ScriptExpandMeta(char* text, size_t size) {
  // Scripts keep their text as typed, and the help text writes the meta
  // strings in lower case: any case is taken.
  std::string copy(text);
  for (size_t i = 0; i + 5 <= copy.size(); ++i)
    for (const char* meta : {"$DATE", "$TIME"})
      if (MetaAt(copy.c_str() + i, meta)) copy.replace(i, 5, meta);
  if (copy.size() >= size) return 1;
  std::strcpy(text, copy.c_str());
  return McycleGetMetaPath(text, size);
}

ScriptStep ScriptLogCreate(const CtrlCmdEntry& e) {
  std::string path;
  if (!JoinPath(ubMcLogSavePath, McycleDateTimeStamp('-') + "_" + ScriptText(e), path)) return ScriptPathTooLong();
  if (OpenObjectLog(path, false)) McycleLogf("open log file: %s", path.c_str());
  return ScriptStep::Next;
}

ScriptStep ScriptLogAppend(const CtrlCmdEntry& e) {
  std::string path;
  if (!JoinPath(ubMcLogSavePath, ScriptText(e), path)) return ScriptPathTooLong();
  if (OpenObjectLog(path, true)) McycleLogf("append log file: %s", ScriptText(e));
  return ScriptStep::Next;
}

ScriptStep ScriptLogClose() {
  switch (McycleObjectLogClose()) {
    case 1: McycleLog("Log close: no log file open"); break;
    case 2: McycleLog("Error: log file not completely written"); break;
    default: break;
  }
  return ScriptStep::Next;
}

ScriptStep ScriptLogSave(const CtrlCmdEntry& e) {
  std::string path;
  if (!JoinPath(ubMcTraceSavePath, McycleDateTimeStamp('-') + "-" + ScriptText(e) + ".log", path)) return ScriptPathTooLong();
  McycleLogf("%s %s", "Trace: Save", path.c_str());
  HmiLogSave(path);  // says so itself when it fails
  return ScriptStep::Next;
}

ScriptStep ScriptTraceSave(const CtrlCmdEntry& e) {
  std::string path;
  if (!JoinPath(ubMcTraceSavePath, McycleDateTimeStamp('-') + "-" + ScriptText(e) + ".loz", path)) return ScriptPathTooLong();
  McycleLogf("%s %s", "Trace: Save", path.c_str());
  if (!(ubMcFlag2 & MC_FLAG2_TRACE_PRESENT)) {
    McycleLog("Trace: Invalid Data");
  } else if (ScopeSaveTraceToFile(path.c_str()) == 0) {
    PanelSetString(uwMcScopePanelHandle, SCOPE_TXT_FILENAME, path);
  } else {
    McycleLog("Trace: File Error");
    McycleLog(ScopeFileReason().c_str());
  }
  return ScriptStep::Next;
}

ScriptStep ScriptTracePath(const CtrlCmdEntry& e) { return SetFolder(e, ubMcTraceSavePath, "Trace: Path = "); }
ScriptStep ScriptLogPath(const CtrlCmdEntry& e) { return SetFolder(e, ubMcLogSavePath, "Log Path = "); }
