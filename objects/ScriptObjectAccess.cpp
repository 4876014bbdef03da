// The object-access step of the script machine: RD, RF, WRB, WRW, WRD, WRF
// and LOG_OBJECT entries, one request through the queue each.
#include <cstdio>
#include <cstring>

#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/McycleIo.h"
#include "objects/OBJCMD.h"
#include "objects/ScriptSteps.h"

namespace {

bool LoggingOff() { return (ubMcFlag3 & MC_FLAG3_SCRIPT_LOG_OFF) != 0; }

void ShowRx(const uint8_t* b) {
  McycleLogf("RX:  %02X  %02X  %02X  %02X  %02X  %02X  %02X  %02X", b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7]);
}

void LogObject(const char* objectLine, uint8_t specifier) {
  if (!objectLine) {
    McycleLogf("Log object: answer 0x%02X is no read answer, nothing printed in log file", specifier);
    return;
  }
  switch (ScriptObjectLogWrite(objectLine)) {
    case 0: McycleLog("printed in log file"); return;
    case 1: McycleLog("Log object: no log file open (LOG_CREATE or LOG_APPEND first)"); return;
    default: McycleLog("Error: log file write failed"); return;
  }
}

// The one message of a finished read, and its object-log line: the value for
// the answers that carry a width, else the answer's bytes.
void ShowRead(const CtrlCmdEntry& e) {
  const CqElement& c = cqCanData;
  const uint32_t v = c.udData;
  const int sv = static_cast<int>(v);
  const uint16_t index = c.uwIndex;
  const uint8_t sub = c.ubSubIndex;
  if (e.udFlags & SCR_FLAG_RF) {
    float f = 0;
    std::memcpy(&f, &v, sizeof f);
    McycleLogf("RD(F)  %04X[%02X] = %02X = %lf", index, sub, v, static_cast<double>(f));
    return;
  }
  char objectLine[64];
  bool known = true;
  switch (c.ubCmd) {
    case 0x4B:
      McycleLogf("RD(W)  %04X[%02X] = %04X = %d", index, sub, v, sv);
      std::snprintf(objectLine, sizeof objectLine, "%04X\t%02X\t0x%04X\t%d\n", index, sub, v, sv);
      break;
    case 0x4F:
      McycleLogf("RD(B)  %04X[%02X] = %02X = %d", index, sub, v, sv);
      std::snprintf(objectLine, sizeof objectLine, "%04X\t%02X\t0x%02X\t%d\n", index, sub, v, sv);
      break;
    case 0x43:
      McycleLogf("RD(D)  %04X[%02X] = %08X = %d", index, sub, v, sv);
      std::snprintf(objectLine, sizeof objectLine, "%04X\t%02X\t0x%08X\t%d\n", index, sub, v, sv);
      break;
    default:
      // Shown as its bytes, also with script logging off.
      known = false;
      ShowRx(c.ubRxFrame);
      break;
  }
  if (e.udFlags & SCR_FLAG_LOG_OBJECT) LogObject(known ? objectLine : nullptr, c.ubCmd);
}

}  // namespace

ScriptStep ScriptObjectAccess(CtrlCmdEntry& e) {
  const bool read = e.ubLength == 0;
  // A read always asks with data 0: after a first run the entry holds the
  // value read, which must not go out again in the request.
  const uint8_t r = CqWriteSDOResp(read ? 0 : e.udData, e.uwIndex, MachineDataChan.ubNodeId, e.ubSubIndex,
                                   read ? CQ_SDO_READ : static_cast<uint8_t>(e.ubLength + 0x10), &ubMcCanHandle,
                                   LoggingOff() ? 0 : 1);
  if (r == 1) return ScriptStep::Wait;
  if (r == 0) {
    McycleLogTransmissionError();
    ubCQWriteSDOState = 1;
    return ScriptStep::Fail;
  }
  if (!read) return ScriptStep::Next;
  CqElementRead(&cqCanData, ubMcCanHandle);
  e.udData = cqCanData.udData;
  ShowRead(e);
  return ScriptStep::Next;
}
