// Scope: trace trigger and download.
#pragma once
#include <atomic>
#include <cstdint>

inline constexpr uint8_t SCOPE_FLAG_DISPLAY_B = 0x02;
inline constexpr uint8_t SCOPE_FLAG_SECOND_TRACE = 0x40;

extern std::atomic<uint8_t> ubScopeFlag;

// Firmware version of the connected controller: product number in bits 16 to
// 31, revision in bits 0 to 15 (set by identification).
extern uint32_t udScopeFwVersion;
// Download duration in ms: cleared by whoever starts a download, advanced by
// the download machine.
extern uint32_t udScopeTime;
