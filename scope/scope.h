// Scope: trace trigger and download.
#pragma once
#include <cstdint>

#include "scope/ScopeTrace.h"

// Download duration in ms: cleared by whoever starts a download, advanced by
// the download machine.
extern uint32_t udScopeTime;

// The data container's sample time as identification read it (the record
// holds the firmware version, status word 0, ram type and mode words).
extern uint16_t uwScopeMsSampleTime;

// First trace's sample time (code in half milliseconds; milliseconds on a
// P0417 target) on the main panel's ring and sample-time menu.
void McycleSetSampleTimeRing(uint16_t code);
// The same for the second trace on the scope panel's nine-item menu.
void McycleSetSampleTime2Ring(uint16_t code);
// The second trace's settings as read: trigger source (bit 0x01 hardware,
// else machine cycle), direction (0x10 backward, 0x08 forward; neither
// leaves the marks) and sample time.
void McycleSetCheckTrace2Menu(uint16_t sampleTime, uint32_t status);
// The ram-type ring shows `code`.
void McycleSetRamtypeRing(uint16_t code);
// Trigger direction text of the scope panel from a trace status word:
// "Backward" (bit 0x10), else "Forward" (bit 0x08), else unchanged.
void McycleSetTriggerRing(uint32_t status);
