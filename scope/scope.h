// Scope: trace trigger and download.
#pragma once
#include <atomic>
#include <cstdint>

inline constexpr uint8_t SCOPE_FLAG_DISPLAY_B = 0x02;
inline constexpr uint8_t SCOPE_FLAG_SECOND_TRACE = 0x40;

extern std::atomic<uint8_t> ubScopeFlag;

// Download duration in ms: cleared by whoever starts a download, advanced by
// the download machine.
extern uint32_t udScopeTime;

// What identification found (firmware version: product number in bits 16 to
// 31, revision in bits 0 to 15) and
// the copies of the data container's sample time, status word 0, ram type and
// mode words 0 and 1.
extern uint32_t udScopeFwVersion;
extern uint16_t uwScopeMsSampleTime;
extern uint16_t uwScopeStatus0;
extern uint16_t uwScopeRamtype;
extern uint16_t uwScopeMode0;
extern uint16_t uwScopeMode1;

// First trace's sample time (code in half milliseconds; milliseconds on a
// P0417 target) on the main panel's ring and sample-time menu.
void McycleSetSampleTimeRing(uint16_t code);
// The ram-type ring shows `code`.
void McycleSetRamtypeRing(uint16_t code);
// Trigger direction text of the scope panel from a trace status word:
// "Backward" (bit 0x10), else "Forward" (bit 0x08), else unchanged.
void McycleSetTriggerRing(uint32_t status);
