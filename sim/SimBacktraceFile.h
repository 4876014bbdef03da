// The backtrace file (".lo1") a controller writes to its USB memory: a few
// text lines, two bytes (the record count), one 8-byte SDO write telegram per
// header object, and the raw frames of both traces.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct SimBacktraceRecord {
  uint16_t index;
  uint8_t sub;
  uint8_t width;  // 1, 2 or 4
  uint32_t value;
};

struct SimBacktrace {
  int year = 2024, month = 1, day = 1, hour = 0, minute = 0, second = 0;
  uint32_t firmware = 0;    // product << 16 | revision
  uint32_t bootloader = 0;  // major << 8 | minor
  int fileFormat = 4;
  std::vector<SimBacktraceRecord> records;
  std::vector<uint8_t> frames;  // the frames of both traces, each as long as the frame length object says
};

// The file's bytes; `crlf` ends the text lines with CR LF.
std::string SimBacktraceFileBytes(const SimBacktrace& file, bool crlf);
