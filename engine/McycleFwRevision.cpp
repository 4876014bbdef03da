// Machine 10: identification of the controller after a channel was chosen.
// Reads the data container (trying 9600, 38400 and 57600 baud on a serial
// port), works out the firmware version and variant, brings a serial link to
// the speed the operator chose, sets the tool up for the variant and, for
// the P0528 family, reads the trace mode words and sets the controller's
// clock when its date differs from the PC's.
#include "engine/McycleFwRevision.h"

#include <ctime>

#include "app/Startup.h"
#include "comm/ComQueue.h"
#include "comm/StMaUart.h"
#include "engine/Mcycle.h"
#include "engine/McycleCheckMenu.h"
#include "engine/McycleControls.h"
#include "engine/McycleIo.h"
#include "engine/McycleMachines.h"
#include "engine/McycleVariant.h"
#include "hmi/hmi.h"
#include "params/CtrlCmd.h"
#include "scope/scope.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

uint8_t ubMcBaudStep;

namespace {

constexpr uint32_t kBauds[3] = {9600, 38400, 57600};
constexpr uint16_t kCodeSpeed9600 = 0x10D;
constexpr uint16_t kCodeSpeed38400 = 0x10F;
constexpr uint16_t kCodeSpeed57600 = 0x213;
constexpr uint32_t kSpeedSettleMs = 100;

constexpr int kVersionEntry = 0;
constexpr int kRamtypeEntry = 5;
constexpr int kExtProductEntry = 10;   // 0x211D/3
constexpr int kExtRevisionEntry = 11;  // 0x211D/4
constexpr uint16_t kVersionInExtObject = 0xFFFF;
constexpr uint16_t kExtEntries = 4;
constexpr int kTrace1ModeEntry = 3;  // scope container: 0x2A00/1
constexpr int kTrace2ModeEntry = 4;  // 0x2A00/2
constexpr int kClockDateEntries = 3;
constexpr int kClockEntries = 8;
constexpr uint16_t kMode0CommunicationLogging = 0x0010;

// One run's state.
uint16_t uwIndex;
uint16_t uwWalkEnd;  // entries of the data container this run reads
uint32_t udBaud;     // serial speed in use
uint32_t udNewBaud;
uint16_t uwSpeedCommand;
uint32_t udDeadline;
McFwVariant variant;

bool OverEthernet() { return ubCqDataChannel == CQ_LINK_UDP || ubCqDataChannel == CQ_LINK_USB; }
int Port() { return iStMaComChan; }

void NotIdentified() {
  ubMcFlag1 &= static_cast<uint8_t>(~MC_FLAG1_LINK_ESTABLISHED);
  McycleLog("Could not get Fw Revision");
  McycleGo(MC_IDENT_END);
}

// Reopens the serial port at `baud`; false when it cannot be opened.
bool Reopen(uint32_t baud) {
  CqCloseComChan(Port());
  return CqOpenComChan(Port(), static_cast<uint16_t>(baud)) >= 0;
}

void LogSpeed(const char* portLineEnd) {
  McycleLog(ubMcComSpeed ? "Communication speed: high\n" : "Communication speed: low\n");
  McycleLogf(portLineEnd, Port(), static_cast<unsigned>(udBaud));
}

uint32_t VersionFromDataContainer() {
  const uint32_t word = sDataContainer.entries[kVersionEntry].udData & 0xFFFF;
  if (word == 0)
    return (sDataContainer.entries[kExtProductEntry].udData & 0xFFFF) << 16 |
           (sDataContainer.entries[kExtRevisionEntry].udData & 0xFFFF);
  return McycleFwVersionFromWord(static_cast<uint16_t>(word));
}

// Step 5: the speed the operator chose for this family; false when the link
// already runs at it.
bool SpeedChangeNeeded() {
  const bool p0528Speeds = McycleFwVariantLikeP0528(variant);
  if (ubMcComSpeed == 0) {
    udNewBaud = 9600;
    uwSpeedCommand = kCodeSpeed9600;
  } else if (p0528Speeds) {
    udNewBaud = 57600;
    uwSpeedCommand = kCodeSpeed57600;
  } else {
    udNewBaud = 38400;
    uwSpeedCommand = kCodeSpeed38400;
  }
  return udNewBaud != udBaud;
}

std::tm PcNow() {
  const std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  return t;
}

void StepRead() {
  const uint8_t rc = McycleReadEntry(sDataContainer.entries[uwIndex], 0);
  if (rc == 1) return;
  if (rc == 2) {
    McycleGo(MC_IDENT_STORE);
    return;
  }
  if (OverEthernet()) {
    NotIdentified();
    return;
  }
  if (++ubMcBaudStep >= 3) {
    ubMcBaudStep = 0;
    NotIdentified();
    return;
  }
  udBaud = kBauds[ubMcBaudStep];
  McycleLogf("Com %d: Try %u Baud ...", Port(), static_cast<unsigned>(udBaud));
  McycleGo(MC_IDENT_REOPEN);
}

void StepStore() {
  CtrlCmdEntry& e = sDataContainer.entries[uwIndex];
  e.udData = McycleValueOfWidth(cqCanData.udData, e.ubLength);
  if (++uwIndex < uwWalkEnd) {
    McycleGo(MC_IDENT_READ);
    return;
  }
  // The version is in 0x211D/3 and /4 (entries 8..11 read as well).
  if ((sDataContainer.entries[kVersionEntry].udData & 0xFFFF) == kVersionInExtObject &&
      uwWalkEnd == sDataContainer.uwNumOfEntries) {
    sDataContainer.entries[kVersionEntry].udData = 0;
    uwWalkEnd = static_cast<uint16_t>(uwWalkEnd + kExtEntries);
    McycleGo(MC_IDENT_READ);
    return;
  }
  udScopeFwVersion = VersionFromDataContainer();
  variant = McycleFwVariant(udScopeFwVersion, static_cast<uint16_t>(sDataContainer.entries[kRamtypeEntry].udData),
                            ubMcFlag2 & MC_FLAG2_EXPERT_MODE);
  // A controller that is refused is left at the speed it answered at.
  McycleGo(OverEthernet() || variant == McFwVariant::None ? MC_IDENT_SET_UP : MC_IDENT_SPEED_CHECK);
}

void StepSetUp() {
  if (variant == McFwVariant::None) {
    McycleLogf("Target Firmware: P%04u-%02u is not supported (expert mode accepts it)",
               static_cast<unsigned>(udScopeFwVersion >> 16), static_cast<unsigned>(udScopeFwVersion & 0xFFFF));
    NotIdentified();
    return;
  }
  McycleFwVariantSetUp(variant);
  uwIndex = 0;
  McycleGo(McycleFwVariantLikeP0528(variant) ? MC_IDENT_TRACE_MODES : MC_IDENT_END);
}

// True once a request of the later steps is answered; a failed one is said
// and ends identification at its end step.
bool Answered(uint8_t rc) {
  if (rc == 0) {
    McycleLogTransmissionError();
    McycleGo(MC_IDENT_END);
  }
  return rc != 0 && rc != 1;
}

void StepTraceModes() {
  const int entry = uwIndex == 0 ? kTrace1ModeEntry : kTrace2ModeEntry;
  CtrlCmdEntry& e = sScopeDataContainer.entries[entry];
  if (!Answered(McycleReadEntry(e, 0))) return;
  e.udData = cqCanData.udData;
  if (++uwIndex < 2) return;
  McycleSetCheckTraceMenu(1, sScopeDataContainer.entries[kTrace1ModeEntry].udData);
  McycleSetCheckTraceMenu(2, sScopeDataContainer.entries[kTrace2ModeEntry].udData);
  uwIndex = 0;
  if (uwScopeMode0 & kMode0CommunicationLogging) {
    McycleSay("Communication logging on\n");
    ubCqFlag |= CQ_FLAG_RAW_TEXT;
    // The controller now sends its log instead of answers: the clock cannot
    // be read.
    McycleGo(MC_IDENT_END);
    return;
  }
  McycleGo(MC_IDENT_CLOCK_READ);
}

void StepClockRead() {
  CtrlCmdEntry& e = sRtcDataContainer.entries[uwIndex];
  if (!Answered(McycleReadEntry(e, 0))) return;
  e.udData = cqCanData.udData & 0xFF;
  if (++uwIndex < kClockDateEntries) return;
  const std::tm pc = PcNow();
  // Day, month, year since 2000, hour, minute, second and two zero fields.
  const int fields[kClockEntries] = {pc.tm_mday, pc.tm_mon + 1, pc.tm_year - 100, pc.tm_hour, pc.tm_min, pc.tm_sec,
                                     0, 0};
  bool same = true;
  for (int i = 0; i < kClockDateEntries; ++i)
    same = same && sRtcDataContainer.entries[i].udData == static_cast<uint32_t>(fields[i]);
  if (same) {
    McycleGo(MC_IDENT_END);
    return;
  }
  for (int i = 0; i < kClockEntries; ++i) sRtcDataContainer.entries[i].udData = static_cast<uint32_t>(fields[i]) & 0xFF;
  uwIndex = 0;
  McycleGo(MC_IDENT_CLOCK_WRITE);
}

void StepClockWrite() {
  if (!Answered(McycleWriteEntry(sRtcDataContainer.entries[uwIndex], 0))) return;
  if (++uwIndex >= kClockEntries) McycleGo(MC_IDENT_END);
}

}  // namespace

