// What the three trace readers share: the clearing before a read, the header
// lines of a trace text, the sample-time and data lines, and the variant
// state a header sets. Used by the ScopeFile readers only.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "scope/ScopeFileText.h"

struct ScopeTraceDesc;

// What the header lines told so far.
struct ScopeHeaderScan {
  uint32_t major = 0;        // firmware major of the Firmware line
  bool firmware = false;     // a Firmware line was read; a later one is ignored
  bool ramtype = false;      // a RAMTYPE line was read; a later one is ignored
  bool fileFormat = false;   // a FileFormat line was read
  bool failed = false;       // a line was refused (ScopeFileReason says why)
};

// Clears the version, date and geometry variables, the file format, the
// trace count, both descriptors' counts, sample times, statuses and
// post-trigger values, and the values of the first 100 entries of both log
// containers; the second trace counts as not skipped.
void ScopeReadClear();
// Takes one header line: the keys of the trace text (FileFormat, Date, Time,
// software version, geometry, Firmware, Bootloader, RAMTYPE), and with
// `parameters` the parameter lines of ScopeTraceLoadParm. A line whose value
// is out of range marks the scan failed.
void ScopeReadHeaderLine(std::string_view line, ScopeHeaderScan& scan, bool parameters);
// Clears (ScopeReadClear) and reads the header lines of a trace text up to
// the one that ends it. 0, or -1 when rejected.
int32_t ScopeReadHeader(ScopeTextLines& lines, ScopeHeaderScan& scan);
// True for the line that ends the header: "TRACE_START" below format 4,
// "TRACE_START 0" from format 4.
bool ScopeReadIsHeaderEnd(std::string_view line);
// A sample time in ms as the code of 0.5 ms units (truncated); false when the
// text is no number.
bool ScopeReadSampleTime(std::string_view text, uint16_t& code);
// True for a line starting with "Sample Time"; `value` is what follows its colon.
bool ScopeReadSampleTimeLine(std::string_view line, std::string_view& value);
// Reads a ".log" data line into `frame` in the layout of the file's variant;
// false when a column or raw byte is missing.
bool ScopeReadDataLine(std::string_view line, ScopeFrame& frame);
// Sets ubMcFlag4 bit 4 for a ram-type group with the alternative digital
// captions (0x00, 0x10, 0x20, 0x40, 0x50, 0x60), clears it otherwise.
void ScopeReadRamtypeGroup();
// Pressures at 20 mA of ANA0..ANA2 (scope-data entries 7..9, 1/100 bar).
void ScopeReadSetPressures(uint32_t ana0, uint32_t ana1, uint32_t ana2);
// True when a trace status shows a backtrace still running.
bool ScopeReadRunning(uint32_t status);
// Sets the reason and returns -1.
int32_t ScopeReadReject(const char* format, ...) __attribute__((format(printf, 1, 2)));
