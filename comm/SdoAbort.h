// What an SDO abort code means (CiA 301), for the line that says what the
// controller answered before "Transmission ERROR".
#pragma once
#include <cstdint>
#include <string>

// The meaning of `code`, or nullptr for a code we do not name.
const char* SdoAbortMeaning(uint32_t code);
// "Abort %08X: <meaning>", or "Abort %08X" for a code we do not name.
std::string SdoAbortText(uint32_t code);
