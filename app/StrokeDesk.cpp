// Entry of the program: interactive mode with panels, or batch mode without.
#include <QApplication>
#include <QMainWindow>
#include <cstdio>
#include <string>

#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "engine/Timer.h"
#include "hmi/hmi.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"
#include "ui/qt/QtPanelHost.h"

namespace {

void LogDirect(const std::string& text) { PanelAppendText(uwMcMainPanelHandle, MAIN_TXTBOX_LOG, text); }

int MainEventCallback(int, int, int event, void*, int, int) {
  if (event == EVENT_CLOSE) {
    TimerClose();
    PanelQuitEventLoop();
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  bool kithara = false;
  for (int i = 1; i < argc; ++i)
    if (std::string(argv[i]) == "-kithara") kithara = true;

  QApplication app(argc, argv);
  QApplication::setApplicationName("StrokeDesk");
  QtPanelHost host;
  PanelSetHost(&host);

  const int main = host.LoadPanel(PANEL_MAIN);
  if (main <= 0) {
    std::fprintf(stderr, "strokedesk: the main panel could not be loaded\n");
    return -1;
  }
  uwMcMainPanelHandle = static_cast<uint16_t>(main);
  PanelInstallCallback(main, 0, MainEventCallback, nullptr);
  PanelInstallCallback(main, MAIN_TIMER_RAM, MAIN_TIMER_RAM_Callback, nullptr);

  TimerInit(kithara ? TIMER_SEL_KITHARA : TIMER_SEL_PANEL);
  PanelDisplay(main);
  McycleStateMachine(MC_SIG_START);

  const std::string stamp = McycleBuildStamp();
  PanelSetTitle(main, std::string("StrokeDesk - RC7 service tool - StrokeDesk   Rev. ") + SOFTWARE_NUMBER + "    " + stamp);
  LogDirect(std::string("Software Rev. ") + SOFTWARE_NUMBER + "  " + stamp + "\n");
  LogDirect("\n\n");
  PanelSetAttribute(main, MAIN_TIMER_RAM, ATTR_ENABLED, 1);

  const int rc = app.exec();
  TimerClose();
  PanelSetHost(nullptr);
  return rc;
}
