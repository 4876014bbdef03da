// The program in batch mode, end to end: build/strokedesk against rc7sim on
// pseudo-terminals, with no display variable set. What it prints on
// standard output, in order, its exit code, how long it takes to give up on
// a controller that is gone, and what the controller saw.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "objects/OBJCMD.h"
#include "scope/ScopeFile.h"
#include "support/ProgramRun.h"
#include "support/SimProcess.h"
#include "support/TempDir.h"
#include "support/TraceFixture.h"

namespace {

// A request the controller never answers fails after four attempts of the
// 200 ms time-out, at 10 ms per tick; the program's start and end come on top.
constexpr double kGiveUpSeconds = 4 * (0.200 + 2 * 0.010);
constexpr double kStartAndEndSeconds = 3.0;

class BatchRun : public ::testing::Test {
 protected:
  // Starts rc7sim with only the link asked for.
  void StartSim(bool usb, std::vector<std::string> options = {}) {
    options.insert(options.end(), {"--no-udp", usb ? "--no-pty1" : "--no-pty4"});
    sim_ = std::make_unique<SimProcess>(options);
    ASSERT_TRUE(sim_->Ready());
  }
  // "-batch -dc usb -script <path>" against the simulator's USB link.
  ProgramRunResult RunUsb(const std::string& script, ProgramRunOptions o = {}) {
    o.args = {"-batch", "-dc", "usb", "-script", script};
    o.set.push_back("STROKEDESK_USB=" + sim_->Pty4());
    o.workingDirectory = dir_.Path();
    return RunStrokeDesk(o);
  }
  // The texts appear in `out` in this order.
  static ::testing::AssertionResult InOrder(const std::string& out, const std::vector<std::string>& texts) {
    size_t at = 0;
    for (const std::string& t : texts) {
      const size_t found = out.find(t, at);
      if (found == std::string::npos) return ::testing::AssertionFailure() << "\"" << t << "\" missing in:\n" << out;
      at = found + t.size();
    }
    return ::testing::AssertionSuccess();
  }
  size_t Requests(const std::string& containing) {
    size_t n = 0;
    for (const std::string& line : sim_->Journal()) n += line.find(containing) != std::string::npos;
    return n;
  }

  TempDir dir_;
  std::unique_ptr<SimProcess> sim_;
};

TEST_F(BatchRun, ComWithoutAControllerFails) {
  ProgramRunOptions o;
  o.args = {"-batch", "-dc", "com", "3", "-script", dir_.Write("s.pms", "rd 0x2004 0\n")};
  o.set = {"STROKEDESK_COM3=" + dir_.Add("no-such-port")};
  const ProgramRunResult r = RunStrokeDesk(o);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "Connecting COM  3\nCom Channel error, not open\nCom 3: " + dir_.Add("no-such-port") +
                       ": No such file or directory\n");
}

TEST_F(BatchRun, UsbRunsTheScriptOnTheFoundDeviceWithOneLinePerRead) {
  const std::string reads = "rd 0x2004 0\nrd 0x2002 0\nrf 0x2602 1\nrd 0x2103 0\nrd 0x2119 0\n";
  // What scripts that parse the output see: the value of each read, and the
  // bytes of an answer without a width (0x47).
  const std::string shown =
      "RD(D)  2004[00] = 12345678 = 305419896\n"
      "RD(W)  2002[00] = 1234 = 4660\n"
      "RD(F)  2602[01] = 3F800000 = 1.000000\n"
      "RD(B)  2103[00] = 05 = 5\n"
      "RX:  47  19  21  00  EF  CD  AB  00\n";
  StartSim(true);
  std::string script = dir_.Write("quiet.pms", "log off\n" + reads);
  ProgramRunResult r = RunUsb(script);
  EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_TRUE(InOrder(r.out, {"Connecting USB COM", "Com Channel is open\n", "Open Script " + script + "\n" + shown}));
  EXPECT_TRUE(r.out.size() >= shown.size() && r.out.compare(r.out.size() - shown.size(), shown.size(), shown) == 0)
      << r.out;

  // With the frame lines, the value follows the answer's frame.
  StartSim(true);
  r = RunUsb(dir_.Write("frames.pms", reads));
  EXPECT_TRUE(InOrder(r.out, {"RX-SDO: 43 04 20 00 78 56 34 12\nRD(D)", "RX-SDO: 4B 02 20 00 34 12 00 00\nRD(W)",
                              "RX-SDO: 47 19 21 00 EF CD AB 00\nRX:  47"}))
      << r.out;
  EXPECT_EQ(r.out.find("RX:  43"), std::string::npos) << r.out;
}

