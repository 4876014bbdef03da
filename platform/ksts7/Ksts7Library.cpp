// libKsts7.so: a high-resolution periodic timer for the cycle tick. Each timer
// owns a POSIX thread that sleeps to absolute deadlines on CLOCK_MONOTONIC
// and calls its callback once per period while enabled. The thread asks for
// SCHED_FIFO and quietly keeps the normal policy when that is not allowed.
#include <pthread.h>
#include <sched.h>
#include <time.h>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "platform/ksts7/KsApi.h"

#define KS_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct Event {
  std::string name;
  bool signalled = false;
};

struct CallBack {
  KSCallBackProc proc = nullptr;
  void* args = nullptr;
  int priority = 0;
};

struct Timer {
  CallBack* callBack = nullptr;
  int64_t periodNs = 0;
  bool periodic = false;
  std::atomic<bool> enabled{false};
  std::atomic<bool> quit{false};
  std::mutex lock;
  std::condition_variable wake;
  std::thread thread;
};

std::mutex registry;
bool driverOpen = false;
std::set<Event*> events;
std::set<CallBack*> callBacks;
std::set<Timer*> timers;
std::map<std::string, void*> kernelAddresses;

int64_t NowNs(clockid_t clock) {
  timespec ts;
  clock_gettime(clock, &ts);
  return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void SleepUntil(int64_t deadlineNs) {
  timespec ts{static_cast<time_t>(deadlineNs / 1000000000), static_cast<long>(deadlineNs % 1000000000)};
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
  }
}

void RunTimer(Timer* t) {
  sched_param sp{};
  sp.sched_priority = sched_get_priority_min(SCHED_FIFO) + t->callBack->priority;
  pthread_setschedparam(pthread_self(), SCHED_FIFO, &sp);  // best effort
  int64_t next = 0;
  for (;;) {
    {
      std::unique_lock<std::mutex> lk(t->lock);
      if (!t->enabled && !t->quit) {
        t->wake.wait(lk, [t] { return t->enabled || t->quit; });
        next = NowNs(CLOCK_MONOTONIC) + t->periodNs;
      }
      if (t->quit) return;
    }
    if (next == 0) next = NowNs(CLOCK_MONOTONIC) + t->periodNs;
    SleepUntil(next);
    next += t->periodNs;
    // After a stall, skip the periods that were missed rather than burst.
    const int64_t now = NowNs(CLOCK_MONOTONIC);
    if (now > next) next = now + t->periodNs - (now - next) % t->periodNs;
    if (t->quit) return;
    if (t->enabled) {
      t->callBack->proc(t->callBack->args, nullptr);
      if (!t->periodic) t->enabled = false;
    }
  }
}

template <class T>
bool Known(const std::set<T*>& set, KSHandle h) {
  return set.count(static_cast<T*>(h)) != 0;
}

KSError SetTimerEnabled(KSHandle h, bool on) {
  Timer* t;
  {
    std::lock_guard<std::mutex> g(registry);
    if (!driverOpen) return KSERROR_DRIVER_NOT_OPEN;
    if (!Known(timers, h)) return KSERROR_BAD_HANDLE;
    t = static_cast<Timer*>(h);
  }
  {
    std::lock_guard<std::mutex> lk(t->lock);
    t->enabled = on;
  }
  t->wake.notify_all();
  return KS_OK;
}

void StopTimer(Timer* t) {
  {
    std::lock_guard<std::mutex> lk(t->lock);
    t->quit = true;
  }
  t->wake.notify_all();
  if (t->thread.joinable() && t->thread.get_id() != std::this_thread::get_id()) t->thread.join();
  else if (t->thread.joinable()) t->thread.detach();
}

KSError TimeOut(uint64_t* out, clockid_t clock, int64_t divisor, int64_t offset) {
  if (!out) return KSERROR_BAD_PARAM;
  *out = static_cast<uint64_t>(NowNs(clock) / divisor + offset);
  return KS_OK;
}

}  // namespace

