// Ram-type panel: shown after connecting, acknowledged with its OK button.
#include <string>

#include "app/PanelCallbacks.h"
#include "app/Ramtype.h"
#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

void McycleOpenRamtypePanel(uint16_t ramtype) {
  const std::string name = McycleRamtypeText(ramtype);
  PanelSetString(uwMcRamtypePanelHandle, RTYPE_TXT_TITLE, "Ramtype " + name);
  PanelSetString(uwMcRamtypePanelHandle, RTYPE_TXTBOX_MESSAGE,
                 "Ramtype " + name + " has been found.\n" + "After power up you must set the correct ramtype!\n" +
                     "Attention: Setting a new Ramtype will clear the status!");
  ubMcFlag2 |= MC_FLAG2_RAMTYPE_PANEL_OPEN;
  PanelSetDimmed(uwMcMainPanelHandle, true);
  PanelDisplay(uwMcRamtypePanelHandle);
}

int RTYPE_CMD_OK_Callback(int, int, int event, void*, int, int) {
  if (event != EVENT_COMMIT) return 0;
  PanelHide(uwMcRamtypePanelHandle);
  ubMcFlag2 &= static_cast<uint8_t>(~MC_FLAG2_RAMTYPE_PANEL_OPEN);
  PanelSetDimmed(uwMcMainPanelHandle, false);
  PanelDisplay(uwMcMainPanelHandle);
  PanelSetInt(uwMcMainPanelHandle, MAIN_BIN_SW_POS_MON_ON, 1);
  MAIN_BIN_SW_POS_MON_ON_Callback(uwMcMainPanelHandle, MAIN_BIN_SW_POS_MON_ON, EVENT_COMMIT, nullptr, 0, 0);
  ubMcFlag4 &= static_cast<uint8_t>(~MC_FLAG4_RAMTYPE_UNACKNOWLEDGED);
  PanelSetWaitCursor(false);
  return 0;
}
