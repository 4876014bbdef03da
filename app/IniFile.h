// The initialisation file StrokeDesk.ini: the target's IP address for the
// Ethernet channel and the subnet mask, between "[Options]" and "[OptionsEnd]".
#pragma once
#include <istream>
#include <string>

inline constexpr const char* INI_FILE_NAME = "StrokeDesk.ini";
// Longest line read; a longer line is reported and skipped.
inline constexpr size_t INI_LINE_MAX = 219;

// Reads StrokeDesk.ini from `directory` and writes what it found into the log
// window (start-up, direct); "ip_addr" fills the main panel's four IP fields
// and the Ethernet channel's target address (which batch mode uses).
// Lines that are too long or carry a bad address are reported, and the fields
// keep their values.
void McycleReadIniFile(const char* directory);
// The lines of an initialisation file, as McycleReadIniFile reads them.
void McycleReadIniLines(std::istream& in);
// The directory start-up reads StrokeDesk.ini from: the program directory if
// it holds one, else the user's configuration directory if that does, else the
// program directory (which then reports the file missing).
std::string McycleIniDirectory(const std::string& programDirectory);