KS_EXPORT KSError KS_openDriver(const char* /*customerNumber*/) {
  std::lock_guard<std::mutex> g(registry);
  driverOpen = true;
  return KS_OK;
}

KS_EXPORT KSError KS_closeDriver() {
  std::set<Timer*> left;
  {
    std::lock_guard<std::mutex> g(registry);
    if (!driverOpen) return KSERROR_DRIVER_NOT_OPEN;
    driverOpen = false;
    left.swap(timers);
  }
  for (Timer* t : left) {
    StopTimer(t);
    delete t;
  }
  std::lock_guard<std::mutex> g(registry);
  for (CallBack* c : callBacks) delete c;
  for (Event* e : events) delete e;
  callBacks.clear();
  events.clear();
  kernelAddresses.clear();
  return KS_OK;
}

KS_EXPORT KSError KS_getErrorString(KSError code, const char** text, uint32_t /*language*/) {
  if (!text) return KSERROR_BAD_PARAM;
  switch (code) {
    case KSERROR_BAD_PARAM: *text = "invalid parameter"; break;
    case KSERROR_BAD_HANDLE: *text = "invalid handle"; break;
    case KSERROR_DRIVER_NOT_OPEN: *text = "driver not open"; break;
    case KSERROR_CANNOT_START_THREAD: *text = "timer thread could not be started"; break;
    default: return KSERROR_UNKNOWN_ERROR_CODE;
  }
  return KS_OK;
}

KS_EXPORT KSError KS_registerKernelAddress(const char* name, void* function, void* /*param*/, int /*flags*/) {
  std::lock_guard<std::mutex> g(registry);
  if (!driverOpen) return KSERROR_DRIVER_NOT_OPEN;
  if (!name || !function) return KSERROR_BAD_PARAM;
  kernelAddresses[name] = function;
  return KS_OK;
}

KS_EXPORT KSError KS_createEvent(KSHandle* handle, const char* name, int /*flags*/) {
  std::lock_guard<std::mutex> g(registry);
  if (!driverOpen) return KSERROR_DRIVER_NOT_OPEN;
  if (!handle) return KSERROR_BAD_PARAM;
  auto* e = new Event{name ? name : "", false};
  events.insert(e);
  *handle = e;
  return KS_OK;
}

KS_EXPORT KSError KS_closeEvent(KSHandle handle) {
  std::lock_guard<std::mutex> g(registry);
  if (!Known(events, handle)) return KSERROR_BAD_HANDLE;
  events.erase(static_cast<Event*>(handle));
  delete static_cast<Event*>(handle);
  return KS_OK;
}

static KSError SetEventState(KSHandle handle, bool state) {
  std::lock_guard<std::mutex> g(registry);
  if (!Known(events, handle)) return KSERROR_BAD_HANDLE;
  static_cast<Event*>(handle)->signalled = state;
  return KS_OK;
}
KS_EXPORT KSError KS_setEvent(KSHandle handle) { return SetEventState(handle, true); }
KS_EXPORT KSError KS_resetEvent(KSHandle handle) { return SetEventState(handle, false); }
// Nobody waits on events in this library, so a pulse leaves the event reset.
KS_EXPORT KSError KS_pulseEvent(KSHandle handle) { return SetEventState(handle, false); }

KS_EXPORT KSError KS_createCallBack(KSHandle* handle, KSCallBackProc proc, void* args, int /*flags*/, int priority) {
  std::lock_guard<std::mutex> g(registry);
  if (!driverOpen) return KSERROR_DRIVER_NOT_OPEN;
  if (!handle || !proc) return KSERROR_BAD_PARAM;
  auto* c = new CallBack{proc, args, priority};
  callBacks.insert(c);
  *handle = c;
  return KS_OK;
}

KS_EXPORT KSError KS_removeCallBack(KSHandle handle) {
  std::lock_guard<std::mutex> g(registry);
  if (!Known(callBacks, handle)) return KSERROR_BAD_HANDLE;
  for (Timer* t : timers)
    if (t->callBack == handle) return KSERROR_BAD_PARAM;  // still used by a timer
  callBacks.erase(static_cast<CallBack*>(handle));
  delete static_cast<CallBack*>(handle);
  return KS_OK;
}

