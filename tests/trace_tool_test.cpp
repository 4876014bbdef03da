// strokedesk-trace: its commands on the files of every variant, its exit
// codes, and the CSV export of a trace with hand-checked rows.
#include <gtest/gtest.h>

#include <sstream>

#include "engine/Mcycle.h"
#include "engine/McycleFlags.h"
#include "params/CtrlCmd.h"
#include "scope/ScopeCsv.h"
#include "scope/ScopeFile.h"
#include "scope/ScopeTraceTool.h"
#include "support/TempDir.h"
#include "support/TraceFixture.h"

namespace {

struct ToolRun {
  int code;
  std::string out, err;
};

ToolRun Tool(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int code = ScopeTraceToolRun(args, out, err);
  return {code, out.str(), err.str()};
}

class TraceTool : public ::testing::Test {
 protected:
  void TearDown() override { TraceClearAll(); }
  // The trace of `v` saved as `name`.
  std::string Saved(TraceVariant v, const std::string& name) {
    TraceMake(v, 40);
    const std::string path = dir.Add(name);
    EXPECT_EQ(ScopeSaveTraceToFile(path.c_str()), SCOPE_SAVE_OK) << ScopeFileReason();
    return path;
  }
  TempDir dir;
};

TEST_F(TraceTool, BadCommandLinesExitWith2AndTheUsage) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"frobnicate"},
      {"info"},
      {"convert", "a.log"},
      {"convert", "a.log", "b.txt"},
      {"convert", "a.log", "b.log", "c.log"},
      {"convert", "--to", "pdf", "a.log"},
      {"convert", "--to", "log"},
  };
  for (const auto& args : bad) {
    const ToolRun r = Tool(args);
    EXPECT_EQ(r.code, TRACE_TOOL_USAGE) << ::testing::PrintToString(args);
    EXPECT_NE(r.err.find("Usage:"), std::string::npos);
    EXPECT_TRUE(r.out.empty());
  }
  const ToolRun help = Tool({"--help"});
  EXPECT_EQ(help.code, TRACE_TOOL_OK);
  EXPECT_EQ(help.out, ScopeTraceToolUsage());
}

TEST_F(TraceTool, InfoNamesVariantFirmwareDateTracesAndHeader) {
  const struct {
    TraceVariant v;
    const char* lines[3];
  } cases[] = {
      {TraceVariant::P0417, {"Variant:     P0417", "Firmware:    P0135-07", "Trace 0:     40 frames, sample time 2.00 ms"}},
      {TraceVariant::P0528, {"Variant:     P0528", "Trace 1:     40 frames, sample time 2.00 ms", "CNT_SEEK_POS2:            4242"}},
      {TraceVariant::P0528Skipped, {"Variant:     P0528", "not recorded (backtrace running)", "RAMTYPE:"}},
      {TraceVariant::Quill, {"Variant:     Quill", "Date:        2024-03-05", "NumberOfRecords:    40"}},
      {TraceVariant::QuillTwo, {"Variant:     Quill", "NumberOfTraces:     2", "Time:        14:22:09"}},
  };
  for (const auto& c : cases) {
    const std::string path = Saved(c.v, "info.loz");
    TraceClearAll();
    const ToolRun r = Tool({"info", path});
    ASSERT_EQ(r.code, TRACE_TOOL_OK) << r.err;
    for (const char* line : c.lines) EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n" << r.out;
  }
}

