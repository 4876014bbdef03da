// libFuzzer harness: any bytes as StrokeDesk.ini.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "app/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  McycleReadIniLines(in);
  return 0;
}
