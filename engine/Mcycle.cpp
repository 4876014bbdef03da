#include "engine/Mcycle.h"

#include <cstdio>
#include <mutex>

#include "app/Startup.h"
#include "comm/ComChannel.h"
#include "comm/ComQueue.h"
#include "engine/McycleIo.h"
#include "engine/McycleMachines.h"
#include "engine/Timer.h"
#include "hmi/hmi.h"
#include "macro/macro.h"
#include "objects/ScriptMachine.h"
#include "params/CtrlCmd.h"
#include "scope/scope.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

std::atomic<uint16_t> uwMcycleState{0};
std::atomic<uint32_t> udMcTimeTick{0};
uint16_t uwMcSignalQueue[MC_SIGNAL_QUEUE_SIZE];
uint8_t ubMcQueueCounterIn;
uint8_t ubMcQueueCounterOut;
std::atomic<uint8_t> ubMcSignalQueueCounter{0};
uint16_t uwMcStackMemory[MC_STACK_SIZE];
int16_t swStackPointer;
uint8_t ubMcCmd;

std::atomic<uint8_t> ubMcFlag{0};
std::atomic<uint8_t> ubMcFlag1{0};
std::atomic<uint8_t> ubMcFlag2{0};
std::atomic<uint8_t> ubMcFlag3{0};
std::atomic<uint8_t> ubMcFlag4{0};
std::atomic<uint8_t> ubMcFlag5{0};

uint8_t ubMcComSpeed;
uint32_t udMcIpAddr;

static_assert(MC_ASYNC_TICK_MS == static_cast<uint32_t>(ASYNC_TIMER_INTERVAL_S * 1000 + 0.5),
              "engine time follows the asynchronous timer's period");

