#include "support/SimProcess.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "engine/Mcycle.h"

extern char** environ;

namespace {
int journalCounter;
}

SimProcess::SimProcess(const std::vector<std::string>& options) {
  journal_ = "/tmp/rc7sim-journal-" + std::to_string(::getpid()) + "-" + std::to_string(++journalCounter) + ".txt";
  std::remove(journal_.c_str());
  std::vector<std::string> args = {std::string(STROKEDESK_BINARY_DIR) + "/rc7sim", "--journal", journal_,
                                   "--lifetime", "120"};
  args.insert(args.end(), options.begin(), options.end());
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  int out[2];
  if (::pipe(out) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  const int rc = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  if (rc != 0) {
    pid_ = -1;
    ::close(out[0]);
    return;
  }
  std::string text;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < end && text.find("ready\n") == std::string::npos) {
    pollfd p{out[0], POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    char buf[256];
    const ssize_t n = ::read(out[0], buf, sizeof buf);
    if (n <= 0) break;
    text.append(buf, static_cast<size_t>(n));
  }
  ::close(out[0]);
  ready_ = text.find("ready\n") != std::string::npos;
  auto field = [&](const std::string& key) {
    const size_t at = text.find(key + " ");
    if (at == std::string::npos) return std::string();
    const size_t from = at + key.size() + 1;
    return text.substr(from, text.find('\n', from) - from);
  };
  pty1_ = field("pty1");
  pty4_ = field("pty4");
}

SimProcess::~SimProcess() {
  Stop(SIGTERM);
  std::remove(journal_.c_str());
}

void SimProcess::Kill() { Stop(SIGKILL); }

void SimProcess::Stop(int signal) {
  if (pid_ <= 0) return;
  ::kill(pid_, signal);
  int status = 0;
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
}

std::vector<std::string> SimProcess::Journal() const {
  std::vector<std::string> lines;
  std::ifstream in(journal_);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

ScopedEnv::ScopedEnv(const std::string& name, const std::string& value) : name_(name) {
  ::setenv(name.c_str(), value.c_str(), 1);
}

ScopedEnv::~ScopedEnv() { ::unsetenv(name_.c_str()); }

void TickPaced() {
  McycleTimerCallback();
  std::this_thread::sleep_for(std::chrono::milliseconds(2));
}
