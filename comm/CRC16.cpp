#include "comm/CRC16.h"

#include <array>

namespace {

// kTable[k][i]: the CRC of byte i followed by k zero bytes. Eight bytes are
// folded per step; the result is the same as the byte-wise table walk.
using Tables = std::array<std::array<uint16_t, 256>, 8>;

constexpr Tables MakeTables() {
  Tables t{};
  for (unsigned i = 0; i < 256; ++i) {
    uint16_t crc = static_cast<uint16_t>(i << 8);
    for (int bit = 0; bit < 8; ++bit) crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
    t[0][i] = crc;
  }
  for (unsigned i = 0; i < 256; ++i)
    for (int k = 1; k < 8; ++k)
      t[k][i] = static_cast<uint16_t>((t[k - 1][i] << 8) ^ t[0][t[k - 1][i] >> 8]);
  return t;
}

constexpr Tables kTable = MakeTables();
static_assert(kTable[0][1] == 0x1021 && kTable[0][128] == 0x9188);

}  // namespace

uint16_t CRC16calculation(const uint8_t* buffer, size_t length) {
  if (!buffer) return 0;
  uint16_t crc = 0;
  while (length >= 8) {
    const uint8_t* b = buffer;
    crc = static_cast<uint16_t>(kTable[7][(crc >> 8) ^ b[0]] ^ kTable[6][(crc & 0xFF) ^ b[1]] ^ kTable[5][b[2]] ^
                                kTable[4][b[3]] ^ kTable[3][b[4]] ^ kTable[2][b[5]] ^ kTable[1][b[6]] ^
                                kTable[0][b[7]]);
    buffer += 8;
    length -= 8;
  }
  while (length--) crc = static_cast<uint16_t>((crc << 8) ^ kTable[0][(crc >> 8) ^ *buffer++]);
  return crc;
}
