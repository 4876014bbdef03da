// Binding of the real-time timer library libKsts7.so: every function is a
// forwarding stub of the same name that loads and binds the library at run
// time. Error codes: library missing KSERROR_LIBRARY_NOT_FOUND | errno; name
// missing KSERROR_FUNCTION_NOT_FOUND | errno; any call but KS_openDriver while
// the library is not loaded KSERROR_LIBRARY_NOT_LOADED (KS_closeDriver:
// KSERROR_DRIVER_NOT_LOADED). The library is the file named by
// $STROKEDESK_KSTS7, else the shipped libKsts7.so (ShippedFile), else
// "libKsts7.so" on the system's library path.
#pragma once
#include <cstdint>
#include <string>

#include "platform/ksts7/KsApi.h"

KSError KS_openDriver(const char* customerNumber);
KSError KS_closeDriver();
KSError KS_getErrorString(KSError code, const char** text, uint32_t language);
KSError KS_registerKernelAddress(const char* name, void* function, void* param, int flags);
KSError KS_createEvent(KSHandle* handle, const char* name, int flags);
KSError KS_closeEvent(KSHandle handle);
KSError KS_setEvent(KSHandle handle);
KSError KS_resetEvent(KSHandle handle);
KSError KS_pulseEvent(KSHandle handle);
KSError KS_createCallBack(KSHandle* handle, KSCallBackProc proc, void* args, int flags, int priority);
KSError KS_removeCallBack(KSHandle handle);
KSError KS_createTimer(KSHandle* handle, int32_t period, KSHandle callBack, int flags);
KSError KS_removeTimer(KSHandle handle);
KSError KS_enableTimer(KSHandle handle);
KSError KS_disableTimer(KSHandle handle);
KSError KS_startTimer(KSHandle handle);
KSError KS_stopTimer(KSHandle handle);
KSError KS_cancelTimer(KSHandle handle);
KSError KS_getSystemTicks(uint64_t* ms);
KSError KS_getSystemTime(uint64_t* time);
KSError KS_getMachineTime(uint64_t* time);
KSError KS_getAbsTime(uint64_t* time);
KSError KS_getClock(uint64_t* time, int clockId);
KSError KS_microDelay(int32_t microseconds);
KSError KS_getSharedMem(void** address, KSHandle handle);
KSError KS_postMessage(KSHandle window, uint32_t message, uint32_t wParam, uint32_t lParam);

// Why the last load or bind failed (the loader's text), for messages.
std::string KsBindingLastError();
