#include "params/ParmFile.h"

#include <cstdio>

#include "app/Startup.h"
#include "engine/McycleIo.h"
#include "hmi/hmi.h"
#include "params/CtrlCmd.h"
#include "platform/FileUtil.h"
#include "ui/PanelIds.h"

namespace {

void Line(std::string& text, const char* format, int value) {
  char line[80];
  std::snprintf(line, sizeof line, format, value);
  text += line;
  text += '\n';
}

}  // namespace

std::string ParmFileText(const ParmFileValues& v) {
  std::string text = ParmFileHeader();
  Line(text, "wrw 0x2008 0 %6d ;POS1", v.pos1);
  Line(text, "wrw 0x2009 0 %6d ;POS2", v.pos2);
  Line(text, "wrw 0x200A 0 %6d ;POS5", v.pos3);
  Line(text, "wrw 0x200B 0 %6d ;RDYWIN", v.readyWin);
  Line(text, "wrw 0x200D 0 %6d ;TIME2", v.time2);
  Line(text, "wrw 0x2000 0 0x%04X ;CYCLE_BASIC", CMD_CODE_CYCLE_BASIC);
  text += "wrw 0x2000 0 0x0101 ;CMD0 Take Parameter";
  return text;
}

std::string ParmFileHeader() { return HmiFileHeader(";", "Scr-File created by StrokeDesk"); }

bool ParmFileWrite(const std::string& path, const ParmFileValues& values) {
  return ParmFileWriteText(path, ParmFileText(values));
}

bool ParmFileWriteText(const std::string& path, const std::string& text) {
  std::string error;
  if (FileWriteAtomically(path, text, error)) return true;
  const std::string line = "Error: parameter file " + path + " not saved: " + error;
  HmiLogWindowOut(line.c_str(), uwMcMainPanelHandle, HI_PRIO_LINE, MAIN_TXTBOX_LOG);
  return false;
}
