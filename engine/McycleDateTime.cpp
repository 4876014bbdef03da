// Machine 0x23: reads the controller's clock (0x211C sub-indices 1..8, one
// byte each) and shows it beside the PC's clock.
#include <cstdio>
#include <ctime>

#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/McycleIo.h"
#include "engine/McycleMachines.h"
#include "params/CtrlCmd.h"

namespace {

constexpr uint16_t kClockObject = 0x211C;
constexpr int kClockEntries = 8;

uint8_t ubMcRtcIndex;

// The container holds the clock entries once a P0528 controller was
// identified; other controllers leave it empty, and reading object 0 in their
// place would only fail. Name the clock objects in that case.
void EnsureClockEntries() {
  for (int i = 0; i < kClockEntries; ++i) {
    const CtrlCmdEntry& e = sRtcDataContainer.entries[i];
    if (e.uwIndex == kClockObject && e.ubSubIndex == i + 1 && e.ubLength == 1) continue;
    for (int k = 0; k < kClockEntries; ++k) {
      CtrlCmdEntry& c = sRtcDataContainer.entries[k];
      CtrlCmdEntryClear(c);
      c.ubLength = 1;
      c.uwIndex = kClockObject;
      c.ubSubIndex = static_cast<uint8_t>(k + 1);
    }
    sRtcDataContainer.uwNumOfEntries = kClockEntries - 1;
    sRtcDataContainer.ubLastEntry = kClockEntries - 1;
    return;
  }
}

void ShowClocks() {
  int v[kClockEntries];
  for (int i = 0; i < kClockEntries; ++i) v[i] = static_cast<int>(sRtcDataContainer.entries[i].udData);
  char line[96];
  std::snprintf(line, sizeof line, "Unit: %04d-%02d-%02d %02d:%02d:%02d:%d%d", 2000 + v[2], v[1], v[0], v[3], v[4],
                v[5], v[6], v[7]);
  McycleLog(line);
  const std::time_t now = std::time(nullptr);
  std::tm pc{};
  localtime_r(&now, &pc);
  std::snprintf(line, sizeof line, "PC:   %04d-%02d-%02d %02d:%02d:%02d", pc.tm_year + 1900, pc.tm_mon + 1,
                pc.tm_mday, pc.tm_hour, pc.tm_min, pc.tm_sec);
  McycleLog(line);
}

}  // namespace

void McycleGetDateTimeStateMachine() {
  switch (uwMcycleState.load()) {
    case MC_DATE_TIME_START:
      ubMcRtcIndex = 0;
      EnsureClockEntries();
      McycleGo(MC_DATE_TIME_READ);
      return;
    case MC_DATE_TIME_READ: {
      CtrlCmdEntry& e = sRtcDataContainer.entries[ubMcRtcIndex];
      const uint8_t rc = McycleReadEntry(e, 0);
      if (rc == 1) return;
      if (rc == 0) {
        McycleGo(MC_DATE_TIME_FAILED);  // end without a word
        return;
      }
      // One byte each, whatever width the answer claims.
      e.udData = cqCanData.udData & 0xFF;
      if (++ubMcRtcIndex < kClockEntries) return;
      ShowClocks();
      McycleGo(MC_DATE_TIME_SHOWN);
      return;
    }
    default:
      ubMcRtcIndex = 0;
      McycleGo(MC_STATE_IDLE);
      return;
  }
}
