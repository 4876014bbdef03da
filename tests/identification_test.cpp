// Identification against rc7sim over the pseudo-terminal links: each
// firmware variant, the baud probing of a serial link, the speed change,
// unknown products, the clock, communication logging, batch mode and
// controllers that fall silent at any step.
#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "comm/ComChannel.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/McycleFwRevision.h"
#include "params/CtrlCmd.h"
#include "scope/scope.h"
#include "support/ControllerFixture.h"
#include "support/IdentificationScenarios.h"
#include "ui/PanelIds.h"

namespace {

class IdentificationTest : public ControllerFixture {
 protected:
  bool Logged(const std::string& text) { return Log().find(text) != std::string::npos; }
  std::string Lane(int lane) { return Text(kScopePanel, SCOPE_TXT_LANE_0 + lane); }
  // The speed commands the controller received.
  std::vector<uint32_t> SpeedCommands() {
    std::vector<uint32_t> codes;
    for (const SimRequest& r : Requests())
      if (!r.IsRead() && r.index == 0x2000 && (r.data == 0x10D || r.data == 0x10F || r.data == 0x213))
        codes.push_back(r.data);
    return codes;
  }
  size_t CountRequests(uint16_t index, bool reads) {
    size_t n = 0;
    for (const SimRequest& r : Requests()) n += r.index == index && r.IsRead() == reads;
    return n;
  }
};

INSTANTIATE_TEST_SUITE_P(Pty, VariantTest,
                         ::testing::Combine(::testing::Values(SimLink::Serial, SimLink::Usb),
                                            ::testing::ValuesIn(kVariants)),
                         VariantName);

TEST_F(IdentificationTest, QuillIdentificationTurnsExpertModeOnAndSetsFullScale) {
  ASSERT_TRUE(Identify(SimLink::Usb, {"--variant", "quill"}));
  EXPECT_TRUE(ubMcFlag2 & MC_FLAG2_EXPERT_MODE);
  EXPECT_TRUE(ubMcFlag4 & MC_FLAG4_EXPERT_MODE);
  EXPECT_EQ(+sScopeDataContainer.entries[7].udData, 40000u);
  EXPECT_EQ(sScopeDataContainer.entries[8].udData, 16000u);
  EXPECT_EQ(sScopeDataContainer.entries[9].udData, 40000u);
  EXPECT_EQ(Text(kScopePanel, SCOPE_TXT_ANALOG_3), "Press STD [160 Bar]");
  // A Quill ram has no mark and no second seek position; without the link
  // nothing is known of the ram and nothing is dimmed.
  auto dimmed = [&](int control) { return host.attributes[{1, control}][ATTR_DIMMED]; };
  EXPECT_EQ(dimmed(MAIN_CMD_SEEK_POS2), 1);
  EXPECT_EQ(dimmed(MAIN_BIN_SW_MARK), 1);
  EXPECT_EQ(dimmed(MAIN_CMD_HOME), 0);
  Select(COM_RING_NONE);
  EXPECT_EQ(dimmed(MAIN_CMD_SEEK_POS2), 0);
  EXPECT_EQ(dimmed(MAIN_BIN_SW_MARK), 0);
}

TEST_F(IdentificationTest, P0528ShowsOutputsOnlyInExpertModeForTheirRamFamilies) {
  ubMcFlag2 |= MC_FLAG2_EXPERT_MODE;
  ubMcFlag4 |= MC_FLAG4_EXPERT_MODE;
  ASSERT_TRUE(Identify(SimLink::Usb, {"--ramtype", "0x21"}));
  EXPECT_EQ(Lane(4), "  O:DOWN_HP");
  EXPECT_EQ(Lane(12), "O:SEEK_FAST");
  Select(COM_RING_NONE);
  ASSERT_TRUE(Identify(SimLink::Usb, {"--ramtype", "0x30"}));  // family 3 has no outputs here
  EXPECT_EQ(Lane(4), "   I:START2");
}

TEST_F(IdentificationTest, ASwitchToAnotherVariantClearsTheFormerVariantFlags) {
  ASSERT_TRUE(Identify(SimLink::Usb, {"--variant", "p0417"}));
  ASSERT_TRUE(ubMcFlag3 & MC_FLAG3_FW_P0417);
  Select(COM_RING_NONE);
  ASSERT_TRUE(Identify(SimLink::Usb, {"--variant", "p0528"}));
  EXPECT_FALSE(ubMcFlag3 & MC_FLAG3_FW_P0417);
  EXPECT_EQ(CtrlCmdLogWalkLength(sLogDataContainer), 41);
}

TEST_F(IdentificationTest, SerialControllerAt57600IsFoundAfter9600And38400Fail) {
  ASSERT_TRUE(Identify(SimLink::Serial, {"--baud", "57600"}));
  EXPECT_TRUE(Logged("Com 3: Try 9600 Baud ...\nCom 3: Try 38400 Baud ...\nCom 3: Try 57600 Baud ...\n")) << Log();
  EXPECT_TRUE(ubMcFlag1 & MC_FLAG1_LINK_ESTABLISHED);
  // High speed is 57600 for the P0528 family: nothing to change.
  EXPECT_TRUE(Logged("Communication speed: high\n\nCom 3: open with 57600 Baud\n\n\n")) << Log();
  EXPECT_TRUE(SpeedCommands().empty());
  EXPECT_EQ(ubMcBaudStep, 0);
}

TEST_F(IdentificationTest, SilentSerialControllerIsNotIdentifiedAfterThreeSpeeds) {
  ubMcFlag1 |= MC_FLAG1_LINK_ESTABLISHED;
  ASSERT_TRUE(Identify(SimLink::Serial, {"--drop", "all"}));
  EXPECT_TRUE(Logged("Try 57600 Baud ...\nCould not get Fw Revision\n")) << Log();
  EXPECT_FALSE(ubMcFlag1 & MC_FLAG1_LINK_ESTABLISHED);
  EXPECT_EQ(Requests().size(), 12u);  // four attempts at each speed
  EXPECT_EQ(ubMcBaudStep, 0);
  EXPECT_FALSE(ramtypeAsked);
}

TEST_F(IdentificationTest, EthernetTelegramsOverUsbNeverChangeTheSpeed) {
  ubMcComSpeed = 0;
  ASSERT_TRUE(Identify(SimLink::Usb, {"--variant", "p0417"}));
  EXPECT_TRUE(SpeedCommands().empty());
  EXPECT_FALSE(Logged("Baud")) << Log();
  Select(COM_RING_NONE);
  ASSERT_TRUE(Identify(SimLink::Usb, {"--drop", "all"}));
  EXPECT_EQ(Requests().size(), 4u);  // one request, no other speeds
  EXPECT_TRUE(Logged("Could not get Fw Revision"));
}

struct SpeedCase {
  const char* variant;
  uint8_t comSpeed;
  uint32_t command;  // 0: none
  unsigned baud;
};

class SpeedTest : public IdentificationTest, public ::testing::WithParamInterface<SpeedCase> {};

TEST_P(SpeedTest, LowAndHighSpeedSwitchToTheVariantsRate) {
  const SpeedCase& c = GetParam();
  ubMcComSpeed = c.comSpeed;
  ASSERT_TRUE(Identify(SimLink::Serial, {"--variant", c.variant, "--baud", "9600"})) << Log();
  EXPECT_EQ(SpeedCommands(), c.command ? std::vector<uint32_t>{c.command} : std::vector<uint32_t>{});
  EXPECT_TRUE(Logged(std::string("Communication speed: ") + (c.comSpeed ? "high" : "low"))) << Log();
  EXPECT_TRUE(Logged("Com 3: open with " + std::to_string(c.baud) + " Baud\n")) << Log();
  EXPECT_TRUE(ubMcFlag1 & MC_FLAG1_LINK_ESTABLISHED);
  // The simulator listens at the new speed only, and so does the port.
  EXPECT_EQ(ReadObject(0x2106), uwScopeRamtype);
}

const SpeedCase kSpeeds[] = {
    {"p0417", 0, 0, 9600},      {"p0417", 1, 0x10F, 38400}, {"p0528", 0, 0, 9600},
    {"p0528", 1, 0x213, 57600}, {"quill", 1, 0x10F, 38400}, {"ffff", 1, 0x213, 57600},
};
INSTANTIATE_TEST_SUITE_P(Serial, SpeedTest, ::testing::ValuesIn(kSpeeds), [](const auto& info) {
  return std::string(info.param.variant) + (info.param.comSpeed ? "_high" : "_low");
});

TEST_F(IdentificationTest, SpeedChangeWaitSpansTheWrapOfTheEngineTime) {
  ASSERT_TRUE(Connect(SimLink::Serial, {"--baud", "9600"}, true));
  ASSERT_TRUE(TickUntil([] { return uwMcycleState == 0x0A07; }, 4000));  // speed command answered
  udMcTimeTick = 0xFFFFFFD0u;                                            // the 100 ms wait that follows crosses 0
  const uint32_t start = udMcTimeTick;
  ASSERT_TRUE(TickUntil([] { return uwMcycleState == 0x0A08; }, 200));
  EXPECT_GT(McTimerGetCurrentTime() - start, 100u);
  EXPECT_LT(McTimerGetCurrentTime(), 0x1000u);
  ASSERT_TRUE(RunToIdle());
  EXPECT_EQ(SpeedCommands(), std::vector<uint32_t>{0x213});
  EXPECT_TRUE(Logged("Com 3: open with 57600 Baud\n")) << Log();
  EXPECT_TRUE(ubMcFlag1 & MC_FLAG1_LINK_ESTABLISHED);
}

TEST_F(IdentificationTest, UnknownProductIsRefusedAndAcceptedInExpertMode) {
  ubMcFlag1 |= MC_FLAG1_LINK_ESTABLISHED;
  ASSERT_TRUE(Identify(SimLink::Serial, {"--variant", "unknown", "--baud", "9600"}));
  EXPECT_FALSE(ubMcFlag1 & MC_FLAG1_LINK_ESTABLISHED);
  EXPECT_TRUE(Logged("Target Firmware: P0099-02 is not supported (expert mode accepts it)\nCould not get Fw Revision"))
      << Log();
  EXPECT_TRUE(SpeedCommands().empty());  // nothing is asked of a refused controller
  EXPECT_FALSE(ramtypeAsked);

  Select(COM_RING_NONE);
  ubMcFlag2 |= MC_FLAG2_EXPERT_MODE;
  ASSERT_TRUE(Identify(SimLink::Serial, {"--variant", "unknown", "--baud", "9600"}));
  EXPECT_TRUE(ubMcFlag1 & MC_FLAG1_LINK_ESTABLISHED);
  EXPECT_TRUE(Logged("Target Firmware: P0099-02\n"));
  EXPECT_EQ(CtrlCmdLogWalkLength(sLogDataContainer), 41);
  EXPECT_EQ(Lane(10), " O:PRESS_OK");
  EXPECT_EQ(SpeedCommands(), std::vector<uint32_t>{0x213});
}

TEST_F(IdentificationTest, ClockIsSetWhenItsDateDiffersAndLeftWhenItMatches) {
  ASSERT_TRUE(Identify(SimLink::Usb, {"--clock", "2001-02-03T04:05:06"}));
  const std::time_t now = std::time(nullptr);
  std::tm pc{};
  localtime_r(&now, &pc);
  std::vector<SimRequest> writes;
  for (const SimRequest& r : Requests())
    if (!r.IsRead() && r.index == 0x211C) writes.push_back(r);
  ASSERT_EQ(writes.size(), 8u);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(writes[i].sub, i + 1);
    EXPECT_EQ(writes[i].cmd, 0x2F);  // one byte
  }
  EXPECT_EQ(writes[0].data, static_cast<uint32_t>(pc.tm_mday));
  EXPECT_EQ(writes[1].data, static_cast<uint32_t>(pc.tm_mon + 1));
  EXPECT_EQ(writes[2].data, static_cast<uint32_t>(pc.tm_year - 100));
  EXPECT_EQ(ReadObject(0x211C, 3), static_cast<uint32_t>(pc.tm_year - 100));

