// PC date and time, the file-name meta strings and the system lines of the
// start banner.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Last date and time read from the PC clock; the year has two digits.
extern int32_t sdMcYear, sdMcMonth, sdMcDay, sdMcHour, sdMcMinute, sdMcSecond;

struct McDateTime {
  int year;  // four digits
  int month, day, hour, minute, second;
};

// The PC's local date and time now.
McDateTime McycleReadClock();
// Reads the PC clock into sdMcYear .. sdMcSecond (year modulo 100).
void McycleGetSystemDateTime();

// "YYMMDD<separator>hhmmss" of the PC clock read now (McycleGetSystemDateTime).
std::string McycleDateTimeStamp(char separator);

// Replaces every "$DATE" in `path` by YYMMDD and every "$TIME" by hhmmss of
// `when` (exact, upper case). `size` is the buffer's size. Returns 0, or 1
// when the result would not fit (the path is left unchanged).
int McycleFormatMetaPath(char* path, size_t size, const McDateTime& when);
// The same with the PC clock read now (McycleGetSystemDateTime); a result
// that does not fit is refused with a line in the message log.
int McycleGetMetaPath(char* path, size_t size);

// Platform codes of the system line; ours names Linux with its kernel.
inline constexpr int PLATFORM_WINDOWS_95 = 2;
inline constexpr int PLATFORM_WINDOWS_2000 = 3;
inline constexpr int PLATFORM_LINUX = 10;
// "Windows 95/98", "Windows 2000/XP", "Linux <release> (<machine>)" or
// "unknown: <code>".
std::string McycleOperatingSystemName(int platformCode);
// The three lines "Date: ...", "Time: ...", "Operating system: ..." for
// `when` on this platform.
std::string McycleSystemInformationText(const McDateTime& when, int platformCode);
// Writes the three lines into the message log window (start-up, direct).
void WriteSystemInformation();