KS_EXPORT KSError KS_createTimer(KSHandle* handle, int32_t period, KSHandle callBack, int flags) {
  std::lock_guard<std::mutex> g(registry);
  if (!driverOpen) return KSERROR_DRIVER_NOT_OPEN;
  if (!handle || period <= 0) return KSERROR_BAD_PARAM;
  if (!Known(callBacks, callBack)) return KSERROR_BAD_HANDLE;
  auto t = std::make_unique<Timer>();
  t->callBack = static_cast<CallBack*>(callBack);
  t->periodNs = int64_t(period) * 100;
  t->periodic = (flags & KSF_PERIODIC) != 0;
  try {
    t->thread = std::thread(RunTimer, t.get());
  } catch (...) {
    return KSERROR_CANNOT_START_THREAD;
  }
  timers.insert(t.get());
  *handle = t.release();
  return KS_OK;
}

KS_EXPORT KSError KS_removeTimer(KSHandle handle) {
  Timer* t;
  {
    std::lock_guard<std::mutex> g(registry);
    if (!Known(timers, handle)) return KSERROR_BAD_HANDLE;
    t = static_cast<Timer*>(handle);
    timers.erase(t);
  }
  StopTimer(t);
  delete t;
  return KS_OK;
}

// Enabling and disabling never wait for a running callback, so they may be
// called from inside it.
KS_EXPORT KSError KS_enableTimer(KSHandle handle) { return SetTimerEnabled(handle, true); }
KS_EXPORT KSError KS_disableTimer(KSHandle handle) { return SetTimerEnabled(handle, false); }
KS_EXPORT KSError KS_startTimer(KSHandle handle) { return SetTimerEnabled(handle, true); }
KS_EXPORT KSError KS_stopTimer(KSHandle handle) { return SetTimerEnabled(handle, false); }
KS_EXPORT KSError KS_cancelTimer(KSHandle handle) { return SetTimerEnabled(handle, false); }

// Time sources: ticks in ms since boot; system time in 100 ns since 1601 (as
// the driver's callers expect); machine, absolute and clock time in 100 ns
// of the monotonic clock.
KS_EXPORT KSError KS_getSystemTicks(uint64_t* ms) { return TimeOut(ms, CLOCK_MONOTONIC, 1000000, 0); }
KS_EXPORT KSError KS_getSystemTime(uint64_t* t) { return TimeOut(t, CLOCK_REALTIME, 100, 116444736000000000LL); }
KS_EXPORT KSError KS_getMachineTime(uint64_t* t) { return TimeOut(t, CLOCK_MONOTONIC_RAW, 100, 0); }
KS_EXPORT KSError KS_getAbsTime(uint64_t* t) { return TimeOut(t, CLOCK_MONOTONIC, 100, 0); }
KS_EXPORT KSError KS_getClock(uint64_t* t, int /*clockId*/) { return TimeOut(t, CLOCK_MONOTONIC, 100, 0); }

KS_EXPORT KSError KS_microDelay(int32_t microseconds) {
  if (microseconds < 0) return KSERROR_BAD_PARAM;
  const int64_t end = NowNs(CLOCK_MONOTONIC) + int64_t(microseconds) * 1000;
  while (NowNs(CLOCK_MONOTONIC) < end) {
  }
  return KS_OK;
}

// Shared memory is not offered; no handle is ever valid.
KS_EXPORT KSError KS_getSharedMem(void** address, KSHandle /*handle*/) {
  if (!address) return KSERROR_BAD_PARAM;
  return KSERROR_BAD_HANDLE;
}

// There are no window handles to post to.
KS_EXPORT KSError KS_postMessage(KSHandle /*window*/, uint32_t, uint32_t, uint32_t) { return KSERROR_BAD_HANDLE; }
