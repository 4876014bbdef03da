// Trace files: ".log" (tab-separated text with a parameter header and one
// line per frame), ".loz" (the same header with raw data lines, LZW
// compressed; ".logzip" is the same), ".lo1" (the controller's binary
// backtrace file), and the readers that rebuild the trace record from them.
//
// Threads: the GUI thread (dialogs, tool) or the tick (script TRACE_SAVE),
// while no download runs; the readers and writers use the trace record and
// the header globals.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr size_t SCOPE_COMMENT_SIZE = 300;
// The operator's comment, NUL-terminated; written into ".log" and ".loz" files.
extern char ubScopeCommentBuffer[SCOPE_COMMENT_SIZE];
// The software version of the last file read (major << 8 | minor).
extern uint32_t udScopeSwVersion;
// ubScopeFlag1 bit 0: the last file loaded was ".lo1".
inline constexpr uint8_t SCOPE_FLAG1_LAST_LOAD_LO1 = 0x01;
extern uint8_t ubScopeFlag1;

// Largest frame count a file may announce per trace.
inline constexpr int32_t SCOPE_FILE_MAX_FRAMES = 65535;

// --- Writing -----------------------------------------------------------------
inline constexpr uint8_t SCOPE_SAVE_OK = 0;
inline constexpr uint8_t SCOPE_SAVE_NO_EXTENSION = 1;  // not ".log"/".loz" after a "."; nothing written
inline constexpr uint8_t SCOPE_SAVE_IO_ERROR = 2;      // not written, an old file untouched (ScopeFileReason)

// Sets the first trace's ubFileFormat from the target variant and writes the
// trace present as ".log" or ".loz" (by the path's last four characters)
// through a temporary file in the same folder.
uint8_t ScopeSaveTraceToFile(const char* path);
inline constexpr uint8_t SCOPE_TEXT_LOG = 0;
inline constexpr uint8_t SCOPE_TEXT_LOZ = 1;  // raw data lines, before compression
// Replaces `text` by the trace text and returns its length.
size_t ScopeSaveTraceToMem(std::string& text, uint8_t mode);

// --- Reading -------------------------------------------------------------------
// Each reader returns -1 when it rejects the text (the reason in
// ScopeFileReason) and writes the record and header globals as it goes;
// ScopeLoadFile puts back what a rejected file changed.

// A ".log" text into the record; the frames of the first trace, or -1.
int32_t ScopeLoadTraceFromFile(const char* text, size_t length);
// The ".loz" text `text` with its raw data lines converted into ".log" data
// lines, as a new text in `out`; its length, or -1. Uses scratch frame arrays:
// the record's frames stay as they are.
int64_t ScopeConvertRohdata(const char* text, size_t length, std::string& out);
// A ".lo1" file into the record; the frames of both traces, or -1.
int32_t ScopeLoadBinFromFile(const uint8_t* data, size_t length);

// Reads the file by its name's extension (".log", ".loz", ".logzip",
// ".lo1"). On success the record, header values and variant flags are the
// file's and the frame count of the first trace is returned. On failure -1:
// the record is cleared, iScopeTraceMaxFrames is -1, and the header values,
// log containers and variant flags are as they were before.
int32_t ScopeLoadFile(const std::string& path);
// Expands a ".loz" or ".logzip" file and writes its ".log" text beside it
// (the file name's extension replaced). 0 done; 1 failed (ScopeFileReason).
// Header values and flags stay as they were.
uint8_t ScopeConvertFileToLog(const std::string& path, std::string& logPath);
// Why the last read or write failed.
const std::string& ScopeFileReason();
// Sets the reason (readers and writers).
void ScopeFileSetReason(std::string reason);

// The variant of the trace in the record by the flags a load sets: "P0417",
// "Quill" or "P0528".
const char* ScopeFileVariantName();
