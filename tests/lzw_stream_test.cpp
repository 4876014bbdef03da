// The ".loz" stream: golden vectors, round trips with the stream-length rule,
// corrupt streams, and mutated streams that must end with an outcome inside
// their buffers.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "scope/lzw.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Compress(const std::string& text) {
  LzwTables tables;
  Bytes out(LzwCompressBound(text.size()));  // exact size: ASan sees an overrun
  LzwInit();
  const uint8_t* end = LzwCompress(reinterpret_cast<const uint8_t*>(text.data()), text.size(), out.data());
  out.resize(end ? end - out.data() : 0);
  return out;
}

struct Expanded {
  LzwOutcome outcome;
  std::string text;
};

Expanded Expand(const Bytes& stream, size_t capacity) {
  LzwTables tables;
  Bytes in(stream);  // exact size: no spare bytes behind the data
  std::vector<uint8_t> out(capacity);
  LzwOutcome outcome = LzwOutcome::Ok;
  LzwInit();
  const uint8_t* end = LzwExpand(in.data(), in.size(), out.data(), out.size(), &outcome);
  EXPECT_EQ(end != nullptr, outcome == LzwOutcome::Ok);
  return {outcome, end ? std::string(out.begin(), out.begin() + (end - out.data())) : std::string()};
}

// Codes packed 12 bits each, most significant first; only whole bytes kept.
Bytes Pack(const std::vector<uint32_t>& codes) {
  Bytes out;
  uint64_t bits = 0;
  int count = 0;
  for (uint32_t c : codes) {
    bits = (bits << 12) | (c & 0xFFF);
    count += 12;
    while (count >= 8) {
      out.push_back(static_cast<uint8_t>(bits >> (count - 8)));
      count -= 8;
    }
  }
  return out;
}

// The number of codes before the end code, read independently of the codec.
size_t DataCodes(const Bytes& s) {
  for (size_t n = 0; 12 * n + 12 <= 8 * s.size(); ++n) {
    const size_t bit = 12 * n, byte = bit / 8;
    const uint32_t word = (s[byte] << 16) | ((byte + 1 < s.size() ? s[byte + 1] : 0) << 8) |
                          (byte + 2 < s.size() ? s[byte + 2] : 0);
    if (((word >> (12 - bit % 8)) & 0xFFF) == LZW_END_CODE) return n;
  }
  return SIZE_MAX;
}

std::string TraceLikeText(int frames) {
  std::string t = "FileFormat:\t4\nNumberOfTraces:\t2\nPARAMETERS_START\n\nPOS1:\t 1200\n";
  char line[96];
  for (int i = 0; i < frames; ++i) {
    std::snprintf(line, sizeof line, "%02X %02X %02X %02X 15 0A 00 00 %02X 00 BF 00 %02X 01 %02X %02X\n",
                  i & 0xFF, (i >> 8) & 0xFF, (3 * i) & 0xFF, i % 7, i % 3, (i / 5) & 0xFF, i % 4, i % 4);
    t += line;
  }
  return t;
}

std::string RandomBytes(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (auto& c : s) c = static_cast<char>(rng());
  return s;
}

TEST(LzwStream, GoldenVectorsBothWays) {
  const struct {
    std::string text;
    Bytes stream;
  } cases[] = {
      {"abc", {0x06, 0x10, 0x62, 0x06, 0x3F, 0xFF, 0x00}},
      {"abcabcabc", {0x06, 0x10, 0x62, 0x06, 0x31, 0x00, 0x10, 0x21, 0x01, 0xFF, 0xF0, 0x00}},
      {"aaaaaaa", {0x06, 0x11, 0x00, 0x10, 0x10, 0x61, 0xFF, 0xF0, 0x00}},  // code used as it is defined
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Compress(c.text), c.stream);
    const Expanded e = Expand(c.stream, c.text.size());
    EXPECT_EQ(e.outcome, LzwOutcome::Ok);
    EXPECT_EQ(e.text, c.text);
  }
}

