// Reading the controller's clock against rc7sim: the two lines it shows, the
// eight reads on the wire, and a failed read that ends quietly.
#include <algorithm>
#include <ctime>
#include <string>

#include "app/PanelCallbacks.h"
#include "comm/ComQueue.h"
#include "support/LinkFixture.h"

namespace {

class ControllerClock : public LinkFixture, public ::testing::WithParamInterface<SimLink> {
 protected:
  void ReadClock() { ChooseAndSettle(MAIN_MENU_DATE_TIME); }
  std::vector<std::string> Requests() { return JournalSinceChoice(); }
};

TEST_P(ControllerClock, ShowsTheUnitClockAndThePcClockWithItsFullYear) {
  ASSERT_TRUE(Connect(GetParam(), {"--clock", "2031-07-04T13:14:15"}));
  ReadClock();
  const std::string log = Log();
  // The simulated clock runs on while the test waits: a few seconds at most.
  const size_t unit = log.find("Unit: 2031-07-04 13:14:1");
  ASSERT_NE(unit, std::string::npos) << log;
  EXPECT_TRUE(log[unit + 24] >= '5' && log[unit + 24] <= '9') << log;
  EXPECT_EQ(log.compare(unit + 25, 4, ":00\n"), 0) << log;
  const std::time_t now = std::time(nullptr);
  std::tm pc{};
  localtime_r(&now, &pc);
  char year[32];
  std::snprintf(year, sizeof year, "PC:   %04d-", pc.tm_year + 1900);
  EXPECT_NE(log.find(year), std::string::npos) << log;
  // "PC:   YYYY-MM-DD hh:mm:ss" and the line end.
  const size_t pcLine = log.find("PC:   ");
  ASSERT_NE(pcLine, std::string::npos);
  const std::string shape = "####-##-## ##:##:##\n";
  for (size_t i = 0; i < shape.size(); ++i) {
    const char c = log[pcLine + 6 + i];
    EXPECT_TRUE(shape[i] == '#' ? c >= '0' && c <= '9' : c == shape[i]) << log;
  }
  // Eight reads, sub-indices 1 to 8, nothing else.
  const std::vector<std::string> journal = Requests();
  ASSERT_EQ(journal.size(), 8u);
  for (int i = 0; i < 8; ++i) {
    char read[32];
    std::snprintf(read, sizeof read, " 40 211C %02X 00000000 -", i + 1);
    EXPECT_NE(journal[i].find(read), std::string::npos) << journal[i];
  }
}

TEST_P(ControllerClock, AFailedReadEndsQuietlyWithTheEngineIdle) {
  ASSERT_TRUE(Connect(GetParam(), {"--abort-object", "0x211C:3"}));
  ReadClock();
  EXPECT_EQ(Log().find("Unit:"), std::string::npos) << Log();
  EXPECT_EQ(Log().find("PC:"), std::string::npos) << Log();
  EXPECT_EQ(uwMcycleState, MC_STATE_IDLE);
  EXPECT_EQ(swStackPointer, 0);
  EXPECT_EQ(ubCQWriteSDOState, 1);
  // Sub-indices 1 and 2, then four attempts at 3, and nothing after.
  const std::vector<std::string> journal = Requests();
  ASSERT_EQ(journal.size(), 6u);
  for (size_t i = 2; i < 6; ++i) EXPECT_NE(journal[i].find(" 40 211C 03 "), std::string::npos) << journal[i];
  // The next read goes through: nothing was left behind.
  ASSERT_EQ(Request(CQ_SDO_READ, 0x211C, 1), 2);
}

INSTANTIATE_TEST_SUITE_P(Pty, ControllerClock, ::testing::Values(SimLink::Serial, SimLink::Usb),
                         [](const auto& info) { return std::string(SimLinkName(info.param)); });

}  // namespace
