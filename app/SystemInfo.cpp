#include "app/SystemInfo.h"

#include <sys/utsname.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/Startup.h"
#include "engine/McycleIo.h"
#include "hmi/hmi.h"
#include "platform/SystemClock.h"
#include "ui/PanelIds.h"

int32_t sdMcYear, sdMcMonth, sdMcDay, sdMcHour, sdMcMinute, sdMcSecond;

McDateTime McycleReadClock() {
  const PlatformDateTime t = PlatformLocalTime();
  return {t.year, t.month, t.day, t.hour, t.minute, t.second};
}

std::string McycleDateTimeStamp(char separator) {
  McycleGetSystemDateTime();
  char text[48];
  std::snprintf(text, sizeof text, "%02d%02d%02d%c%02d%02d%02d", static_cast<int>(sdMcYear),
                static_cast<int>(sdMcMonth), static_cast<int>(sdMcDay), separator, static_cast<int>(sdMcHour),
                static_cast<int>(sdMcMinute), static_cast<int>(sdMcSecond));
  return text;
}

void McycleGetSystemDateTime() {
  const McDateTime t = McycleReadClock();
  sdMcYear = t.year % 100;
  sdMcMonth = t.month;
  sdMcDay = t.day;
  sdMcHour = t.hour;
  sdMcMinute = t.minute;
  sdMcSecond = t.second;
}

int McycleFormatMetaPath(char* path, size_t size, const McDateTime& when) {
  if (!path || size == 0) return 1;
  const size_t length = strnlen(path, size);
  if (length == size) return 1;  // not terminated inside its buffer
  char date[16], time[16];
  std::snprintf(date, sizeof date, "%02d%02d%02d", when.year % 100, when.month, when.day);
  std::snprintf(time, sizeof time, "%02d%02d%02d", when.hour, when.minute, when.second);
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

int McycleGetMetaPath(char* path, size_t size) {
  McycleGetSystemDateTime();
  const McDateTime now{sdMcYear + 2000, sdMcMonth, sdMcDay, sdMcHour, sdMcMinute, sdMcSecond};
  if (McycleFormatMetaPath(path, size, now) == 0) return 0;
  char line[HI_TEXT_MAX + 1];
  const int shown = static_cast<int>(path ? strnlen(path, std::min<size_t>(size, 180)) : 0);
  std::snprintf(line, sizeof line, "Path too long after $DATE/$TIME: %.*s", shown, path ? path : "");
  McycleLog(line);
  return 1;
}

std::string McycleOperatingSystemName(int code) {
  switch (code) {
    case PLATFORM_WINDOWS_95: return "Windows 95/98";
    case PLATFORM_WINDOWS_2000: return "Windows 2000/XP";
    case PLATFORM_LINUX: {
      utsname u{};
      if (uname(&u) != 0) return "Linux";
      return std::string(u.sysname) + " " + u.release + " (" + u.machine + ")";
    }
    default: return "unknown: " + std::to_string(code);
  }
}

std::string McycleSystemInformationText(const McDateTime& t, int platformCode) {
  char lines[160];
  std::snprintf(lines, sizeof lines, "Date: %04d-%02d-%02d\nTime: %02d:%02d:%02d\n", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return lines + ("Operating system: " + McycleOperatingSystemName(platformCode) + "\n");
}

void WriteSystemInformation() { HmiLogDirect(McycleSystemInformationText(McycleReadClock(), PLATFORM_LINUX)); }