  Select(COM_RING_NONE);
  ASSERT_TRUE(Identify(SimLink::Usb));  // the simulator's clock is the PC's
  EXPECT_EQ(CountRequests(0x211C, true), 3u);
  EXPECT_EQ(CountRequests(0x211C, false), 0u);
}

TEST_F(IdentificationTest, ModeWordBit4TurnsCommunicationLoggingOn) {
  ASSERT_TRUE(Identify(SimLink::Usb, {"--mode0", "0x0010"}));
  EXPECT_TRUE(ubCqFlag & CQ_FLAG_RAW_TEXT);
  EXPECT_TRUE(Logged("Communication logging on\n")) << Log();
  EXPECT_EQ((host.attributes[{1, MAIN_MENU_COM_LOGGING}][ATTR_CHECKED]), 1);
  EXPECT_EQ((host.attributes[{1, MAIN_CMD_HOME}][ATTR_DIMMED]), 1);
  EXPECT_EQ(CountRequests(0x211C, true), 0u);  // no answers can be read now
}

TEST_F(IdentificationTest, WithoutLoggingBitTheQueueKeepsDecoding) {
  ASSERT_TRUE(Identify(SimLink::Usb, {"--mode0", "0x2020"}));
  EXPECT_FALSE(ubCqFlag & CQ_FLAG_RAW_TEXT);
  EXPECT_FALSE(Logged("Communication logging on"));
  // Mode word 0: form 2 (bit 5) and mark (bit 13).
  EXPECT_EQ((host.attributes[{1, MAIN_MENU_CYCLE_FORM2}][ATTR_CHECKED]), 1);
  EXPECT_EQ((host.attributes[{1, MAIN_MENU_CYCLE_BASIC}][ATTR_CHECKED]), 0);
  EXPECT_EQ((host.ints[{1, MAIN_BIN_SW_MARK}]), 1);
}

