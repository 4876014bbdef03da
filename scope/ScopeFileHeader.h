// The parameter lines of a trace text: table A (every variant) and table B
// (the P0528 block), written by the trace writer and the info text and read
// back by ScopeTraceLoadParm. One table serves all three, so a key is spelt,
// formatted and mapped in one place. The mappings are those the files have
// always carried (the two temperature entries take their values crosswise);
// stored files rely on them.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// How a line is laid out: the ".log" text ("KEY:\tvalue") or the info panel
// (the value in a fixed column after "KEY:").
enum class ScopeHeaderStyle : uint8_t { File, Info };

// FileFormat and the trace geometry: NumberOfTraces and the lines of both
// traces (P0528, and the Quill with two traces), or NumberOfRecords.
void ScopeHeaderWriteGeometry(std::string& out, ScopeHeaderStyle style);
// Table A: the status, mode, position and parameter lines, then RAMTYPE.
void ScopeHeaderWriteTableA(std::string& out, ScopeHeaderStyle style);
// Table B from sInfoDataFrame and the scope-data container.
void ScopeHeaderWriteTableB(std::string& out, ScopeHeaderStyle style);
// "KEY:" padded with blanks to `column` characters, or "KEY:\t".
void ScopeHeaderKey(std::string& out, const char* key, ScopeHeaderStyle style, int column);

// The firmware family of a Firmware line's major number: files carry the
// firmware's name (417, 528) or, written from a download, the product number
// the controller reports for it (135, 235).
bool ScopeFileMajorP0417(uint32_t major);
bool ScopeFileMajorP0528(uint32_t major);

// Reads one header line: the keys of table A always, those of table B for a
// P0528 `firmwareMajor` (the log containers are then laid out for P0528,
// keeping their values, before the line is looked at). Other lines, and lines
// whose value does not read as a number, change nothing.
void ScopeTraceLoadParm(std::string_view line, uint32_t firmwareMajor);
