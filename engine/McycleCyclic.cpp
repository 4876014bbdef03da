#include "engine/McycleCyclic.h"

#include <cstdio>
#include <mutex>

#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "engine/McycleIo.h"
#include "engine/McycleMachines.h"
#include "scope/scope.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

uint8_t ubCyclicDataState;
CqElement cqRamPosStore;
CqElement cqMotPosStore;
CqElement cqStatusStore;
CqElement cqPressNDStore;
CqElement cqPressHDStore;
CqElement cqStatus1Store;

namespace {

constexpr float kPressureNdFactor = 0.33647376f;
constexpr float kPressureHdFactor = 0.53835803f;
constexpr double kPressureOffset = 186.0;
constexpr double kQuillScaleTop = 8000.0;

constexpr uint32_t kStatus1Ready = 0x80000;       // bit 19
constexpr uint32_t kStatus1ReadyBlink = 0x180000; // bits 19 and 20
constexpr uint32_t kStatus1Fault = 0x200000;      // bit 21
constexpr uint32_t kStatus1Second = 0x8000000;    // bit 27

// One request of a round: its template, its queue slot, and whether that
// slot is still this round's (created and not yet purged).
struct CyclicRequest {
  CqElement* store;
  uint8_t handle;
  bool live;
};
CyclicRequest requests[MC_CYCLIC_REQUESTS] = {
    {&cqRamPosStore, 0, false},  {&cqMotPosStore, 0, false},  {&cqStatusStore, 0, false},
    {&cqPressNDStore, 0, false}, {&cqPressHDStore, 0, false}, {&cqStatus1Store, 0, false},
};
uint8_t ubCyclicDoneMask;
// Requests of the round now running (3 on P0417, else 6).
int iCyclicRoundSize;
// The switch prepares the templates on the GUI thread; the tick copies them
// into the queue and stores answers in them.
std::mutex templateLock;

bool OldFirmware() { return (udScopeFwVersion & 0xFF) < 5; }

// The answer's value as a signed number of the width its command specifier
// gives (expedited upload: bits 2-3 count the unused bytes when bit 0 is set).
int32_t SignedValue(const CqElement& e) {
  const int width = (e.ubCmd & 0x01) ? 4 - ((e.ubCmd >> 2) & 0x03) : 4;
  if (width == 4) return static_cast<int32_t>(e.udData);
  const uint32_t sign = 1u << (8 * width - 1);
  const uint32_t raw = e.udData & ((sign << 1) - 1);
  return static_cast<int32_t>((raw ^ sign) - sign);
}

void ShowPosition(int control, const CqElement& e) {
  const double raw = SignedValue(e);
  const double mm = (ubMcFlag3 & MC_FLAG3_FW_QUILL) ? (kQuillScaleTop - raw) / 100.0 : raw / 100.0;
  PanelSetDouble(uwMcMainPanelHandle, control, mm);
}

void ShowPressure(int control, uint32_t raw, float factor) {
  double value = 0.0;
  if (!OldFirmware()) {
    value = raw / 100.0;
  } else if (raw != 0) {
    value = factor * (raw - kPressureOffset);
    if (value < 0.0) value = 0.0;
  }
  // Below 2^32 by the ranges of raw and the factors; truncated toward zero.
  PanelSetInt(uwMcMainPanelHandle, control, static_cast<uint32_t>(value));
}

void ShowStatus(int control, const char* format, uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, format, value);
  PanelSetString(uwMcMainPanelHandle, control, text);
}

