// The ".loz" text: raw data lines converted into a ".log" text.
#include "engine/Mcycle.h"
#include "engine/McycleFlags.h"
#include "engine/McycleIo.h"
#include "scope/ScopeConvert.h"
#include "scope/ScopeFile.h"
#include "scope/ScopeFileHeader.h"
#include "scope/ScopeFileRead.h"
#include "scope/ScopeTrace.h"
#include "scope/scope.h"

namespace {

// Converted records of one trace: 10 spare records behind the frames, and
// its own array, so the record's frames stay untouched.
struct Scratch {
  ScopeTraceDesc trace;
  bool skipped = false;
  std::string_view sampleTimeLine;
  ~Scratch() { ScopeFramesReplace(trace, 0); }
};

bool Starts(std::string_view line, std::string_view prefix) { return line.substr(0, prefix.size()) == prefix; }

int32_t EmptyLine(int t, uint32_t frame) {
  McycleSayf("Trace: %d ;Fehler: %u\n", t, frame);
  return ScopeReadReject("trace %d frame %u: empty raw line", t, frame);
}

int32_t RawLines(ScopeTextLines& lines, Scratch& s, int t) {
  std::string_view line;
  for (uint32_t i = 0; i < s.trace.uwFrames; ++i) {
    if (!lines.Next(line)) return ScopeReadReject("trace %d: %u raw lines, %u announced", t, i, s.trace.uwFrames);
    if (line.empty()) return EmptyLine(t, i);
    if (!ScopeReadRawBytes(line, s.trace.pFrames[i].aubRaw))
      return ScopeReadReject("trace %d frame %u: fewer than 16 raw bytes", t, i);
  }
  return 0;
}

// Between the traces: TRACE_END 0, TRACE_START 1 and its Sample Time line;
// then the second trace's raw lines unless it is a running backtrace.
int32_t SecondTrace(ScopeTextLines& lines, Scratch& s) {
  std::string_view line, value;
  if (!lines.NextNonEmpty(line) || !Starts(line, "TRACE_END 0")) return ScopeReadReject("no TRACE_END 0");
  if (!lines.NextNonEmpty(line) || !Starts(line, "TRACE_START 1")) return ScopeReadReject("no TRACE_START 1");
  if (!lines.NextNonEmpty(line) || !ScopeReadSampleTimeLine(line, value))
    return ScopeReadReject("trace 1: no Sample Time line");
  s.sampleTimeLine = line;
  s.skipped = ScopeReadRunning(s.trace.udStatus);
  if (s.skipped) return 0;
  return RawLines(lines, s, 1);
}

// The first trace of a Quill also gets its ram gaps bridged, so the ".log"
// text carries what a download shows.
void Convert(ScopeTraceDesc& trace, int t, uint32_t major) {
  const bool quill = ubMcFlag3 & MC_FLAG3_FW_QUILL;
  if (ScopeFileMajorP0528(major) || quill)
    ScopeFrameConvertP0528(trace);
  else
    ScopeFrameConvertP0417(trace);
  if (quill && t == 0) ScopeFrameConvertQuillRam(trace);
}

void WriteTrace(std::string& out, const Scratch& s, int t, ScopeDataLayout layout) {
  if (t > 0) {
    if (udScopeFileFormat >= SCOPE_FORMAT_P0528)
      ScopeTextAppend(out, "TRACE_START %d\n", t);
    else
      out += "TRACE_START\n";
    out += s.sampleTimeLine;
    out += '\n';
  }
  if (s.skipped) {
    out += "\nBacktrace is running...\n\n";
    ScopeTextAppend(out, "TRACE_END %d\n", t);
    return;
  }
  out += layout == ScopeDataLayout::P0417 ? SCOPE_COLUMNS_P0417 : SCOPE_COLUMNS_CONVERTED;
  for (uint32_t i = 0; i < s.trace.uwFrames; ++i) ScopeWriteDataLine(out, s.trace.pFrames[i], layout);
  ScopeTextAppend(out, "TRACE_END %d\n\n", t);
}

}  // namespace

int64_t ScopeConvertRohdata(const char* text, size_t length, std::string& out) {
  ScopeTextLines lines(text, length);
  ScopeHeaderScan scan;
  if (ScopeReadHeader(lines, scan) < 0) return -1;
  std::string_view line, value;
  if (!scan.fileFormat) return ScopeReadReject("no FileFormat line");
  if (udScopeFileFormat < SCOPE_FORMAT_P0528) ubScopeNumOfTraces = 1;
  if (ubScopeNumOfTraces == 0) return ScopeReadReject("no traces");
  if (scScope[0].uwFrames == 0) return ScopeReadReject("trace 0: no frames");
  if (!lines.NextNonEmpty(line) || !ScopeReadSampleTimeLine(line, value))
    return ScopeReadReject("trace 0: no Sample Time line");
  if (ScopeFileMajorP0528(scan.major)) {
    ScopeReadSampleTime(value, uwScopeMsSampleTime);
  } else {
    int64_t ms = 0;
    if (ScopeTextCursor(value).Int(ms)) uwScopeMsSampleTime = static_cast<uint16_t>(ms);
  }
  const size_t firstData = lines.Offset();

  Scratch traces[2];
  const int count = ubScopeNumOfTraces == 2 ? 2 : 1;
  for (int t = 0; t < count; ++t) {
    ScopeTraceDesc& d = traces[t].trace;
    d.uwFrames = scScope[t].uwFrames;
    d.udStatus = scScope[t].udStatus;
    if (!ScopeFramesReplace(d, d.uwFrames + 10u)) return ScopeReadReject("out of memory");
  }
  if (ScopeReadRunning(traces[0].trace.udStatus)) return ScopeReadReject("trace 0: backtrace still running");
  if (RawLines(lines, traces[0], 0) < 0) return -1;
  if (udScopeFileFormat >= SCOPE_FORMAT_P0528 && count == 2 && SecondTrace(lines, traces[1]) < 0) return -1;
  if (udScopeFileFormat >= SCOPE_FORMAT_P0528 && count == 1 &&
      (!lines.NextNonEmpty(line) || !Starts(line, "TRACE_END 0")))
    return ScopeReadReject("no TRACE_END 0");

  const bool p0417 = ubMcFlag3 & MC_FLAG3_FW_P0417;
  const ScopeDataLayout layout = p0417 ? ScopeDataLayout::P0417
                                 : udScopeFileFormat == SCOPE_FORMAT_P0417 ? ScopeDataLayout::P0528Ff2
                                                                         : ScopeDataLayout::P0528;
  for (int t = 0; t < count; ++t)
    if (!traces[t].skipped) Convert(traces[t].trace, t, scan.major);

  out.assign(text, firstData);
  out.reserve(firstData + 150 * (traces[0].trace.uwFrames + (count > 1 ? traces[1].trace.uwFrames : 0)) + 256);
  if (udScopeFileFormat == SCOPE_FORMAT_P0417 || (ubMcFlag3 & MC_FLAG3_FW_QUILL)) out += '\n';
  for (int t = 0; t < count; ++t) WriteTrace(out, traces[t], t, layout);
  return static_cast<int64_t>(out.size());
}
