// Steps of the script machine that live in files of their own: object
// access, the DOS command, files and folders. Tick only.
#pragma once
#include <cstddef>
#include <cstdint>

#include "params/CtrlCmd.h"

// What the machine does after a step.
enum class ScriptStep : uint8_t {
  Wait,  // call the step again on the next tick
  Next,  // go on with the next entry
  End,   // end the script
  Fail,  // end the script on a run-time error (a batch run then fails)
};

// The entry's text argument, "" when it has none.
const char* ScriptText(const CtrlCmdEntry& e);
// "Error: path length to big!\n", which ends the script.
ScriptStep ScriptPathTooLong();

// One object read or write through the queue, with its log lines.
ScriptStep ScriptObjectAccess(CtrlCmdEntry& e);

// DOS: starts the command on the first call, then polls it.
ScriptStep ScriptDos(const CtrlCmdEntry& e);
// Ends a running DOS command (stop request); false when none runs.
bool ScriptDosStop();

// Object log file and the files and folders of the script commands.
ScriptStep ScriptLogCreate(const CtrlCmdEntry& e);
ScriptStep ScriptLogAppend(const CtrlCmdEntry& e);
ScriptStep ScriptLogClose();
ScriptStep ScriptLogSave(const CtrlCmdEntry& e);
ScriptStep ScriptTraceSave(const CtrlCmdEntry& e);
ScriptStep ScriptTracePath(const CtrlCmdEntry& e);
ScriptStep ScriptLogPath(const CtrlCmdEntry& e);
// Writes one object-log line: 0 written; 1 no file open; 2 write failed.
uint8_t ScriptObjectLogWrite(const char* line);
// Expands "$DATE" and "$TIME", written in any case, in place. 0, or 1 when
// the result would not fit in `size` bytes (text unchanged).
int ScriptExpandMeta(char* text, size_t size);
