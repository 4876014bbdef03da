#include "engine/McycleControls.h"

#include "app/Startup.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/McycleIo.h"
#include "engine/McycleVariant.h"
#include "hmi/hmi.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

namespace {

// Main-panel operations a Quill ram does not have.
constexpr int kQuillInapplicable[] = {MAIN_BIN_SW_MARK, MAIN_CMD_SEEK_POS2};

}  // namespace

void McycleShowOperationControls() {
  const int main = uwMcMainPanelHandle;
  const bool logging = ubCqFlag & CQ_FLAG_RAW_TEXT;
  if (logging) {
    HmiAllButtonDeactive(main);
    HmiButtonActive(main, MAIN_MENU_COM_LOGGING);
  } else {
    HmiAllButtonActive(main);
    if ((ubMcFlag1 & MC_FLAG1_LINK_ESTABLISHED) && McycleIdentifiedVariant() == McFwVariant::Quill)
      for (int c : kQuillInapplicable) HmiButtonDeactive(main, c);
  }
  PanelSetAttribute(main, MAIN_MENU_COM_LOGGING, ATTR_CHECKED, logging ? 1 : 0);
  McycleLamp(MAIN_LED_LOGGING, MC_LAMP_GREEN, logging);
}