namespace {

// Producers post from the GUI thread and from the tick; the consumer is the
// tick. One lock keeps the ring and its counters consistent.
std::mutex signalQueueLock;

// Counts cyclic polls for the ready lamp's blink.
uint8_t ubLedCount;

// A state word the dispatcher does not know is reported once per value.
uint16_t uwLastUnknownState;

// Send command-list entry `cmd` through the telegram-list machine.
void SendCommand(const char* text, uint8_t cmd, uint16_t state) {
  if (text) McycleLog(text);
  ubMcCmd = cmd;
  McycleGo(state);
}

// Signal 0 on an idle engine: stop the tick once nothing is pending. A signal
// or log line posted from another thread just before the stop would be
// stranded, so look again after stopping.
void IdleRule() {
  if ((ubMcFlag2 & MC_FLAG2_CYCLIC_READ_IN_PROGRESS) || ubHiQueueCounter != 0 ||
      !(ubCqFlag & CQ_FLAG_PASS_DONE))
    return;
  TimerStop();
  if (ubMcSignalQueueCounter != 0 || ubHiQueueCounter != 0) TimerStart();
}

struct CommandSignal {
  uint16_t signal;
  const char* text;
  uint8_t cmd;
  uint16_t state;
};

// Signals that send one command-list entry through machine 2.
constexpr CommandSignal kCommandSignals[] = {
    {MC_SIG_HOME, "Transmit Home Command", 1, MC_TELEGRAM_START},
    {MC_SIG_SEEK_POS1, "Transmit Seek Pos1 Command", 2, MC_TELEGRAM_START},
    {MC_SIG_SEEK_POS2, "Transmit Seek Pos2 Command", 3, MC_TELEGRAM_START},
    {MC_SIG_PUNCH, "Transmit Punch Command", 4, MC_TELEGRAM_START},
    {MC_SIG_FORM, "Transmit Form Command", 5, MC_TELEGRAM_START},
    {MC_SIG_MARK_ON, "Transmit Mark On Command", 10, MC_TELEGRAM_START},
    {MC_SIG_MARK_OFF, "Transmit Mark Off Command", 11, MC_TELEGRAM_START},
    {MC_SIG_HOVER_ON, "Transmit Hover On Command", 8, MC_TELEGRAM_START},
    {MC_SIG_HOVER_OFF, "Transmit Hover Off Command", 9, MC_TELEGRAM_START},
    {MC_SIG_PRESS_ON, "Transmit Press On Command", 6, MC_TELEGRAM_START},
    {MC_SIG_PRESS_OFF, "Transmit Press Off Command", 7, MC_TELEGRAM_START},
    {MC_SIG_SAMPLE_TIME, nullptr, 16, MC_TELEGRAM_START},
    {MC_SIG_RAMTYPE, nullptr, 17, MC_TELEGRAM_START},
    {MC_SIG_UDSEL_INHIBIT_ON, "Transmit UDSEL inhibit on Command", 20, MC_TELEGRAM_START},
    {MC_SIG_UDSEL_INHIBIT_OFF, "Transmit UDSEL inhibit off Command", 21, MC_TELEGRAM_START},
    {MC_SIG_TRIGGER_BACKWARD, "Transmit Trigger Backward Trace Command", 22, MC_TELEGRAM_SELECTOR},
    {MC_SIG_TRIGGER_FORWARD, "Transmit Trigger Forward Trace Command", 23, MC_TELEGRAM_SELECTOR},
    {MC_SIG_TRIGGER_MCYCLE, "Transmit Trigger Trace Mcycle Command", 24, MC_TELEGRAM_SELECTOR},
    {MC_SIG_TRIGGER_HARDWARE, "Transmit Trigger Trace Hardware Command", 25, MC_TELEGRAM_SELECTOR},
    {MC_SIG_TRACE_FREEZE, "Transmit Trigger Trace Freeze Command", 26, MC_TELEGRAM_SELECTOR},
    {MC_SIG_TRACE_UNFREEZE, "Transmit Trigger Trace UnFreeze Command", 27, MC_TELEGRAM_SELECTOR},
    {MC_SIG_CYCLE_BASIC, "Transmit Cycle Basic Command", 28, MC_TELEGRAM_START},
    {MC_SIG_CYCLE_FORM2, "Transmit Cycle Form2 Command", 29, MC_TELEGRAM_START},
    {MC_SIG_CYCLE_FORM3, "Transmit Cycle Form3 Command", 30, MC_TELEGRAM_START},
    {MC_SIG_TRIGGER, "Transmit Trigger Command", 31, MC_TELEGRAM_SELECTOR},
    {MC_SIG_PRESSURE_MON_ON, "Transmit Pressure Monitor on Command", 33, MC_TELEGRAM_START},
    {MC_SIG_PRESSURE_MON_OFF, "Transmit Pressure Monitor off Command", 34, MC_TELEGRAM_START},
    {MC_SIG_FORM_SILENT, nullptr, 5, MC_TELEGRAM_START},
    {MC_SIG_SEEK_POS1_ABS, "Transmit Seek Pos1 Command", 36, MC_TELEGRAM_START},
    {MC_SIG_HOME_ABSOLUT, "Transmit Home Absolut Command", 37, MC_TELEGRAM_START},
    {MC_SIG_JOG_ON, "Transmit Jog on Command", 38, MC_TELEGRAM_START},
    {MC_SIG_JOG_OFF, "Transmit Jog off Command", 39, MC_TELEGRAM_START},
    {MC_SIG_MACRO_STOP, "Transmit Macro Stop Command", 40, MC_TELEGRAM_START},
    {MC_SIG_MACRO_START, nullptr, CTRL_CMD_MACRO_START, MC_TELEGRAM_START},
};

// Signals that start a machine of their own.
struct MachineSignal {
  uint16_t signal;
  const char* text;
  uint16_t state;
};
constexpr MachineSignal kMachineSignals[] = {
    {MC_SIG_PARM_WRITE, "Transmit Parm", MC_PARM_WRITE_START},
    {MC_SIG_SCRIPT, nullptr, MC_SCRIPT_START},
    {MC_SIG_PARM_READBACK, "Transmit Parm Readback Command", MC_PARM_READ_START},
    {MC_SIG_TRACE_DOWNLOAD, nullptr, MC_SCOPE_DOWNLOAD_START},
    {MC_SIG_CONNECT, nullptr, MC_IDENT_START},
    {MC_SIG_LINK_TEST, nullptr, MC_LINK_TEST_START},
    {MC_SIG_PARM_SAVE, "Transmit Parm Save Command", MC_PARM_SAVE_START},
    {MC_SIG_PARM_RECALL, "Transmit Parm Recall Command", MC_PARM_RECALL_START},
    {MC_SIG_BATCH, nullptr, MC_BATCH_SLOT},
    {MC_SIG_LOGGING_ON, nullptr, MC_LOGGING_ON},
    {MC_SIG_LOGGING_OFF, nullptr, MC_LOGGING_OFF},
    {MC_SIG_DATE_TIME, nullptr, MC_DATE_TIME_START},
    {MC_SIG_MEMORY, nullptr, MC_MEMORY_START},
};

void ActOnSignal(uint16_t signal) {
  switch (signal) {
    case MC_SIG_NONE:
      IdleRule();
      return;
    case MC_SIG_TRIGGER_BACKWARD_SEL:
      sCmdContainer.entries[CTRL_CMD_TRACE_SELECT].udData = 2;
      SendCommand("Transmit Trigger Backward Trace Command", 18, MC_TELEGRAM_SELECTOR);
      return;
    case MC_SIG_TRIGGER_FORWARD_SEL:
      sCmdContainer.entries[CTRL_CMD_TRACE_SELECT].udData = (ubScopeFlag & SCOPE_FLAG_SECOND_TRACE) ? 2 : 1;
      SendCommand("Transmit Trigger Forward Trace Command", 19, MC_TELEGRAM_SELECTOR);
      return;
    default:
      break;
  }
  for (const auto& c : kCommandSignals)
    if (c.signal == signal) {
      SendCommand(c.text, c.cmd, c.state);
      return;
    }
  for (const auto& m : kMachineSignals)
    if (m.signal == signal) {
      if (m.text) McycleLog(m.text);
      McycleGo(m.state);
      return;
    }
}

}  // namespace

