// The program as a whole from the command line: exit codes and where the
// messages go.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ProgramRun.h"
#include "support/TempDir.h"

namespace {

// Runs the program with `args`, without a display and with an empty
// configuration folder, so no StrokeDesk.ini of the host's user takes part.
ProgramRunResult RunProgram(const std::vector<std::string>& args, std::vector<std::string> unset = {}) {
  TempDir config;
  ProgramRunOptions o;
  o.args = args;
  o.set = {"XDG_CONFIG_HOME=" + config.Path()};
  o.unset.insert(o.unset.end(), unset.begin(), unset.end());
  return RunStrokeDesk(o);
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
    const ProgramRunResult r = RunProgram(args);
    EXPECT_EQ(r.exitCode, 2) << args.back().substr(0, 20);
    EXPECT_NE(r.err.find("strokedesk: "), std::string::npos);
    EXPECT_NE(r.err.find("usage: "), std::string::npos);
    EXPECT_TRUE(r.out.empty());
  }
}

TEST(BatchExitCodesTest, ABatchEndsByItselfAndItsMessagesReachStdout) {
  const ProgramRunResult r = RunProgram({"-batch", "-dc", "ipv4", "-script", "Plan.scr", "-TMOUT:x"});
  // No controller address: the batch fails, says why on stdout and exits with 1.
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out,
            "File not found: StrokeDesk.ini\nUsing default parameters and settings\n\n"
            "No IP-Address for the Ethernet channel: set ip_addr in StrokeDesk.ini\nCom Channel error, not open\n");
  EXPECT_NE(r.err.find("-TMOUT:x ignored"), std::string::npos);
}

TEST(BatchExitCodesTest, WithoutADisplayTheInteractiveProgramSaysWhy) {
  const ProgramRunResult r = RunProgram({}, {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"});
  EXPECT_EQ(r.exitCode, 255);  // main returned -1
  EXPECT_NE(r.err.find("no display"), std::string::npos);
}

}  // namespace
