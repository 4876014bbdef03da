// Machine 0x06: runs the compiled script or command line in sScrContainer,
// one step per tick.
#include "objects/ScriptMachine.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "app/Startup.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/McycleIo.h"
#include "engine/McycleBatch.h"
#include "engine/McycleMachines.h"
#include "hmi/hmi.h"
#include "objects/OBJCMD.h"
#include "objects/ScriptSteps.h"
#include "params/CtrlCmd.h"
#include "scope/ScopeDisplay.h"
#include "scope/scope.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

namespace {

uint16_t uwScrIndex;       // entry being run
uint32_t udScrDelayStart;  // engine time a DLY began

CtrlCmdContainer& Scr() { return sScrContainer; }
bool LoggingOff() { return (ubMcFlag3 & MC_FLAG3_SCRIPT_LOG_OFF) != 0; }
void NextEntry() {
  ++uwScrIndex;
  McycleGo(MC_SCRIPT_NEXT);
}

// Where a skip over one entry lands, said as its line or as the script's end
// (a skip from one of the last two entries must not name an entry that is
// not part of the script).
void SaySkip(const char* head) {
  const unsigned target = uwScrIndex + 2u;
  if (target < Scr().uwNumOfEntries)
    McycleLogf("%sskip to line %d", head, Scr().entries[target].uwLine);
  else
    McycleLogf("%sskip to end of script", head);
}

// Counter c of the entry, or nullptr (said, script ends) outside 1..10.
uint32_t* Counter(const CtrlCmdEntry& e) {
  if (e.ubCounter >= 1 && e.ubCounter <= CTRL_CMD_COUNTERS) return &Scr().udCounter[e.ubCounter - 1];
  McycleLogf("Error line %d: Counter error (< 1 or > 10)", e.uwLine);
  return nullptr;
}

ScriptStep Goto(const CtrlCmdEntry& e) {
  const uint16_t target = e.uwLabel >= 1 && e.uwLabel <= 9 ? Scr().uwLabelEntry[e.uwLabel - 1] : CTRL_CMD_LABEL_UNDEFINED;
  if (target >= Scr().uwNumOfEntries) {
    McycleLogf("Error line %d: label %d not defined", e.uwLine, e.uwLabel);
    return ScriptStep::Fail;
  }
  McycleLogf("GOTO label %d, line %d", e.uwLabel, Scr().entries[target].uwLine);
  uwScrIndex = target;
  return ScriptStep::Wait;  // the index is set: look at that entry next
}

ScriptStep CounterDec(const CtrlCmdEntry& e) {
  uint32_t* c = Counter(e);
  if (!c) return ScriptStep::Fail;
  if (*c == 0) {
    McycleLogf("Counter %d error: counter < 0", e.ubCounter);
    return ScriptStep::Fail;
  }
  --*c;
  McycleLogf("Counter %d dec = %d", e.ubCounter, static_cast<int>(*c));
  return ScriptStep::Next;
}

ScriptStep Skip(const CtrlCmdEntry& e, bool onZero) {
  uint32_t* c = Counter(e);
  if (!c) return ScriptStep::Fail;
  if ((*c == 0) != onZero) return ScriptStep::Next;
  char head[64];
  if (onZero)
    std::snprintf(head, sizeof head, "Counter %d == %d -> ", e.ubCounter, static_cast<int>(*c));
  else
    std::snprintf(head, sizeof head, "Counter %d != 0 -> ", e.ubCounter);
  SaySkip(head);
  ++uwScrIndex;  // and the caller's Next: two ahead
  return ScriptStep::Next;
}

// IF compares the value of the entry before it. The compiler refuses the
// cases that cannot be decided; should one reach the machine all the same,
// the script ends instead of repeating the line for ever.
ScriptStep If(const CtrlCmdEntry& e) {
  const char* op = ScriptText(e);
  const bool known = !std::strcmp(op, "==") || !std::strcmp(op, "!=") || !std::strcmp(op, ">") || !std::strcmp(op, "<");
  if (uwScrIndex == 0 || !known) {
    McycleLogf("Error line %d: IF %s without a value to compare", e.uwLine, op);
    return ScriptStep::Fail;
  }
  const uint32_t read = Scr().entries[uwScrIndex - 1].udData;
  const uint32_t value = e.udData;
  McycleLogf("IF 0x%04X %s 0x%04X", read, op, value);
  bool truth = false;
  if (op[0] == '=') truth = read == value;
  else if (op[0] == '!') truth = read != value;
  else if (op[0] == '>') truth = read > value;
  else truth = read < value;
  if (truth) {
    McycleLog("TRUE: next line");
  } else {
    SaySkip("FALSE: ");
    ++uwScrIndex;
  }
  return ScriptStep::Next;
}

ScriptStep TraceDownload() {
  // The download machine comes back to 0x0605; without room for that the
  // script could not go on.
  if (McyclePush(MC_SCRIPT_TRACE_BACK) != 0) {
    McycleLog("Trace: Download not started (return stack full)");
    return ScriptStep::Fail;
  }
  udScopeTime = 0;
  McycleLog("Trace: Download");
  ubMcFlag2 &= static_cast<uint8_t>(~MC_FLAG2_TRACE_PRESENT);
  McycleGo(MC_SCOPE_DOWNLOAD_START);
  return ScriptStep::Wait;
}

ScriptStep ScopeControl(int control, int64_t value) {
  PanelSetInt(uwMcScopePanelHandle, control, value);
  ScopeDisplayRefresh();
  return ScriptStep::Next;
}

// The log window is cleared or saved only once the lines queued before this
// entry are in it.
bool LogWindowBehind() { return ubHiQueueCounter != 0; }

// One entry of step 0x0601: the first of its kind bits decides.
ScriptStep RunEntry(CtrlCmdEntry& e) {
  const uint32_t f = e.udFlags;
  if (f & SCR_FLAG_DLY) {
    udScrDelayStart = McTimerGetCurrentTime();
    if (!LoggingOff()) McycleLogf("DLY  %d ms", static_cast<int>(e.udData));
    McycleGo(MC_SCRIPT_DELAY);
    return ScriptStep::Wait;
  }
  if (f & SCR_FLAG_DOS) return McycleGo(MC_SCRIPT_DOS), ScriptStep::Wait;
  if (f & SCR_FLAG_TRACE_DOWNLOAD) return TraceDownload();
  if (f & SCR_FLAG_TRACE_SAVE) return McycleGo(MC_SCRIPT_TRACE_SAVE), ScriptStep::Wait;
  if (f & SCR_FLAG_TRACE_PATH) return McycleGo(MC_SCRIPT_TRACE_PATH), ScriptStep::Wait;
  if (f & SCR_FLAG_LABEL) return ScriptStep::Next;
  if (f & SCR_FLAG_GOTO) return Goto(e);
  if (f & SCR_FLAG_COUNTER_SET) {
    uint32_t* c = Counter(e);
    if (!c) return ScriptStep::Fail;
    *c = e.udArg1;
    return ScriptStep::Next;
  }
  if (f & SCR_FLAG_COUNTER_DEC) return CounterDec(e);
  if (f & SCR_FLAG_SKIP_ZERO) return Skip(e, true);
  if (f & SCR_FLAG_SKIP_NONZERO) return Skip(e, false);
  if (f & SCR_FLAG_STOP) {
    McycleLog("Stop");
    return ScriptStep::End;
  }
  if (f & SCR_FLAG_LOG_CLEAR) {
    if (LogWindowBehind()) return ScriptStep::Wait;
    HmiClearLogWindow();
    return ScriptStep::Next;
  }
  if (f & SCR_FLAG_LOG_SAVE) return LogWindowBehind() ? ScriptStep::Wait : ScriptLogSave(e);
  if (f & SCR_FLAG_IF) return If(e);
  if (f & SCR_FLAG_SCOPE_SAMPLE_TIME) return ScopeControl(SCOPE_NUM_TIME_AXIS, e.udData);
  if (f & SCR_FLAG_SCOPE_AXIS_POS) return ScopeControl(SCOPE_NUM_AXIS_POS, static_cast<int16_t>(e.udData));
  if (f & SCR_FLAG_SCOPE_AXIS_GAIN) return ScopeControl(SCOPE_NUM_AXIS_GAIN, static_cast<int32_t>(e.udData));
  if (f & SCR_FLAG_LOG_PATH) return McycleGo(MC_SCRIPT_LOG_PATH), ScriptStep::Wait;
  if (f & SCR_FLAG_LOG_CREATE) return ScriptLogCreate(e);
  if (f & SCR_FLAG_LOG_APPEND) return ScriptLogAppend(e);
  if (f & SCR_FLAG_LOG_CLOSE) return ScriptLogClose();
  McycleGo(MC_SCRIPT_OBJECT);
  return ScriptStep::Wait;
}

// Applies a step's outcome. Wait leaves the state as the step set it.
void After(ScriptStep step) {
  if (step == ScriptStep::Next) NextEntry();
  else if (step == ScriptStep::End) McycleGo(MC_SCRIPT_END);
  else if (step == ScriptStep::Fail) {
    McycleBatchNoteFailure();
    McycleGo(MC_SCRIPT_END);
  }
}

// A stop request is honoured at the start of a step, except while a request
// of this script is on its way: its slot must be finished and freed first,
// or the next operation would be handed this request's result.
bool StopNow(uint16_t state) {
  if (!(ubMcFlag2 & MC_FLAG2_SCRIPT_STOP_REQUEST)) return false;
  return !(state == MC_SCRIPT_OBJECT && ubCQWriteSDOState == 2);
}

}  // namespace

