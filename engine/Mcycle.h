// Cycle engine: the state word, the signal queue, the return stack, the
// dispatcher, the basic machine and the engine time. Every controller operation
// runs as a state machine inside the periodic tick McycleTimerCallback().
#pragma once
#include <atomic>
#include <cstdint>

#include "engine/McycleFlags.h"

inline constexpr int MC_SIGNAL_QUEUE_SIZE = 20;
inline constexpr int MC_STACK_SIZE = 20;
inline constexpr uint16_t MC_STACK_EMPTY = 255;   // McyclePop() on an empty stack
inline constexpr uint16_t MC_STATE_IDLE = 0x0101; // basic machine, step 1
inline constexpr uint32_t MC_TICK_MS = 2;         // engine ms added per tick
inline constexpr uint32_t MC_ASYNC_TICK_MS = 10;  // ... per tick of the asynchronous timer (batch mode)

// Signals posted by the panels and machines (the basic machine's table).
enum McSignal : uint16_t {
  MC_SIG_NONE = 0,
  MC_SIG_START = 1,
  MC_SIG_PARM_WRITE = 4,
  MC_SIG_SCRIPT = 5,
  MC_SIG_PARM_READBACK = 6,
  MC_SIG_HOME = 7,
  MC_SIG_SEEK_POS1 = 8,
  MC_SIG_SEEK_POS2 = 9,
  MC_SIG_PUNCH = 10,
  MC_SIG_FORM = 11,
  MC_SIG_MARK_ON = 12,
  MC_SIG_MARK_OFF = 13,
  MC_SIG_HOVER_ON = 14,
  MC_SIG_HOVER_OFF = 15,
  MC_SIG_PRESS_ON = 16,
  MC_SIG_PRESS_OFF = 17,
  MC_SIG_TRACE_DOWNLOAD = 18,
  MC_SIG_CONNECT = 19,
  MC_SIG_LINK_TEST = 20,
  MC_SIG_PARM_SAVE = 21,
  MC_SIG_PARM_RECALL = 22,
  MC_SIG_SAMPLE_TIME = 23,
  MC_SIG_RAMTYPE = 24,
  MC_SIG_TRIGGER_BACKWARD_SEL = 25,
  MC_SIG_TRIGGER_FORWARD_SEL = 26,
  MC_SIG_UDSEL_INHIBIT_ON = 27,
  MC_SIG_UDSEL_INHIBIT_OFF = 28,
  MC_SIG_BATCH = 29,
  MC_SIG_TRIGGER_BACKWARD = 30,
  MC_SIG_TRIGGER_FORWARD = 31,
  MC_SIG_TRIGGER_MCYCLE = 32,
  MC_SIG_TRIGGER_HARDWARE = 33,
  MC_SIG_TRACE_FREEZE = 34,
  MC_SIG_TRACE_UNFREEZE = 35,
  MC_SIG_CYCLE_BASIC = 36,
  MC_SIG_CYCLE_FORM2 = 37,
  MC_SIG_CYCLE_FORM3 = 38,
  MC_SIG_CYCLIC_ABORT = 39,
  MC_SIG_TRIGGER = 40,
  MC_SIG_PRESSURE_MON_ON = 44,
  MC_SIG_PRESSURE_MON_OFF = 45,
  MC_SIG_FORM_SILENT = 47,
  MC_SIG_LOGGING_ON = 48,
  MC_SIG_LOGGING_OFF = 49,
  MC_SIG_DATE_TIME = 50,
  MC_SIG_MEMORY = 51,
  MC_SIG_SEEK_POS1_ABS = 53,
  MC_SIG_HOME_ABSOLUT = 54,
  MC_SIG_JOG_ON = 55,
  MC_SIG_JOG_OFF = 56,
  MC_SIG_MACRO_STOP = 57,
  MC_SIG_MACRO_START = 58,  // command-list entry 35 with the macro number, no log line
};

// Engine state. The state word and the queue bookkeeping are written by the
// tick; posting from other threads goes through McycleSignalQueuePut, which
// serialises producers.
extern std::atomic<uint16_t> uwMcycleState;
extern std::atomic<uint32_t> udMcTimeTick;
extern uint16_t uwMcSignalQueue[MC_SIGNAL_QUEUE_SIZE];
extern uint8_t ubMcQueueCounterIn;
extern uint8_t ubMcQueueCounterOut;
extern std::atomic<uint8_t> ubMcSignalQueueCounter;
extern uint16_t uwMcStackMemory[MC_STACK_SIZE];
extern int16_t swStackPointer;
extern uint8_t ubMcCmd;

extern std::atomic<uint8_t> ubMcFlag;
extern std::atomic<uint8_t> ubMcFlag1;
extern std::atomic<uint8_t> ubMcFlag2;
extern std::atomic<uint8_t> ubMcFlag3;
extern std::atomic<uint8_t> ubMcFlag4;
extern std::atomic<uint8_t> ubMcFlag5;

// Set from the start step on; the communication speed selector (1 or 0) and
// the IP address word to write into the target.
extern uint8_t ubMcComSpeed;
extern uint32_t udMcIpAddr;

// One engine tick: time +2 ms, one log line, one signal, one machine step,
// receive, send. Called by the cycle timer only.
void McycleTimerCallback();

// Engine time in ms; compare two readings by unsigned difference.
uint32_t McTimerGetCurrentTime();
// True once engine time `now` is strictly later than `deadline`; correct
// across the wrap of the counter for spans below 2^31 ms.
inline bool McTimeAfter(uint32_t now, uint32_t deadline) { return static_cast<int32_t>(now - deadline) > 0; }

// Post a signal (any thread). 0 is ignored; dropped while 20 are pending.
// Wakes a stopped timer. True when the signal was stored.
bool McycleSignalQueuePut(uint16_t signal);
// True while no operation runs or is about to: the basic machine idles with
// an empty return stack and no signal waits. A request made otherwise would
// be lost (signals are not queued behind a running operation).
bool McycleEngineIdle();
// Oldest pending signal or 0 (tick only).
uint16_t McycleSignalQueueGet();

// Return stack. Push returns 0, or 1 when the stack is full (nothing stored).
// Pop returns the top state word or MC_STACK_EMPTY.
uint8_t McyclePush(uint16_t stateWord);
uint16_t McyclePop();

// Dispatcher: runs one step of the machine selected by the state word's high
// byte. Signal MC_SIG_START runs the start step first (once, from main).
void McycleStateMachine(uint16_t signal);
void McycleBasicStateMachine(uint16_t signal);
// Clears the engine tables (start step).
void McycleInit();

// Ready lamp blinking, one call per cyclic poll.
void McycleUsbLedFlashing();
// Status mask for parameter save/recall: 1 bit 14 of the last finished
// element's data, 4 code 21, 2 code 22, 8 code 23 (codes from the low byte).
uint8_t McycleReadStatus(uint32_t code);

// Panel timer callbacks (panel layer signature).
int MyTimerCallback(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int MAIN_TIMER_RAM_Callback(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
