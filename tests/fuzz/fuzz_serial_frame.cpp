// Serial frame read (link 1): whatever bytes wait, the reader takes whole
// frames or nothing and never hands on a frame with a wrong check byte.
#include <cstdint>
#include <cstdlib>

#include "comm/StMaUart.h"
#include "fuzz/FuzzPty.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static FuzzPty pty;
  if (size > 1024) return 0;
  iStMaComChan = FuzzPty::kPort;
  pty.Feed(data, size);
  for (size_t frames = 0; frames <= size / 9 + 1; ++frames) {
    uint8_t payload[8];
    const uint8_t rc = UartReadCanData(payload);
    if (rc == 2) break;
    if (rc == 0 && UartCheckByte(payload) != data[frames * 9 + 8]) std::abort();
    if (rc != 0 && rc != 4) std::abort();
  }
  return 0;
}
