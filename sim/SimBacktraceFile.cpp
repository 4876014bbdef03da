#include "sim/SimBacktraceFile.h"

#include <cstdio>

namespace {

uint8_t Specifier(uint8_t width) { return width == 1 ? 0x2F : width == 2 ? 0x2B : width == 3 ? 0x27 : 0x23; }

}  // namespace

std::string SimBacktraceFileBytes(const SimBacktrace& f, bool crlf) {
  const char* end = crlf ? "\r\n" : "\n";
  char line[64];
  std::string out;
  auto text = [&](const char* s) { out += s, out += end; };
  std::snprintf(line, sizeof line, "Date:\t%4d-%02d-%02d", f.year, f.month, f.day);
  text(line);
  std::snprintf(line, sizeof line, "Time:\t%02d:%02d:%02d", f.hour, f.minute, f.second);
  text(line);
  std::snprintf(line, sizeof line, "Firmware:\tP%04u-%02u", f.firmware >> 16, f.firmware & 0xFFFF);
  text(line);
  std::snprintf(line, sizeof line, "Bootloader:\tP%04u-%02u", (f.bootloader >> 8) & 0xFF, f.bootloader & 0xFF);
  text(line);
  std::snprintf(line, sizeof line, "FileFormat:\t%d", f.fileFormat);
  text(line);
  out += static_cast<char>(f.records.size() & 0xFF);
  out += static_cast<char>(f.records.size() >> 8);
  for (const SimBacktraceRecord& r : f.records) {
    const uint8_t telegram[8] = {Specifier(r.width),
                                 static_cast<uint8_t>(r.index),
                                 static_cast<uint8_t>(r.index >> 8),
                                 r.sub,
                                 static_cast<uint8_t>(r.value),
                                 static_cast<uint8_t>(r.value >> 8),
                                 static_cast<uint8_t>(r.value >> 16),
                                 static_cast<uint8_t>(r.value >> 24)};
    out.append(reinterpret_cast<const char*>(telegram), sizeof telegram);
  }
  out.append(f.frames.begin(), f.frames.end());
  return out;
}