uint32_t McTimerGetCurrentTime() { return udMcTimeTick.load(); }

bool McycleSignalQueuePut(uint16_t signal) {
  if (signal == 0) return false;
  {
    std::lock_guard<std::mutex> lock(signalQueueLock);
    if (ubMcFlag & MC_FLAG_SIGNAL_QUEUE_FULL) return false;
    uwMcSignalQueue[ubMcQueueCounterIn] = signal;
    uint8_t count = ubMcSignalQueueCounter + 1;
    ubMcSignalQueueCounter = count;
    if (count >= MC_SIGNAL_QUEUE_SIZE) ubMcFlag |= MC_FLAG_SIGNAL_QUEUE_FULL;
    ubMcQueueCounterIn = (ubMcQueueCounterIn + 1) % MC_SIGNAL_QUEUE_SIZE;
  }
  TimerStart();
  return true;
}

bool McycleEngineIdle() {
  return uwMcycleState == MC_STATE_IDLE && swStackPointer == 0 && ubMcSignalQueueCounter == 0;
}

uint16_t McycleSignalQueueGet() {
  std::lock_guard<std::mutex> lock(signalQueueLock);
  if (ubMcSignalQueueCounter == 0) return 0;
  uint16_t signal = uwMcSignalQueue[ubMcQueueCounterOut];
  uwMcSignalQueue[ubMcQueueCounterOut] = 0;
  ubMcSignalQueueCounter = ubMcSignalQueueCounter - 1;
  ubMcFlag &= static_cast<uint8_t>(~MC_FLAG_SIGNAL_QUEUE_FULL);
  ubMcQueueCounterOut = (ubMcQueueCounterOut + 1) % MC_SIGNAL_QUEUE_SIZE;
  return signal;
}

uint8_t McyclePush(uint16_t stateWord) {
  if (swStackPointer < 0 || swStackPointer >= MC_STACK_SIZE) return 1;
  uwMcStackMemory[swStackPointer++] = stateWord;
  return 0;
}

uint16_t McyclePop() {
  if (swStackPointer < 1) return MC_STACK_EMPTY;
  --swStackPointer;
  uint16_t word = uwMcStackMemory[swStackPointer];
  uwMcStackMemory[swStackPointer] = 0;
  return word;
}

void McycleInit() {
  {
    std::lock_guard<std::mutex> lock(signalQueueLock);
    for (auto& s : uwMcSignalQueue) s = 0;
  }
  for (auto& s : uwMcStackMemory) s = 0;
  ubBatchStateCnt = 0;
  for (auto& s : uwMcBatchStateQueue) s = 0;
  udMcIpAddr = 0;
  ubMcComSpeed = 1;
}

