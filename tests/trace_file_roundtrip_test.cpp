// Trace files written by the tool load back to the same record, header and
// variant for every firmware variant, in both formats, and keep their exact
// text (golden files).
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "engine/Mcycle.h"
#include "engine/McycleFlags.h"
#include "params/CtrlCmd.h"
#include "scope/ScopeInfoData.h"
#include "scope/ScopeFile.h"
#include "scope/lzw.h"
#include "support/TempDir.h"
#include "support/TraceFixture.h"

namespace {

class TraceRoundTrip : public ::testing::TestWithParam<TraceCase> {
 protected:
  void TearDown() override { TraceClearAll(); }
  TempDir dir;
};

TEST_P(TraceRoundTrip, BothFormatsBringBackRecordHeaderAndVariant) {
  const TraceVariant v = GetParam().variant;
  const bool twoTraceGeometry = v != TraceVariant::P0417 && v != TraceVariant::Quill;
  for (const char* extension : {".log", ".loz"}) {
    SCOPED_TRACE(extension);
    TraceMake(v, 40);
    const std::string path = dir.Add(std::string("stroke") + extension);
    ASSERT_EQ(ScopeSaveTraceToFile(path.c_str()), SCOPE_SAVE_OK) << ScopeFileReason();
    const TraceSnapshot want = TraceCapture();
    // A connected controller of another variant: the file decides.
    TraceClearAll();
    ubMcFlag3 |= v == TraceVariant::P0417 ? MC_FLAG3_FW_QUILL : MC_FLAG3_FW_P0417;
    ASSERT_EQ(ScopeLoadFile(path), 40) << ScopeFileReason();
    EXPECT_TRUE(ubMcFlag2 & MC_FLAG2_TRACE_PRESENT);
    EXPECT_EQ(iScopeTraceMaxFrames, 40);
    TraceExpectSame(want, TraceCapture(), twoTraceGeometry);
  }
}

INSTANTIATE_TEST_SUITE_P(Variants, TraceRoundTrip, ::testing::ValuesIn(kTraceCases),
                         [](const auto& info) {
                           std::string n = info.param.name;
                           for (char& c : n)
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           return n;
                         });

// The controller's own backtrace file of the same trace, with LF or CR LF
// text lines and frames longer than their 16 raw bytes.
TEST(TraceFileBacktrace, LoadsTheSameFramesAndHeader) {
  TempDir dir;
  for (bool crlf : {false, true}) {
    SCOPED_TRACE(crlf ? "CR LF" : "LF");
    TraceMake(TraceVariant::P0528, 30);
    for (int e = 24; e <= 27; ++e) sLogExtDataContainer.entries[e].udData = 0;  // no object of the file has them
    ScopeCopyInfoData();
    const std::string bytes = TraceLo1Bytes(20, crlf);
    TraceSnapshot want = TraceCapture();
    want.desc[0].ubFileFormat = 4;
    TraceClearAll();
    ubMcFlag3 |= MC_FLAG3_FW_QUILL;
    ASSERT_EQ(ScopeLoadFile(dir.Write("back.lo1", bytes)), 60) << ScopeFileReason();
    TraceExpectSame(want, TraceCapture(), false);
    EXPECT_EQ(scScope[1].uwFrameLength, 20);
  }
  TraceClearAll();
}

TEST(TraceFileSize, TwoTracesOf4000FramesInBothFormats) {
  TempDir dir;
  for (const char* extension : {".log", ".loz"}) {
    SCOPED_TRACE(extension);
    TraceMake(TraceVariant::P0528, 4000);
    const std::string path = dir.Add(std::string("full") + extension);
    ASSERT_EQ(ScopeSaveTraceToFile(path.c_str()), SCOPE_SAVE_OK) << ScopeFileReason();
    const TraceSnapshot want = TraceCapture();
    TraceClearAll();
    ASSERT_EQ(ScopeLoadFile(path), 4000) << ScopeFileReason();
    TraceExpectSame(want, TraceCapture(), true);
  }
  TraceClearAll();
}

// A desktop locale with a decimal comma changes nothing in the files (the
// locale is built for the test: no system has to have one installed).
TEST(TraceFileLocale, NumbersAreWrittenAndReadInTheCLocale) {
  const std::filesystem::path locales = std::filesystem::path(testing::TempDir()) / "sd_locales";
  std::filesystem::create_directories(locales);
  std::ofstream(locales / "comma.src") << "LC_NUMERIC\ndecimal_point \"<U002C>\"\nthousands_sep \"<U002E>\"\n"
                                          "grouping 3;3\nEND LC_NUMERIC\n";
  const std::string build = "localedef -c -i '" + (locales / "comma.src").string() + "' -f ANSI_X3.4-1968 '" +
                            (locales / "sd_comma").string() + "' >/dev/null 2>&1";
  // The categories left out give warnings and a non-zero code; the setlocale
  // below tells whether the locale was built.
  [[maybe_unused]] const int rc = std::system(build.c_str());
  setenv("LOCPATH", locales.c_str(), 1);
  ASSERT_NE(std::setlocale(LC_NUMERIC, "sd_comma"), nullptr) << "localedef could not build the locale";
  char probe[16];
  std::snprintf(probe, sizeof probe, "%3.2f", 0.5);
  EXPECT_STREQ(probe, "0,50");  // the locale is in force
  TraceMake(TraceVariant::P0528, 8);
  std::string text;
  ScopeSaveTraceToMem(text, SCOPE_TEXT_LOG);
  const TraceSnapshot want = TraceCapture();
  const int32_t frames = ScopeLoadTraceFromFile(text.data(), text.size());
  const uint16_t sampleTime = scScope[1].uwSampleTime;
  std::setlocale(LC_NUMERIC, "C");
  unsetenv("LOCPATH");
  std::filesystem::remove_all(locales);
  EXPECT_NE(text.find("SampleTimeTrace1:\t2.00\n"), std::string::npos);
  EXPECT_NE(text.find("MOTOR_UZK [V]:\t24.21\n"), std::string::npos);
  EXPECT_EQ(frames, 8) << ScopeFileReason();
  EXPECT_EQ(sampleTime, want.desc[1].uwSampleTime);
  TraceClearAll();
}

// The small P0528 trace of the golden files, byte for byte.
TEST(TraceFileGolden, LogAndLozTextsAreUnchanged) {
  TempDir dir;
  TraceMake(TraceVariant::P0528, 6);
  for (const char* extension : {".log", ".loz"}) {
    SCOPED_TRACE(extension);
    const std::string path = dir.Add(std::string("golden") + extension);
    ASSERT_EQ(ScopeSaveTraceToFile(path.c_str()), SCOPE_SAVE_OK);
    const std::string golden = ReadFileBytes(std::string(STROKEDESK_SOURCE_DIR) + "/tests/golden/trace_P0528" + extension);
    ASSERT_FALSE(golden.empty());
    EXPECT_TRUE(ReadFileBytes(path) == golden) << "the " << extension << " text changed";
  }
  TraceClearAll();
}

}  // namespace
