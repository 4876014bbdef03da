#include "scope/ScopeFileText.h"

#include <locale.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "objects/OBJCMD.h"
#include "scope/ScopeTrace.h"

bool ScopeTextLines::Next(std::string_view& line) {
  if (at_ >= text_.size()) return false;
  size_t end = text_.find('\n', at_);
  const size_t next = end == std::string_view::npos ? text_.size() : end + 1;
  if (end == std::string_view::npos) end = text_.size();
  if (end > at_ && text_[end - 1] == '\r') --end;
  line = text_.substr(at_, end - at_);
  at_ = next;
  return true;
}

bool ScopeTextLines::NextNonEmpty(std::string_view& line) {
  while (Next(line))
    if (!line.empty()) return true;
  return false;
}

void ScopeTextCursor::SkipBlanks() {
  while (!s_.empty() && (s_[0] == ' ' || s_[0] == '\t')) s_.remove_prefix(1);
}

bool ScopeTextCursor::Lit(char c, bool skipBlanks) {
  if (skipBlanks) SkipBlanks();
  if (s_.empty() || s_[0] != c) return false;
  s_.remove_prefix(1);
  return true;
}

namespace {

bool Digit(char c) { return c >= '0' && c <= '9'; }

// Decimal digits into `value`; false without any. Stops growing well before
// an overflow: such a number is refused.
bool Digits(std::string_view& s, int64_t& value, int* count = nullptr) {
  size_t n = 0;
  value = 0;
  while (n < s.size() && Digit(s[n])) {
    if (value > (INT64_MAX - 9) / 10) return false;
    value = value * 10 + (s[n] - '0');
    ++n;
  }
  if (count) *count = static_cast<int>(n);
  s.remove_prefix(n);
  return n > 0;
}

}  // namespace

bool ScopeTextCursor::Int(int64_t& value) {
  SkipBlanks();
  const bool negative = Lit('-');
  if (!negative) Lit('+');
  if (!Digits(s_, value)) return false;
  if (negative) value = -value;
  return true;
}

bool ScopeTextCursor::Number(uint32_t& value) {
  SkipBlanks();
  size_t n = 0;
  while (n < s_.size() && s_[n] != ' ' && s_[n] != '\t' && s_[n] != ')') ++n;
  char word[24];
  if (n == 0 || n >= sizeof word) return false;
  std::memcpy(word, s_.data(), n);
  word[n] = '\0';
  bool valid = false;
  value = static_cast<uint32_t>(ObjCmdStringToNumber(word, &valid));
  if (valid) s_.remove_prefix(n);
  return valid;
}

bool ScopeTextCursor::Hundredths(int64_t& value) {
  SkipBlanks();
  const bool negative = Lit('-');
  int64_t whole = 0;
  if (!Digits(s_, whole) || whole > INT64_MAX / 100) return false;
  int64_t fraction = 0;
  if (Lit('.')) {
    // Two digits count; the rest is cut off.
    for (int place = 10; !s_.empty() && Digit(s_[0]); place /= 10) {
      fraction += (s_[0] - '0') * place;
      s_.remove_prefix(1);
    }
  }
  value = whole * 100 + fraction;
  if (negative) value = -value;
  return true;
}

bool ScopeTextKey(std::string_view line, std::string_view key, std::string_view& value) {
  if (line.size() <= key.size() || line.compare(0, key.size(), key) != 0 || line[key.size()] != ':') return false;
  ScopeTextCursor c(line.substr(key.size() + 1));
  c.SkipBlanks();
  value = c.Rest();
  return true;
}

void ScopeTextAppend(std::string& out, const char* format, ...) {
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  const locale_t previous = uselocale(cLocale);
  char small[256];
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int n = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  if (n >= 0 && static_cast<size_t>(n) < sizeof small) {
    out.append(small, static_cast<size_t>(n));
  } else if (n > 0) {
    const size_t at = out.size();
    out.resize(at + static_cast<size_t>(n) + 1);
    std::vsnprintf(out.data() + at, static_cast<size_t>(n) + 1, format, again);
    out.resize(at + static_cast<size_t>(n));
  }
  va_end(again);
  uselocale(previous);
}

