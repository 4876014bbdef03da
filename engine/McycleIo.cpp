#include "engine/McycleIo.h"

#include <cstdarg>
#include <cstdio>

#include "app/Startup.h"
#include "comm/ComQueue.h"
#include "hmi/hmi.h"
#include "params/CtrlCmd.h"
#include "ui/PanelIds.h"

void McycleLog(const char* text) { HmiLogWindowOut(text, uwMcMainPanelHandle, HI_PRIO_LINE, MAIN_TXTBOX_LOG); }

void McycleLogf(const char* format, ...) {
  char line[HI_TEXT_MAX + 1];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  McycleLog(line);
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
