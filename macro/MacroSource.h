// Macro source text: how a .mac file's bytes become the editor's text and
// back, and the date and time stamps the tool writes into it. No panels here.
#pragma once
#include <ctime>
#include <string>

// How a source file was written, so an unedited file is saved as it came.
struct MacroSourceFormat {
  bool latin1 = false;  // not valid UTF-8: each byte is one Latin-1 character
  bool crlf = false;    // every line ends in CR LF
};

// The editor's text of a file: UTF-8, lines split by LF, without the line
// feed that ends the last line. False with a reason for a file that holds NUL
// bytes (no source text).
bool MacroSourceDecode(const std::string& bytes, std::string& text, MacroSourceFormat& format, std::string& why);
// The file's bytes for the editor's text: every line followed by a line end,
// in the encoding of `format`. Text that Latin-1 cannot hold is written as
// UTF-8, and `format` then says so.
std::string MacroSourceEncode(const std::string& text, MacroSourceFormat& format);

// Stamping before assembly: every line that starts with eight blanks and
// "DATE" above the first such "TIME" line gets the date, that first TIME
// line gets the time (hhmmss and two zeros); lines below it keep their text.
std::string MacroStampSource(const std::string& text, const std::tm& now);
// The New command: lines 14 and 15 (from 1) become the DATE line and a TIME
// line of six digits, where the text has them.
std::string MacroStampTemplate(const std::string& text, const std::tm& now);
