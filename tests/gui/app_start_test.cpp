// The program ends in order, with 0, when the desktop asks it to terminate.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>


TEST(AppStart, ProgramStartsAndEndsWithZeroOnTerminate) {
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    execl(STROKEDESK_BINARY_DIR "/strokedesk", "strokedesk", static_cast<char*>(nullptr));
    _exit(127);
  }
  // Wait (bounded) until the program catches SIGTERM: its handler is in place
  // once the main panel runs.
  bool catching = false;
  for (int i = 0; i < 400 && !catching; ++i) {
    usleep(50 * 1000);
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
      if (line.rfind("SigCgt:", 0) == 0) catching = (std::stoull(line.substr(7), nullptr, 16) >> (SIGTERM - 1)) & 1;
  }
  ASSERT_TRUE(catching);
  kill(pid, SIGTERM);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status)) << "signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}
