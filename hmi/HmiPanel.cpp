// Operator helpers over the panel layer: message boxes and dimming.
#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "hmi/hmi.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

const uint16_t kHmiOperationControls[HMI_OPERATION_CONTROL_COUNT] = {
    MAIN_CMD_HOME,         MAIN_CMD_SEEK_POS1,        MAIN_CMD_SEEK_POS2,       MAIN_CMD_PUNCH,
    MAIN_CMD_RUN_SCRIPT,   MAIN_BIN_SW_MARK,          MAIN_BIN_SW_UDSEL_INHIBIT, MAIN_BIN_SW_PRESSURE_MON,
    MAIN_RING_SAMPLE_TIME, MAIN_RING_RAMTYPE,         MAIN_TXT_CMDLINE,         MAIN_MENU_RUN_SCRIPT,
    MAIN_MENU_LINK_TEST,   MAIN_MENU_COM_LOGGING,     MAIN_MENU_DATE_TIME,      MAIN_MENU_MACRO_UPLOAD,
    MAIN_MENU_COMMANDS,    MAIN_MENU_TRACE,           MAIN_MENU_SOFT,
};

void HmiLogDirect(const std::string& text) {
  // Without panels (batch mode) the text goes to standard output, in order
  // with every other message.
  if (ubMcFlag3 & MC_FLAG3_BATCH_MODE) HmiLogWindowOut(text.c_str(), uwMcMainPanelHandle, HI_PRIO_TEXT, MAIN_TXTBOX_LOG);
  else PanelAppendText(uwMcMainPanelHandle, MAIN_TXTBOX_LOG, text);
}

bool HmiYesNoMessageBox(const char* title, const char* message) {
  return PanelConfirmPopup(title ? title : "", message ? message : "");
}

bool HmiOkMessageBox(const char* title, const char* message) {
  if (!PanelGetHost()) return true;
  PanelMessagePopup(title ? title : "", message ? message : "");
  return false;
}

void HmiButtonActive(uint16_t panel, uint16_t control) { PanelSetAttribute(panel, control, ATTR_DIMMED, 0); }
void HmiButtonDeactive(uint16_t panel, uint16_t control) { PanelSetAttribute(panel, control, ATTR_DIMMED, 1); }

void HmiAllButtonActive(uint16_t panel) {
  for (uint16_t control : kHmiOperationControls) HmiButtonActive(panel, control);
}

void HmiAllButtonDeactive(uint16_t panel) {
  for (uint16_t control : kHmiOperationControls) HmiButtonDeactive(panel, control);
}

void HmiDeleteTextBoxLine(uint16_t panel, uint16_t control) { PanelDeleteLastLine(panel, control); }
