// The first trace's settings as the controller reports them, shown on the
// main panel's rings and menu and the scope panel's trigger text.
#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "scope/scope.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

uint16_t uwScopeMsSampleTime;

namespace {

// Sample-time codes (half milliseconds) in the order of the ring's values
// 1..8 and of the eight menu items.
constexpr uint16_t kSampleTimeCodes[8] = {1, 2, 4, 8, 20, 40, 80, 200};

}  // namespace

void McycleSetSampleTimeRing(uint16_t code) {
  const uint32_t halfMs = (ubMcFlag3 & MC_FLAG3_FW_P0417) ? code * 2u : code;
  int value = 0;
  for (int i = 0; i < 8; ++i) {
    PanelSetAttribute(uwMcMainPanelHandle, MAIN_MENU_SAMPLE_0_5 + i, ATTR_CHECKED, 0);
    if (kSampleTimeCodes[i] == halfMs) value = i + 1;
  }
  PanelSetInt(uwMcMainPanelHandle, MAIN_RING_SAMPLE_TIME, value);
  if (value) PanelSetAttribute(uwMcMainPanelHandle, MAIN_MENU_SAMPLE_0_5 + value - 1, ATTR_CHECKED, 1);
}

void McycleSetRamtypeRing(uint16_t code) { PanelSetInt(uwMcMainPanelHandle, MAIN_RING_RAMTYPE, code); }

void McycleSetTriggerRing(uint32_t status) {
  if (status & 0x10)
    PanelSetString(uwMcScopePanelHandle, SCOPE_TXT_TRIGGER, "Backward");
  else if (status & 0x08)
    PanelSetString(uwMcScopePanelHandle, SCOPE_TXT_TRIGGER, "Forward");
}
