// Types and error codes of the real-time timer library libKsts7.so, shared by
// the library and the program's forwarding stubs.
#pragma once
#include <cstdint>

using KSError = uint32_t;
using KSHandle = void*;
using KSCallBackProc = KSError (*)(void* args, void* context);

inline constexpr KSError KS_OK = 0;
inline constexpr KSError KSERROR_LIBRARY_NOT_FOUND = 0x10041000;  // OR system error
inline constexpr KSError KSERROR_FUNCTION_NOT_FOUND = 0x10051000; // OR system error
inline constexpr KSError KSERROR_DRIVER_NOT_LOADED = 0x10040000;  // close without open
inline constexpr KSError KSERROR_LIBRARY_NOT_LOADED = 0x100B0000;  // call before open
// Errors reported by the library itself.
inline constexpr KSError KSERROR_BAD_PARAM = 0x10010000;
inline constexpr KSError KSERROR_BAD_HANDLE = 0x10020000;
inline constexpr KSError KSERROR_DRIVER_NOT_OPEN = 0x10030000;
inline constexpr KSError KSERROR_CANNOT_START_THREAD = 0x10060000;
inline constexpr KSError KSERROR_UNKNOWN_ERROR_CODE = 0x10070000;

// Timer flag: call the callback every period (as opposed to once).
inline constexpr int KSF_PERIODIC = 0x02;
