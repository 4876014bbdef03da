// Traces for the trace-file tests: a record of each firmware variant built
// from generated raw frames through the real conversions, with distinct
// header values, and a snapshot of everything a file must bring back.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "params/CtrlCmd.h"
#include "scope/ScopeInfoData.h"
#include "scope/ScopeTrace.h"

enum class TraceVariant { P0417, P0528, P0528Skipped, Quill, QuillTwo };

struct TraceCase {
  TraceVariant variant;
  const char* name;
};
inline constexpr TraceCase kTraceCases[] = {
    {TraceVariant::P0417, "P0417"},
    {TraceVariant::P0528, "P0528"},
    {TraceVariant::P0528Skipped, "P0528 second trace running"},
    {TraceVariant::Quill, "Quill"},
    {TraceVariant::QuillTwo, "Quill two traces"},
};

// Forgets every trace, header value, variant flag and container value.
void TraceClearAll();
// Sets up the variant's flags and header values and a converted trace of
// `frames` frames per trace present (the trace-present flag set).
void TraceMake(TraceVariant variant, int frames);

// The controller's backtrace file of the trace in the record: its header
// objects as the backtrace reader takes them, frames of `frameLength` bytes
// (the 16 raw bytes, then filler).
std::string TraceLo1Bytes(uint16_t frameLength, bool crlf);

// `text` as an LZW stream (a ".loz" file's bytes).
std::string TraceCompress(const std::string& text);

// Everything a trace file carries.
struct TraceSnapshot {
  std::vector<ScopeFrame> frames[2];
  ScopeTraceDesc desc[2];  // pFrames and udCapacity cleared
  uint8_t traces, flag3, flag5, scopeFlag, skipped;
  uint32_t fwVersion, bootVersion, status1, date[6];
  uint16_t ramtype, lmsResol, motResol, status0, mode0, mode1, rampos, motpos;
  uint16_t kvo[SCOPE_KVO_WORDS];
  uint32_t info[SCOPE_INFO_ENTRIES];
  uint32_t pressure[3];
};
TraceSnapshot TraceCapture();
// Compares two snapshots field by field (gtest failures name the field);
// `geometry` false leaves out the trace statuses and post-trigger counts,
// which only files with the two-trace geometry lines carry.
void TraceExpectSame(const TraceSnapshot& want, const TraceSnapshot& got, bool geometry);
