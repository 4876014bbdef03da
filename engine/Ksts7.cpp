#include "engine/Ksts7.h"

#include <dlfcn.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <string>
#include <unordered_map>

#include "platform/Paths.h"

namespace {

std::mutex bindLock;
void* library = nullptr;
// Entries bound so far; forgotten whenever the library is unloaded, so a
// later load never calls an address of the old mapping.
std::unordered_map<std::string, void*> bound;
std::string lastError;
constexpr const char* kLibraryFile = "libKsts7.so";

uint32_t SystemError() { return errno != 0 ? static_cast<uint32_t>(errno) : ENOENT; }

// The library is looked for as the loader on the original platform did: in
// the program's own folder (or the installed tree's private library folder)
// first, then on the system's search path. `missing` says where it was not.
std::string LibraryName(std::string& missing) {
  const char* name = std::getenv("STROKEDESK_KSTS7");
  if (name && *name) return name;
  const std::string shipped = ShippedFile(ShippedKind::Library, kLibraryFile, missing);
  return shipped.empty() ? kLibraryFile : shipped;
}

void UnloadLocked() {
  if (library) dlclose(library);
  library = nullptr;
  bound.clear();
}

KSError ResolveLocked(const char* name, void** fn) {
  auto it = bound.find(name);
  if (it != bound.end()) {
    *fn = it->second;
    return KS_OK;
  }
  dlerror();
  errno = 0;
  void* sym = dlsym(library, name);
  if (!sym) {
    const char* why = dlerror();
    lastError = why ? why : name;
    return KSERROR_FUNCTION_NOT_FOUND | SystemError();
  }
  bound.emplace(name, sym);
  *fn = sym;
  return KS_OK;
}

template <class... A>
KSError Forward(const char* name, A... args) {
  void* fn;
  {
    std::lock_guard<std::mutex> g(bindLock);
    if (!library) return KSERROR_LIBRARY_NOT_LOADED;
    KSError e = ResolveLocked(name, &fn);
    if (e != KS_OK) return e;
  }
  return reinterpret_cast<KSError (*)(A...)>(fn)(args...);
}

}  // namespace

std::string KsBindingLastError() {
  std::lock_guard<std::mutex> g(bindLock);
  return lastError;
}

KSError KS_openDriver(const char* customerNumber) {
  {
    std::lock_guard<std::mutex> g(bindLock);
    if (library) return KS_OK;
    errno = 0;
    std::string missing;
    const std::string name = LibraryName(missing);
    library = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
      const uint32_t sys = SystemError();
      const char* why = dlerror();
      lastError = why ? why : name;
      if (!missing.empty()) lastError = missing + "; not on the system's library path either";
      return KSERROR_LIBRARY_NOT_FOUND | sys;
    }
    void* open;
    KSError e = ResolveLocked("KS_openDriver", &open);
    if (e == KS_OK) e = reinterpret_cast<KSError (*)(const char*)>(open)(customerNumber);
    if (e != KS_OK) {
      UnloadLocked();
      return e;
    }
  }
  struct KernelEntry {
    const char* name;
    void* function;
  };
  const KernelEntry kernelCallable[] = {
      {"KS_postMessage", reinterpret_cast<void*>(&KS_postMessage)},
      {"KS_setEvent", reinterpret_cast<void*>(&KS_setEvent)},
      {"KS_resetEvent", reinterpret_cast<void*>(&KS_resetEvent)},
      {"KS_pulseEvent", reinterpret_cast<void*>(&KS_pulseEvent)},
      {"KS_getSharedMem", reinterpret_cast<void*>(&KS_getSharedMem)},
      {"KS_getSystemTicks", reinterpret_cast<void*>(&KS_getSystemTicks)},
      {"KS_getSystemTime", reinterpret_cast<void*>(&KS_getSystemTime)},
      {"KS_getMachineTime", reinterpret_cast<void*>(&KS_getMachineTime)},
      {"KS_getAbsTime", reinterpret_cast<void*>(&KS_getAbsTime)},
      {"KS_getClock", reinterpret_cast<void*>(&KS_getClock)},
      {"KS_microDelay", reinterpret_cast<void*>(&KS_microDelay)},
      {"KS_cancelTimer", reinterpret_cast<void*>(&KS_cancelTimer)},
      {"KS_startTimer", reinterpret_cast<void*>(&KS_startTimer)},
      {"KS_stopTimer", reinterpret_cast<void*>(&KS_stopTimer)},
  };
  for (const auto& k : kernelCallable) KS_registerKernelAddress(k.name, k.function, nullptr, 0);
  return KS_OK;
}