TEST_F(BatchRun, HowTheScriptEndsDecidesTheExitCode) {
  struct Case {
    const char* what;
    std::vector<std::string> sim;
    std::string text;
    std::string says;
    int code;
  };
  const Case cases[] = {
      {"aborted read", {"--abort-object", "0x2004:0"}, "rd 0x2004 0\n", "Transmission ERROR", 1},
      {"counter below zero", {}, "counter_set 1 0\ncounter_dec 1\nrd 0x2004 0\n", "Counter 1 error: counter < 0", 1},
      {"stop statement", {}, "rd 0x2004 0\nstop\nrd 0x2004 0\n", "Stop\n", 0},
      {"to the end", {}, "wrw 0x2000 0 7\n", "Open Script", 0},
  };
  for (const Case& c : cases) {
    StartSim(true, c.sim);
    const ProgramRunResult r = RunUsb(dir_.Write("s.pms", c.text));
    EXPECT_EQ(r.exitCode, c.code) << c.what << ": " << r.out;
    EXPECT_NE(r.out.find(c.says), std::string::npos) << c.what << ": " << r.out;
  }
}

TEST_F(BatchRun, TraceDownloadRunsAndTheScriptGoesOn) {
  struct Case {
    const char* status;
    std::vector<std::string> says;
    bool fetched;
  };
  const Case cases[] = {
      {"0x0008", {"Trace: Download\n", "Scope: Forward trigger\n", "Scope: Download time: "}, true},
      {"0x0110", {"Trace: Download\n", "\nBacktrace not stopped!\n", "Scope: Download time: "}, false},
  };
  for (const Case& c : cases) {
    // "-dc com" identifies the controller first, which tells the trace geometry's objects.
    StartSim(false, {"--variant", "p0528", "--scope", "300", "--scope-status", c.status});
    ProgramRunOptions o;
    o.args = {"-batch", "-dc", "com", "3", "-script", dir_.Write("s.pms", "trace_download\nrd 0x2004 0\n")};
    o.set = {"STROKEDESK_COM3=" + sim_->Pty1()};
    o.workingDirectory = dir_.Path();
    const ProgramRunResult r = RunStrokeDesk(o);
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    std::vector<std::string> says = c.says;
    says.push_back("2004[00] = ");
    EXPECT_TRUE(InOrder(r.out, says));
    EXPECT_EQ(Requests("2B 2000 00 00001"), c.fetched ? 20u : 0u) << r.out;  // blocks 0x1000 .. 0x1013
  }
}

