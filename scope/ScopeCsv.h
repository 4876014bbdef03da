// CSV export of the trace present: both traces, one row per frame with the
// time from the trace start and every channel in the units the display
// shows. C locale, RFC 4180 (fields quoted where needed, CR LF line ends).
#pragma once
#include <cstdint>
#include <string>

inline constexpr uint8_t SCOPE_CSV_OK = 0;
inline constexpr uint8_t SCOPE_CSV_NO_TRACE = 1;  // no converted trace present; nothing written
inline constexpr uint8_t SCOPE_CSV_IO_ERROR = 2;  // not written, an old file untouched (ScopeFileReason)

// The CSV text of the trace in the record.
std::string ScopeCsvText();
// Writes ScopeCsvText to `path` through a temporary file and a rename.
uint8_t ScopeExportCsv(const std::string& path);
