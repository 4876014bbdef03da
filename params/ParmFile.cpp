#include "params/ParmFile.h"

#include <cstdio>

#include "app/Startup.h"
#include "engine/McycleIo.h"
#include "hmi/hmi.h"
#include "params/CtrlCmd.h"
#include "platform/FileUtil.h"
#include "ui/PanelIds.h"

namespace {

constexpr const char* kBanner[] = {
    ";*******************************************************",
    ";* ",
    ";* StrokeDesk - service and commissioning tool",
    ";* for the RC7 drive controller of a servo-hydraulic press ram",
    ";* Documentation: README.md of the StrokeDesk distribution",
    ";* ",
    ";* Scr-File created by StrokeDesk",
};

void Line(std::string& text, const char* format, int value) {
  char line[80];
  std::snprintf(line, sizeof line, format, value);
  text += line;
  text += '\n';
}

}  // namespace

std::string ParmFileText(const ParmFileValues& v) {
  std::string text;
  for (const char* line : kBanner) text += std::string(line) + '\n';
  text += std::string(";* Software version: ") + SOFTWARE_NUMBER + '\n';
  text += ";* \n";
  text += ";*******************************************************\n";
  text += ";\n";
  Line(text, "wrw 0x2008 0 %6d ;POS1", v.pos1);
  Line(text, "wrw 0x2009 0 %6d ;POS2", v.pos2);
  Line(text, "wrw 0x200A 0 %6d ;POS5", v.pos3);
  Line(text, "wrw 0x200B 0 %6d ;RDYWIN", v.readyWin);
  Line(text, "wrw 0x200D 0 %6d ;TIME2", v.time2);
  Line(text, "wrw 0x2000 0 0x%04X ;CYCLE_BASIC", CMD_CODE_CYCLE_BASIC);
  text += "wrw 0x2000 0 0x0101 ;CMD0 Take Parameter";
  return text;
}

bool ParmFileWrite(const std::string& path, const ParmFileValues& values) {
  std::string error;
  if (FileWriteAtomically(path, ParmFileText(values), error)) return true;
  const std::string line = "Error: parameter file " + path + " not saved: " + error;
  McycleLog(line.c_str());
  return false;
}
