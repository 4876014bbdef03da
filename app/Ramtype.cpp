#include "app/Ramtype.h"

#include <cstdio>

// Our names for the models: family letter by the high nibble, variant by the
// low one.
const McRamtypeName kRamtypeNames[RAMTYPE_NAMED_COUNT] = {
    {0x00, "Ram S0"}, {0x01, "Ram S1"}, {0x02, "Ram S2"}, {0x03, "Ram S3"}, {0x10, "Ram L0"}, {0x11, "Ram L1"},
    {0x20, "Ram M0"}, {0x21, "Ram M1"}, {0x30, "Ram H0"}, {0x31, "Ram H1"}, {0x32, "Ram H2"}, {0x34, "Ram H4"},
    {0x50, "Ram F0"}, {0x51, "Ram F1"}, {0x60, "Ram Q0"}, {0x61, "Ram Q1"}, {0x70, "Ram X0"}, {0x90, "Ram T0"},
    {0x91, "Ram T1"}, {0x92, "Ram T2"}, {0x93, "Ram T3"}, {0x94, "Ram T4"},
};

const int kRamtypeUnavailable[RAMTYPE_UNAVAILABLE_COUNT] = {15, 31, 47, 63, 79};

const char* McycleRamtypeName(int64_t code) {
  for (const McRamtypeName& r : kRamtypeNames)
    if (r.code == code) return r.name;
  return nullptr;
}

bool McycleRamtypeUnavailable(int64_t code) {
  for (int c : kRamtypeUnavailable)
    if (c == code) return true;
  return false;
}

std::string McycleRamtypeText(int64_t code) {
  if (const char* name = McycleRamtypeName(code)) return name;
  char text[32];
  std::snprintf(text, sizeof text, "0x%04llX", static_cast<unsigned long long>(code & 0xFFFF));
  return text;
}
