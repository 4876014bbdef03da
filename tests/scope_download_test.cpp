// Trace downloads from rc7sim over the serial and USB links: every variant's
// records, trigger paths, odd geometry and failures, and the evaluation of
// the stroke downloaded.
#include "scope/ScopeEval.h"
#include "scope/ScopeFile.h"
#include "support/ScopeScenarios.h"
#include "support/TempDir.h"

namespace {

const ScopeCase kSerialCases[] = {
    {"P0417", {"--variant", "p0417", "--scope", "150"}, SimScopeLayout::P0417, 2, 1, false, 4, ""},
    {"Quill81", {"--variant", "quill2", "--ramtype", "0x81", "--scope", "260:200"}, SimScopeLayout::Quill, 4, 2, true,
     3, "Press HP [400 Bar]"},
};
INSTANTIATE_TEST_SUITE_P(Serial, ScopeDownload, ::testing::Combine(::testing::Values(SimLink::Serial),
                                                                   ::testing::ValuesIn(kSerialCases)),
                         ScopeCaseName);

const ScopeCase kUsbCases[] = {
    {"Quill80", {"--variant", "quill", "--scope", "300"}, SimScopeLayout::Quill, 3, 1, true, 3, ""},
};
INSTANTIATE_TEST_SUITE_P(Usb, ScopeDownload, ::testing::Combine(::testing::Values(SimLink::Usb),
                                                                ::testing::ValuesIn(kUsbCases)),
                         ScopeCaseName);

}  // namespace

