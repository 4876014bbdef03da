#include "scope/lzw.h"

#include <new>

int32_t* code_value;
uint32_t* prefix_code;
uint8_t* append_character;
uint8_t decode_stack[LZW_STACK_SIZE];
uint32_t output_bit_buffer;
int32_t output_bit_count;
uint32_t input_bit_buffer;
int32_t input_bit_count;

const char* LzwOutcomeText(LzwOutcome outcome) {
  switch (outcome) {
    case LzwOutcome::Ok: return "ok";
    case LzwOutcome::NoEndCode: return "corrupt (no end code)";
    case LzwOutcome::BadCode: return "corrupt (bad code)";
    case LzwOutcome::StringTooLong: return "corrupt (string too long)";
    case LzwOutcome::TooLarge: return "too large";
  }
  return "corrupt";
}

LzwTables::LzwTables() {
  code_value = new (std::nothrow) int32_t[LZW_TABLE_SIZE];
  prefix_code = new (std::nothrow) uint32_t[LZW_TABLE_SIZE];
  append_character = new (std::nothrow) uint8_t[LZW_TABLE_SIZE];
}

LzwTables::~LzwTables() {
  delete[] code_value;
  delete[] prefix_code;
  delete[] append_character;
  code_value = nullptr;
  prefix_code = nullptr;
  append_character = nullptr;
}

void LzwInit() {
  output_bit_buffer = 0;
  output_bit_count = 0;
  input_bit_buffer = 0;
  input_bit_count = 0;
}

int LzwFindMatch(uint32_t prefix, uint32_t byte) {
  int h = static_cast<int>((byte << 4) ^ prefix);
  const int offset = h == 0 ? 1 : LZW_TABLE_SIZE - h;
  while (code_value[h] != -1 && (prefix_code[h] != prefix || append_character[h] != byte)) {
    h -= offset;
    if (h < 0) h += LZW_TABLE_SIZE;
  }
  return h;
}

int LzwOutputCode(uint32_t code, uint8_t* output) {
  output_bit_buffer |= code << (20 - output_bit_count);
  output_bit_count += 12;
  int written = 0;
  while (output_bit_count > 7) {
    output[written++] = static_cast<uint8_t>(output_bit_buffer >> 24);
    output_bit_buffer <<= 8;
    output_bit_count -= 8;
  }
  return written;
}

uint8_t* LzwCompress(const uint8_t* in, size_t length, uint8_t* out) {
  if (length == 0) return nullptr;
  for (int i = 0; i < LZW_TABLE_SIZE; ++i) code_value[i] = -1;
  uint32_t nextCode = LZW_FIRST_CODE;
  uint32_t stringCode = in[0];
  for (size_t i = 1; i < length; ++i) {
    const uint32_t c = in[i];
    const int h = LzwFindMatch(stringCode, c);
    if (code_value[h] != -1) {
      stringCode = static_cast<uint32_t>(code_value[h]);
      continue;
    }
    if (nextCode < LZW_END_CODE) {
      code_value[h] = static_cast<int32_t>(nextCode++);
      prefix_code[h] = stringCode;
      append_character[h] = static_cast<uint8_t>(c);
    }
    out += LzwOutputCode(stringCode, out);
    stringCode = c;
  }
  out += LzwOutputCode(stringCode, out);
  out += LzwOutputCode(LZW_END_CODE, out);
  out += LzwOutputCode(0, out);
  return out;
}

uint32_t LzwInputCode(const uint8_t* input, size_t available, size_t* taken) {
  size_t n = 0;
  while (input_bit_count <= 24) {
    const uint32_t byte = n < available ? input[n] : 0;
    ++n;
    input_bit_buffer |= byte << (24 - input_bit_count);
    input_bit_count += 8;
  }
  const uint32_t code = input_bit_buffer >> 20;
  input_bit_buffer <<= 12;
  input_bit_count -= 12;
  *taken = n;
  return code;
}

uint8_t* LzwDecodeString(uint8_t* buffer, size_t size, uint32_t code) {
  size_t i = 0;
  while (code > 255) {
    if (i == size) return nullptr;
    buffer[i++] = append_character[code];
    code = prefix_code[code];
  }
  if (i == size) return nullptr;
  buffer[i] = static_cast<uint8_t>(code);
  return buffer + i;
}

namespace {

// The input side of one expansion: hands out codes while their 12 bits lie
// within the data.
class CodeReader {
 public:
  CodeReader(const uint8_t* in, size_t length) : in_(in), length_(length), bitsLeft_(8 * length) {}
  bool Next(uint32_t& code) {
    if (bitsLeft_ < 12) return false;
    bitsLeft_ -= 12;
    size_t taken = 0;
    code = LzwInputCode(in_ + pos_, length_ - pos_, &taken);
    pos_ += taken;
    if (pos_ > length_) pos_ = length_;  // the bytes past the data were padding
    return true;
  }

 private:
  const uint8_t* in_;
  size_t length_;
  size_t pos_ = 0;
  size_t bitsLeft_;
};

}  // namespace

uint8_t* LzwExpand(const uint8_t* in, size_t inLength, uint8_t* out, size_t outCapacity, LzwOutcome* outcome) {
  CodeReader reader(in, inLength);
  uint8_t* const outEnd = out + outCapacity;
  uint32_t oldCode = 0;
  auto fail = [outcome](LzwOutcome why) -> uint8_t* {
    *outcome = why;
    return nullptr;
  };
  if (!reader.Next(oldCode)) return fail(LzwOutcome::NoEndCode);
  if (oldCode > 255) return fail(LzwOutcome::BadCode);
  if (out == outEnd) return fail(LzwOutcome::TooLarge);
  uint8_t character = static_cast<uint8_t>(oldCode);
  *out++ = character;

  uint32_t nextCode = LZW_FIRST_CODE;
  uint32_t newCode = 0;
  for (;;) {
    if (!reader.Next(newCode)) return fail(LzwOutcome::NoEndCode);
    if (newCode == LZW_END_CODE) break;
    if (newCode > nextCode) return fail(LzwOutcome::BadCode);
    uint8_t* string;
    if (newCode == nextCode) {  // the string being defined right now
      decode_stack[0] = character;
      string = LzwDecodeString(decode_stack + 1, LZW_STACK_SIZE - 1, oldCode);
    } else {
      string = LzwDecodeString(decode_stack, LZW_STACK_SIZE, newCode);
    }
    if (!string) return fail(LzwOutcome::StringTooLong);
    character = *string;
    const size_t count = static_cast<size_t>(string - decode_stack) + 1;
    if (static_cast<size_t>(outEnd - out) < count) return fail(LzwOutcome::TooLarge);
    for (size_t i = count; i-- > 0;) *out++ = decode_stack[i];
    if (nextCode < LZW_END_CODE) {
      prefix_code[nextCode] = oldCode;
      append_character[nextCode] = character;
      ++nextCode;
    }
    oldCode = newCode;
  }
  *outcome = LzwOutcome::Ok;
  return out;
}
