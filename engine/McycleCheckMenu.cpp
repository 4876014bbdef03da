#include "engine/McycleCheckMenu.h"

#include "app/Startup.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

namespace {

// One choice of a group: the command-list entry and what shows it.
struct Member {
  uint8_t command;
  int mainItem;   // main menu item, 0 none
  int scopeItem;  // scope panel menu item, 0 none
};

// Mutually exclusive choices; a switch of the main panel shows the first
// member's state where there is one.
struct Group {
  Member members[3];
  int count;
  int switchControl;
};

constexpr Group kGroups[] = {
    {{{6, MAIN_MENU_PRESS_ON, 0}, {7, MAIN_MENU_PRESS_OFF, 0}}, 2, 0},
    {{{8, MAIN_MENU_HOVER_ON, 0}, {9, MAIN_MENU_HOVER_OFF, 0}}, 2, 0},
    {{{10, MAIN_MENU_MARK_ON, 0}, {11, MAIN_MENU_MARK_OFF, 0}}, 2, MAIN_BIN_SW_MARK},
    {{{20, 0, 0}, {21, 0, 0}}, 2, MAIN_BIN_SW_UDSEL_INHIBIT},
    {{{33, 0, 0}, {34, 0, 0}}, 2, MAIN_BIN_SW_PRESSURE_MON},
    {{{38, MAIN_MENU_JOG_ON, 0}, {39, MAIN_MENU_JOG_OFF, 0}}, 2, 0},
    {{{28, MAIN_MENU_CYCLE_BASIC, 0}, {29, MAIN_MENU_CYCLE_FORM2, 0}, {30, MAIN_MENU_CYCLE_FORM3, 0}}, 3, 0},
    {{{18, MAIN_MENU_TRIGGER_BACKWARD, SCOPE_MENU_TRACE1_BACKWARD},
      {19, MAIN_MENU_TRIGGER_FORWARD, SCOPE_MENU_TRACE1_FORWARD}},
     2,
     0},
    {{{22, MAIN_MENU_TRIGGER_BACKWARD, SCOPE_MENU_TRACE1_BACKWARD},
      {23, MAIN_MENU_TRIGGER_FORWARD, SCOPE_MENU_TRACE1_FORWARD}},
     2,
     0},
    {{{24, MAIN_MENU_TRIGGER_MCYCLE, SCOPE_MENU_TRACE1_MCYCLE},
      {25, MAIN_MENU_TRIGGER_HARDWARE, SCOPE_MENU_TRACE1_HARDWARE}},
     2,
     0},
    {{{26, MAIN_MENU_TRACE_FREEZE, SCOPE_MENU_TRACE1_FREEZE},
      {27, MAIN_MENU_TRACE_UNFREEZE, SCOPE_MENU_TRACE1_UNFREEZE}},
     2,
     0},
};

constexpr Group kTrace2Groups[] = {
    {{{22, 0, SCOPE_MENU_TRACE2_BACKWARD}, {23, 0, SCOPE_MENU_TRACE2_FORWARD}}, 2, 0},
    {{{24, 0, SCOPE_MENU_TRACE2_MCYCLE}, {25, 0, SCOPE_MENU_TRACE2_HARDWARE}}, 2, 0},
};

void Check(int panel, int item, bool on) {
  if (item) PanelSetAttribute(panel, item, ATTR_CHECKED, on ? 1 : 0);
}

template <size_t N>
void CheckIn(const Group (&groups)[N], uint8_t command) {
  for (const Group& g : groups)
    for (int i = 0; i < g.count; ++i) {
      if (g.members[i].command != command) continue;
      for (int k = 0; k < g.count; ++k) {
        Check(uwMcMainPanelHandle, g.members[k].mainItem, k == i);
        Check(uwMcScopePanelHandle, g.members[k].scopeItem, k == i);
      }
      if (g.switchControl) PanelSetInt(uwMcMainPanelHandle, g.switchControl, i == 0 ? 1 : 0);
      return;
    }
}

}  // namespace

void McycleSetCheckMenu(uint8_t command) { CheckIn(kGroups, command); }

void McycleSetCheckMenuTrace2(uint8_t command) { CheckIn(kTrace2Groups, command); }

void McycleSetCheckTraceMenu(int trace, uint32_t modeWord) {
  if (trace == 1) {
    McycleSetCheckMenu((modeWord & 0x10) ? 22 : 23);
    McycleSetCheckMenu((modeWord & 0x01) ? 25 : 24);
    McycleSetCheckMenu((modeWord & 0x20) ? 26 : 27);
    return;
  }
  McycleSetCheckMenuTrace2((modeWord & 0x10) ? 22 : 23);
  McycleSetCheckMenuTrace2((modeWord & 0x01) ? 25 : 24);
  Check(uwMcScopePanelHandle, SCOPE_MENU_TRACE2_FREEZE, modeWord & 0x20);
  Check(uwMcScopePanelHandle, SCOPE_MENU_TRACE2_UNFREEZE, !(modeWord & 0x20));
}

void McycleSetStatusBoxes(uint16_t mode1) {
  PanelSetInt(uwMcMainPanelHandle, MAIN_CHK_STATUS_BIT11, (mode1 & 0x0800) ? 1 : 0);
  McycleSetCheckMenu((mode1 & 0x0001) ? 20 : 21);
}

void McycleSetModeWordControls(uint16_t mode0, uint16_t mode1, bool p0417, bool quill) {
  McycleSetCheckMenu((mode1 & 0x0001) ? 20 : 21);
  McycleSetCheckMenu((mode0 & 0x8000) ? 30 : (mode0 & 0x0020) ? 29 : 28);
  PanelSetAttribute(uwMcMainPanelHandle, MAIN_BIN_SW_PRESSURE_MON, ATTR_DIMMED, p0417 ? 1 : 0);
  if (!p0417) McycleSetCheckMenu((mode1 & 0x0040) ? 33 : 34);
  if (quill) PanelSetInt(uwMcMainPanelHandle, MAIN_CHK_STATUS_BIT11, (mode1 & 0x0800) ? 1 : 0);
  McycleSetCheckMenu((mode0 & 0x2000) ? 10 : 11);
  McycleSetCheckMenu((mode0 & 0x4000) ? 8 : 9);
}
