// Entry of the program.
#include <QApplication>
#include <cstdio>
#include <string>

#include "app/qt/Interactive.h"
#include "app/qt/TerminationWatch.h"
#include "app/Startup.h"
#include "ui/Panel.h"
#include "ui/qt/QtPanelHost.h"

int main(int argc, char** argv) {
  InteractiveOptions options;
  for (int i = 1; i < argc; ++i)
    if (std::string(argv[i]) == "-kithara") options.kithara = true;

  QApplication app(argc, argv);
  QApplication::setApplicationName("StrokeDesk");
  QtPanelHost host;
  PanelSetHost(&host);
  if (InteractiveStart(host, options) != 0) {
    std::fprintf(stderr, "strokedesk: a panel could not be loaded\n");
    return -1;
  }
  WatchTerminationSignals([&host] {
    if (QWidget* main = host.PanelWidget(uwMcMainPanelHandle)) main->close();
  });
  const int rc = QApplication::exec();
  InteractiveShutdown();
  PanelSetHost(nullptr);
  return rc;
}
