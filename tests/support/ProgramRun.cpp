#include "support/ProgramRun.h"

#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

extern char** environ;

namespace {

std::vector<std::string> Environment(const ProgramRunOptions& o) {
  std::vector<std::string> env;
  auto named = [](const std::string& entry, const std::string& name) { return entry.rfind(name + "=", 0) == 0; };
  for (char** e = environ; *e; ++e) {
    const std::string entry(*e);
    bool drop = false;
    for (const std::string& u : o.unset) drop |= named(entry, u);
    for (const std::string& s : o.set) drop |= named(entry, s.substr(0, s.find('=')));
    if (!drop) env.push_back(entry);
  }
  env.insert(env.end(), o.set.begin(), o.set.end());
  return env;
}

}  // namespace

ProgramRunResult RunStrokeDesk(const ProgramRunOptions& o) {
  using Clock = std::chrono::steady_clock;
  ProgramRunResult r;
  const std::string program = std::string(STROKEDESK_BINARY_DIR) + "/strokedesk";
  std::vector<std::string> args = {program};
  args.insert(args.end(), o.args.begin(), o.args.end());
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> envStore = Environment(o);
  std::vector<char*> env;
  for (std::string& e : envStore) env.push_back(e.data());
  env.push_back(nullptr);

  int out[2], err[2];
  if (::pipe(out) != 0) return r;
  if (::pipe(err) != 0) {
    ::close(out[0]);
    ::close(out[1]);
    return r;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  posix_spawn_file_actions_addclose(&actions, err[0]);
  if (!o.workingDirectory.empty()) posix_spawn_file_actions_addchdir_np(&actions, o.workingDirectory.c_str());
  pid_t pid = 0;
  const auto start = Clock::now();
  const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), env.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  ::close(err[1]);
  if (rc != 0) {
    ::close(out[0]);
    ::close(err[0]);
    return r;
  }

  const auto deadline = start + std::chrono::milliseconds(o.deadlineMs);
  bool signalled = o.signal == 0;
  pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  int open = 2;
  while (open > 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
      r.timedOut = true;
      ::kill(pid, SIGKILL);
      break;
    }
    if (::poll(fds, 2, static_cast<int>(left)) < 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buf[4096];
      const ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
      if (n <= 0) {
        ::close(fds[i].fd);
        fds[i].fd = -1;
        --open;
        continue;
      }
      (i == 0 ? r.out : r.err).append(buf, static_cast<size_t>(n));
    }
    if (!signalled && r.out.find(o.signalAfter) != std::string::npos) {
      ::kill(pid, o.signal);
      signalled = true;
    }
  }
  for (pollfd& f : fds)
    if (f.fd >= 0) ::close(f.fd);
  int status = 0;
  ::waitpid(pid, &status, 0);
  r.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}
