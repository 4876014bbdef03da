#include "app/qt/Interactive.h"

#include <string>

#include "app/Startup.h"
#include "comm/ComChannel.h"
#include "comm/udp.h"
#include "engine/Mcycle.h"
#include "engine/Timer.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"
#include "ui/qt/QtPanelHost.h"

namespace {

void LogDirect(const std::string& text) { PanelAppendText(uwMcMainPanelHandle, MAIN_TXTBOX_LOG, text); }

int MainEventCallback(int, int, int event, void*, int, int) {
  if (event == EVENT_CLOSE) {
    InteractiveShutdown();
    PanelQuitEventLoop();
  }
  return 0;
}

}  // namespace

int InteractiveStart(QtPanelHost& host, const InteractiveOptions& options) {
  const int main = host.LoadPanel(PANEL_MAIN);
  if (main <= 0) return -1;
  uwMcMainPanelHandle = static_cast<uint16_t>(main);
  PanelInstallCallback(main, 0, MainEventCallback, nullptr);
  PanelInstallCallback(main, MAIN_TIMER_RAM, MAIN_TIMER_RAM_Callback, nullptr);
  PanelInstallCallback(main, MAIN_RING_COM_CHANNEL, MAIN_RING_COM_CHANNEL_Callback, nullptr);

  TimerInit(options.kithara ? TIMER_SEL_KITHARA : TIMER_SEL_PANEL);
  PanelDisplay(main);
  McycleStateMachine(MC_SIG_START);
  UdpInit();
  // No port items are preset in the ring: list the ports present.
  McycleScanReg();

  const std::string stamp = McycleBuildStamp();
  PanelSetTitle(main, std::string("StrokeDesk - RC7 service tool - StrokeDesk   Rev. ") + SOFTWARE_NUMBER + "    " + stamp);
  LogDirect(std::string("Software Rev. ") + SOFTWARE_NUMBER + "  " + stamp + "\n");
  LogDirect("\n\n");
  PanelSetAttribute(main, MAIN_TIMER_RAM, ATTR_ENABLED, 1);
  return 0;
}

void InteractiveShutdown() {
  TimerClose();
  McycleChannelClose();
}