void McycleWriteScriptListStateMachine() {
  const uint16_t state = uwMcycleState;
  // An Esc pressed while no script ran is not meant for this one.
  if (state == MC_SCRIPT_START) ubMcFlag2 &= static_cast<uint8_t>(~MC_FLAG2_SCRIPT_STOP_REQUEST);
  if (StopNow(state)) {
    ubMcFlag2 &= static_cast<uint8_t>(~(MC_FLAG2_SCRIPT_STOP_REQUEST | MC_FLAG2_SCRIPT_REWIND));
    if (ScriptDosStop()) McycleLog("DOS: command ended");
    McycleGo(MC_SCRIPT_END);
    return;
  }
  CtrlCmdEntry& e = Scr().entries[uwScrIndex < CTRL_CMD_MAX_ENTRIES ? uwScrIndex : 0];
  switch (state) {
    case MC_SCRIPT_START:
      uwScrIndex = 0;
      McycleGo(MC_SCRIPT_NEXT);
      return;
    case MC_SCRIPT_NEXT:
      if (uwScrIndex >= Scr().uwNumOfEntries) {
        // REWIND starts over at the first entry; 0x0600 is only entered
        // from outside, so a stop request meant for this run is kept.
        if (ubMcFlag2 & MC_FLAG2_SCRIPT_REWIND) uwScrIndex = 0;
        else McycleGo(MC_SCRIPT_END);
        return;
      }
      After(RunEntry(e));
      return;
    case MC_SCRIPT_OBJECT: After(ScriptObjectAccess(e)); return;
    case MC_SCRIPT_DELAY:
      if (McTimerGetCurrentTime() - udScrDelayStart > e.udData) NextEntry();
      return;
    case MC_SCRIPT_DOS: After(ScriptDos(e)); return;
    case MC_SCRIPT_TRACE_BACK: NextEntry(); return;
    case MC_SCRIPT_TRACE_SAVE: After(ScriptTraceSave(e)); return;
    case MC_SCRIPT_TRACE_PATH: After(ScriptTracePath(e)); return;
    case MC_SCRIPT_LOG_PATH: After(ScriptLogPath(e)); return;
    case MC_SCRIPT_END:
    default:
      ubMcFlag2 &= static_cast<uint8_t>(~(MC_FLAG2_SCRIPT_STOP_REQUEST | MC_FLAG2_SCRIPT_REWIND));
      McycleGo(MC_STATE_IDLE);
      return;
  }
}

const char* ScriptText(const CtrlCmdEntry& e) { return e.pText ? e.pText : ""; }