namespace {

using Scope = ScopeFixture;

TEST_F(Scope, BlocksFollowTheGeometry) {
  struct Case {
    const char* frames;
    const char* perBlock;
    unsigned blocks;
  };
  for (const Case& c : {Case{"200", "25", 8}, {"201", "25", 9}, {"31", "31", 1}, {"3", "31", 1}}) {
    SCOPED_TRACE(c.frames);
    ASSERT_TRUE(Download(SimLink::Serial, {"--variant", "quill", "--scope", c.frames, "--scope-per-block", c.perBlock}))
        << Log();
    ExpectEnded();
    EXPECT_EQ(BlockRequests(), c.blocks);
    EXPECT_EQ(uwMcScopeBlockAnz, c.blocks);
    EXPECT_EQ(scScope[0].uwFrames, std::stoi(c.frames));
    EXPECT_TRUE(ubMcFlag2 & MC_FLAG2_TRACE_PRESENT);
  }
}

TEST_F(Scope, ExpertModeCaptionsAndPositionWordsFollowTheRamGroup) {
  struct Case {
    const char* ramtype;
    bool alternative;
    const char* lane4;
  };
  for (const Case& c : {Case{"0x10", true, "  O:DOWN_HP"}, {"0x30", false, "   I:START2"}}) {
    SCOPED_TRACE(c.ramtype);
    ASSERT_TRUE(Identify(SimLink::Serial, {"--ramtype", c.ramtype, "--scope", "120"}));
    ubMcFlag4 |= MC_FLAG4_EXPERT_MODE;
    ubMcFlag1 |= MC_FLAG1_SCOPE_WINDOW_SET_UP;
    ASSERT_TRUE(Run(MC_SIG_TRACE_DOWNLOAD)) << Log();
    ubMcFlag4 &= static_cast<uint8_t>(~MC_FLAG4_EXPERT_MODE);
    EXPECT_EQ((ubMcFlag4 & MC_FLAG4_ALT_DIGITAL_CAPTIONS) != 0, c.alternative);
    EXPECT_EQ(Text(kScopePanel, SCOPE_TXT_LANE_0 + 4), c.lane4);
    // The alternative group sends one position word, kept whole.
    const auto stroke = SimStrokeGenerate(SimScopeTraceModel(SimScopeLayout::P0528, 0, false), 120, 2.0);
    for (size_t i = 0; i < 120; ++i) {
      const ScopeFrame& f = scScope[0].pFrames[i];
      if (c.alternative) {
        ASSERT_EQ(static_cast<uint16_t>(f.swPosWord), stroke[i].posWord) << i;
        ASSERT_EQ(f.swCmdpos, 0) << i;
      } else if (i % 2 == 0) {
        ASSERT_EQ(f.swCmdpos, stroke[i].cmd) << i;
      }
    }
  }
}

TEST_F(Scope, RunningSecondBacktraceIsSkipped) {
  ASSERT_TRUE(Identify(SimLink::Serial, {"--scope", "200:150", "--scope-dump", dump}));
  // The backtrace restart: the second trace records again and runs.
  ASSERT_TRUE(Run(MC_SIG_TRIGGER_BACKWARD_SEL));
  ubMcFlag1 |= MC_FLAG1_SCOPE_WINDOW_SET_UP;
  from = Seen();
  ASSERT_TRUE(Run(MC_SIG_TRACE_DOWNLOAD, 20000)) << Log();
  ExpectEnded();
  EXPECT_TRUE(ubMcFlag4 & MC_FLAG4_SECOND_TRACE_SKIPPED);
  EXPECT_EQ(BlockRequests(), 7u);  // the first trace's 200 frames only
  EXPECT_EQ(ubScopeNumOfTraces, 2);
  for (size_t i = 0; i < scScope[1].uwFrames; ++i)
    ASSERT_EQ(scScope[1].pFrames[i].uwMcState | scScope[1].pFrames[i].aubRaw[15], 0) << i;  // not converted
  // Nine transfers a step instead of fourteen: about 93 transfers in all.
  EXPECT_GE((host.ints[{kDownloadPanel, DOWNLOAD_PROGRESS}]), 10);
}

TEST_F(Scope, BacktraceThatStillRunsIsNotFetched) {
  for (bool batch : {false, true}) {
    SCOPED_TRACE(batch);
    ASSERT_TRUE(Identify(SimLink::Serial, {"--scope", "200", "--scope-status", "0x0110:0x0008"}));
    ubMcFlag1 |= MC_FLAG1_SCOPE_WINDOW_SET_UP;
    host.plots.clear();
    from = Seen();
    if (batch) {
      ubMcFlag3 |= MC_FLAG3_BATCH_MODE;
      testing::internal::CaptureStdout();
    }
    ASSERT_TRUE(Run(MC_SIG_TRACE_DOWNLOAD));
    const std::string out = batch ? testing::internal::GetCapturedStdout() : "";
    ubMcFlag3 &= static_cast<uint8_t>(~MC_FLAG3_BATCH_MODE);
    EXPECT_EQ(Commands(), (std::vector<std::string>{"2000=21C", "2000=102"}));  // neither freeze nor blocks
    EXPECT_FALSE(ubMcFlag2 & MC_FLAG2_TRACE_PRESENT);
    const auto& plots = host.plots[{kScopePanel, SCOPE_GRAPH}];
    if (batch) {
      EXPECT_NE(out.find("\nBacktrace not stopped!\n"), std::string::npos) << out;
      EXPECT_TRUE(plots.empty());
    } else {
      ExpectEnded();
      EXPECT_TRUE(Logged("Scope: Backward trigger - not stopped"));
      ASSERT_EQ(plots.size(), 1u);
      EXPECT_EQ(plots[0].text, "Backtrace is running ...");
      EXPECT_EQ(plots[0].colour, 0xFF0000);
      EXPECT_EQ(Text(kScopePanel, SCOPE_TXT_TRIGGER), "Backward");
    }
  }
}

TEST_F(Scope, StoppedBacktraceIsFetchedWithoutFreeze) {
  ASSERT_TRUE(Download(SimLink::Serial, {"--scope", "100", "--scope-status", "0x0010"})) << Log();
  ExpectEnded();
  EXPECT_TRUE(Logged("Scope: Backward trigger\n"));
  std::vector<std::string> expected = ForwardDownload(7);
  expected.erase(expected.begin() + 2, expected.begin() + 4);  // no selector, no freeze
  expected.resize(expected.size() - 2);                          // and no unfreeze
  EXPECT_EQ(Commands(), expected);
  EXPECT_TRUE(ubMcFlag2 & MC_FLAG2_TRACE_PRESENT);
}

TEST_F(Scope, OddGeometryEndsCleanly) {
  struct Case {
    std::vector<std::string> options;
    const char* said;  // in the log
    bool failed;
  };
  const Case cases[] = {
      {{"--scope-per-block", "0"}, "bad trace geometry (no frames per block): frame length 16, frames per block 0", true},
      {{"--scope-frame-len", "32", "--scope-per-block", "16"}, "(block too long): frame length 32, frames per block 16",
       true},
      {{"--scope-frame-len", "8"}, "(frame length below 16)", true},
      {{"--scope", "65535", "--scope-per-block", "1"}, "(too many blocks)", true},
      {{"--scope", "0:0"}, "Scope: the controller holds no trace (0 frames)", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.said);
    std::vector<std::string> options = {"--scope", "100"};
    options.insert(options.end(), c.options.begin(), c.options.end());
    ASSERT_TRUE(Download(SimLink::Serial, options)) << Log();
    ExpectEnded(c.failed);
    EXPECT_TRUE(Logged(c.said)) << Log();
    EXPECT_EQ(BlockRequests(), 0u);
    EXPECT_FALSE(Sent("2000=12A"));
    EXPECT_TRUE(Sent("2000=12B"));  // unfrozen all the same
    EXPECT_FALSE(ubMcFlag2 & MC_FLAG2_TRACE_PRESENT);
  }
}

TEST_F(Scope, LongerFramesAreTakenByTheirFirstSixteenBytes) {
  ASSERT_TRUE(Download(SimLink::Serial, {"--scope", "90", "--scope-frame-len", "20", "--scope-per-block", "24"}))
      << Log();
  ExpectEnded();
  const std::string memory = Memory();
  ASSERT_EQ(memory.size(), 180u * 20);
  for (size_t i = 0; i < 90; ++i) ASSERT_EQ(std::memcmp(scScope[0].pFrames[i].aubRaw, &memory[i * 20], 16), 0) << i;
  for (size_t i = 0; i < 90; ++i) ASSERT_EQ(std::memcmp(scScope[1].pFrames[i].aubRaw, &memory[(90 + i) * 20], 16), 0);
}

TEST_F(Scope, BadBlocksAreAskedForAgainThreeTimes) {
  struct Case {
    SimLink link;
    const char* corrupt;
    bool failed;
  };
  for (const Case& c : {Case{SimLink::Serial, "2:3", false}, {SimLink::Serial, "2:4", true}, {SimLink::Usb, "2:3", false},
                        {SimLink::Usb, "2:4", true}}) {
    SCOPED_TRACE(std::string(SimLinkName(c.link)) + " " + c.corrupt);
    ASSERT_TRUE(Download(c.link, {"--scope", "100", "--scope-corrupt-block", c.corrupt})) << Log();
    ExpectEnded(c.failed);
    EXPECT_EQ(Logged("Scope: block 2 bad 4 times\n"), c.failed);
    int asked = 0;
    for (const std::string& command : Commands()) asked += command == "2000=1002";
    EXPECT_EQ(asked, 4);
    EXPECT_EQ(BlockRequests(), c.failed ? 6u : 10u);  // blocks 0..2 (and 3 repeats), or all seven
    const std::vector<std::string> commands = Commands();
    EXPECT_EQ(std::vector<std::string>(commands.end() - 2, commands.end()),
              (std::vector<std::string>{"2001=1", "2000=12B"}));
    EXPECT_EQ((ubMcFlag2 & MC_FLAG2_TRACE_PRESENT) != 0, !c.failed);
  }
}

TEST_F(Scope, WithheldBlockFailsAtTheDeadline) {
  ASSERT_TRUE(Identify(SimLink::Serial, {"--scope", "100", "--scope-withhold-block", "1"}));
  ubMcFlag1 |= MC_FLAG1_SCOPE_WINDOW_SET_UP;
  from = Seen();
  McycleSignalQueuePut(MC_SIG_TRACE_DOWNLOAD);
  ASSERT_TRUE(TickUntil([] { return uwMcycleState == MC_SCOPE_BLOCK_RECEIVE && uwMcScopeBlockCnt == 1; }, 8000));
  const uint32_t asked = McTimerGetCurrentTime();
  // Nothing more comes: the wait is the engine's own, so it need not be paced.
  for (int i = 0; i < 4000 && uwMcycleState == MC_SCOPE_BLOCK_RECEIVE; ++i) Tick();
  EXPECT_GE(McTimerGetCurrentTime() - asked, 5000u);
  EXPECT_LE(McTimerGetCurrentTime() - asked, 5010u);
  ASSERT_TRUE(RunToIdle()) << Log();
  ExpectEnded(true);
  EXPECT_TRUE(Logged("Scope: block 1 not received within 5000 ms\n")) << Log();
  EXPECT_TRUE(Sent("2000=12B"));
}

TEST_F(Scope, LogEntry29AndTheExtendedHeaderByFirmwareRevision) {
  struct Case {
    const char* revision;
    const char* abort;  // object answered with aborts
    const char* said;   // when the download fails
    size_t extReads;    // reads of the extended header's first object
  };
  const Case cases[] = {{"9", "0x2604:23", nullptr, 0},
                        {"10", "0x2604:23", "Scope: reading 2604[17] failed\n", 0},
                        {"11", "0x2107:2", nullptr, 1},                          // extended entry 16: optional
                        {"11", "0x260A:2", "Scope: reading 260A[02] failed\n", 1}};  // extended entry 1
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.revision) + " " + c.abort);
    ASSERT_TRUE(Download(SimLink::Serial, {"--scope", "60", "--revision", c.revision, "--abort-object", c.abort}))
        << Log();
    const bool failed = c.said != nullptr;
    ExpectEnded(failed);
    if (failed) {
      EXPECT_TRUE(Logged(c.said)) << Log();
    }
    size_t ext = 0;
    for (const SimRequest& r : Requests(from)) ext += r.IsRead() && r.index == 0x260A && r.sub == 1;
    EXPECT_EQ(ext, c.extReads);
    EXPECT_EQ(BlockRequests(), failed ? 0u : 4u);
  }
}

