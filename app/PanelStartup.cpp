#include "app/PanelStartup.h"

#include <cstring>

#include "app/HelpText.h"
#include "app/IniFile.h"
#include "app/ModuleHooks.h"
#include "app/PanelCallbacks.h"
#include "app/ScopeMenu.h"
#include "app/Shutdown.h"
#include "app/Startup.h"
#include "app/SystemInfo.h"
#include "engine/Mcycle.h"
#include "engine/Timer.h"
#include "hmi/hmi.h"
#include "macro/macro_hmi.h"
#include "params/ParameterPanel.h"
#include "scope/ScopePanel.h"
#include "scope/Scope_hmi.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

const McPanelSlot kMcPanels[20] = {
    {PANEL_MAIN, &uwMcMainPanelHandle},
    {PANEL_INTRO, &uwMcIntroPanelHandle},
    {PANEL_SCOPE, &uwMcScopePanelHandle},
    {PANEL_DOWNLOAD, &uwMcDownloadPanelHandle},
    {PANEL_PARM_SAVE, &uwMcParmSavePanelHandle},
    {PANEL_PARAMETER, &uwMcParameterPanelHandle},
    {PANEL_EXT_PARAMETER, &uwMcExtParameterPanelHandle},
    {PANEL_RAMTYPE, &uwMcRamtypePanelHandle},
    {PANEL_EVALUATION, &uwMcEvaluationPanelHandle},
    {PANEL_CONFIG, &uwMcConfigPanelHandle},
    {PANEL_TRACE_INFO, &uwMcTraceInfoPanelHandle},
    {PANEL_ABOUT, &uwMcAboutPanelHandle},
    {PANEL_SCOPE_INFO, &uwMcScopeInfoPanelHandle},
    {PANEL_MACRO, &uwMcMacroPanelHandle},
    {PANEL_MACRO_WIZARD, &uwMcWizardPanelHandle},
    {PANEL_MACRO_LOAD, &uwMcMacroLoadPanelHandle},
    {PANEL_SCOPE_COMMENT, &uwMcScopeCommentPanelHandle},
    {PANEL_HELP, &uwMcHelpPanelHandle},
    {PANEL_SAVE, &uwMcSavePanelHandle},
    {PANEL_MACRO_TEST, &uwMcMacroTestPanelHandle},
};

namespace {

char macPathBuffer[MAC_PATH_BUFFER_SIZE];

bool Load(const McPanelSlot& slot, std::string& why) {
  const int handle = PanelLoad(slot.resource);
  if (handle <= 0 || handle > 0xFFFF) {
    why = "panel resource " + std::to_string(slot.resource) + " could not be loaded";
    return false;
  }
  *slot.handle = static_cast<uint16_t>(handle);
  return true;
}

void InstallPanelCallbacks() {
  PanelInstallCallback(uwMcHelpPanelHandle, 0, HelpEventCallback, nullptr);
  PanelInstallCallback(uwMcAboutPanelHandle, 0, AboutEventCallback, nullptr);
  PanelInstallCallback(uwMcIntroPanelHandle, INTRO_CMD_ACCEPT, INTRO_CMD_ACCEPT_Callback, nullptr);
  PanelInstallCallback(uwMcIntroPanelHandle, INTRO_CMD_DISCARD, INTRO_CMD_DISCARD_Callback, nullptr);
  PanelInstallCallback(uwMcRamtypePanelHandle, RTYPE_CMD_OK, RTYPE_CMD_OK_Callback, nullptr);
  for (int c : {CONF_CMD_READ, CONF_CMD_WRITE, CONF_CMD_CLOSE})
    PanelInstallCallback(uwMcConfigPanelHandle, c, CMD_CONF_Callback, nullptr);
  PanelInstallCallback(uwMcTraceInfoPanelHandle, TRACE_INFO_CMD_OK, CMD_TRACE_INFO_Callback, nullptr);
  PanelInstallCallback(uwMcEvaluationPanelHandle, EVAL_CMD_COPY_LOG, CMD_COPY_LOG_Callback, nullptr);
  PanelInstallCallback(uwMcEvaluationPanelHandle, EVAL_CMD_EXIT, EVAL_CMD_EXIT_Callback, nullptr);
  ScopeHmiInstallCallbacks();
  ParmPanelsSetUp();
  ScopePanelsSetUp();
  ScopeMenuSetUp();
  MacroPanelSetUp();
}

}  // namespace

