#include "macro/MacroSource.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr const char kDatePrefix[] = "        DATE";
constexpr const char kTimePrefix[] = "        TIME";
constexpr size_t kPrefixLength = 12;
constexpr int kTemplateDateLine = 13;  // from 0
constexpr int kTemplateTimeLine = 14;

bool ValidUtf8(const std::string& s) {
  size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    size_t extra = 0;
    uint32_t code = 0;
    if (c < 0x80) {
      ++i;
      continue;
    }
    if ((c & 0xE0) == 0xC0) extra = 1, code = c & 0x1F;
    else if ((c & 0xF0) == 0xE0) extra = 2, code = c & 0x0F;
    else if ((c & 0xF8) == 0xF0) extra = 3, code = c & 0x07;
    else return false;
    if (i + extra >= s.size()) return false;
    for (size_t k = 1; k <= extra; ++k) {
      const auto d = static_cast<unsigned char>(s[i + k]);
      if ((d & 0xC0) != 0x80) return false;
      code = (code << 6) | (d & 0x3F);
    }
    // Overlong forms, surrogates and values past the last code point.
    static const uint32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
    if (code < kMin[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += extra + 1;
  }
  return true;
}

std::string Latin1ToUtf8(const std::string& s) {
  std::string out;
  out.reserve(s.size() + s.size() / 8);
  for (char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      out += ch;
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// False when the text holds a character beyond U+00FF.
bool Utf8ToLatin1(const std::string& s, std::string& out) {
  out.clear();
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      out += s[i];
    } else if ((c == 0xC2 || c == 0xC3) && i + 1 < s.size()) {
      out += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(s[++i]) & 0x3F));
    } else {
      return false;
    }
  }
  return true;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    const size_t feed = text.find('\n', start);
    if (feed == std::string::npos) {
      lines.push_back(text.substr(start));
      return lines;
    }
    lines.push_back(text.substr(start, feed - start));
    start = feed + 1;
  }
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) text += '\n';
    text += lines[i];
  }
  return text;
}

// Whether the bytes hold line feeds and every one follows a CR.
bool CrLfLines(const std::string& bytes) {
  size_t feeds = 0, crlfs = 0;
  for (size_t i = 0; i < bytes.size(); ++i)
    if (bytes[i] == '\n') {
      ++feeds;
      if (i > 0 && bytes[i - 1] == '\r') ++crlfs;
    }
  return feeds > 0 && crlfs == feeds;
}

bool StartsWith(const std::string& line, const char* prefix) {
  return line.size() >= kPrefixLength && line.compare(0, kPrefixLength, prefix) == 0;
}

std::string DateLine(const std::tm& t) {
  char line[48];
  std::snprintf(line, sizeof line, "        DATE %04d%02d%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
  return line;
}

std::string TimeLine(const std::tm& t, bool hundredths) {
  char line[48];
  std::snprintf(line, sizeof line, hundredths ? "        TIME %02d%02d%02d00" : "        TIME %02d%02d%02d",
                t.tm_hour, t.tm_min, t.tm_sec);
  return line;
}

}  // namespace

bool MacroSourceDecode(const std::string& bytes, std::string& text, MacroSourceFormat& format, std::string& why) {
  if (bytes.find('\0') != std::string::npos) {
    why = "the file holds NUL bytes: no macro source";
    return false;
  }
  format = MacroSourceFormat{};
  format.crlf = CrLfLines(bytes);
  std::string plain;
  if (format.crlf) {
    plain.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i)
      if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) plain += bytes[i];
  } else {
    plain = bytes;
  }
  format.latin1 = !ValidUtf8(plain);
  text = format.latin1 ? Latin1ToUtf8(plain) : plain;
  // The line feed of the last line belongs to the file, not to the editor.
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return true;
}

std::string MacroSourceEncode(const std::string& text, MacroSourceFormat& format) {
  std::string body = text + '\n';
  if (format.latin1) {
    std::string latin;
    if (Utf8ToLatin1(body, latin)) body = latin;
    else format.latin1 = false;
  }
  // A text of one line that ends in a CR, given its line feed, would read
  // back as a CR LF line without that CR; as a CR LF file it keeps it.
  if (!format.crlf && CrLfLines(body)) format.crlf = true;
  if (!format.crlf) return body;
  std::string out;
  out.reserve(body.size() + body.size() / 16);
  for (char c : body) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string MacroStampSource(const std::string& text, const std::tm& now) {
  std::vector<std::string> lines = SplitLines(text);
  for (std::string& line : lines) {
    if (StartsWith(line, kTimePrefix)) {
      line = TimeLine(now, true);
      break;
    }
    if (StartsWith(line, kDatePrefix)) line = DateLine(now);
  }
  return JoinLines(lines);
}

std::string MacroStampTemplate(const std::string& text, const std::tm& now) {
  std::vector<std::string> lines = SplitLines(text);
  if (static_cast<int>(lines.size()) > kTemplateDateLine) lines[kTemplateDateLine] = DateLine(now);
  if (static_cast<int>(lines.size()) > kTemplateTimeLine) lines[kTemplateTimeLine] = TimeLine(now, false);
  return JoinLines(lines);
}
