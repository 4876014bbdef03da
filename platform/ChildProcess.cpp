#include "platform/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <time.h>

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
  char sh[] = "/bin/sh", dashC[] = "-c";
  std::vector<char> text(command.begin(), command.end());
  text.push_back('\0');
  char* argv[] = {sh, dashC, text.data(), nullptr};
  return Spawn(sh, argv, nullptr, false, error);
}

bool ChildProcess::StartProgram(const std::string& program, const std::vector<std::string>& args,
                                const std::string& workDir, std::string& error) {
  std::vector<std::vector<char>> texts;
  texts.reserve(args.size() + 1);
  texts.emplace_back(program.begin(), program.end());
  for (const std::string& a : args) texts.emplace_back(a.begin(), a.end());
  std::vector<char*> argv;
  for (auto& t : texts) {
    t.push_back('\0');
    argv.push_back(t.data());
  }
  argv.push_back(nullptr);
  return Spawn(program.c_str(), argv.data(), workDir.empty() ? nullptr : workDir.c_str(),
               program.find('/') == std::string::npos, error);
}

bool ChildProcess::Spawn(const char* program, char* const argv[], const char* workDir, bool searchPath,
                         std::string& error) {
  CollectParked();
  if (pid_ > 0) {
    error = "a command is still running";
    startError_ = EBUSY;
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attr);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  // The child changes directory, never we: other threads rely on ours.
  if (workDir) posix_spawn_file_actions_addchdir_np(&actions, workDir);
  // Its own process group, so it can be ended with everything it started;
  // default signal handling and no blocked signals, whatever ours are.
  sigset_t all, none;
  sigfillset(&all);
  sigemptyset(&none);
  posix_spawnattr_setpgroup(&attr, 0);
  posix_spawnattr_setsigdefault(&attr, &all);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  pid_t pid = -1;
  const int rc = searchPath ? posix_spawnp(&pid, program, &actions, &attr, argv, environ)
                            : posix_spawn(&pid, program, &actions, &attr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) {
    error = std::strerror(rc);
    startError_ = rc;
    return false;
  }
  pid_ = pid;
  return true;
}

bool ChildProcess::Finished(int& exitCode, int* termSignal) {
  CollectParked();
  if (termSignal) *termSignal = 0;
  if (pid_ <= 0) return true;
  int status = 0;
  const pid_t r = waitpid(pid_, &status, WNOHANG);
  if (r == 0 || (r < 0 && errno == EINTR)) return false;
  if (r < 0) {
    exitCode = -1;  // collected elsewhere: nothing more to learn
  } else if (WIFEXITED(status)) {
    exitCode = WEXITSTATUS(status);
  } else {
    const int sig = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    exitCode = 128 + sig;
    if (termSignal) *termSignal = sig;
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

ChildRunResult RunChildProcess(const std::string& program, const std::vector<std::string>& args,
                               const std::string& workDir, uint32_t limitMs, const std::function<void()>& wait) {
  ChildRunResult result;
  ChildProcess child;
  if (!child.StartProgram(program, args, workDir, result.error)) {
    result.code = child.StartError();
    return result;
  }
  timespec start{};
  clock_gettime(CLOCK_MONOTONIC, &start);
  for (;;) {
    int code = 0, sig = 0;
    if (child.Finished(code, &sig)) {
      result.kind = sig ? ChildRunResult::Signalled : ChildRunResult::Exited;
      result.code = sig ? sig : code;
      return result;
    }
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const int64_t elapsedMs = (now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000;
    if (elapsedMs >= limitMs) {
      child.Terminate();
      result.kind = ChildRunResult::TimedOut;
      return result;
    }
    if (wait) wait();
    const timespec pause{0, 2 * 1000 * 1000};
    nanosleep(&pause, nullptr);
  }
}
