// The PC's clock in local time, in the forms the tool's callers ask for.
#pragma once

struct PlatformDateTime {
  int year;  // four digits
  int month, day, hour, minute, second;
};

// Local date and time now, read once (date and time of one instant).
PlatformDateTime PlatformLocalTime();
// Date and time of the run-time's helpers: four-digit year.
void GetSystemDate(int* month, int* day, int* year);
void GetSystemTime(int* hours, int* minutes, int* seconds);
