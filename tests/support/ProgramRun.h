// Runs the real program (build/strokedesk) as a child for end-to-end tests:
// with its own environment, reading its standard output as it comes, able to
// send a signal once the output shows a given text, and killed after a
// deadline so a hanging program fails its test instead of the suite.
#pragma once
#include <csignal>
#include <string>
#include <vector>

struct ProgramRunOptions {
  std::vector<std::string> args;
  // Variables set (NAME=value) and removed (NAME) on top of the test's own.
  std::vector<std::string> set;
  std::vector<std::string> unset = {"DISPLAY", "WAYLAND_DISPLAY"};
  std::string workingDirectory;  // empty: the test's
  // Once stdout contains `signalAfter`, send `signal` (0: never).
  std::string signalAfter;
  int signal = 0;
  // Killed (SIGKILL) when it runs longer than this.
  int deadlineMs = 30000;
};

struct ProgramRunResult {
  int exitCode = -1;  // -1: killed at the deadline or by a signal
  bool timedOut = false;
  std::string out;
  std::string err;
  double seconds = 0;  // from start to exit
};

ProgramRunResult RunStrokeDesk(const ProgramRunOptions& options);
