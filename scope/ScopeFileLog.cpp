// The ".log" reader: a trace text with its data lines into the record.
#include <cctype>

#include "engine/Mcycle.h"
#include "engine/McycleFlags.h"
#include "scope/ScopeFile.h"
#include "scope/ScopeFileRead.h"
#include "scope/ScopeTrace.h"

namespace {

// The tab-separated columns of a line.
class Columns {
 public:
  explicit Columns(std::string_view line) : rest_(line) {}
  bool Next(std::string_view& column) {
    if (done_) return false;
    const size_t tab = rest_.find('\t');
    column = rest_.substr(0, tab);
    if (tab == std::string_view::npos)
      done_ = true;
    else
      rest_.remove_prefix(tab + 1);
    return true;
  }

 private:
  std::string_view rest_;
  bool done_ = false;
};

bool Dec(Columns& c, int16_t& v) {
  std::string_view f;
  int64_t n = 0;
  if (!c.Next(f) || !ScopeTextCursor(f).Int(n)) return false;
  v = static_cast<int16_t>(n);
  return true;
}

bool Dec(Columns& c, uint16_t& v) {
  int16_t s = 0;
  if (!Dec(c, s)) return false;
  v = static_cast<uint16_t>(s);
  return true;
}

// "%04X" without a prefix.
bool Hex(Columns& c, uint16_t& v) {
  std::string_view f;
  if (!c.Next(f)) return false;
  ScopeTextCursor cursor(f);
  cursor.SkipBlanks();
  uint32_t value = 0;
  int digits = 0;
  for (char ch : cursor.Rest()) {
    if (!std::isxdigit(static_cast<unsigned char>(ch))) break;
    value = (value << 4) | static_cast<uint32_t>(std::isdigit(static_cast<unsigned char>(ch)) ? ch - '0'
                                                                                              : (ch | 0x20) - 'a' + 10);
    ++digits;
  }
  v = static_cast<uint16_t>(value);
  return digits > 0;
}

// Binary digits "1 0 1 ...", the first the highest bit.
bool Binary(Columns& c, uint16_t& v) {
  std::string_view f;
  if (!c.Next(f)) return false;
  uint32_t value = 0;
  int digits = 0;
  for (char ch : f) {
    if (ch != '0' && ch != '1') continue;
    value = value << 1 | static_cast<uint32_t>(ch - '0');
    ++digits;
  }
  v = static_cast<uint16_t>(value);
  return digits > 0;
}

bool Skip(Columns& c) {
  std::string_view f;
  return c.Next(f);
}

uint16_t RawWord(const ScopeFrame& f, int at) { return static_cast<uint16_t>(f.aubRaw[at] | f.aubRaw[at + 1] << 8); }

// A column header ("Cmdpos ...", "Stepper ..."): data lines begin with a
// blank, a sign or a digit.
bool ColumnHeader(std::string_view line) { return !line.empty() && std::isalpha(static_cast<unsigned char>(line[0])); }

bool Starts(std::string_view line, std::string_view prefix) { return line.substr(0, prefix.size()) == prefix; }

// Reads `trace`'s data lines; `line` holds the first one.
int32_t DataLines(ScopeTextLines& lines, std::string_view line, int t) {
  ScopeTraceDesc& d = scScope[t];
  for (uint32_t i = 0; i < d.uwFrames; ++i) {
    if (i > 0 && !lines.Next(line))
      return ScopeReadReject("trace %d: %u data lines, %u announced", t, i, static_cast<unsigned>(d.uwFrames));
    if (!ScopeReadDataLine(line, d.pFrames[i])) {
      if (line.empty() || Starts(line, "TRACE_END"))
        return ScopeReadReject("trace %d: %u data lines, %u announced", t, i, static_cast<unsigned>(d.uwFrames));
      return ScopeReadReject("trace %d frame %u: not a data line", t, i);
    }
  }
  return 0;
}

// The first data line after blank lines and the column header.
bool FirstDataLine(ScopeTextLines& lines, std::string_view& line) {
  if (!lines.NextNonEmpty(line)) return false;
  if (ColumnHeader(line)) return lines.NextNonEmpty(line);
  return true;
}

// The Sample Time line of a trace (other lines before it are passed over).
bool SampleTimeLine(ScopeTextLines& lines, std::string_view& value) {
  std::string_view line;
  while (lines.Next(line))
    if (ScopeReadSampleTimeLine(line, value)) return true;
  return false;
}

int32_t SecondTrace(ScopeTextLines& lines) {
  std::string_view line, value;
  if (!lines.NextNonEmpty(line) || !Starts(line, "TRACE_END 0")) return ScopeReadReject("no TRACE_END 0");
  if (ubScopeNumOfTraces < 2) return 0;
  if (!lines.NextNonEmpty(line) || !Starts(line, "TRACE_START 1")) return ScopeReadReject("no TRACE_START 1");
  if (!lines.NextNonEmpty(line) || !ScopeReadSampleTimeLine(line, value)) return ScopeReadReject("trace 1: no Sample Time line");
  ScopeTraceDesc& d = scScope[1];
  ScopeReadSampleTime(value, d.uwSampleTime);
  bool skipped = ScopeReadRunning(d.udStatus);
  bool header = false;
  while (!skipped) {
    if (!lines.NextNonEmpty(line)) return ScopeReadReject("trace 1: no data lines");
    if (Starts(line, "TRACE_END 1") || Starts(line, "Backtrace is running...")) {
      skipped = true;
    } else if (ColumnHeader(line) && !header) {
      header = true;
    } else {
      break;
    }
  }
  if (skipped) {
    ubMcFlag4 |= MC_FLAG4_SECOND_TRACE_SKIPPED;
    return 0;
  }
  if (d.uwSampleTime == 0) return ScopeReadReject("trace 1: sample time 0");
  return DataLines(lines, line, 1);
}

}  // namespace

