// The trace writer: ".log" and ".loz" texts from the trace record.
#include <algorithm>

#include "engine/Mcycle.h"
#include "engine/McycleFlags.h"
#include "platform/FileUtil.h"
#include "scope/ScopeFile.h"
#include "scope/ScopeFileHeader.h"
#include "scope/ScopeFileName.h"
#include "scope/ScopeFileText.h"
#include "scope/ScopeTrace.h"
#include "scope/lzw.h"

char ubScopeCommentBuffer[SCOPE_COMMENT_SIZE];

namespace {

constexpr const char* kStars = "*******************************************************\n";
constexpr const char* kSoftwareVersion = "S0712-22";
// Bytes of a data line at most, for sizing the text before it is written.
constexpr size_t kDataLineMax = 150;
constexpr size_t kHeaderMax = 8192;

bool P0417() { return ubMcFlag3 & MC_FLAG3_FW_P0417; }
bool Quill() { return ubMcFlag3 & MC_FLAG3_FW_QUILL; }
bool QuillTwoTraces() { return ubMcFlag5 & MC_FLAG5_QUILL_TWO_TRACES; }

bool RunningBacktrace(const ScopeTraceDesc& t) {
  return (t.udStatus & SCOPE_STATUS_BACKWARD) && (t.udStatus & SCOPE_STATUS_RUNNING);
}

// Records a trace really holds.
size_t RecordsOf(const ScopeTraceDesc& t) {
  return t.pFrames ? std::min<size_t>(t.uwFrames, t.udCapacity) : 0;
}

void Banner(std::string& out) {
  out += kStars;
  out += "* \n";
  out += "* Trace of a press stroke, recorded by the RC7 drive controller\n";
  out += "* of a servo-hydraulic press ram\n";
  out += "* Service and commissioning tool for the RC7\n";
  out += "* \n";
  out += "* Log-File created by StrokeDesk\n";
  ScopeTextAppend(out, "* Software version: %s\n", kSoftwareVersion);
  out += "* \n";
  out += kStars;
}

void Trace(std::string& out, int t, uint8_t mode) {
  const ScopeTraceDesc& d = scScope[t];
  ScopeTextAppend(out, "TRACE_START %d\n", t);
  if (P0417())
    ScopeTextAppend(out, "Sample Time [ms]:\t%3d\n", d.uwSampleTime);
  else
    ScopeTextAppend(out, "Sample Time [ms]:\t%3.2f\n", d.uwSampleTime * 0.5);
  if (mode == SCOPE_TEXT_LOG) out += P0417() ? SCOPE_COLUMNS_P0417 : SCOPE_COLUMNS_P0528;
  if (RunningBacktrace(d)) {
    out += "\nBacktrace is running...\n\n";
  } else {
    const ScopeDataLayout layout = P0417() ? ScopeDataLayout::P0417 : ScopeDataLayout::P0528;
    const size_t n = RecordsOf(d);
    for (size_t i = 0; i < n; ++i) {
      if (mode == SCOPE_TEXT_LOG)
        ScopeWriteDataLine(out, d.pFrames[i], layout);
      else
        ScopeWriteRawLine(out, d.pFrames[i]);
    }
  }
  ScopeTextAppend(out, "TRACE_END %d\n", t);
  out += '\n';
}

// The comment up to its NUL, never past the buffer.
std::string_view Comment() {
  const char* end = std::find(ubScopeCommentBuffer, ubScopeCommentBuffer + SCOPE_COMMENT_SIZE, '\0');
  return std::string_view(ubScopeCommentBuffer, static_cast<size_t>(end - ubScopeCommentBuffer));
}

}  // namespace

size_t ScopeSaveTraceToMem(std::string& text, uint8_t mode) {
  text.clear();
  const int traces = std::min<int>(ubScopeNumOfTraces, 2);
  text.reserve(kHeaderMax + kDataLineMax * (RecordsOf(scScope[0]) + (traces > 1 ? RecordsOf(scScope[1]) : 0)));
  Banner(text);
  ScopeTextAppend(text, "Date:\t%4d-%02d-%02d\n", udScopeDateYear, udScopeDateMonth, udScopeDateDay);
  ScopeTextAppend(text, "Time:\t%02d:%02d:%02d\n\n", udScopeTimeHour, udScopeTimeMin, udScopeTimeSec);
  ScopeTextAppend(text, "Firmware:\tP%04d-%02d\n", udScopeFwVersion >> 16, udScopeFwVersion & 0xFFFF);
  if (!P0417())
    ScopeTextAppend(text, "Bootloader:\tP%04d-%02d\n\n", (udScopeBootVersion >> 8) & 0xFF, udScopeBootVersion & 0xFF);
  ScopeHeaderWriteGeometry(text, ScopeHeaderStyle::File);
  text += "PARAMETERS_START\n\n";
  ScopeHeaderWriteTableA(text, ScopeHeaderStyle::File);
  if (!P0417() && !Quill()) ScopeHeaderWriteTableB(text, ScopeHeaderStyle::File);
  text += "PARAMETERS_END\n\n";
  text += "Insert Comments here:\n\n";
  text += Comment();
  text += "\n\n";
  for (int t = 0; t < traces; ++t) Trace(text, t, mode);
  return text.size();
}

uint8_t ScopeSaveTraceToFile(const char* path) {
  const std::string extension = ScopeFileExtension(path);
  if (extension != ".log" && extension != ".loz") {
    ScopeFileSetReason(std::string("no .log or .loz extension: ") + path);
    return SCOPE_SAVE_NO_EXTENSION;
  }
  scScope[0].ubFileFormat = P0417() ? SCOPE_FORMAT_P0417 : (Quill() && !QuillTwoTraces()) ? SCOPE_FORMAT_QUILL
                                                                                           : SCOPE_FORMAT_P0528;
  for (int t = 0; t < std::min<int>(ubScopeNumOfTraces, 2); ++t) {
    if (!RunningBacktrace(scScope[t]) && RecordsOf(scScope[t]) < scScope[t].uwFrames) {
      ScopeFileSetReason("the trace record is incomplete");
      return SCOPE_SAVE_IO_ERROR;
    }
  }
  std::string text;
  ScopeSaveTraceToMem(text, extension == ".log" ? SCOPE_TEXT_LOG : SCOPE_TEXT_LOZ);
  if (extension == ".loz") {
    LzwTables tables;
    if (!tables.Ok()) {
      ScopeFileSetReason("out of memory");
      return SCOPE_SAVE_IO_ERROR;
    }
    std::string stream(LzwCompressBound(text.size()), '\0');
    LzwInit();
    auto* begin = reinterpret_cast<uint8_t*>(stream.data());
    const uint8_t* end = LzwCompress(reinterpret_cast<const uint8_t*>(text.data()), text.size(), begin);
    stream.resize(static_cast<size_t>(end - begin));
    text.swap(stream);
  }
  std::string error;
  if (!FileWriteAtomically(path, text, error)) {
    ScopeFileSetReason(std::string(path) + ": " + error);
    return SCOPE_SAVE_IO_ERROR;
  }
  return SCOPE_SAVE_OK;
}