TEST_F(IdentificationTest, WaitsForTheRamtypeAcknowledgement) {
  ASSERT_TRUE(Connect(SimLink::Usb, {}, true));
  ASSERT_TRUE(TickUntil([] { return (ubMcFlag4 & MC_FLAG4_RAMTYPE_UNACKNOWLEDGED) != 0; }, 4000));
  ASSERT_TRUE(TickUntil([] { return uwMcycleState == 0x0A09; }, 4000));
  Tick(200);
  EXPECT_EQ(uwMcycleState, 0x0A09);
  ubMcFlag4 &= static_cast<uint8_t>(~MC_FLAG4_RAMTYPE_UNACKNOWLEDGED);
  Tick(2);
  EXPECT_EQ(uwMcycleState, MC_STATE_IDLE);
}

TEST_F(IdentificationTest, BatchModeIdentificationEnds) {
  ubMcFlag3 |= MC_FLAG3_BATCH_MODE;
  testing::internal::CaptureStdout();
  const bool ended = Identify(SimLink::Usb);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_TRUE(ended);
  EXPECT_FALSE(ramtypeAsked);
  EXPECT_FALSE(ubMcFlag2 & MC_FLAG2_RAMTYPE_PANEL_OPEN);
  EXPECT_NE(out.find("Target Firmware: P0235-07\n"), std::string::npos) << out;
  ubMcFlag3 &= static_cast<uint8_t>(~MC_FLAG3_BATCH_MODE);
}

