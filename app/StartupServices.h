// PC date and time and the file-name meta strings "$DATE" and "$TIME".
#pragma once
#include <cstddef>
#include <cstdint>

// Last date and time read from the PC clock; the year has two digits.
extern int32_t sdMcYear, sdMcMonth, sdMcDay, sdMcHour, sdMcMinute, sdMcSecond;

// Reads the PC's local date and time into sdMcYear .. sdMcSecond (year
// modulo 100). Any thread; the values are for the tick's file names.
void McycleGetSystemDateTime();

// Reads the clock (McycleGetSystemDateTime), then replaces every "$DATE" in
// `path` by YYMMDD and every "$TIME" by hhmmss (exact, upper case). `size` is
// the buffer's size. Returns 0, or 1 when the result would not fit (the path
// is then left unchanged).
int McycleGetMetaPath(char* path, size_t size);
