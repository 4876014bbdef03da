#include "app/StartupServices.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

int32_t sdMcYear, sdMcMonth, sdMcDay, sdMcHour, sdMcMinute, sdMcSecond;

void McycleGetSystemDateTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  sdMcYear = (local.tm_year + 1900) % 100;
  sdMcMonth = local.tm_mon + 1;
  sdMcDay = local.tm_mday;
  sdMcHour = local.tm_hour;
  sdMcMinute = local.tm_min;
  sdMcSecond = local.tm_sec;
}

int McycleGetMetaPath(char* path, size_t size) {
  McycleGetSystemDateTime();
  if (!path || size == 0) return 1;
  const size_t length = strnlen(path, size);
  if (length == size) return 1;  // not terminated inside its buffer
  char date[16], time[16];
  std::snprintf(date, sizeof date, "%02d%02d%02d", static_cast<int>(sdMcYear), static_cast<int>(sdMcMonth),
                static_cast<int>(sdMcDay));
  std::snprintf(time, sizeof time, "%02d%02d%02d", static_cast<int>(sdMcHour), static_cast<int>(sdMcMinute),
                static_cast<int>(sdMcSecond));
  std::string out;
  out.reserve(length + 8);
  for (size_t i = 0; i < length;) {
    if (std::strncmp(path + i, "$DATE", 5) == 0) {
      out += date;
      i += 5;
    } else if (std::strncmp(path + i, "$TIME", 5) == 0) {
      out += time;
      i += 5;
    } else {
      out += path[i++];
    }
  }
  if (out.size() >= size) return 1;
  std::memcpy(path, out.c_str(), out.size() + 1);
  return 0;
}