// A script downloads and saves the trace; the simulator's backtrace file of
// the same memory loads as the same trace and header, with LF or CR LF
// header lines. Revision 11 makes the download read the extended header.
TEST_F(BatchRun, SavedTraceAndTheSimulatorsBacktraceFileAgree) {
  for (const char* crlf : {"0", "1"}) {
    SCOPED_TRACE(crlf);
    const std::string lo1 = dir_.Add("sim.lo1");
    StartSim(false, {"--variant", "p0528", "--revision", "11", "--scope", "300:200", "--scope-lo1", lo1,
                     "--scope-lo1-crlf", crlf});
    ProgramRunOptions o;
    o.args = {"-batch", "-dc", "com", "3", "-script",
              dir_.Write("s.pms", "trace_path " + dir_.Path() + "\ntrace_download\ntrace_save stroke\n")};
    o.set = {"STROKEDESK_COM3=" + sim_->Pty1()};
    o.workingDirectory = dir_.Path();
    const ProgramRunResult r = RunStrokeDesk(o);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    const size_t at = r.out.find("Trace: Save " + dir_.Path() + "/");
    ASSERT_NE(at, std::string::npos) << r.out;
    const size_t from = r.out.find(' ', at + 7) + 1;
    const std::string loz = r.out.substr(from, r.out.find('\n', from) - from);
    EXPECT_EQ(loz.substr(loz.size() - 11), "-stroke.loz");
    EXPECT_EQ(r.out.find("Trace: File Error"), std::string::npos) << r.out;
    ASSERT_EQ(ScopeLoadFile(loz), 300) << ScopeFileReason();
    EXPECT_EQ(scScope[1].uwFrames, 200);
    TraceSnapshot saved = TraceCapture();
    EXPECT_EQ(saved.fwVersion, 235u << 16 | 11);
    EXPECT_GT(std::count_if(saved.info, saved.info + SCOPE_INFO_ENTRIES, [](auto v) { return v != 0; }),
              SCOPE_INFO_ENTRIES * 3 / 4);

    // The backtrace file's header, stored as the tool stores it (voltages
    // to 10 mV), must come back as the download's did.
    ASSERT_EQ(ScopeLoadFile(lo1), 500) << ScopeFileReason();  // both traces
    ASSERT_EQ(ScopeSaveTraceToFile(dir_.Add("from-lo1.loz").c_str()), 0);
    ASSERT_EQ(ScopeLoadFile(dir_.Path() + "/from-lo1.loz"), 300) << ScopeFileReason();
    const TraceSnapshot back = TraceCapture();
    EXPECT_GE(saved.date[0], 2000u);  // the batch download took the PC's date
    std::copy(back.date, back.date + 6, saved.date);  // the PC's clock against the controller's
    // No record of the file carries the speed, macro and application CRC objects.
    for (int e = 51; e <= 54; ++e) saved.info[e] = 0;
    TraceExpectSame(saved, back, false);
    TraceClearAll();
  }
}

TEST_F(BatchRun, AScriptAloneRunsWithoutALink) {
  ProgramRunOptions o;
  const std::string script = dir_.Write("s.pms", "dly 20\n");
  o.args = {"-batch", "-script", script};
  const ProgramRunResult r = RunStrokeDesk(o);
  EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_TRUE(InOrder(r.out, {"Open Script " + script + "\n", "DLY  20 ms\n"}));
}

