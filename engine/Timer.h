// Cycle timer: drives McycleTimerCallback from one of three sources.
//   1 the main panel's tick timer control (GUI thread, 2 ms)
//   2 the asynchronous timer (own thread, 10 ms; batch mode)
//   3 the real-time timer of libKsts7.so (own thread, 2 ms; "-kithara")
// TimerStart/TimerStop may be called from any thread, also from inside a tick.
// TimerStop and TimerClose return only when no tick is running (unless called
// from the tick itself); after TimerClose no tick runs again.
#pragma once
#include <atomic>
#include <cstdint>

inline constexpr uint8_t TIMER_SEL_PANEL = 1;
inline constexpr uint8_t TIMER_SEL_ASYNC = 2;
inline constexpr uint8_t TIMER_SEL_KITHARA = 3;

inline constexpr int32_t KITHARA_TIMER_PERIOD = 20000;  // 100 ns units: 2 ms
inline constexpr int KITHARA_TIMER_FLAGS = 2;
inline constexpr int KITHARA_CALLBACK_FLAGS = 0x80;
inline constexpr int KITHARA_CALLBACK_PRIORITY = 16;
inline constexpr double ASYNC_TIMER_INTERVAL_S = 0.01;

extern std::atomic<uint8_t> ubTimerSel;
extern uint32_t udTimerHandle;
// Real-time timer objects and the context block of its callback.
extern void* vEventMain;
extern void* vCallBackMain;
extern void* vTimerMain;
extern uint32_t MainTimerData[3];

// Chooses and prepares the source. Returns 0, or the real-time driver's error
// code; on that error the line "Fehlercode = ..." is written to the log window
// and the panel timer serves instead (selector 1).
uint32_t TimerInit(uint8_t selector);
// Enable/disable the tick; 0 or a driver error code. Nothing before TimerInit.
uint32_t TimerStart();
uint32_t TimerStop();
// Releases the source at shutdown; 0 or the first driver error code.
uint32_t TimerClose();
// True while the tick is enabled.
bool TimerEnabled();

// Runs one engine tick unless the timer is disabled or closed; every source
// calls this. Serialises ticks so TimerStop can wait for a running one.
void TimerTick();

// Kithara callback: calls the tick. Returns 0.
uint32_t TimerInterruptMain(void* context, void* reserved);