// The ready lamp and the second lamp from status word 1, in this order.
void ShowLamps(uint32_t status1) {
  ubMcFlag4 &= static_cast<uint8_t>(~MC_FLAG4_READY_LAMP_BLINK);
  if (status1 & kStatus1Ready) {
    McycleLamp(MAIN_LED_READY, MC_LAMP_GREEN, true);
    ubMcFlag5 |= MC_FLAG5_STATUS1_BIT19;
  } else {
    PanelSetInt(uwMcMainPanelHandle, MAIN_LED_READY, 0);
    ubMcFlag5 &= static_cast<uint8_t>(~MC_FLAG5_STATUS1_BIT19);
  }
  if ((status1 & kStatus1ReadyBlink) == kStatus1ReadyBlink) {
    PanelSetAttribute(uwMcMainPanelHandle, MAIN_LED_READY, ATTR_ON_COLOR, MC_LAMP_GREEN);
    ubMcFlag4 |= MC_FLAG4_READY_LAMP_BLINK;
  }
  if (status1 & kStatus1Fault) {
    McycleLamp(MAIN_LED_READY, MC_LAMP_RED, true);
    ubMcFlag4 &= static_cast<uint8_t>(~MC_FLAG4_READY_LAMP_BLINK);
  }
  if (status1 & kStatus1Second) McycleLamp(MAIN_LED_STATUS, MC_LAMP_GREEN, true);
  else PanelSetInt(uwMcMainPanelHandle, MAIN_LED_STATUS, 0);
}

void Show(int request, const CqElement& e) {
  switch (request) {
    case 0: ShowPosition(MAIN_NUM_RAM_POS, e); break;
    case 1: ShowPosition(MAIN_NUM_MOT_POS, e); break;
    case 2: ShowStatus(MAIN_TXT_STATUS0, "0x%04X", e.udData); break;
    case 3: ShowPressure(MAIN_NUM_PRESS_ND, e.udData, kPressureNdFactor); break;
    case 4: ShowPressure(MAIN_NUM_PRESS_HD, e.udData, kPressureHdFactor); break;
    default:
      ShowStatus(MAIN_TXT_STATUS1, "0x%08X", e.udData);
      ShowLamps(e.udData);
      break;
  }
}

// Frees the slots of this round that are still held. A slot on the link
// holds the queue's busy bit, which goes with it.
void FreeLiveSlots() {
  bool onTheLink = false;
  for (CyclicRequest& r : requests) {
    if (!r.live) continue;
    uint8_t status = CQ_FREE;
    CqElementStatus(r.handle, &status);
    onTheLink |= status == CQ_SENT;
    CqElementPurge(r.handle);
    r.live = false;
  }
  if (onTheLink) ubCqFlag &= static_cast<uint8_t>(~CQ_FLAG_BUSY);
}

// A read failed: the monitor stops until the operator switches it on again.
void SwitchOff() {
  McycleCyclicReset();
  ubMcFlag1 &= static_cast<uint8_t>(~MC_FLAG1_CYCLIC_MONITOR_ON);
  PanelSetInt(uwMcMainPanelHandle, MAIN_BIN_SW_POS_MON_ON, 0);
  PanelSetAttribute(uwMcMacroPanelHandle, MACRO_CMD_TRANSFER_1, ATTR_DIMMED, 1);
  PanelSetAttribute(uwMcMacroPanelHandle, MACRO_CMD_TRANSFER_2, ATTR_DIMMED, 1);
}

void StartRound() {
  ubMcFlag2 |= MC_FLAG2_CYCLIC_READ_IN_PROGRESS;
  ubCyclicDoneMask = 0;
  iCyclicRoundSize = (ubMcFlag3 & MC_FLAG3_FW_P0417) ? MC_CYCLIC_REQUESTS_P0417 : MC_CYCLIC_REQUESTS;
  bool created = true;
  {
    std::lock_guard<std::mutex> g(templateLock);
    for (int i = 0; i < iCyclicRoundSize && created; ++i) {
      CyclicRequest& r = requests[i];
      const uint8_t rc = CqElementCreate(*r.store, &r.handle);
      r.live = rc != 1;  // code 2 took a slot too
      created = rc == 0;
    }
  }
  ubCyclicDataState = MC_CYCLIC_WAITING;
  if (!created) SwitchOff();  // no free slot, or a template that is no read
}