TEST_F(BatchRun, AReadWithoutALinkEndsOnTransmissionError) {
  ProgramRunOptions o;
  o.args = {"-batch", "-script", dir_.Write("s.pms", "rd 0x2004 0\ndly 1\n")};
  const ProgramRunResult r = RunStrokeDesk(o);
  EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
  EXPECT_NE(r.out.find("Transmission ERROR"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("DLY"), std::string::npos) << r.out;
}

TEST_F(BatchRun, ScriptsThatCannotRunSendNothing) {
  struct Case {
    const char* what;
    std::string file;  // empty: no such file
    std::string text;
    std::string says;
  };
  const Case cases[] = {
      {"missing", "", "", "Can't open File\n"},
      {"empty", "empty.pms", "", "Script not run: it holds no commands\n"},
      {"compile error at line 3", "typo.pms", "wrw 0x2000 0 1\nrd 0x2004 0\nwrx 0x2000 0 2\nwrw 0x2000 0 3\n",
       "What ? line 3: [wrx 0x2000 0 2]\nScript not run: it does not compile\n"},
      {"binary", "binary.pms", std::string("\x7f" "ELF\x02\x01\x01\x00\x00\x00\n", 11),
       "Script not run: it does not compile\n"},
  };
  for (const Case& c : cases) {
    StartSim(true);
    const std::string path = c.file.empty() ? dir_.Add("Missing.pms") : dir_.Write(c.file, c.text);
    const ProgramRunResult r = RunUsb(path);
    EXPECT_EQ(r.exitCode, 1) << c.what << ": " << r.out;
    EXPECT_TRUE(InOrder(r.out, {"Com Channel is open\n", "Open Script " + path + "\n", c.says})) << c.what;
    EXPECT_TRUE(sim_->Journal().empty()) << c.what;  // the controller saw no frame
  }
}

TEST_F(BatchRun, AControllerThatGoesAwayEndsTheBatchWithOne) {
  // Exits after its fifth answer, hangs up the line after its fifth answer,
  // or falls silent after it: the sixth read fails in each case.
  const std::vector<std::string> faults[] = {{"--exit-after", "5"}, {"--hang-up-after", "5"}, {"--silent-after", "5"}};
  for (const auto& fault : faults) {
    StartSim(true, fault);
    const ProgramRunResult r = RunUsb(dir_.Write("loop.pms", "rd 0x2004 0\nrewind\n"));
    EXPECT_EQ(r.exitCode, 1) << fault[0] << ": " << r.out;
    EXPECT_NE(r.out.find("Transmission ERROR"), std::string::npos) << fault[0];
    EXPECT_LT(r.seconds, kGiveUpSeconds + kStartAndEndSeconds) << fault[0];
  }
}

TEST_F(BatchRun, SigtermStopsARewindingScriptWithThree) {
  for (int signal : {SIGTERM, SIGINT}) {
    StartSim(true);
    ProgramRunOptions o;
    o.signal = signal;
    o.signalAfter = "DLY  50 ms\n";  // the loop is running
    const ProgramRunResult r = RunUsb(dir_.Write("loop.pms", "rd 0x2004 0\ndly 50\nrewind\n"), o);
    EXPECT_EQ(r.exitCode, 3) << signal << ": " << r.out;
    EXPECT_FALSE(r.timedOut);
  }
}

TEST_F(BatchRun, ABurstOfOutputArrivesWhole) {
  // Each HELP writes the whole help text while the script compiles.
  StartSim(true);
  const std::string script = dir_.Write("help.pms", "help\nhelp\nhelp\ndly 1\n");
  const ProgramRunResult r = RunUsb(script);
  EXPECT_EQ(r.exitCode, 0);
  const std::string help = ObjCmdHelpText();
  EXPECT_TRUE(InOrder(r.out, {"Open Script " + script + "\n" + help + help + help, "DLY  1 ms\n"})) << r.out;
  size_t lines = 0;
  for (char c : r.out) lines += c == '\n';
  EXPECT_GT(lines, 100u);
}

TEST_F(BatchRun, DelaysLastTheirTimeInBatchMode) {
  ProgramRunOptions o;
  o.args = {"-batch", "-script", dir_.Write("dly.pms", "dly 1000\n")};
  const ProgramRunResult r = RunStrokeDesk(o);
  EXPECT_EQ(r.exitCode, 0) << r.out;
  // 2 ms of engine time per 10 ms tick would make this five seconds.
  EXPECT_GE(r.seconds, 1.0);
  EXPECT_LT(r.seconds, 1.0 + kStartAndEndSeconds);
}

TEST_F(BatchRun, ARejectedCommandLineListsTheExitCodes) {
  ProgramRunOptions o;
  o.args = {"-batch", "-dc", "com"};
  const ProgramRunResult r = RunStrokeDesk(o);
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_TRUE(r.out.empty());
  EXPECT_TRUE(InOrder(r.err, {"usage: ", "batch exit codes:\n", "  0  ", "  1  ", "  2  ", "  3  stopped by SIGINT or SIGTERM"}));
}

}  // namespace
