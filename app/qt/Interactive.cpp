#include "app/qt/Interactive.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/PanelStartup.h"
#include "app/Shutdown.h"
#include "app/PanelCallbacks.h"
#include "app/Startup.h"
#include "app/qt/TerminationWatch.h"
#include "engine/Timer.h"
#include "platform/Paths.h"
#include "ui/Panel.h"
#include "ui/qt/QtPanelHost.h"

namespace {

// Qt aborts the process when it cannot reach a display; say why instead.
bool DisplayAvailable(int argc, char** argv) {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
    if (const char* v = std::getenv(name); v && *v) return true;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "-platform") == 0) return true;
  return false;
}

}  // namespace

int InteractiveRun(int argc, char** argv, const McStartOptions& options) {
  if (!DisplayAvailable(argc, argv)) {
    std::fprintf(stderr, "strokedesk: no display to show the panels on (DISPLAY is not set); "
                         "use -batch to run a script without panels\n");
    return -1;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("StrokeDesk");
  // The desktop matches the windows with the package's desktop entry (and its icon).
  QGuiApplication::setDesktopFileName("org.strokedesk.StrokeDesk");
  // Closing a panel never ends the program; the main panel's close does.
  QApplication::setQuitOnLastWindowClosed(false);
  QtPanelHost host;
  PanelSetHost(&host);
  std::string why;
  if (McycleStartPanels(options, ProgramDirectory(), why) != 0) {
    std::fprintf(stderr, "strokedesk: %s\n", why.c_str());
    TimerClose();
    PanelSetHost(nullptr);
    return -1;
  }
  // The desktop's terminate request closes the main panel as the operator would.
  WatchTerminationSignals([] { EventCallback(uwMcMainPanelHandle, 0, EVENT_CLOSE, nullptr, 0, 0); });
  QApplication::exec();
  McycleShutdown(McShutdown::Close);  // when the loop ended some other way
  PanelDiscard(uwMcMainPanelHandle);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // no loop runs to do it
  PanelSetHost(nullptr);
  return 0;
}
