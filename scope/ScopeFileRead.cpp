// The ".log" reader and the header lines every trace text shares.
#include "scope/ScopeFileRead.h"

#include <cstdarg>
#include <cstdio>

#include "engine/Mcycle.h"
#include "engine/McycleFlags.h"
#include "params/CtrlCmd.h"
#include "scope/ScopeFile.h"
#include "scope/ScopeFileHeader.h"
#include "scope/ScopeTrace.h"

uint32_t udScopeSwVersion;

namespace {

constexpr int kLogEntriesCleared = 100;
constexpr uint32_t kQuillGroup = 0x80;
constexpr int kPressureEntry = 7;  // scope-data entries 7..9: pressure at 20 mA, 1/100 bar

// "P<major>-<minor>" after the key.
bool Revision(std::string_view value, int64_t& major, int64_t& minor) {
  ScopeTextCursor c(value);
  return c.Lit('P') && c.Int(major) && c.Lit('-') && c.Int(minor) && major >= 0 && minor >= 0;
}

bool Triple(std::string_view value, char separator, int64_t (&v)[3]) {
  ScopeTextCursor c(value);
  return c.Int(v[0]) && c.Lit(separator) && c.Int(v[1]) && c.Lit(separator) && c.Int(v[2]);
}

void Fail(ScopeHeaderScan& scan, const char* format, long long value) {
  char text[120];
  std::snprintf(text, sizeof text, format, value);
  ScopeFileSetReason(text);
  scan.failed = true;
}

// The number of a header line within [low, high]; one outside fails the scan
// with `format` (a line without a number is ignored).
bool Ranged(std::string_view value, int64_t low, int64_t high, const char* format, ScopeHeaderScan& scan,
            int64_t& n) {
  ScopeTextCursor c(value);
  if (!c.Int(n)) return false;
  if (n >= low && n <= high) return true;
  Fail(scan, format, static_cast<long long>(n));
  return false;
}

bool Frames(std::string_view value, ScopeHeaderScan& scan, uint16_t& frames) {
  int64_t n = 0;
  if (!Ranged(value, 0, SCOPE_FILE_MAX_FRAMES, "frame count %lld out of range", scan, n)) return false;
  frames = static_cast<uint16_t>(n);
  return true;
}

// The marks of a Quill ram type, which overrule the firmware's: a RAMTYPE
// line read before the Firmware line gives them again after it, so the
// variant does not depend on the order of the two lines.
void QuillRamtype(uint32_t code) {
  ubMcFlag3 |= MC_FLAG3_FW_QUILL;
  ubMcFlag3 &= static_cast<uint8_t>(~MC_FLAG3_FW_P0417);
  uwScopePostTrgTime = 100;
  if (code > kQuillGroup)
    ubMcFlag5 |= MC_FLAG5_QUILL_TWO_TRACES;
  else
    ubMcFlag5 &= static_cast<uint8_t>(~MC_FLAG5_QUILL_TWO_TRACES);
  ScopeReadSetPressures(40000, 16000, 40000);
}

bool IsQuill(uint32_t code) { return (code & 0xF0) == kQuillGroup; }

// The first readable Firmware and RAMTYPE lines name the file's firmware and
// ram type, which decide its variant: the lines after them were read for
// that variant, and a saved copy names only one of each, so a second line may
// not change them.
void FirmwareLine(std::string_view value, ScopeHeaderScan& scan) {
  int64_t major = 0, minor = 0;
  if (scan.firmware || !Revision(value, major, minor)) return;
  scan.firmware = true;
  scan.major = static_cast<uint32_t>(major);
  udScopeFwVersion = static_cast<uint32_t>(major) << 16 | (static_cast<uint32_t>(minor) & 0xFFFF);
  if (ScopeFileMajorP0417(scan.major)) {
    ubScopeNumOfTraces = 1;
    ubMcFlag3 |= MC_FLAG3_FW_P0417;
    ubMcFlag3 &= static_cast<uint8_t>(~MC_FLAG3_FW_QUILL);
    ubScopeFlag |= SCOPE_FLAG_P0417_TRACE;
  } else if (ScopeFileMajorP0528(scan.major)) {
    uwScopePostTrgTime = 100;
    ubMcFlag3 &= static_cast<uint8_t>(~(MC_FLAG3_FW_P0417 | MC_FLAG3_FW_QUILL));
    ubScopeFlag &= static_cast<uint8_t>(~SCOPE_FLAG_P0417_TRACE);
  }
  if (scan.ramtype && IsQuill(uwScopeRamtype)) QuillRamtype(uwScopeRamtype);
}

void RamtypeLine(std::string_view value, ScopeHeaderScan& scan) {
  const size_t open = value.rfind('(');
  if (scan.ramtype || open == std::string_view::npos) return;
  ScopeTextCursor c(value.substr(open + 1, 6));
  uint32_t code = 0;
  if (!c.Number(code)) return;
  scan.ramtype = true;
  uwScopeRamtype = static_cast<uint16_t>(code);
  if (IsQuill(uwScopeRamtype)) {
    QuillRamtype(uwScopeRamtype);
  } else {
    ubMcFlag5 &= static_cast<uint8_t>(~MC_FLAG5_QUILL_TWO_TRACES);
    ScopeReadRamtypeGroup();
  }
}

bool FileFormatLine(std::string_view value, ScopeHeaderScan& scan) {
  int64_t n = 0;
  if (!Ranged(value, 1, SCOPE_FORMAT_P0528, "unknown FileFormat %lld", scan, n)) return false;
  scan.fileFormat = true;
  udScopeFileFormat = static_cast<uint32_t>(n);
  scScope[0].ubFileFormat = static_cast<uint8_t>(n);
  if (n < SCOPE_FORMAT_P0528) ubScopeNumOfTraces = 1;
  return true;
}

// The geometry keys of both traces ("RecordsTrace0" ...).
bool TraceKey(std::string_view line, const char* key, int& trace, std::string_view& value) {
  char name[32];
  for (trace = 0; trace < 2; ++trace) {
    std::snprintf(name, sizeof name, "%s%d", key, trace);
    if (ScopeTextKey(line, name, value)) return true;
  }
  return false;
}

bool GeometryLine(std::string_view line, ScopeHeaderScan& scan) {
  std::string_view value;
  int t = 0;
  if (ScopeTextKey(line, "NumberOfRecords", value)) {
    if (Frames(value, scan, scScope[0].uwFrames)) iScopeTraceMaxFrames = scScope[0].uwFrames;
  } else if (ScopeTextKey(line, "NumberOfTraces", value)) {
    int64_t n = 0;
    if (Ranged(value, 1, 2, "%lld traces (1 or 2 expected)", scan, n)) ubScopeNumOfTraces = static_cast<uint8_t>(n);
  } else if (TraceKey(line, "RecordsTrace", t, value)) {
    Frames(value, scan, scScope[t].uwFrames);
  } else if (TraceKey(line, "StatusTrace", t, value)) {
    ScopeTextCursor c(value);
    uint32_t v = 0;
    if (c.Number(v)) scScope[t].udStatus = v;
  } else if (TraceKey(line, "PostTrgTrace", t, value)) {
    ScopeTextCursor c(value);
    int64_t n = 0;
    if (c.Int(n)) scScope[t].uwPostTrg = static_cast<uint16_t>(n);
  } else if (TraceKey(line, "SampleTimeTrace", t, value)) {
    ScopeReadSampleTime(value, scScope[t].uwSampleTime);
  } else {
    return false;
  }
  return true;
}

}  // namespace

