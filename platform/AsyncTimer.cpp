#include "platform/AsyncTimer.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "ui/Panel.h"

namespace {

struct AsyncTimer {
  std::chrono::nanoseconds interval;
  AsyncTimerCallback callback;
  void* data;
  int handle;
  std::mutex lock;
  std::condition_variable wake;
  bool enabled = false;
  bool quit = false;
  std::thread thread;

  void Run() {
    using clock = std::chrono::steady_clock;
    auto next = clock::now();
    std::unique_lock<std::mutex> lk(lock);
    for (;;) {
      if (!enabled && !quit) {
        wake.wait(lk, [this] { return enabled || quit; });
        next = clock::now();
      }
      if (quit) return;
      next += interval;
      if (wake.wait_until(lk, next, [this] { return quit || !enabled; })) continue;
      lk.unlock();
      callback(handle, 0, EVENT_TIMER_TICK, data, 0, 0);
      lk.lock();
      // A callback that overran its period starts a fresh schedule.
      if (clock::now() > next + interval) next = clock::now();
    }
  }
};

std::mutex registryLock;
std::map<int, std::shared_ptr<AsyncTimer>> timers;
int nextHandle = 1;

std::shared_ptr<AsyncTimer> Find(int handle) {
  std::lock_guard<std::mutex> g(registryLock);
  auto it = timers.find(handle);
  return it == timers.end() ? nullptr : it->second;
}

}  // namespace

int NewAsyncTimer(double intervalSeconds, AsyncTimerCallback callback, void* data) {
  auto t = std::make_shared<AsyncTimer>();
  t->interval = std::chrono::nanoseconds(static_cast<int64_t>(intervalSeconds * 1e9));
  t->callback = callback;
  t->data = data;
  {
    std::lock_guard<std::mutex> g(registryLock);
    t->handle = nextHandle++;
    timers[t->handle] = t;
  }
  try {
    t->thread = std::thread([t] { t->Run(); });
  } catch (...) {
    std::lock_guard<std::mutex> g(registryLock);
    timers.erase(t->handle);
    return -1;
  }
  return t->handle;
}

int SetAsyncTimerEnabled(int handle, bool enabled) {
  auto t = Find(handle);
  if (!t) return -1;
  {
    std::lock_guard<std::mutex> lk(t->lock);
    t->enabled = enabled;
  }
  t->wake.notify_all();
  return 0;
}

int DiscardAsyncTimer(int handle) {
  std::shared_ptr<AsyncTimer> t;
  {
    std::lock_guard<std::mutex> g(registryLock);
    auto it = timers.find(handle);
    if (it == timers.end()) return -1;
    t = it->second;
    timers.erase(it);
  }
  {
    std::lock_guard<std::mutex> lk(t->lock);
    t->quit = true;
  }
  t->wake.notify_all();
  if (t->thread.get_id() == std::this_thread::get_id()) t->thread.detach();
  else t->thread.join();
  return 0;
}
