// The program ends in order, with 0, when the desktop asks it to terminate.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>


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