void McycleStateMachine(uint16_t signal) {
  if (signal == MC_SIG_START) {
    McycleInit();
    CqComQueueInit();
    HmiInit();
    ubHiTxtBoxPrio = ' ';
    MacroInit();
    MachineDataChan.ubNodeId = 15;
    uwMcycleState = MC_STATE_IDLE;
  }
  const uint16_t state = uwMcycleState;
  switch (state >> 8) {
    case MC_MACHINE_BASIC: McycleBasicStateMachine(signal); return;
    case MC_MACHINE_TELEGRAM_LIST: McycleTelegramlistStateMachine(); return;
    case MC_MACHINE_SCRIPT: McycleWriteScriptListStateMachine(); return;
    case MC_MACHINE_PARM_WRITE: McycleWriteParameterStateMachine(); return;
    case MC_MACHINE_PARM_READ: McycleReadParameterStateMachine(); return;
    case MC_MACHINE_SCOPE_DOWNLOAD: McycleGetScopeDataStateMachine(0); return;
    case MC_MACHINE_IDENTIFY: McycleGetFwRevisionStateMachine(); return;
    case MC_MACHINE_LINK_TEST: McycleComTestStateMachine(); return;
    case MC_MACHINE_PARM_SAVE: McycleParmSaveStateMachine(signal); return;
    case MC_MACHINE_PARM_RECALL: McycleParmRecallStateMachine(signal); return;
    case MC_MACHINE_BATCH: McycleBatchModeStateMachine(); return;
    case MC_MACHINE_FREEZE: McycleFreezeStateMachine(); return;
    case MC_MACHINE_LOGGING: McycleLoggingStateMachine(); return;
    case MC_MACHINE_DATE_TIME: McycleGetDateTimeStateMachine(); return;
    case MC_MACHINE_MEMORY: McycleMemoryStateMachine(); return;
    default: break;
  }
  if (state == 0) return;  // before the start step
  // An unknown machine code would stall the engine for ever.
  if (state != uwLastUnknownState) {
    uwLastUnknownState = state;
    char line[64];
    std::snprintf(line, sizeof line, "Engine: unknown state 0x%04X, back to idle", state);
    McycleLog(line);
  }
  uwMcycleState = MC_STATE_IDLE;
}

void McycleBasicStateMachine(uint16_t signal) {
  McycleGetCyclicDataStateMachine(signal);
  if ((uwMcycleState & 0xFF) != 1) return;
  const uint16_t ret = McyclePop();
  if (ret != MC_STACK_EMPTY) {
    uwMcycleState = ret;
    return;
  }
  ActOnSignal(signal);
}

void McycleTimerCallback() {
  // Engine milliseconds are real milliseconds on every tick source: the
  // asynchronous timer of batch mode ticks every 10 ms, the others every 2.
  udMcTimeTick += ubTimerSel == TIMER_SEL_ASYNC ? MC_ASYNC_TICK_MS : MC_TICK_MS;
  HmiGetQueue();
  McycleStateMachine(McycleSignalQueueGet());
  CqCheckAndReadCanOpenDataFrame();
  CqHandler();
}

void McycleUsbLedFlashing() {
  if (!(ubMcFlag4 & MC_FLAG4_READY_LAMP_BLINK)) return;
  ++ubLedCount;
  if (ubLedCount == 2) {
    PanelSetInt(uwMcMainPanelHandle, MAIN_LED_READY, 1);
  } else if (ubLedCount >= 4) {
    PanelSetInt(uwMcMainPanelHandle, MAIN_LED_READY, 0);
    ubLedCount = 0;
  }
}

uint8_t McycleReadStatus(uint32_t code) {
  uint8_t mask = 0;
  if (cqCanData.udData & 0x4000) mask |= 0x01;
  // The EEPROM codes sit in the low byte; bit 14 may be set beside them.
  switch (code & 0xFF) {
    case 21: mask |= 0x04; break;
    case 22: mask |= 0x02; break;
    case 23: mask |= 0x08; break;
    default: break;
  }
  return mask;
}

int MyTimerCallback(int, int, int event, void*, int, int) {
  if (event == EVENT_TIMER_TICK) TimerTick();
  return 0;
}

int MAIN_TIMER_RAM_Callback(int, int, int event, void*, int, int) {
  if (event != EVENT_TIMER_TICK) return 0;
  if (ubMcFlag1 & MC_FLAG1_CYCLIC_MONITOR_ON) {
    TimerStart();
    ubMcFlag2 |= MC_FLAG2_CYCLIC_READ_DUE;
  }
  McycleUsbScanReg(0);
  return 0;
}
