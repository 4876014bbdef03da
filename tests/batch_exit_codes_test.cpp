// The program as a whole from the command line: exit codes and where the
// messages go.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

namespace {

struct ProgramRun {
  int exitCode = -1;
  std::string out, err;
};

std::string ReadAll(int fd) {
  std::string s;
  char buf[4096];
  ssize_t n;
  while ((n = read(fd, buf, sizeof buf)) > 0) s.append(buf, static_cast<size_t>(n));
  close(fd);
  return s;
}

// Runs the program with `args`; `unset` names environment variables to drop.
ProgramRun RunProgram(const std::vector<std::string>& args, const std::vector<std::string>& unset = {}) {
  const std::string program = std::string(STROKEDESK_BINARY_DIR) + "/strokedesk";
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<std::string> envStore;
  for (char** e = environ; *e; ++e) {
    const std::string entry(*e);
    bool drop = false;
    for (const auto& u : unset) drop |= entry.rfind(u + "=", 0) == 0;
    if (!drop) envStore.push_back(entry);
  }
  std::vector<char*> env;
  for (auto& e : envStore) env.push_back(e.data());
  env.push_back(nullptr);

  int out[2], err[2];
  if (pipe(out) != 0 || pipe(err) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  posix_spawn_file_actions_addclose(&actions, err[0]);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), env.data());
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  close(err[1]);
  ProgramRun r;
  if (rc != 0) return r;
  r.out = ReadAll(out[0]);
  r.err = ReadAll(err[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

TEST(BatchExitCodesTest, RejectedCommandLinesSayWhyAndExitWithTwo) {
  const std::vector<std::vector<std::string>> lines = {
      {"-batch", "-dc", "com"},
      {"-batch", "-dc", "com", "42"},
      {"-batch", "-dc", "com", "three"},
      {"-batch", "-script"},
      {"-batch", "-script", std::string(300, 'x')},
  };
  for (const auto& args : lines) {
    const ProgramRun r = RunProgram(args);
    EXPECT_EQ(r.exitCode, 2) << args.back().substr(0, 20);
    EXPECT_NE(r.err.find("strokedesk: "), std::string::npos);
    EXPECT_NE(r.err.find("usage: "), std::string::npos);
    EXPECT_TRUE(r.out.empty());
  }
}

TEST(BatchExitCodesTest, ABatchEndsByItselfAndItsMessagesReachStdout) {
  const ProgramRun r = RunProgram({"-batch", "-dc", "ipv4", "-script", "Plan.scr", "-TMOUT:x"}, {"DISPLAY"});
  // No controller address (or, with one in StrokeDesk.ini, no such script):
  // the batch fails, says why on stdout and exits with 1.
  EXPECT_EQ(r.exitCode, 1);
  const auto endsWith = [&](const std::string& tail) {
    return r.out.size() >= tail.size() && r.out.compare(r.out.size() - tail.size(), tail.size(), tail) == 0;
  };
  EXPECT_TRUE(endsWith("Com Channel error, not open\n") || endsWith("Can't open File\n")) << r.out;
  EXPECT_NE(r.err.find("-TMOUT:x ignored"), std::string::npos);
}

TEST(BatchExitCodesTest, WithoutADisplayTheInteractiveProgramSaysWhy) {
  const ProgramRun r = RunProgram({}, {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"});
  EXPECT_EQ(r.exitCode, 255);  // main returned -1
  EXPECT_NE(r.err.find("no display"), std::string::npos);
}

}  // namespace
