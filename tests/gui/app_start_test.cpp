// Interactive start-up: the main window shows the banner and closes cleanly.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTest>

#include "app/Startup.h"
#include "app/qt/Interactive.h"
#include "engine/Timer.h"
#include "hmi/hmi.h"
#include "ui/qt/QtPanelHost.h"

TEST(AppStart, MainWindowShowsTheBannerAndTheTickDrainsTheLog) {
  QtPanelHost host;
  PanelSetHost(&host);
  ASSERT_EQ(InteractiveStart(host, {}), 0);
  auto* log = qobject_cast<QPlainTextEdit*>(host.ControlWidget(uwMcMainPanelHandle, MAIN_TXTBOX_LOG));
  ASSERT_NE(log, nullptr);
  EXPECT_TRUE(log->toPlainText().startsWith("Software Rev. S0712-22  "));

  HmiLogWindowOut("queued line", uwMcMainPanelHandle, 0, MAIN_TXTBOX_LOG);
  QElapsedTimer t;
  t.start();
  while (!log->toPlainText().contains("queued line\n") && t.elapsed() < 5000) QTest::qWait(5);
  EXPECT_TRUE(log->toPlainText().contains("queued line\n"));

  // Closing the window shuts the engine down and ends the event loop.
  host.PanelWidget(uwMcMainPanelHandle)->close();
  EXPECT_EQ(ubTimerSel, 0);
  PanelSetHost(nullptr);
}

TEST(AppStart, ProgramStartsAndEndsWithZeroOnTerminate) {
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    execl(STROKEDESK_BINARY_DIR "/strokedesk", "strokedesk", static_cast<char*>(nullptr));
    _exit(127);
  }
  usleep(800 * 1000);
  kill(pid, SIGTERM);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status)) << "signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}
