// Terms-of-use panel: the program runs only once they are accepted.
#include "app/PanelCallbacks.h"
#include "app/Shutdown.h"
#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "hmi/hmi.h"
#include "ui/Panel.h"

namespace {
void CloseTerms() {
  PanelDiscard(uwMcIntroPanelHandle);
  uwMcIntroPanelHandle = 0;
  ubMcFlag1 &= static_cast<uint8_t>(~MC_FLAG1_TERMS_PENDING);
}
}  // namespace

int INTRO_CMD_ACCEPT_Callback(int, int, int event, void*, int, int) {
  if (event != EVENT_COMMIT) return 0;
  CloseTerms();
  PanelSetDimmed(uwMcMainPanelHandle, false);
  PanelDisplay(uwMcMainPanelHandle);
  return 0;
}

int INTRO_CMD_DISCARD_Callback(int, int, int event, void*, int, int) {
  if (event != EVENT_COMMIT) return 0;
  CloseTerms();
  // The program ends once the operator has read why.
  PanelMessagePopupThen("", "Terms of use not accepted !\nProgram will be terminated.",
                        [] { McycleShutdown(McShutdown::Close); });
  return 0;
}
