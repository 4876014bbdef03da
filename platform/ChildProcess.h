// A child process run and watched without blocking: the engine starts it,
// polls it once per tick and may end it early. RunChildProcess runs one to
// its end within a time limit for callers that wait.
#pragma once
#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

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
  // Runs `program` (searched on the PATH when it holds no '/') with `args`
  // as its arguments, each passed as it is (no shell), in `workDir` (ours
  // when empty; our own current directory never changes). Otherwise as Start.
  bool StartProgram(const std::string& program, const std::vector<std::string>& args, const std::string& workDir,
                    std::string& error);
  // True once the child has ended; exitCode is its exit status, or 128 plus
  // the signal that ended it (`termSignal` then holds it, else 0). Never blocks.
  bool Finished(int& exitCode, int* termSignal = nullptr);
  // Kills the child and everything it started (its process group). A child
  // that is not gone at once is collected by a later call of any function
  // here, so no zombie stays behind. Never blocks.
  void Terminate();
  bool Running() const { return pid_ > 0; }
  // The errno of the last start that failed.
  int StartError() const { return startError_; }

 private:
  bool Spawn(const char* program, char* const argv[], const char* workDir, bool searchPath, std::string& error);
  pid_t pid_ = -1;
  int startError_ = 0;
};

// How a child run to its end came out.
struct ChildRunResult {
  enum Kind { NotStarted, Exited, Signalled, TimedOut } kind = NotStarted;
  int code = 0;        // exit status (Exited), signal number (Signalled), errno (NotStarted)
  std::string error;   // why it did not start (NotStarted)
};

// Runs `program` as StartProgram does and waits at most `limitMs` for its end,
// calling `wait` (when given) between polls so the caller's events go on; a
// child still running at the limit is killed with what it started.
ChildRunResult RunChildProcess(const std::string& program, const std::vector<std::string>& args,
                               const std::string& workDir, uint32_t limitMs, const std::function<void()>& wait);
