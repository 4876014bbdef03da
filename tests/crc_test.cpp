#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "comm/CRC16.h"
#include "comm/CRC32.h"

namespace {

const uint8_t kDigits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
const uint8_t kAbc[] = {'a', 'b', 'c'};

// Bit by bit, straight from the polynomial.
uint16_t Crc16Bitwise(const uint8_t* p, size_t n) {
  uint16_t crc = 0;
  for (size_t i = 0; i < n; ++i) {
    crc ^= static_cast<uint16_t>(p[i] << 8);
    for (int b = 0; b < 8; ++b) crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
  }
  return crc;
}

uint32_t Crc32Bitwise(const uint8_t* p, size_t n, uint32_t crc) {
  for (size_t i = 0; i < n; ++i) {
    crc ^= static_cast<uint32_t>(p[i]) << 24;
    for (int b = 0; b < 8; ++b) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
  }
  return crc;
}

TEST(Crc16, CheckValues) {
  EXPECT_EQ(CRC16calculation(kDigits, sizeof kDigits), 0x31C3);
  EXPECT_EQ(CRC16calculation(kAbc, sizeof kAbc), 0x9DD6);
  EXPECT_EQ(CRC16calculation(kDigits, 0), 0);
  EXPECT_EQ(CRC16calculation(nullptr, 9), 0);
  const uint8_t one = 1, top = 128;
  EXPECT_EQ(CRC16calculation(&one, 1), 0x1021);   // table[1]
  EXPECT_EQ(CRC16calculation(&top, 1), 0x9188);   // table[128]
}

TEST(Crc32, CheckValuesAndContinuation) {
  EXPECT_EQ(CRC32calculationS(kDigits, sizeof kDigits), 0x89A1897Fu);
  EXPECT_EQ(CRC32calculationS(kAbc, sizeof kAbc), 0x2C17398Cu);
  EXPECT_EQ(CRC32calculation(kDigits + 4, 5, CRC32calculationS(kDigits, 4)), 0x89A1897Fu);
  EXPECT_EQ(CRC32calculationS(nullptr, 4), 0u);
  EXPECT_EQ(CRC32calculation(nullptr, 4, 0xDEADBEEF), 0xDEADBEEFu);
  const uint8_t one = 1, top = 128;
  EXPECT_EQ(CRC32calculationS(&one, 1), 0x04C11DB7u);
  EXPECT_EQ(CRC32calculationS(&top, 1), 0x690CE0EEu);
}

// The folded loops must give the bit-by-bit result at every length and
// alignment, with any start value.
TEST(Crc, FoldedLoopsMatchTheBitwiseDefinition) {
  std::mt19937 rng(7);
  std::vector<uint8_t> data(600);
  for (auto& b : data) b = static_cast<uint8_t>(rng());
  for (size_t offset = 0; offset < 8; ++offset)
    for (size_t len = 0; len + offset <= data.size(); len += 1 + len / 8) {
      const uint8_t* p = data.data() + offset;
      ASSERT_EQ(CRC16calculation(p, len), Crc16Bitwise(p, len)) << "offset " << offset << " length " << len;
      const uint32_t start = static_cast<uint32_t>(rng());
      ASSERT_EQ(CRC32calculation(p, len, start), Crc32Bitwise(p, len, start)) << "offset " << offset << " length " << len;
    }
}

}  // namespace
