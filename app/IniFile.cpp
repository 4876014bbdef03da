#include "app/IniFile.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "app/Startup.h"
#include "comm/zel_ether.h"
#include "hmi/hmi.h"
#include "platform/Paths.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

namespace {

// Reads one line into `line` (at most INI_LINE_MAX characters, without the
// line end). A longer line is consumed to its end and `tooLong` set. False at
// the end of the file.
bool ReadLine(std::istream& in, std::string& line, bool& tooLong) {
  line.clear();
  tooLong = false;
  char c;
  bool any = false;
  while (in.get(c)) {
    any = true;
    if (c == '\n') break;
    if (line.size() < INI_LINE_MAX) line += c;
    else tooLong = true;
  }
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
  return any;
}

// One part of an address as the decimal conversion reads it: leading blanks,
// a sign, digits up to the first other character (none: 0).
long ReadPart(const char* p) {
  while (*p == ' ' || *p == '\t') ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  long v = 0;
  while (std::isdigit(static_cast<unsigned char>(*p))) {
    if (v < 100000) v = v * 10 + (*p - '0');
    ++p;
  }
  return negative ? -v : v;
}

// "a.b.c.d" after the first "=": exactly four parts, each 0..255.
bool ReadAddress(const std::string& line, int out[4]) {
  const size_t eq = line.find('=');
  if (eq == std::string::npos) return false;
  std::string value = line.substr(eq + 1);
  int parts = 0;
  size_t start = 0;
  for (;;) {
    const size_t dot = value.find('.', start);
    const std::string part = value.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
    if (parts == 4) return false;
    const long v = ReadPart(part.c_str());
    if (v < 0 || v > 255) return false;
    out[parts++] = static_cast<int>(v);
    if (dot == std::string::npos) break;
    start = dot + 1;
  }
  return parts == 4;
}

void Report(int lineNumber, const char* what) {
  char text[128];
  std::snprintf(text, sizeof text, "%s line %d: %s\n", INI_FILE_NAME, lineNumber, what);
  HmiLogDirect(text);
}

void HandleAddress(const std::string& line, int lineNumber, bool isIp) {
  int a[4];
  if (!ReadAddress(line, a)) {
    Report(lineNumber, isIp ? "ip_addr needs four numbers from 0 to 255 (a.b.c.d); default kept"
                            : "sub_net_mask needs four numbers from 0 to 255 (a.b.c.d); ignored");
    return;
  }
  char text[64];
  if (isIp) {
    const int fields[4] = {MAIN_NUM_IP_1, MAIN_NUM_IP_2, MAIN_NUM_IP_3, MAIN_NUM_IP_4};
    uint8_t address[4];
    for (int i = 0; i < 4; ++i) {
      PanelSetInt(uwMcMainPanelHandle, fields[i], a[i]);
      address[i] = static_cast<uint8_t>(a[i]);
    }
    // Batch mode has no fields: its Ethernet channel takes the address here.
    ZelEtherSetDestination(address);
    std::snprintf(text, sizeof text, "IP-Address:  %d.%d.%d.%d\n", a[0], a[1], a[2], a[3]);
  } else {
    std::snprintf(text, sizeof text, "Subnet mask: %d.%d.%d.%d\n\n", a[0], a[1], a[2], a[3]);
  }
  HmiLogDirect(text);
}

}  // namespace

void McycleReadIniFile(const char* directory) {
  const std::string path = std::string(directory ? directory : ".") + "/" + INI_FILE_NAME;
  std::ifstream in(path, std::ios::binary);
  if (!FileExists(path) || !in) {
    HmiLogDirect("File not found: StrokeDesk.ini\n");
    HmiLogDirect("Using default parameters and settings\n\n");
    return;
  }
  HmiLogDirect("Init file: StrokeDesk.ini\n");
  HmiLogDirect("Init file path: " + path + "\n");
  McycleReadIniLines(in);
}

void McycleReadIniLines(std::istream& in) {
  std::string line;
  bool tooLong = false;
  for (int number = 1; ReadLine(in, line, tooLong); ++number) {
    if (tooLong) {
      Report(number, "longer than 219 characters; ignored");
      continue;
    }
    if (line == "[OptionsEnd]") break;
    if (line.compare(0, 7, "ip_addr") == 0) HandleAddress(line, number, true);
    else if (line.compare(0, 12, "sub_net_mask") == 0) HandleAddress(line, number, false);
  }
}

std::string McycleIniDirectory(const std::string& programDirectory) {
  if (FileExists(programDirectory + "/" + INI_FILE_NAME)) return programDirectory;
  const std::string user = UserConfigDirectory();
  if (!user.empty() && FileExists(user + "/" + INI_FILE_NAME)) return user;
  return programDirectory;
}
