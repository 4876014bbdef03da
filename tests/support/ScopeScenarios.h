// A trace download of each firmware variant from rc7sim's scope memory,
// through the real engine, queue and transports. Included by one test file
// per test program, which instantiates it for its links.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/Mcycle.h"
#include "engine/McycleMachines.h"
#include "scope/ScopeDownload.h"
#include "scope/ScopePanel.h"
#include "scope/ScopeTrace.h"
#include "scope/scope.h"
#include "sim/SimStroke.h"
#include "support/ControllerFixture.h"
#include "support/TempDir.h"
#include "ui/PanelIds.h"

class ScopeFixture : public ControllerFixture {
 protected:
  static constexpr uint16_t kDownloadPanel = 4;

  void SetUp() override {
    ControllerFixture::SetUp();
    uwMcDownloadPanelHandle = kDownloadPanel;
    ubScopeFlag = 0;
  }
  void TearDown() override {
    ControllerFixture::TearDown();
    ScopeTraceFree();
    ubScopeNumOfTraces = 0;
  }
  // Identifies the simulated controller (its scope memory dumped), then
  // downloads with the scope window set up, as from the scope panel.
  bool Download(SimLink link, std::vector<std::string> options, int maxTicks = 20000) {
    options.insert(options.end(), {"--scope-dump", dump});
    if (!Identify(link, options)) return false;
    // What the panels showed of an earlier download in the same test goes.
    host.texts[{1, MAIN_TXTBOX_LOG}].clear();
    host.hidden.clear();
    host.plots.clear();
    ubMcFlag1 |= MC_FLAG1_SCOPE_WINDOW_SET_UP;
    udScopeTime = 0;
    from = Seen();
    return Run(MC_SIG_TRACE_DOWNLOAD, maxTicks);
  }
  // The memory the simulator sent, frame by frame (16 bytes each).
  std::string Memory() const { return ReadFileBytes(dump); }
  // Requests of the download that wrote `index` (the selector and the
  // command object), as "2001=1", "2000=12A" ...
  std::vector<std::string> Commands() const {
    std::vector<std::string> out;
    for (const SimRequest& r : Requests(from))
      if (!r.IsRead() && (r.index == 0x2000 || r.index == 0x2001)) {
        char text[24];
        std::snprintf(text, sizeof text, "%04X=%X", r.index, r.data);
        out.push_back(text);
      }
    return out;
  }
  // The commands of a forward-trigger download of `blocks` blocks.
  // (A P0417 controller is not sent the seek command first.)
  static std::vector<std::string> ForwardDownload(unsigned blocks, bool p0417 = false) {
    std::vector<std::string> c = {"2000=21C", "2000=102", "2001=1", "2000=12A"};
    if (p0417) c.erase(c.begin());
    for (unsigned b = 0; b < blocks; ++b) c.push_back("2000=" + [&] {
      char t[8];
      std::snprintf(t, sizeof t, "%X", 0x1000 + b);
      return std::string(t);
    }());
    c.insert(c.end(), {"2001=1", "2000=12B"});
    return c;
  }
  bool Logged(const std::string& text) { return Log().find(text) != std::string::npos; }
  unsigned BlockRequests() const {
    unsigned n = 0;
    for (const SimRequest& r : Requests(from)) n += !r.IsRead() && r.index == 0x2000 && r.data >= 0x1000;
    return n;
  }
  bool Sent(const std::string& command) const {
    const std::vector<std::string> c = Commands();
    return std::find(c.begin(), c.end(), command) != c.end();
  }
  // The download ended as it should: panels given back, and (unless it
  // failed) the time logged.
  void ExpectEnded(bool failed = false) {
    EXPECT_EQ(Logged("Scope: Download time: "), !failed) << Log();
    EXPECT_EQ(Logged("ERROR: Scope Transmission Error"), failed) << Log();
    EXPECT_FALSE(ubMcFlag1 & MC_FLAG1_TRACE_DOWNLOAD_RUNNING);
    EXPECT_FALSE(ubCqFlag & CQ_FLAG_HOLD);
    EXPECT_FALSE(host.panelDimmed[1]);
    EXPECT_FALSE(host.panelDimmed[kScopePanel]);
    EXPECT_FALSE(host.hidden.empty() || host.hidden.back() != kDownloadPanel);
  }

  TempDir dir;
  std::string dump = dir.Add("scope-memory.bin");
  size_t from = 0;
};

struct ScopeCase {
  const char* name;
  std::vector<std::string> options;
  SimScopeLayout layout;
  uint8_t format;      // ubFileFormat
  int traces;
  bool ramGaps;
  int mainRing;        // sample-time ring of the main panel
  const char* ana0;    // caption of ANA0 after the download ("" unchanged)
};