int ScopeFprintMemBinary(char* buffer, uint16_t value, int bits) {
  int n = 0;
  for (int b = bits - 1; b >= 0; --b) {
    buffer[n++] = (value >> b) & 1 ? '1' : '0';
    buffer[n++] = ' ';
  }
  return n;
}

void ScopeFprintBinary(std::string& stream, uint16_t value, int bits) {
  char digits[32];
  stream.append(digits, static_cast<size_t>(ScopeFprintMemBinary(digits, value, bits > 16 ? 16 : bits)));
}

namespace {

// "%*d": right-aligned in `width` characters with blanks.
void AppendDec(std::string& out, int value, int width) {
  char digits[12];
  int n = 0;
  unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude);
  if (value < 0) digits[n++] = '-';
  for (int pad = width - n; pad > 0; --pad) out += ' ';
  while (n) out += digits[--n];
}

constexpr char kHex[] = "0123456789ABCDEF";

// "%0*X" of a 16-bit or 8-bit value.
void AppendHex(std::string& out, unsigned value, int width) {
  for (int shift = 4 * (width - 1); shift >= 0; shift -= 4) out += kHex[(value >> shift) & 0xF];
}

int16_t RawWord(const ScopeFrame& f, int at) { return static_cast<int16_t>(f.aubRaw[at] | f.aubRaw[at + 1] << 8); }

}  // namespace

void ScopeWriteRawLine(std::string& out, const ScopeFrame& frame) {
  for (size_t i = 0; i < SCOPE_RAW_BYTES; ++i) {
    AppendHex(out, frame.aubRaw[i], 2);
    out += i + 1 < SCOPE_RAW_BYTES ? ' ' : '\n';
  }
}

void ScopeWriteDataLine(std::string& out, const ScopeFrame& frame, ScopeDataLayout layout) {
  const ScopeFrame f = frame;  // the record is packed: fields are copied out
  const bool narrow = layout == ScopeDataLayout::P0528Ff2;
  AppendDec(out, f.swCmdpos, 5);
  out += '\t';
  AppendDec(out, f.swRam, 5);
  out += '\t';
  if (layout != ScopeDataLayout::P0417) {
    AppendDec(out, f.swMotpos, 5);
    out += '\t';
  }
  AppendHex(out, f.uwMcState, 4);
  out += '\t';
  ScopeFprintBinary(out, f.uwDigIn, narrow ? 8 : 14);
  out += '\t';
  ScopeFprintBinary(out, f.uwDigOut, narrow ? 5 : 10);
  out += '\t';
  if (layout == ScopeDataLayout::P0417) {
    AppendDec(out, RawWord(f, 14), 4);
    out += '\t';
    AppendDec(out, f.uwAna0, 3);
    out += '\t';
  } else {
    AppendHex(out, f.uwStatus, 4);
    out += '\t';
    AppendHex(out, f.uwRamtype, 4);
    out += '\t';
    for (uint16_t a : {f.uwAna0, f.uwAna1, f.uwAna2, f.uwAna3}) {
      AppendDec(out, a, 3);
      out += '\t';
    }
  }
  out += ":\t";
  ScopeWriteRawLine(out, f);
}

bool ScopeReadRawBytes(std::string_view text, uint8_t* raw) {
  auto nibble = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  for (size_t i = 0; i < SCOPE_RAW_BYTES; ++i) {
    const size_t at = 3 * i;
    if (at + 1 >= text.size()) return false;
    const int hi = nibble(text[at]), lo = nibble(text[at + 1]);
    if (hi < 0 || lo < 0) return false;
    raw[i] = static_cast<uint8_t>(hi << 4 | lo);
  }
  return true;
}
