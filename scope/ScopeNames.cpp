#include "scope/ScopeNames.h"

#include <cstdio>

namespace {

struct Named {
  uint16_t code;
  const char* name;
};

// Our names for the ram models: family letter by the high nibble (as on the
// ram-type ring), variant by the low one. The 0x8x family is the Quill ram.
constexpr Named kRamtypes[SCOPE_RAMTYPE_NAMED_COUNT] = {
    {0x00, "Ram S0"}, {0x01, "Ram S1"}, {0x02, "Ram S2"}, {0x03, "Ram S3"}, {0x0F, "Ram SF"}, {0x10, "Ram L0"},
    {0x11, "Ram L1"}, {0x1F, "Ram LF"}, {0x20, "Ram M0"}, {0x21, "Ram M1"}, {0x2F, "Ram MF"}, {0x30, "Ram H0"},
    {0x31, "Ram H1"}, {0x32, "Ram H2"}, {0x3F, "Ram HF"}, {0x4F, "Ram NF"}, {0x50, "Ram F0"}, {0x51, "Ram F1"},
    {0x60, "Ram Q0"}, {0x61, "Ram Q1"}, {0x70, "Ram X0"}, {0x7F, "Ram XF"}, {0x80, "Ram K0"}, {0x81, "Ram K1"},
    {0x82, "Ram K2"}, {0x83, "Ram K3"}, {0x84, "Ram K4"}, {0x90, "Ram T0"}, {0x91, "Ram T1"}, {0x92, "Ram T2"},
    {0x93, "Ram T3"}, {0x94, "Ram T4"}, {0xA0, "Ram V0"}, {0xA1, "Ram V1"},
};

constexpr Named kCycles[] = {
    {0x0A, "PUNCH"}, {0x14, "FORM"},  {0x15, "PUNCH"}, {0x1E, "SEEKPOS"}, {0x28, "HOME"},
    {0x29, "SET HOME ABS"}, {0x32, "PRESS"}, {0x3C, "HOVER"}, {0x46, "MARK"}, {0x50, "FINEPOS"},
};

template <size_t N>
const char* Lookup(const Named (&table)[N], uint16_t key, uint16_t shown) {
  for (const Named& n : table)
    if (n.code == key) return n.name;
  static char text[8];
  std::snprintf(text, sizeof text, "0x%04X", shown);
  return text;
}

}  // namespace

const char* ScopeExtractRamtype(uint16_t code) { return Lookup(kRamtypes, code, code); }

const char* ScopeExtractMcycle(uint16_t state) { return Lookup(kCycles, static_cast<uint16_t>(state >> 8), state); }