TEST(LzwStream, RoundTripsKeepTheLengthRule) {
  const struct {
    const char* name;
    std::string text;
    size_t minCodes;  // > 3840: the dictionary filled up on the way
  } cases[] = {
      {"one byte", "x", 1},
      {"trace text", TraceLikeText(4000), 3841},
      {"random bytes", RandomBytes(50000, 7), 3841},
      {"long run", std::string(200000, 'a'), 600},
      {"all byte values", RandomBytes(256, 1) + std::string(300, '\0') + std::string(300, '\xFF'), 200},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes s = Compress(c.text);
    const size_t n = DataCodes(s);
    ASSERT_NE(n, SIZE_MAX);
    EXPECT_GE(n, c.minCodes);
    EXPECT_EQ(s.size(), 12 * (n + 2) / 8);
    EXPECT_LE(s.size(), LzwCompressBound(c.text.size()));
    const Expanded e = Expand(s, c.text.size());  // exactly the room it needs
    EXPECT_EQ(e.outcome, LzwOutcome::Ok);
    EXPECT_TRUE(e.text == c.text);
  }
}

TEST(LzwStream, EmptyInputIsRefused) {
  LzwTables tables;
  uint8_t out[8] = {};
  const uint8_t in[1] = {'a'};
  LzwInit();
  EXPECT_EQ(LzwCompress(in, 0, out), nullptr);
}

TEST(LzwStream, CorruptStreamsAreRefused) {
  const Bytes good = Compress("abcabcabcabcabc");
  const struct {
    const char* name;
    Bytes stream;
    size_t capacity;
    LzwOutcome outcome;
  } cases[] = {
      {"empty", {}, 100, LzwOutcome::NoEndCode},
      {"truncated before the end code", Bytes(good.begin(), good.end() - 3), 100, LzwOutcome::NoEndCode},
      {"no end code at all", Pack({'a', 'b', 'c', 'd'}), 100, LzwOutcome::NoEndCode},
      {"end code cut in half", Bytes{0x06, 0x1F}, 100, LzwOutcome::NoEndCode},
      {"first code above 255", Pack({0x100, 'a', LZW_END_CODE, 0}), 100, LzwOutcome::BadCode},
      {"end code first", Pack({LZW_END_CODE, 0}), 100, LzwOutcome::BadCode},
      {"code above the next free code", Pack({'a', 'b', 0x102, LZW_END_CODE, 0}), 100, LzwOutcome::BadCode},
      {"self-referencing chain", Pack({'a', 0x101, LZW_END_CODE, 0}), 100, LzwOutcome::BadCode},
      {"text larger than the capacity", good, 14, LzwOutcome::TooLarge},
      {"no room for the first byte", good, 0, LzwOutcome::TooLarge},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Expand(c.stream, c.capacity).outcome, c.outcome);
  }
  EXPECT_EQ(Expand(good, 15).text, "abcabcabcabcabc");
}

// Mutations of valid streams: flipped bits, changed, dropped and inserted
// bytes, and cuts. Each case ends with an outcome; the exact-size buffers let
// AddressSanitizer catch any read or write outside them.
TEST(LzwStream, MutatedStreamsEndInsideTheirBuffers) {
  const std::vector<Bytes> seeds = {Compress(TraceLikeText(300)), Compress(RandomBytes(3000, 3)),
                                    Compress(std::string(5000, 'z')), Compress("abcabcabc")};
  std::mt19937 rng(12345);
  int accepted = 0, refused = 0;
  for (int i = 0; i < 3000; ++i) {
    Bytes s = seeds[i % seeds.size()];
    const int edits = 1 + static_cast<int>(rng() % 4);
    for (int k = 0; k < edits && !s.empty(); ++k) {
      const size_t at = rng() % s.size();
      switch (rng() % 5) {
        case 0: s[at] ^= static_cast<uint8_t>(1u << (rng() % 8)); break;
        case 1: s[at] = static_cast<uint8_t>(rng()); break;
        case 2: s.erase(s.begin() + at); break;
        case 3: s.insert(s.begin() + at, static_cast<uint8_t>(rng())); break;
        default: s.resize(at); break;
      }
    }
    const size_t capacity = rng() % 2 ? 20000 : rng() % 400;
    const Expanded e = Expand(s, capacity);
    EXPECT_LE(e.text.size(), capacity);
    (e.outcome == LzwOutcome::Ok ? accepted : refused)++;
  }
  EXPECT_GT(refused, 1000);  // the mutations did reach the checks
  EXPECT_GT(accepted, 0);
}

}  // namespace
