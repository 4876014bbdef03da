// Serial block read (link 1): the first two input bytes give the block
// length, the rest is what waits on the line. The buffer is exactly the size
// the caller must provide, so any overrun is caught.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "comm/CRC16.h"
#include "comm/StMaUart.h"
#include "fuzz/FuzzPty.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static FuzzPty pty;
  if (size < 2 || size > 1200) return 0;
  const uint16_t length = static_cast<uint16_t>((data[0] | data[1] << 8) % 600);
  pty.Feed(data + 2, size - 2);
  std::vector<uint8_t> buffer(static_cast<size_t>(length) + 2);
  const uint8_t rc = UartReadBlockData(FuzzPty::kPort, buffer.data(), length);
  const size_t line = size - 2;
  if ((line < buffer.size()) != (rc == 2)) std::abort();
  if (rc == 0) {
    const uint16_t crc = CRC16calculation(buffer.data(), length);
    if (buffer[length] != (crc & 0xFF) || buffer[length + 1] != (crc >> 8)) std::abort();
  }
  // Exactly one block is taken; what waits beyond it stays.
  if (rc != 2 && SerialInQLen(FuzzPty::kPort) != static_cast<int>(line - buffer.size())) std::abort();
  return 0;
}
