// Reading and writing the lines of a trace text: lines that end in LF or
// CR LF, keys, numbers in the C locale, and the data lines of a frame.
// Every reader works on string views: nothing is copied or read past a line.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct ScopeFrame;

// Walks a text line by line; a line's LF, and a CR before it, are not part of
// the line. A last line without LF counts.
class ScopeTextLines {
 public:
  ScopeTextLines(const char* text, size_t length) : text_(text, length) {}
  // The next line; false at the end of the text.
  bool Next(std::string_view& line);
  // The next line that is not empty; false at the end.
  bool NextNonEmpty(std::string_view& line);
  // The offset of the next line's first character.
  size_t Offset() const { return at_; }

 private:
  std::string_view text_;
  size_t at_ = 0;
};

// A cursor over one field: numbers as the files write them.
class ScopeTextCursor {
 public:
  explicit ScopeTextCursor(std::string_view s) : s_(s) {}
  // Blanks and tabs.
  void SkipBlanks();
  // A signed decimal number after blanks.
  bool Int(int64_t& value);
  // A number word for the number parser (hexadecimal with "0x") after blanks.
  bool Number(uint32_t& value);
  // A decimal number with an optional fraction after blanks, as an exact
  // multiple of 1/100 (hundredths, truncated).
  bool Hundredths(int64_t& value);
  // The literal `c` (blanks before it skipped when `skipBlanks`).
  bool Lit(char c, bool skipBlanks = false);
  std::string_view Rest() const { return s_; }

 private:
  std::string_view s_;
};

// True when `line` begins with `key` followed by ":"; `value` is the rest
// after the colon and the blanks and tabs behind it.
bool ScopeTextKey(std::string_view line, std::string_view key, std::string_view& value);

// Appends printf-formatted text in the C locale, whatever the desktop's
// locale is.
void ScopeTextAppend(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The lowest `bits` of `value`, most significant first, each as "1 " or "0 ".
int ScopeFprintMemBinary(char* buffer, uint16_t value, int bits);
void ScopeFprintBinary(std::string& stream, uint16_t value, int bits);

// Column layouts of a ".log" data line.
enum class ScopeDataLayout : uint8_t {
  P0528,    // Cmdpos Ram Motpos McState DigIn DigOut Status Ramtype ANA0..3
  P0417,    // Stepper Ram McState DigIn DigOut Speed ANA0
  P0528Ff2, // as P0528 with 8 input and 5 output digits (FileFormat 2 of other firmware)
};
// A ".log" data line of `frame`, with its raw bytes and the line feed.
void ScopeWriteDataLine(std::string& out, const ScopeFrame& frame, ScopeDataLayout layout);
// The 16 raw bytes as a ".loz" data line, with the line feed.
void ScopeWriteRawLine(std::string& out, const ScopeFrame& frame);
// Reads 16 raw bytes written "%02X " three characters apart; false when fewer
// than 16 are there.
bool ScopeReadRawBytes(std::string_view text, uint8_t* raw);
// The column header lines of the ".log" writer.
inline constexpr const char* SCOPE_COLUMNS_P0417 =
    "Stepper\tRam\tMcState\tDigIn\tDigOut\tSpeed\tANA0\tANA1\tANA2\tANA3\t\tRohdaten\n";
inline constexpr const char* SCOPE_COLUMNS_P0528 =
    "Cmdpos\tRam\tMotpos\tMcState\tDigIn[13:0]\tDigOut[9:0]\tStatus\tRamtype\tANA0\tANA1\tANA2\tANA3\t\tRohdaten\n";
// The one the ".loz" conversion writes.
inline constexpr const char* SCOPE_COLUMNS_CONVERTED =
    "Cmdpos\tRam\tMotpos\tMcState\tDigIn\tDigOut\tStatus\tRamtype\tANA0\tANA1\tANA2\tANA3\t\tRohdaten\n";
