#include "engine/Timer.h"

#include <cstdio>
#include <mutex>
#include <string>

#include "app/Startup.h"
#include "engine/Ksts7.h"
#include "engine/Mcycle.h"
#include "platform/AsyncTimer.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

std::atomic<uint8_t> ubTimerSel{0};
uint32_t udTimerHandle;

KSHandle vEventMain;
KSHandle vCallBackMain;
KSHandle vTimerMain;
uint32_t MainTimerData[3];

namespace {

// Serialises enabling and disabling so the enabled mark and the source agree.
std::mutex controlLock;
// Held while a tick runs; TimerStop takes it to wait for a running tick.
std::mutex tickGate;
std::atomic<bool> enabled{false};
std::atomic<bool> closed{false};
thread_local bool inTick = false;

uint32_t SetSource(bool on) {
  switch (ubTimerSel.load()) {
    case TIMER_SEL_PANEL:
      PanelSetAttribute(uwMcMainPanelHandle, MAIN_TIMER_TICK, ATTR_ENABLED, on ? 1 : 0);
      return 0;
    case TIMER_SEL_ASYNC:
      SetAsyncTimerEnabled(static_cast<int>(udTimerHandle), on);
      return 0;
    case TIMER_SEL_KITHARA:
      return on ? KS_enableTimer(vTimerMain) : KS_disableTimer(vTimerMain);
    default:
      return 0;
  }
}

void WaitForRunningTick() {
  if (inTick) return;
  std::lock_guard<std::mutex> wait(tickGate);
}

uint32_t TimerKitharaStart() {
  KSError e = KS_createEvent(&vEventMain, "TimerEventMain", 0);
  if (e != KS_OK) {
    KS_closeDriver();
    return e;
  }
  MainTimerData[0] = 0;
  MainTimerData[1] = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(vEventMain));
  MainTimerData[2] = 0;
  e = KS_createCallBack(&vCallBackMain, TimerInterruptMain, MainTimerData, KITHARA_CALLBACK_FLAGS,
                        KITHARA_CALLBACK_PRIORITY);
  if (e != KS_OK) {
    KS_closeEvent(vEventMain);
    KS_closeDriver();
    return e;
  }
  e = KS_createTimer(&vTimerMain, KITHARA_TIMER_PERIOD, vCallBackMain, KITHARA_TIMER_FLAGS);
  if (e != KS_OK) {
    KS_removeCallBack(vCallBackMain);
    KS_closeEvent(vEventMain);
    KS_closeDriver();
  }
  return e;
}

// The driver's text for an error, or our own when it has none (for instance
// when the library itself could not be loaded).
std::string KitharaErrorText(uint32_t code) {
  const char* text = nullptr;
  if (KS_getErrorString(code, &text, 0) == KS_OK && text) return text;
  if ((code & 0xFFFFF000) == KSERROR_LIBRARY_NOT_FOUND) return "real-time timer library not loaded: " + KsBindingLastError();
  if ((code & 0xFFFFF000) == KSERROR_FUNCTION_NOT_FOUND) return "real-time timer library incomplete: " + KsBindingLastError();
  return "real-time timer error";
}

void LogDirect(const char* text) { PanelAppendText(uwMcMainPanelHandle, MAIN_TXTBOX_LOG, text); }

}  // namespace

uint32_t TimerInit(uint8_t selector) {
  closed = false;
  ubTimerSel = selector;
  switch (selector) {
    case TIMER_SEL_PANEL:
      PanelInstallCallback(uwMcMainPanelHandle, MAIN_TIMER_TICK, MyTimerCallback, nullptr);
      return TimerStart();
    case TIMER_SEL_ASYNC: {
      PanelSetAttribute(uwMcMainPanelHandle, MAIN_TIMER_TICK, ATTR_ENABLED, 0);
      const int handle = NewAsyncTimer(ASYNC_TIMER_INTERVAL_S, MyTimerCallback, nullptr);
      if (handle < 0) {
        ubTimerSel = 0;
        return 1;
      }
      udTimerHandle = static_cast<uint32_t>(handle);
      return TimerStart();
    }
    case TIMER_SEL_KITHARA: {
      uint32_t error = KS_openDriver("StrokeDesk");
      if (error == KS_OK) error = TimerKitharaStart();
      if (error == KS_OK) return 0;
      char line[400];
      std::snprintf(line, sizeof line, "Fehlercode = %08X Fehlertext = %s\n", error, KitharaErrorText(error).c_str());
      LogDirect(line);
      LogDirect("Real-time timer not available: the panel timer drives the engine.\n");
      TimerInit(TIMER_SEL_PANEL);
      return error;
    }
    default:
      ubTimerSel = 0;
      return 0;
  }
}

uint32_t TimerStart() {
  std::lock_guard<std::mutex> g(controlLock);
  if (ubTimerSel == 0 || closed || enabled) return 0;
  enabled = true;
  return SetSource(true);
}

uint32_t TimerStop() {
  uint32_t result;
  {
    std::lock_guard<std::mutex> g(controlLock);
    if (ubTimerSel == 0) return 0;
    enabled = false;
    result = SetSource(false);
  }
  WaitForRunningTick();
  return result;
}

uint32_t TimerClose() {
  uint32_t result = 0;
  {
    std::lock_guard<std::mutex> g(controlLock);
    closed = true;
    enabled = false;
  }
  WaitForRunningTick();
  switch (ubTimerSel.load()) {
    case TIMER_SEL_PANEL:
      PanelSetAttribute(uwMcMainPanelHandle, MAIN_TIMER_TICK, ATTR_ENABLED, 0);
      break;
    case TIMER_SEL_ASYNC:
      DiscardAsyncTimer(static_cast<int>(udTimerHandle));
      break;
    case TIMER_SEL_KITHARA:
      result = KS_removeTimer(vTimerMain);
      if (result == KS_OK) result = KS_removeCallBack(vCallBackMain);
      if (result == KS_OK) result = KS_closeEvent(vEventMain);
      if (result == KS_OK) result = KS_closeDriver();
      break;
    default:
      break;
  }
  ubTimerSel = 0;
  return result;
}

bool TimerEnabled() { return enabled; }

void TimerTick() {
  std::lock_guard<std::mutex> gate(tickGate);
  if (!enabled || closed) return;
  inTick = true;
  McycleTimerCallback();
  inTick = false;
}

uint32_t TimerInterruptMain(void*, void*) {
  TimerTick();
  return 0;
}