KSError KS_closeDriver() {
  void* fn;
  {
    std::lock_guard<std::mutex> g(bindLock);
    if (!library) return KSERROR_DRIVER_NOT_LOADED;
    KSError e = ResolveLocked("KS_closeDriver", &fn);
    if (e != KS_OK) {
      UnloadLocked();
      return e;
    }
  }
  KSError result = reinterpret_cast<KSError (*)()>(fn)();
  std::lock_guard<std::mutex> g(bindLock);
  UnloadLocked();
  return result;
}

KSError KS_getErrorString(KSError code, const char** text, uint32_t language) {
  return Forward("KS_getErrorString", code, text, language);
}
KSError KS_registerKernelAddress(const char* name, void* function, void* param, int flags) {
  return Forward("KS_registerKernelAddress", name, function, param, flags);
}
KSError KS_createEvent(KSHandle* handle, const char* name, int flags) {
  return Forward("KS_createEvent", handle, name, flags);
}
KSError KS_closeEvent(KSHandle handle) { return Forward("KS_closeEvent", handle); }
KSError KS_setEvent(KSHandle handle) { return Forward("KS_setEvent", handle); }
KSError KS_resetEvent(KSHandle handle) { return Forward("KS_resetEvent", handle); }
KSError KS_pulseEvent(KSHandle handle) { return Forward("KS_pulseEvent", handle); }
KSError KS_createCallBack(KSHandle* handle, KSCallBackProc proc, void* args, int flags, int priority) {
  return Forward("KS_createCallBack", handle, proc, args, flags, priority);
}
KSError KS_removeCallBack(KSHandle handle) { return Forward("KS_removeCallBack", handle); }
KSError KS_createTimer(KSHandle* handle, int32_t period, KSHandle callBack, int flags) {
  return Forward("KS_createTimer", handle, period, callBack, flags);
}
KSError KS_removeTimer(KSHandle handle) { return Forward("KS_removeTimer", handle); }
KSError KS_enableTimer(KSHandle handle) { return Forward("KS_enableTimer", handle); }
KSError KS_disableTimer(KSHandle handle) { return Forward("KS_disableTimer", handle); }
KSError KS_startTimer(KSHandle handle) { return Forward("KS_startTimer", handle); }
KSError KS_stopTimer(KSHandle handle) { return Forward("KS_stopTimer", handle); }
KSError KS_cancelTimer(KSHandle handle) { return Forward("KS_cancelTimer", handle); }
KSError KS_getSystemTicks(uint64_t* ms) { return Forward("KS_getSystemTicks", ms); }
KSError KS_getSystemTime(uint64_t* time) { return Forward("KS_getSystemTime", time); }
KSError KS_getMachineTime(uint64_t* time) { return Forward("KS_getMachineTime", time); }
KSError KS_getAbsTime(uint64_t* time) { return Forward("KS_getAbsTime", time); }
KSError KS_getClock(uint64_t* time, int clockId) { return Forward("KS_getClock", time, clockId); }
KSError KS_microDelay(int32_t microseconds) { return Forward("KS_microDelay", microseconds); }
KSError KS_getSharedMem(void** address, KSHandle handle) { return Forward("KS_getSharedMem", address, handle); }
KSError KS_postMessage(KSHandle window, uint32_t message, uint32_t wParam, uint32_t lParam) {
  return Forward("KS_postMessage", window, message, wParam, lParam);
}