TEST_F(TraceTool, ConvertsBetweenEveryFormatAndLoadsBackEqual) {
  const struct {
    TraceVariant v;
    const char* in;
    const char* out;
  } cases[] = {
      {TraceVariant::P0417, "a.loz", "a.log"},   {TraceVariant::P0528, "b.log", "b.loz"},
      {TraceVariant::P0528Skipped, "c.loz", "c2.loz"}, {TraceVariant::Quill, "d.log", "d.loz"},
      {TraceVariant::QuillTwo, "e.loz", "e.log"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    const std::string in = Saved(c.v, c.in);
    const TraceSnapshot want = TraceCapture();
    const std::string out = dir.Add(c.out);
    TraceClearAll();
    const ToolRun r = Tool({"convert", in, out});
    ASSERT_EQ(r.code, TRACE_TOOL_OK) << r.err;
    TraceClearAll();
    ASSERT_GE(ScopeLoadFile(out), 0) << ScopeFileReason();
    TraceExpectSame(want, TraceCapture(), c.v != TraceVariant::P0417 && c.v != TraceVariant::Quill);
  }
  // The controller's file and the batch converter's input name.
  TraceMake(TraceVariant::P0528, 40);
  const std::string lo1 = dir.Write("f.lo1", TraceLo1Bytes(16, false));
  const std::string logzip = dir.Write("g.logzip", ReadFileBytes(Saved(TraceVariant::P0528, "g.loz")));
  dir.Add("f.csv");
  dir.Add("g.log");
  EXPECT_EQ(Tool({"convert", "--to", "csv", lo1}).code, TRACE_TOOL_OK);
  EXPECT_EQ(ReadFileBytes(dir.Path() + "/f.csv").substr(0, 16), "Trace,Time [ms],");
  EXPECT_EQ(Tool({"convert", "--to", "log", logzip}).code, TRACE_TOOL_OK);
  EXPECT_EQ(ScopeLoadFile(dir.Path() + "/g.log"), 40) << ScopeFileReason();
}

TEST_F(TraceTool, ABadFileAmongGoodOnesIsNamedAndTheOthersConvert) {
  const std::string good1 = Saved(TraceVariant::P0528, "one.loz");
  const std::string bad = dir.Write("two.loz", "not a trace");
  const std::string good2 = Saved(TraceVariant::P0417, "three.loz");
  for (const char* out : {"one.log", "two.log", "three.log"}) dir.Add(out);
  const ToolRun r = Tool({"convert", "--to", "log", good1, bad, good2});
  EXPECT_EQ(r.code, TRACE_TOOL_FAILED);
  EXPECT_NE(r.err.find(bad + ": LZW stream corrupt"), std::string::npos) << r.err;
  EXPECT_EQ(ScopeLoadFile(dir.Path() + "/one.log"), 40);
  EXPECT_EQ(ScopeLoadFile(dir.Path() + "/three.log"), 40);
  EXPECT_TRUE(ReadFileBytes(dir.Path() + "/two.log").empty());

  const std::string before = ReadFileBytes(good1);
  const ToolRun same = Tool({"convert", "--to", "loz", good1});
  EXPECT_EQ(same.code, TRACE_TOOL_FAILED);
  EXPECT_NE(same.err.find("would overwrite the input"), std::string::npos);
  EXPECT_TRUE(ReadFileBytes(good1) == before);
}

// One frame set by hand per variant, and its row worked out by hand:
// positions in mm (Quill mirrored from 80 mm), analog channels in % of their
// range and in bar (that share of the pressure at 20 mA, none below the
// range), words as numbers.
TEST(TraceCsv, RowsCarryTheChannelsInDisplayUnits) {
  const struct {
    TraceVariant v;
    const char* header;
    const char* row;  // frame 1
  } cases[] = {
      {TraceVariant::P0417, "Trace,Time [ms],Stepper [mm],Ram [mm],ANA0 [%],DigIn,DigOut,McState",
       "0,2.0,123.45,-0.50,50.00,8193,513,5121"},
      {TraceVariant::P0528,
       "Trace,Time [ms],Cmdpos [mm],Ram [mm],Motpos [mm],ANA0 [%],ANA1 [%],ANA2 [%],ANA3 [%],ANA0 [bar],ANA1 [bar],"
       "ANA2 [bar],ANA3 [bar],DigIn,DigOut,McState,Status,Ramtype",
       "0,1.0,123.45,-0.50,1.00,0.00,100.00,20.00,-24.97,0.00,250.00,32.00,0.00,8193,513,5121,4660,49"},
      {TraceVariant::Quill, nullptr,
       "0,1.0,-43.45,80.50,79.00,0.00,25.00,100.00,-25.00,0.00,40.00,400.00,0.00,8193,513,5121,4660,128"},
      {TraceVariant::QuillTwo, nullptr,
       "0,1.0,-43.45,80.50,79.00,0.00,100.00,20.00,-24.97,0.00,160.00,80.00,0.00,8193,513,5121,4660,130"},
  };
  for (const auto& c : cases) {
    TraceMake(c.v, 3);
    ScopeFrame& f = scScope[0].pFrames[1];
    f.swCmdpos = 12345, f.swRam = -50, f.swMotpos = 100;
    f.uwAna0 = 191, f.uwAna1 = 956, f.uwAna2 = 344, f.uwAna3 = 0;
    if (c.v == TraceVariant::P0417) f.uwAna0 = 512;
    if (c.v == TraceVariant::Quill) f.uwAna0 = 819, f.uwAna1 = 1638, f.uwAna2 = 4095;
    f.uwDigIn = 0x2001, f.uwDigOut = 0x0201, f.uwMcState = 0x1401, f.uwStatus = 0x1234, f.uwRamtype = uwScopeRamtype;
    const std::string csv = ScopeCsvText();
    if (c.header) {
      EXPECT_EQ(csv.substr(0, csv.find("\r\n")), c.header);
    }
    const size_t row1 = csv.find("\r\n", csv.find("\r\n") + 2) + 2;
    EXPECT_EQ(csv.substr(row1, csv.find("\r\n", row1) - row1), c.row) << static_cast<int>(c.v);
  }
  TraceClearAll();
}

}  // namespace
