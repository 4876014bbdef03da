#include "engine/McycleIo.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "app/Startup.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "hmi/hmi.h"
#include "params/CtrlCmd.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

namespace {

// The formatted text, cut to what one log slot holds.
std::string Formatted(const char* format, va_list args) {
  char text[HI_TEXT_MAX + 1];
  std::vsnprintf(text, sizeof text, format, args);
  return text;
}

}  // namespace

void McycleGo(uint16_t state) { uwMcycleState = state; }

void McycleLog(const char* text) { HmiLogWindowOut(text, uwMcMainPanelHandle, HI_PRIO_LINE, MAIN_TXTBOX_LOG); }

void McycleLogf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string line = Formatted(format, args);
  va_end(args);
  McycleLog(line.c_str());
}

void McycleSay(const char* text) { HmiLogWindowOut(text, uwMcMainPanelHandle, HI_PRIO_TEXT, MAIN_TXTBOX_LOG); }

void McycleSayf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string text = Formatted(format, args);
  va_end(args);
  McycleSay(text.c_str());
}

void McycleLamp(int control, int64_t colour, bool lit) {
  PanelSetAttribute(uwMcMainPanelHandle, control, ATTR_ON_COLOR, colour);
  PanelSetInt(uwMcMainPanelHandle, control, lit ? 1 : 0);
}

void McycleLogTransmissionOk() { McycleLog("Transmission O.K."); }
void McycleLogTransmissionError() { McycleLog("Transmission ERROR"); }

uint8_t McycleWriteObject(uint16_t index, uint8_t subIndex, uint8_t width, uint32_t value, uint8_t log) {
  return CqWriteSDOResp(value, index, MachineDataChan.ubNodeId, subIndex, static_cast<uint8_t>(width | 0x10),
                        &ubMcCanHandle, log);
}

uint8_t McycleReadObject(uint16_t index, uint8_t subIndex, uint8_t log) {
  const uint8_t rc = CqWriteSDOResp(0, index, MachineDataChan.ubNodeId, subIndex, CQ_SDO_READ, &ubMcCanHandle, log);
  if (rc == 2) CqElementRead(&cqCanData, ubMcCanHandle);
  return rc;
}

uint8_t McycleWriteEntry(const CtrlCmdEntry& entry, uint8_t log) {
  return McycleWriteObject(entry.uwIndex, entry.ubSubIndex, entry.ubLength, entry.udData, log);
}

uint8_t McycleReadEntry(const CtrlCmdEntry& entry, uint8_t log) {
  return McycleReadObject(entry.uwIndex, entry.ubSubIndex, log);
}

uint32_t McycleValueOfWidth(uint32_t value, uint8_t width) {
  if (width >= 4) return value;
  return value & ((1u << (8 * width)) - 1);
}
