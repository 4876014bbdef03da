// "-batch -dc ipv4": the program reads the controller's address from
// StrokeDesk.ini (its lines on standard output) and runs the script over UDP
// against rc7sim on 127.0.0.2.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/ProgramRun.h"
#include "support/SimProcess.h"

namespace {

TEST(BatchIpv4, TakesTheAddressFromTheIniFileAndRunsTheScript) {
  SimProcess sim({"--no-pty1", "--no-pty4"});
  ASSERT_TRUE(sim.Ready());
  const std::string dir = "/tmp/batch-ipv4-" + std::to_string(::getpid());
  std::filesystem::create_directories(dir + "/StrokeDesk");
  std::ofstream(dir + "/StrokeDesk/StrokeDesk.ini") << "[Options]\nip_addr=127.0.0.2\nsub_net_mask=255.0.0.0\n[OptionsEnd]\n";
  const std::string script = dir + "/s.pms";
  std::ofstream(script) << "rd 0x2004 0\nwrw 0x2000 0 0x55\n";

  ProgramRunOptions o;
  o.args = {"-batch", "-dc", "ipv4", "-script", script};
  o.set = {"XDG_CONFIG_HOME=" + dir};
  const ProgramRunResult r = RunStrokeDesk(o);
  std::filesystem::remove_all(dir);

  EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
  const char* const inOrder[] = {"Init file: StrokeDesk.ini\n", "IP-Address:  127.0.0.2\n",
                                 "Connecting IPv4 127.0.0.2\n", "Com Channel is open\n",
                                 "Open Script ", "2004[00] = 12345678"};
  size_t at = 0;
  for (const char* text : inOrder) {
    at = r.out.find(text, at);
    ASSERT_NE(at, std::string::npos) << text << " missing in:\n" << r.out;
  }
  const std::vector<std::string> journal = sim.Journal();
  ASSERT_EQ(journal.size(), 2u);
  EXPECT_NE(journal[1].find("link3 2B 2000 00 00000055 -"), std::string::npos) << journal[1];
}

}  // namespace