void CollectRound() {
  bool failed = false;
  {
    std::lock_guard<std::mutex> g(templateLock);
    for (int i = 0; i < iCyclicRoundSize; ++i) {
      CyclicRequest& r = requests[i];
      const uint8_t bit = static_cast<uint8_t>(1u << i);
      if (!r.live || (ubCyclicDoneMask & bit)) continue;
      uint8_t status = CQ_FREE;
      CqElementStatus(r.handle, &status);
      if (status == CQ_FAILED) failed = true;
      if (status != CQ_DONE) continue;
      CqElement answer;
      CqElementRead(&answer, r.handle);
      CqElementPurge(r.handle);
      r.live = false;
      // Only the value and its specifier: the request itself stays as
      // prepared, whatever sub-index an answer echoes.
      r.store->udData = answer.udData;
      r.store->ubCmd = answer.ubCmd;
      Show(i, *r.store);
      ubCyclicDoneMask |= bit;
    }
  }
  if (failed) {
    SwitchOff();
    return;
  }
  if (ubCyclicDoneMask == (1u << iCyclicRoundSize) - 1) {
    ubCyclicDataState = MC_CYCLIC_IDLE;
    ubMcFlag2 &= static_cast<uint8_t>(~MC_FLAG2_CYCLIC_READ_IN_PROGRESS);
  }
}

}  // namespace

void McycleCyclicPrepareRequests() {
  const uint32_t timeout = (ubMcFlag2 & MC_FLAG2_EXPERT_MODE) ? udCqNorlTimeout : CQ_DEFAULT_TIMEOUT_MS;
  const uint16_t pressure = OldFirmware() ? 0x2503 : 0x2318;
  struct Object {
    uint16_t index;
    uint8_t sub;
  };
  const Object objects[MC_CYCLIC_REQUESTS] = {{0x2002, 0},   {0x22B1, 0},   {0x2004, 0},
                                              {pressure, 2}, {pressure, 3}, {0x2119, 0}};
  std::lock_guard<std::mutex> g(templateLock);
  for (int i = 0; i < MC_CYCLIC_REQUESTS; ++i) {
    CqElement& e = *requests[i].store;
    e = CqElement{};
    e.ubType = CQ_SDO_READ;
    e.uwIndex = objects[i].index;
    e.ubSubIndex = objects[i].sub;
    e.ubNodeId = MachineDataChan.ubNodeId;
    e.udTimeout = timeout;
  }
}

void McycleCyclicReset() {
  FreeLiveSlots();
  ubCyclicDataState = MC_CYCLIC_IDLE;
  ubCyclicDoneMask = 0;
  ubMcFlag2 &= static_cast<uint8_t>(~MC_FLAG2_CYCLIC_READ_IN_PROGRESS);
}

void McycleGetCyclicDataStateMachine(uint16_t signal) {
  if (signal == MC_SIG_CYCLIC_ABORT) McycleCyclicReset();
  // Switched off or the link gone while a round is out: give its slots back
  // at once, or six of the ten stay taken and the tick never rests.
  const bool linked = (ubMcFlag1 & MC_FLAG1_LINK_ESTABLISHED) && ubCqDataChannel != CQ_LINK_NONE;
  if (ubCyclicDataState == MC_CYCLIC_WAITING && (!(ubMcFlag1 & MC_FLAG1_CYCLIC_MONITOR_ON) || !linked)) {
    McycleCyclicReset();
    return;
  }
  if (!linked || !(ubMcFlag1 & MC_FLAG1_CYCLIC_MONITOR_ON) || !(ubMcFlag2 & MC_FLAG2_CYCLIC_READ_DUE) ||
      (ubMcFlag1 & MC_FLAG1_TRACE_DOWNLOAD_RUNNING) || (ubCqFlag & CQ_FLAG_RAW_TEXT))
    return;
  ubMcFlag2 &= static_cast<uint8_t>(~MC_FLAG2_CYCLIC_READ_DUE);
  McycleUsbLedFlashing();
  if (ubCyclicDataState == MC_CYCLIC_IDLE) StartRound();
  else CollectRound();
}
