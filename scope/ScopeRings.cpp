// The traces' settings as the controller reports them, shown on the main
// panel's rings and menu and on the scope panel's trigger text and menus.
#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "engine/McycleCheckMenu.h"
#include "params/CtrlCmd.h"
#include "scope/scope.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

uint16_t uwScopeMsSampleTime;

namespace {

// Sample-time codes (half milliseconds) in the order of the ring's values
// 1..8 and of the menu items; only the second trace's menu has the ninth.
constexpr uint16_t kSampleTimeCodes[9] = {1, 2, 4, 8, 20, 40, 80, 200, 400};

// Unchecks `count` menu items from `first` and checks the one of `code`
// (doubled for a P0417 target). Returns its position 1..count, 0 for none.
int CheckSampleTime(int panel, int first, int count, uint16_t code) {
  const uint32_t halfMs = (ubMcFlag3 & MC_FLAG3_FW_P0417) ? code * 2u : code;
  int position = 0;
  for (int i = 0; i < count; ++i) {
    PanelSetAttribute(panel, first + i, ATTR_CHECKED, 0);
    if (kSampleTimeCodes[i] == halfMs) position = i + 1;
  }
  if (position) PanelSetAttribute(panel, first + position - 1, ATTR_CHECKED, 1);
  return position;
}

void Check(int item, bool on) { PanelSetAttribute(uwMcScopePanelHandle, item, ATTR_CHECKED, on ? 1 : 0); }

}  // namespace

void McycleSetSampleTimeRing(uint16_t code) {
  const int value = CheckSampleTime(uwMcMainPanelHandle, MAIN_MENU_SAMPLE_0_5, 8, code);
  PanelSetInt(uwMcMainPanelHandle, MAIN_RING_SAMPLE_TIME, value);
}

void McycleSetSampleTime2Ring(uint16_t code) { CheckSampleTime(uwMcScopePanelHandle, SCOPE_MENU_TRACE2_SAMPLE_0_5, 9, code); }

void McycleSetRamtypeRing(uint16_t code) { PanelSetInt(uwMcMainPanelHandle, MAIN_RING_RAMTYPE, code); }

void McycleSetTriggerRing(uint32_t status) {
  if (status & SCOPE_STATUS_BACKWARD)
    PanelSetString(uwMcScopePanelHandle, SCOPE_TXT_TRIGGER, "Backward");
  else if (status & SCOPE_STATUS_FORWARD)
    PanelSetString(uwMcScopePanelHandle, SCOPE_TXT_TRIGGER, "Forward");
}

void McycleSetCheckTrace2Menu(uint16_t sampleTime, uint32_t status) {
  const bool hardware = status & SCOPE_STATUS_HW_TRIGGER;
  Check(SCOPE_MENU_TRACE2_HARDWARE, hardware);
  Check(SCOPE_MENU_TRACE2_MCYCLE, !hardware);
  if (status & SCOPE_STATUS_BACKWARD) McycleSetCheckMenuTrace2(CTRL_CMD_TRIGGER_BACKWARD);
  if (status & SCOPE_STATUS_FORWARD) McycleSetCheckMenuTrace2(CTRL_CMD_TRIGGER_FORWARD);
  McycleSetSampleTime2Ring(sampleTime);
}