void McycleGetFwRevisionStateMachine() {
  switch (uwMcycleState.load()) {
    case MC_IDENT_START:
      uwIndex = 0;
      uwWalkEnd = sDataContainer.uwNumOfEntries;
      udBaud = kBauds[ubMcBaudStep < 3 ? ubMcBaudStep : 0];
      variant = McFwVariant::None;
      HmiLogWindowOut("", uwMcMainPanelHandle, HI_PRIO_LINE, HI_CURSOR_WAIT_ON);
      if (ubCqDataChannel == CQ_LINK_SERIAL)
        McycleLogf("Com %d: Try %u Baud ...", Port(), static_cast<unsigned>(udBaud));
      ubMcFlag2 &= static_cast<uint8_t>(~MC_FLAG2_TRACE_PRESENT);
      McycleGo(MC_IDENT_READ);
      return;
    case MC_IDENT_READ: StepRead(); return;
    case MC_IDENT_REOPEN:
      if (Reopen(udBaud))
        McycleGo(MC_IDENT_READ);
      else
        NotIdentified();
      return;
    case MC_IDENT_STORE: StepStore(); return;
    case MC_IDENT_SET_UP: StepSetUp(); return;
    case MC_IDENT_SPEED_CHECK:
      if (!SpeedChangeNeeded()) {
        LogSpeed("Com %d: open with %u Baud\n\n");
        McycleGo(MC_IDENT_SET_UP);
      } else {
        McycleGo(MC_IDENT_SPEED_COMMAND);
      }
      return;
    case MC_IDENT_SPEED_COMMAND: {
      const uint8_t rc = McycleWriteObject(CTRL_OBJ_COMMAND, 0, 2, uwSpeedCommand, 0);
      if (rc != 1) McycleGo(MC_IDENT_SPEED_REOPEN);  // answered or not, the controller may have switched
      return;
    }
    case MC_IDENT_SPEED_REOPEN:
      udBaud = udNewBaud;
      if (!Reopen(udBaud)) {
        NotIdentified();
        return;
      }
      udDeadline = McTimerGetCurrentTime() + kSpeedSettleMs;
      McycleGo(MC_IDENT_SPEED_SETTLE);
      return;
    case MC_IDENT_SPEED_VERIFY: {
      const uint8_t rc = McycleReadEntry(sDataContainer.entries[kVersionEntry], 0);
      if (rc == 1) return;
      if (rc == 0) {
        NotIdentified();
        return;
      }
      LogSpeed("Com %d: open with %u Baud\n");
      McycleGo(MC_IDENT_SET_UP);
      return;
    }
    case MC_IDENT_SPEED_SETTLE:
      if (McTimeAfter(McTimerGetCurrentTime(), udDeadline)) McycleGo(MC_IDENT_SPEED_VERIFY);
      return;
    case MC_IDENT_TRACE_MODES: StepTraceModes(); return;
    case MC_IDENT_CLOCK_WRITE: StepClockWrite(); return;
    case MC_IDENT_CLOCK_READ: StepClockRead(); return;
    default:  // MC_IDENT_END, once the ram-type panel has been acknowledged
      if (ubMcFlag4 & MC_FLAG4_RAMTYPE_UNACKNOWLEDGED) return;
      // However it ended, the controls say what the link now is.
      McycleShowOperationControls();
      HmiLogWindowOut("", uwMcMainPanelHandle, HI_PRIO_LINE, HI_CURSOR_WAIT_OFF);
      ubMcBaudStep = 0;
      McycleGo(MC_STATE_IDLE);
      return;
  }
}