bool ScopeReadDataLine(std::string_view line, ScopeFrame& frame) {
  const size_t colon = line.find(":\t");
  ScopeFrame f{};
  if (colon == std::string_view::npos || !ScopeReadRawBytes(line.substr(colon + 2), f.aubRaw)) return false;
  Columns c(line.substr(0, colon));
  // The record is packed: the columns are read into aligned values first.
  int16_t cmd = 0, ram = 0, mot = 0;
  uint16_t state = 0, digIn = 0, digOut = 0, status = 0, ramtype = 0, ana[4] = {};
  if (ubMcFlag3 & MC_FLAG3_FW_P0417) {
    if (!Dec(c, cmd) || !Dec(c, ram) || !Hex(c, state) || !Binary(c, digIn) || !Binary(c, digOut) || !Skip(c) ||
        !Dec(c, ana[0]))
      return false;
  } else {
    if (!Dec(c, cmd) || !Dec(c, ram) || !Dec(c, mot) || !Hex(c, state) || !Binary(c, digIn) || !Binary(c, digOut) ||
        !Hex(c, status) || !Hex(c, ramtype) || !Dec(c, ana[0]) || !Dec(c, ana[1]) || !Dec(c, ana[2]) ||
        !Dec(c, ana[3]))
      return false;
    f.ubMux = f.aubRaw[15];
    // Format 2 files of this layout carry the outputs in the raw bytes only.
    if (udScopeFileFormat == SCOPE_FORMAT_P0417) {
      digIn = 0;
      digOut = RawWord(f, 8);
    }
    if ((ubMcFlag4 & MC_FLAG4_EXPERT_MODE) && (ubMcFlag4 & MC_FLAG4_ALT_DIGITAL_CAPTIONS)) {
      f.swPosWord = static_cast<int16_t>(RawWord(f, 0));
      cmd = 0;
      mot = 0;
    }
  }
  f.swCmdpos = cmd, f.swRam = ram, f.swMotpos = mot, f.uwMcState = state, f.uwDigIn = digIn, f.uwDigOut = digOut;
  f.uwStatus = status, f.uwRamtype = ramtype;
  f.uwAna0 = ana[0], f.uwAna1 = ana[1], f.uwAna2 = ana[2], f.uwAna3 = ana[3];
  frame = f;
  return true;
}

int32_t ScopeLoadTraceFromFile(const char* text, size_t length) {
  ScopeTextLines lines(text, length);
  ScopeHeaderScan scan;
  if (ScopeReadHeader(lines, scan) < 0) return -1;
  std::string_view line, value;
  const bool format4 = udScopeFileFormat >= SCOPE_FORMAT_P0528;
  if (!format4 || ubScopeNumOfTraces == 0) ubScopeNumOfTraces = 1;

  ScopeTraceDesc& first = scScope[0];
  if (!SampleTimeLine(lines, value)) return ScopeReadReject("trace 0: no Sample Time line");
  if (!format4) {
    if (ubMcFlag3 & MC_FLAG3_FW_P0417) {
      int64_t ms = 0;
      if (ScopeTextCursor(value).Int(ms)) first.uwSampleTime = static_cast<uint16_t>(ms);
    } else {
      ScopeReadSampleTime(value, first.uwSampleTime);
    }
  }
  if (first.uwSampleTime == 0) return ScopeReadReject("trace 0: sample time 0");
  if (first.uwFrames == 0) return ScopeReadReject("trace 0: no frames");
  const bool two = ubScopeNumOfTraces == 2;
  if (two && scScope[1].uwFrames == 0 && !ScopeReadRunning(scScope[1].udStatus))
    return ScopeReadReject("trace 1: no frames");
  for (int t = 0; t < (two ? 2 : 1); ++t) {
    const uint16_t records = t == 1 && ScopeReadRunning(scScope[1].udStatus) ? 0 : scScope[t].uwFrames;
    if (!ScopeFramesReplace(scScope[t], records)) return ScopeReadReject("out of memory");
  }

  if (!FirstDataLine(lines, line)) return ScopeReadReject("trace 0: no data lines");
  if (DataLines(lines, line, 0) < 0) return -1;
  if (format4) {
    if (SecondTrace(lines) < 0) return -1;
  } else if (!(ubMcFlag3 & MC_FLAG3_FW_QUILL)) {
    // A Quill file keeps the pressures its ram type gave.
    ScopeReadSetPressures(40000, 25000, 40000);
  }
  return first.uwFrames;
}
