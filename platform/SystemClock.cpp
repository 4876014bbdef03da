#include "platform/SystemClock.h"

#include <ctime>

PlatformDateTime PlatformLocalTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

void GetSystemDate(int* month, int* day, int* year) {
  const PlatformDateTime t = PlatformLocalTime();
  *month = t.month;
  *day = t.day;
  *year = t.year;
}

void GetSystemTime(int* hours, int* minutes, int* seconds) {
  const PlatformDateTime t = PlatformLocalTime();
  *hours = t.hour;
  *minutes = t.minute;
  *seconds = t.second;
}
