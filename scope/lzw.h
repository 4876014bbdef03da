// LZW codec of the ".loz" trace files: 12-bit codes packed most significant
// bit first, codes 256..4094 assigned in order of creation with no reset,
// end code 4095 followed by one padding code 0 of which only the whole bytes
// are written. The stream has no header; ⌊12 × (codes + 2) ÷ 8⌋ bytes.
//
// The codec works on module globals and is not reentrant: one compression or
// expansion at a time, with the tables installed by an LzwTables for the
// duration of the call.
#pragma once
#include <cstddef>
#include <cstdint>

inline constexpr int LZW_TABLE_SIZE = 5021;   // a prime above 4096
inline constexpr int LZW_STACK_SIZE = 4000;
inline constexpr uint32_t LZW_FIRST_CODE = 256;
inline constexpr uint32_t LZW_END_CODE = 4095;

// Compressor: code of each hash slot (-1 empty), its prefix and appended byte.
// Expander: prefix and appended byte of each code, indexed by the code.
extern int32_t* code_value;
extern uint32_t* prefix_code;
extern uint8_t* append_character;
extern uint8_t decode_stack[LZW_STACK_SIZE];
extern uint32_t output_bit_buffer;  // left-aligned bits not yet written
extern int32_t output_bit_count;
extern uint32_t input_bit_buffer;   // left-aligned bits not yet consumed
extern int32_t input_bit_count;

// Why an expansion ended.
enum class LzwOutcome : uint8_t {
  Ok,
  NoEndCode,     // a code needs bits beyond the data
  BadCode,       // first code above 255, or a code above the next free code
  StringTooLong, // a string longer than decode_stack
  TooLarge,      // the text does not fit the output capacity
};
// "corrupt (...)" for the three corrupt outcomes, "too large", "ok".
const char* LzwOutcomeText(LzwOutcome outcome);

// Allocates the three tables and installs them in the globals; frees and
// clears them when it goes. Ok() false when memory ran out.
class LzwTables {
 public:
  LzwTables();
  ~LzwTables();
  LzwTables(const LzwTables&) = delete;
  LzwTables& operator=(const LzwTables&) = delete;
  bool Ok() const { return code_value && prefix_code && append_character; }
};

// Bytes an output buffer for LzwCompress of `length` bytes needs at most.
inline constexpr size_t LzwCompressBound(size_t length) { return length + (length + 1) / 2 + 3; }

// Clears the bit buffers; before every LzwCompress and LzwExpand.
void LzwInit();
// Compresses `length` bytes into `out` (LzwCompressBound(length) bytes) and
// returns one past the last byte written; nullptr for empty input.
uint8_t* LzwCompress(const uint8_t* in, size_t length, uint8_t* out);
// Expands the stream of `inLength` bytes into `out` and returns one past the
// last byte written, or nullptr with the reason in `outcome` (which is Ok
// otherwise). Nothing is read past the data and nothing written past
// `outCapacity` bytes.
uint8_t* LzwExpand(const uint8_t* in, size_t inLength, uint8_t* out, size_t outCapacity, LzwOutcome* outcome);
// Compressor: the hash slot of the string prefix + byte, or the empty slot
// where it would go.
int LzwFindMatch(uint32_t prefix, uint32_t byte);
// Expander: writes the string of `code` into `buffer` back to front and
// returns the address of its first byte; nullptr when it would not fit the
// `size` bytes of the buffer.
uint8_t* LzwDecodeString(uint8_t* buffer, size_t size, uint32_t code);
// Reads the next 12-bit code from `input` (`available` bytes left there;
// bytes past them read as 0) and stores in `taken` how many bytes it took.
uint32_t LzwInputCode(const uint8_t* input, size_t available, size_t* taken);
// Appends a 12-bit code; writes the bytes completed at `output` and returns
// their number (1 or 2).
int LzwOutputCode(uint32_t code, uint8_t* output);
