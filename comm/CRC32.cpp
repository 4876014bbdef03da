#include "comm/CRC32.h"

#include <array>

namespace {

// kTable[k][i]: the CRC of byte i followed by k zero bytes; four bytes are
// folded per step with the same result as the byte-wise table walk.
using Tables = std::array<std::array<uint32_t, 256>, 4>;

constexpr Tables MakeTables() {
  Tables t{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t crc = i << 24;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    t[0][i] = crc;
  }
  for (uint32_t i = 0; i < 256; ++i)
    for (int k = 1; k < 4; ++k) t[k][i] = (t[k - 1][i] << 8) ^ t[0][t[k - 1][i] >> 24];
  return t;
}

constexpr Tables kTable = MakeTables();
static_assert(kTable[0][1] == 0x04C11DB7u && kTable[0][128] == 0x690CE0EEu);

}  // namespace

uint32_t CRC32calculation(const uint8_t* buffer, size_t length, uint32_t start) {
  if (!buffer) return start;
  uint32_t crc = start;
  while (length >= 4) {
    crc = kTable[3][(crc >> 24) ^ buffer[0]] ^ kTable[2][((crc >> 16) & 0xFF) ^ buffer[1]] ^
          kTable[1][((crc >> 8) & 0xFF) ^ buffer[2]] ^ kTable[0][(crc & 0xFF) ^ buffer[3]];
    buffer += 4;
    length -= 4;
  }
  while (length--) crc = (crc << 8) ^ kTable[0][(crc >> 24) ^ *buffer++];
  return crc;
}

uint32_t CRC32calculationS(const uint8_t* buffer, size_t length) { return CRC32calculation(buffer, length, 0); }
