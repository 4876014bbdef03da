// Display names of the ram-type code and of the machine cycle in a trace.
// Both return text in a static buffer that the next call overwrites (GUI
// thread or tick, not both at once).
#pragma once
#include <cstdint>

inline constexpr int SCOPE_RAMTYPE_NAMED_COUNT = 34;

// The ram model's name, or "0x%04X" of a code without one.
const char* ScopeExtractRamtype(uint16_t code);
// The cycle named by the state word's high byte, or "0x%04X" of the word.
const char* ScopeExtractMcycle(uint16_t state);