void ScopeReadRamtypeGroup() {
  switch (uwScopeRamtype & 0xF0) {
    case 0x00: case 0x10: case 0x20: case 0x40: case 0x50: case 0x60:
      ubMcFlag4 |= MC_FLAG4_ALT_DIGITAL_CAPTIONS;
      break;
    default:
      ubMcFlag4 &= static_cast<uint8_t>(~MC_FLAG4_ALT_DIGITAL_CAPTIONS);
      break;
  }
}

void ScopeReadSetPressures(uint32_t ana0, uint32_t ana1, uint32_t ana2) {
  sScopeDataContainer.entries[kPressureEntry].udData = ana0;
  sScopeDataContainer.entries[kPressureEntry + 1].udData = ana1;
  sScopeDataContainer.entries[kPressureEntry + 2].udData = ana2;
}

bool ScopeReadRunning(uint32_t status) {
  return (status & SCOPE_STATUS_BACKWARD) && (status & SCOPE_STATUS_RUNNING);
}

int32_t ScopeReadReject(const char* format, ...) {
  char text[160];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  ScopeFileSetReason(text);
  return -1;
}

void ScopeReadClear() {
  udScopeFwVersion = 0;
  udScopeBootVersion = 0;
  udScopeSwVersion = 0;
  udScopeDateYear = udScopeDateMonth = udScopeDateDay = 0;
  udScopeTimeHour = udScopeTimeMin = udScopeTimeSec = 0;
  udScopeFileFormat = 0;
  ubScopeNumOfTraces = 0;
  for (ScopeTraceDesc& t : scScope.trace) {
    t.uwFrames = 0;
    t.uwSampleTime = 0;
    t.udStatus = 0;
    t.uwPostTrg = 0;
  }
  for (int i = 0; i < kLogEntriesCleared; ++i) {
    sLogDataContainer.entries[i].udData = 0;
    sLogExtDataContainer.entries[i].udData = 0;
  }
  ubMcFlag4 &= static_cast<uint8_t>(~MC_FLAG4_SECOND_TRACE_SKIPPED);
}

