#include "platform/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <vector>

extern char** environ;

namespace {

// Killed children not yet collected. Never destroyed: a ChildProcess of
// static storage may still park its child while the program exits.
std::mutex& parkedLock = *new std::mutex;
std::vector<pid_t>& parked = *new std::vector<pid_t>;

void CollectParked() {
  std::lock_guard<std::mutex> g(parkedLock);
  for (auto it = parked.begin(); it != parked.end();) {
    const pid_t r = waitpid(*it, nullptr, WNOHANG);
    if (r == *it || (r < 0 && errno == ECHILD)) it = parked.erase(it);
    else ++it;
  }
}

}  // namespace

bool ChildProcess::Start(const std::string& command, std::string& error) {
  CollectParked();
  if (pid_ > 0) {
    error = "a command is still running";
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attr);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  // Its own process group, so it can be ended with everything it started;
  // default signal handling and no blocked signals, whatever ours are.
  sigset_t all, none;
  sigfillset(&all);
  sigemptyset(&none);
  posix_spawnattr_setpgroup(&attr, 0);
  posix_spawnattr_setsigdefault(&attr, &all);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  char sh[] = "/bin/sh", dashC[] = "-c";
  std::vector<char> text(command.begin(), command.end());
  text.push_back('\0');
  char* argv[] = {sh, dashC, text.data(), nullptr};
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, sh, &actions, &attr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) {
    error = std::strerror(rc);
    return false;
  }
  pid_ = pid;
  return true;
}

bool ChildProcess::Finished(int& exitCode) {
  CollectParked();
  if (pid_ <= 0) return true;
  int status = 0;
  const pid_t r = waitpid(pid_, &status, WNOHANG);
  if (r == 0 || (r < 0 && errno == EINTR)) return false;
  if (r < 0) {
    exitCode = -1;  // collected elsewhere: nothing more to learn
  } else if (WIFEXITED(status)) {
    exitCode = WEXITSTATUS(status);
  } else {
    exitCode = 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  }
  pid_ = -1;
  return true;
}

void ChildProcess::Terminate() {
  CollectParked();
  if (pid_ <= 0) return;
  kill(-pid_, SIGKILL);
  if (waitpid(pid_, nullptr, WNOHANG) != pid_) {
    std::lock_guard<std::mutex> g(parkedLock);
    parked.push_back(pid_);
  }
  pid_ = -1;
}
