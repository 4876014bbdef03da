// Ram-type codes of the ram-type ring: the press ram models with a name, and
// the codes the controller does not offer.
#pragma once
#include <cstdint>
#include <string>

inline constexpr int RAMTYPE_NAMED_COUNT = 22;
inline constexpr int RAMTYPE_UNAVAILABLE_COUNT = 5;
inline constexpr int64_t RAMTYPE_NO_SELECTION = 255;

struct McRamtypeName {
  int code;
  const char* name;
};
extern const McRamtypeName kRamtypeNames[RAMTYPE_NAMED_COUNT];
extern const int kRamtypeUnavailable[RAMTYPE_UNAVAILABLE_COUNT];

// Display name of a named code, or nullptr.
const char* McycleRamtypeName(int64_t code);
bool McycleRamtypeUnavailable(int64_t code);
// The name, or for a code without one the number ("0x%04X").
std::string McycleRamtypeText(int64_t code);
