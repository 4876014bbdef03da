// Starts the panels as the program does, accepts the terms of use and saves a
// picture of the main window as the X server shows it. Run it on a virtual
// display (scripts/screenshot.sh).
#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <string>

#include "app/CommandLine.h"
#include "app/PanelCallbacks.h"
#include "app/PanelStartup.h"
#include "app/Shutdown.h"
#include "app/Startup.h"
#include "platform/Paths.h"
#include "ui/Panel.h"
#include "ui/qt/QtPanelHost.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <output.png>\n", argv[0]);
    return 2;
  }
  const QString output = QString::fromLocal8Bit(argv[1]);
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  QtPanelHost host;
  PanelSetHost(&host);
  std::string why;
  if (McycleStartPanels(McStartOptions{}, ProgramDirectory(), why) != 0) {
    std::fprintf(stderr, "%s\n", why.c_str());
    return 1;
  }
  INTRO_CMD_ACCEPT_Callback(uwMcIntroPanelHandle, INTRO_CMD_ACCEPT, EVENT_COMMIT, nullptr, 0, 0);
  int rc = 1;
  QTimer::singleShot(1500, [&] {
    QWidget* main = host.PanelWidget(uwMcMainPanelHandle);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (main && screen) {
      const QRect frame = main->frameGeometry();
      const QPixmap shot = screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
      rc = shot.save(output) ? 0 : 1;
    }
    McycleShutdown(McShutdown::Close);
  });
  QApplication::exec();
  PanelSetHost(nullptr);
  if (rc != 0) std::fprintf(stderr, "no picture saved\n");
  return rc;
}
