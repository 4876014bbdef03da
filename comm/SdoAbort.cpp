#include "comm/SdoAbort.h"

#include <cstdio>

namespace {

struct AbortCode {
  uint32_t code;
  const char* meaning;
};

constexpr AbortCode kAbortCodes[] = {
    {0x05030000, "toggle bit not alternated"},
    {0x05040000, "SDO protocol timed out"},
    {0x05040001, "command specifier not valid or unknown"},
    {0x05040005, "out of memory"},
    {0x06010000, "unsupported access to the object"},
    {0x06010001, "object is write-only"},
    {0x06010002, "object is read-only"},
    {0x06020000, "object does not exist"},
    {0x06040041, "object cannot be mapped to the PDO"},
    {0x06040042, "mapped objects would exceed the PDO length"},
    {0x06040043, "general parameter incompatibility"},
    {0x06040047, "general internal incompatibility in the device"},
    {0x06060000, "access failed due to a hardware error"},
    {0x06070010, "length of the data does not match"},
    {0x06070012, "data too long"},
    {0x06070013, "data too short"},
    {0x06090011, "sub-index does not exist"},
    {0x06090030, "value range of the parameter exceeded"},
    {0x06090031, "value too high"},
    {0x06090032, "value too low"},
    {0x06090036, "maximum value is less than minimum value"},
    {0x060A0023, "resource not available"},
    {0x08000000, "general error"},
    {0x08000020, "data cannot be transferred or stored"},
    {0x08000021, "data cannot be transferred or stored because of local control"},
    {0x08000022, "data cannot be transferred or stored in the present device state"},
    {0x08000023, "no object dictionary"},
    {0x08000024, "no data available"},
};

}  // namespace

const char* SdoAbortMeaning(uint32_t code) {
  for (const AbortCode& a : kAbortCodes)
    if (a.code == code) return a.meaning;
  return nullptr;
}

std::string SdoAbortText(uint32_t code) {
  char text[96];
  const char* meaning = SdoAbortMeaning(code);
  if (meaning) std::snprintf(text, sizeof text, "Abort %08X: %s", static_cast<unsigned>(code), meaning);
  else std::snprintf(text, sizeof text, "Abort %08X", static_cast<unsigned>(code));
  return text;
}