class ScopeDownload : public ScopeFixture, public ::testing::WithParamInterface<std::tuple<SimLink, ScopeCase>> {};

inline uint16_t Raw16(const std::string& memory, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(memory[at]) | static_cast<uint8_t>(memory[at + 1]) << 8);
}

TEST_P(ScopeDownload, RecordsHoldTheMemoryAndTheStroke) {
  const auto& [link, c] = GetParam();
  ASSERT_TRUE(Download(link, c.options)) << Log();
  ExpectEnded();
  ASSERT_TRUE(ubMcFlag2 & MC_FLAG2_TRACE_PRESENT) << Log();
  EXPECT_EQ(scScope[0].ubFileFormat, c.format);
  EXPECT_EQ(ubScopeNumOfTraces, c.traces);
  EXPECT_EQ((host.ints[{1, MAIN_RING_SAMPLE_TIME}]), c.mainRing);
  EXPECT_EQ((host.attributes[{1, MAIN_MENU_SAMPLE_0_5 + c.mainRing - 1}][ATTR_CHECKED]), 1);
  if (*c.ana0) {
    EXPECT_EQ(Text(kScopePanel, SCOPE_TXT_ANALOG_0), c.ana0);
  }
  EXPECT_EQ((host.attributes[{kScopePanel, SCOPE_RING_TRACE}][ATTR_DIMMED]), c.traces == 2 ? 0 : 1);
  if (c.traces == 2) {  // the second trace's settings (code 4, forward) on its menu
    EXPECT_EQ((host.attributes[{kScopePanel, SCOPE_MENU_TRACE2_SAMPLE_0_5 + 2}][ATTR_CHECKED]), 1);
    EXPECT_EQ((host.attributes[{kScopePanel, SCOPE_MENU_TRACE2_FORWARD}][ATTR_CHECKED]), 1);
    EXPECT_EQ((host.attributes[{kScopePanel, SCOPE_MENU_TRACE2_MCYCLE}][ATTR_CHECKED]), 1);
  }

  const std::string memory = Memory();
  const bool p0417 = c.layout == SimScopeLayout::P0417;
  size_t slot = 0;
  for (int t = 0; t < c.traces; ++t) {
    SCOPED_TRACE(t);
    const ScopeTraceDesc& d = scScope[t];
    const std::vector<SimStrokeSample> stroke = SimStrokeGenerate(
        SimScopeTraceModel(c.layout, t, c.layout == SimScopeLayout::Quill && c.traces == 1), d.uwFrames,
        (t == 0 ? d.uwSampleTime : scScope[1].uwSampleTime) * (p0417 ? 1.0 : 0.5));
    ASSERT_GE(memory.size(), (slot + d.uwFrames) * 16);
    const size_t n = d.uwFrames;
    for (size_t i = 0; i < n; ++i, ++slot) {
      const ScopeFrame& f = d.pFrames[i];
      ASSERT_EQ(std::memcmp(f.aubRaw, memory.data() + slot * 16, 16), 0) << "record " << i;
      const SimStrokeSample& s = stroke[i];
      const bool gap = c.ramGaps && SimStrokeRamGap(i, n);
      // The tool holds a Quill's positions mirrored.
      const auto pos = [&](int v) { return c.layout == SimScopeLayout::Quill ? 8000 - v : v; };
      if (!gap) {
        ASSERT_EQ(f.swRam, pos(s.ram)) << i;
      }
      ASSERT_EQ(f.uwMcState, s.mcState) << i;
      ASSERT_EQ(f.uwDigIn, s.digIn) << i;
      ASSERT_EQ(f.uwDigOut, s.digOut) << i;
      ASSERT_EQ(f.uwAna0, s.ana[0]) << i;
      if (p0417) {
        ASSERT_EQ(f.swCmdpos, s.mot) << i;  // the stepper position
        continue;
      }
      const int mux = static_cast<int>(i % 4);
      ASSERT_EQ(mux % 2 ? f.swMotpos : f.swCmdpos, pos(mux % 2 ? s.mot : s.cmd)) << i;
      const uint16_t carried = mux == 0 ? f.uwAna1 : mux == 1 ? f.uwAna2 : f.uwAna3;
      if (mux < 3 && i + 3 < n) {
        ASSERT_EQ(carried, s.ana[mux + 1]) << i;  // the last three repeat record n - 4
      }
    }
  }
  EXPECT_EQ(Commands(), ForwardDownload(uwMcScopeBlockAnz, p0417));
}

inline std::string ScopeCaseName(const ::testing::TestParamInfo<std::tuple<SimLink, ScopeCase>>& info) {
  return std::string(SimLinkName(std::get<0>(info.param))) + "_" + std::get<1>(info.param).name;
}
