// A shell command run as a child process and watched without blocking: the
// engine starts it, polls it once per tick and may end it early.
#pragma once
#include <sys/types.h>

#include <string>

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess() { Terminate(); }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Runs "/bin/sh -c <command>" in a process group of its own, input from
  // /dev/null, output to ours. False with a reason in `error` when it could
  // not start (one child at a time: false while one runs).
  bool Start(const std::string& command, std::string& error);
  // True once the child has ended; exitCode is its exit status, or 128 plus
  // the signal that ended it. Never blocks.
  bool Finished(int& exitCode);
  // Kills the child and everything it started (its process group). A child
  // that is not gone at once is collected by a later call of any function
  // here, so no zombie stays behind. Never blocks.
  void Terminate();
  bool Running() const { return pid_ > 0; }

 private:
  pid_t pid_ = -1;
};