int McycleStartPanels(const McStartOptions& options, const std::string& iniSearchDirectory, std::string& why) {
  McycleShutdownReset();
  // 3. The main panel, its rings and callbacks.
  if (!Load(kMcPanels[0], why)) return -1;
  const int main = uwMcMainPanelHandle;
  MainPanelSetUp(main);

  // 4. The cycle timer: the real-time timer on request, else the panel's.
  TimerInit(options.kithara ? TIMER_SEL_KITHARA : TIMER_SEL_PANEL);

  // 5. A small screen gets a small main panel.
  int width = 0, height = 0;
  const bool small = PanelGetScreenSize(width, height) && height <= 600 && width <= 800;
  if (small) {
    PanelSetAttribute(main, 0, ATTR_HEIGHT, 448);
    PanelSetAttribute(main, 0, ATTR_WIDTH, 437);
  } else {
    PanelCenter(main);
  }

  // 6. Shown, but dimmed until the terms of use are accepted.
  ubMcFlag1 |= MC_FLAG1_TERMS_PENDING;
  PanelDisplay(main);
  PanelSetDimmed(main, true);

  // 7. The other panels, in order.
  for (size_t i = 1; i < sizeof kMcPanels / sizeof kMcPanels[0]; ++i) {
    if (!Load(kMcPanels[i], why)) return -1;
    if (kMcPanels[i].resource == PANEL_INTRO) iStMaComChan = 0;
  }

  // 9. Trace display defaults.
  if (mcModuleHooks.scopeInit) mcModuleHooks.scopeInit();

  // 10. The engine's start step (no tick may run meanwhile), then "-tmout:".
  TimerStop();
  McycleStateMachine(MC_SIG_START);
  McycleApplyAfterStartStep(options);
  TimerStart();

  // 11. Ethernet transport; the channel ring lists the serial ports present
  // (no port items are preset in the ring).
  if (mcModuleHooks.udpInit) mcModuleHooks.udpInit();
  if (mcModuleHooks.scanSerialPorts) mcModuleHooks.scanSerialPorts();

  // 12. The scope panel follows the screen size too.
  if (small) {
    PanelSetAttribute(uwMcScopePanelHandle, 0, ATTR_HEIGHT, 528);
    PanelSetAttribute(uwMcScopePanelHandle, 0, ATTR_WIDTH, 645);
  } else {
    PanelCenter(uwMcScopePanelHandle);
  }

  // 13. The manual is not offered.
  PanelSetAttribute(main, MAIN_MENU_MANUAL, ATTR_DIMMED, 1);

  // 14. Callbacks of the other panels.
  InstallPanelCallbacks();

  // 15. Title and version.
  const std::string stamp = McycleBuildStamp();
  PanelSetTitle(main, McycleMainTitle());
  PanelSetString(uwMcAboutPanelHandle, ABOUT_TXT_VERSION, std::string("Rev. ") + SOFTWARE_NUMBER + "    " + stamp);

  // 16. Start banner.
  HmiLogDirect(std::string("Software Rev. ") + SOFTWARE_NUMBER + "  " + stamp + "\n");
  WriteSystemInformation();
  HmiLogDirect("\n\n");
  for (const std::string& warning : options.warnings) HmiLogDirect(warning + "\n");

  // 17. The initialisation file.
  McycleReadIniFile(McycleIniDirectory(iniSearchDirectory).c_str());

  // 18. The macro path buffer.
  std::memset(macPathBuffer, 0, sizeof macPathBuffer);
  ubPtrMacPath = macPathBuffer;

  // 20. Legend colours of the analog channels.
  McycleSetLegendColours(false);

  // 21. The terms of use.
  PanelDisplay(uwMcIntroPanelHandle);

  // 22. "-com_check": list the serial ports.
  if ((ubMcFlag5 & MC_FLAG5_SCAN_PORTS_AT_START) && mcModuleHooks.scanSerialPorts) mcModuleHooks.scanSerialPorts();

  // 23. The check item whose signals the engine ignores goes; the evaluation
  // panel's expert fields show only in expert mode.
  PanelSetAttribute(main, MAIN_MENU_RESERVED_CHECK, ATTR_VISIBLE, 0);
  if (!(ubMcFlag2 & MC_FLAG2_EXPERT_MODE))
    for (int c = EVAL_EXPERT_FIRST; c < EVAL_EXPERT_FIRST + EVAL_EXPERT_COUNT; ++c)
      PanelSetAttribute(uwMcEvaluationPanelHandle, c, ATTR_VISIBLE, 0);

  // 24. Help text.
  PanelSetString(uwMcHelpPanelHandle, HELP_TXTBOX, McycleHelpPanelText());

  // 25. The periodic check.
  PanelSetAttribute(main, MAIN_TIMER_RAM, ATTR_ENABLED, 1);
  return 0;
}