TEST_F(IdentificationTest, RamTypeOffTheNameTableAndOddModeWordsAreShownPlainly) {
  ASSERT_TRUE(Identify(SimLink::Usb, {"--ramtype", "0x4F", "--mode1", "0xFFFF"}));
  EXPECT_TRUE(Logged("Target Ramtype:  0x004F\n")) << Log();
  EXPECT_EQ((host.ints[{1, MAIN_RING_RAMTYPE}]), 0x4F);
}

// A controller that falls silent at any request of identification: the
// engine returns to idle with a line saying what went wrong.
class SilenceTest : public IdentificationTest, public ::testing::WithParamInterface<int> {};

TEST_P(SilenceTest, AnyRequestFailingEndsIdentificationWithAMessage) {
  const int request = GetParam();
  // Requests before it went through at the first attempt, so attempts k ..
  // k + 3 are the four tries of request k.
  const std::string from = "from:" + std::to_string(request) + ":4";
  ASSERT_TRUE(Identify(SimLink::Usb, {"--clock", "2001-01-01T00:00:00", "--drop", from}, 12000)) << Log();
  EXPECT_EQ(uwMcycleState, MC_STATE_IDLE);
  const bool identifying = request <= 8;
  EXPECT_TRUE(Logged(identifying ? "Could not get Fw Revision" : "Transmission ERROR")) << request << Log();
  EXPECT_EQ((ubMcFlag1 & MC_FLAG1_LINK_ESTABLISHED) != 0, !identifying);
}

// 8 data-container reads, 2 trace mode words, 3 clock reads, 8 clock writes.
INSTANTIATE_TEST_SUITE_P(Usb, SilenceTest, ::testing::Values(1, 5, 8, 9, 10, 11, 13, 14, 21));

}  // namespace