bool ScopeReadSampleTime(std::string_view text, uint16_t& code) {
  ScopeTextCursor c(text);
  int64_t hundredths = 0;
  if (!c.Hundredths(hundredths) || hundredths < 0) return false;
  code = static_cast<uint16_t>(hundredths * 2 / 100);
  return true;
}

bool ScopeReadSampleTimeLine(std::string_view line, std::string_view& value) {
  constexpr std::string_view kKey = "Sample Time";
  const size_t colon = line.find(':');
  if (line.substr(0, kKey.size()) != kKey || colon == std::string_view::npos) return false;
  ScopeTextCursor c(line.substr(colon + 1));
  c.SkipBlanks();
  value = c.Rest();
  return true;
}

void ScopeReadHeaderLine(std::string_view line, ScopeHeaderScan& scan, bool parameters) {
  std::string_view value;
  int64_t v[3] = {};
  if (ScopeTextKey(line, "FileFormat", value)) {
    FileFormatLine(value, scan);
  } else if (ScopeTextKey(line, "Date", value)) {
    if (Triple(value, '-', v)) {
      udScopeDateYear = static_cast<uint32_t>(v[0]);
      udScopeDateMonth = static_cast<uint32_t>(v[1]);
      udScopeDateDay = static_cast<uint32_t>(v[2]);
    }
  } else if (ScopeTextKey(line, "Time", value)) {
    if (Triple(value, ':', v)) {
      udScopeTimeHour = static_cast<uint32_t>(v[0]);
      udScopeTimeMin = static_cast<uint32_t>(v[1]);
      udScopeTimeSec = static_cast<uint32_t>(v[2]);
    }
  } else if (ScopeTextKey(line, "* Software version", value)) {
    ScopeTextCursor c(value);
    if (c.Lit('S') && c.Int(v[0]) && c.Lit('-') && c.Int(v[1]))
      udScopeSwVersion = static_cast<uint32_t>(v[0]) << 8 | static_cast<uint32_t>(v[1]);
  } else if (ScopeTextKey(line, "Firmware", value)) {
    FirmwareLine(value, scan);
  } else if (ScopeTextKey(line, "Bootloader", value)) {
    if (Revision(value, v[0], v[1])) udScopeBootVersion = static_cast<uint32_t>(v[0]) << 8 | static_cast<uint32_t>(v[1]);
  } else if (ScopeTextKey(line, "RAMTYPE", value)) {
    RamtypeLine(value, scan);
  } else {
    GeometryLine(line, scan);
  }
  if (parameters) ScopeTraceLoadParm(line, scan.major);
}

int32_t ScopeReadHeader(ScopeTextLines& lines, ScopeHeaderScan& scan) {
  ScopeReadClear();
  std::string_view line;
  while (lines.Next(line)) {
    if (ScopeReadIsHeaderEnd(line)) return 0;
    ScopeReadHeaderLine(line, scan, true);
    if (scan.failed) return -1;
  }
  return ScopeReadReject("no TRACE_START line");
}

bool ScopeReadIsHeaderEnd(std::string_view line) {
  const std::string_view start = udScopeFileFormat >= SCOPE_FORMAT_P0528 ? "TRACE_START 0" : "TRACE_START";
  return line.substr(0, start.size()) == start;
}