TEST_F(Scope, EscapeStopsTheDownloadAtItsNextBlock) {
  ASSERT_TRUE(Identify(SimLink::Usb, {"--scope", "600"}));
  from = Seen();
  McycleSignalQueuePut(MC_SIG_TRACE_DOWNLOAD);
  ASSERT_TRUE(TickUntil([] { return uwMcScopeBlockCnt == 3; }, 8000));
  ScopeDownloadEventCallback(kDownloadPanel, 0, EVENT_KEYPRESS, nullptr, PANEL_KEY_ESC, 0);
  ASSERT_TRUE(RunToIdle()) << Log();
  ExpectEnded();
  EXPECT_TRUE(Logged("Scope: Download aborded (ESC)\n"));
  EXPECT_LE(BlockRequests(), 5u);
  EXPECT_TRUE(Sent("2000=12B"));
  EXPECT_FALSE(ubMcFlag2 & MC_FLAG2_TRACE_PRESENT);
  EXPECT_FALSE(ubMcFlag4 & MC_FLAG4_TRACE_DOWNLOAD_ABORT);
}

// The simulator's stroke, downloaded and evaluated: the crossings, the
// bottom and the run time within a frame, the speeds within 2 mm/s (the
// positions are whole hundredths).
TEST_F(Scope, EvaluationOfADownloadedStrokeMatchesTheModel) {
  struct Case {
    std::vector<std::string> options;
    SimScopeLayout layout;
    SimLink link;
    int speed;  // mm/s down and up
  };
  const Case cases[] = {
      {{"--scope", "600"}, SimScopeLayout::P0528, SimLink::Serial, 20},
      {{"--variant", "quill2", "--ramtype", "0x81", "--scope", "600:200"}, SimScopeLayout::Quill, SimLink::Usb, 20},
      {{"--variant", "p0417", "--scope", "150", "--scope-dwell", "100"}, SimScopeLayout::P0417, SimLink::Serial, 50},
  };
  uwMcEvaluationPanelHandle = 16;
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.layout));
    std::vector<std::string> options = c.options;
    const std::string speeds = std::to_string(c.speed) + ":" + std::to_string(c.speed);
    options.insert(options.end(), {"--scope-travel", "params", "--scope-speeds", speeds});
    ASSERT_TRUE(Download(c.link, options)) << Log();
    ASSERT_TRUE(ubMcFlag2 & MC_FLAG2_TRACE_PRESENT) << Log();
    ubMcFlag2 |= MC_FLAG2_EXPERT_MODE;  // the frame indices on the panel

    // The simulator's parameter set: POS2 20.00 mm, POS5 25.00 mm.
    SimStrokeShape shape{true, 2000, 2500, c.speed, c.speed, c.layout == SimScopeLayout::P0417 ? 100.0 : -1.0};
    const SimStrokeModel m = SimScopeTraceModel(c.layout, 0, false, shape);
    const double T = scScope[0].uwSampleTime * (c.layout == SimScopeLayout::P0417 ? 1.0 : 0.5);
    const double ot1 = SimStrokeTimeAt(m, m.top + 50, true);
    // The same figures from the download and from each file kind read back.
    TempDir dir;
    for (const char* kind : {"", ".loz", ".log"}) {
      SCOPED_TRACE(kind);
      if (*kind) {
        const std::string path = dir.Add(std::string("stroke") + kind);
        ASSERT_EQ(ScopeSaveTraceToFile(path.c_str()), SCOPE_SAVE_OK) << ScopeFileReason();
        ASSERT_GT(ScopeLoadFile(path), 0) << ScopeFileReason();
      }
      host.popups.clear();
      ScopeEvaluateCommand();
      ASSERT_TRUE(host.popups.empty()) << host.popups.back();
      const ScopeEvalRecord& e = edScopeEvalData;
      EXPECT_NEAR(e.lfStartTime, ot1, T);
      EXPECT_NEAR(e.lfRunTime, SimStrokeTimeAt(m, m.top + 50, false) - ot1, T);
      EXPECT_NEAR(host.ints[(std::pair{16, int(EVAL_NUM_IDX_UT)})] * T, SimStrokeTimeAt(m, m.bottom, true), T);
      // The Quill's motor position, mirrored, leads by the motor offset.
      EXPECT_EQ(e.swUtPos, c.layout == SimScopeLayout::Quill ? 8000 - m.bottom - m.motorOffset : m.bottom);
      EXPECT_NEAR(e.sdSpeedDown, c.speed, 2);
      EXPECT_NEAR(e.sdSpeedUp, c.speed, 2);
    }
  }
}

}  // namespace
