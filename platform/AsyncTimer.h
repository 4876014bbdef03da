// Asynchronous timer: calls a callback on its own thread every interval while
// enabled. Created disabled. Enabling and disabling may be done from any
// thread, the callback's own included; closing waits for a running callback
// (unless called from it).
#pragma once
#include <cstdint>

using AsyncTimerCallback = int (*)(int handle, int control, int event, void* data, int eventData1, int eventData2);

// Returns a handle (> 0) or a negative code when the thread cannot start.
int NewAsyncTimer(double intervalSeconds, AsyncTimerCallback callback, void* data);
// 0, or -1 for an unknown handle.
int SetAsyncTimerEnabled(int handle, bool enabled);
int DiscardAsyncTimer(int handle);
