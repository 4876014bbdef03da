// Block telegram acceptance (links 3 and 4): the first two input bytes give
// the block length, the rest is the datagram. The output buffer is exactly
// length + 2 bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "comm/zel_ether.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint16_t length = static_cast<uint16_t>(data[0] | data[1] << 8);
  std::vector<uint8_t> out(static_cast<size_t>(length) + 2);
  const uint8_t rc = ZelEtherDecodeBlockTelegram(data + 2, size - 2, length, 0x7F000002, 0x7F000001, out.data());
  switch (rc) {
    case 0: case 9: case 10: case 12:
      if (size - 2 != static_cast<size_t>(length) + 20) std::abort();
      break;
    case 1: case 5: break;
    default: std::abort();
  }
  return 0;
}
