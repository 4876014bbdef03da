// Damaged and foreign trace files: each kind is rejected with its reason or
// has the bad field ignored, and a rejected file leaves the connected
// controller's variant, header values and containers as they were.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/Mcycle.h"
#include "engine/McycleFlags.h"
#include "params/CtrlCmd.h"
#include "scope/ScopeFile.h"
#include "support/TempDir.h"
#include "support/TraceFixture.h"

namespace {

std::string Replace(std::string s, const std::string& from, const std::string& to) {
  const size_t at = s.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) s.replace(at, from.size(), to);
  return s;
}

// The line that starts at the n-th occurrence of `start` removed.
std::string DropLine(std::string s, const std::string& start, int nth = 1) {
  size_t at = 0;
  for (int i = 0; i < nth; ++i) at = s.find(start, i ? at + 1 : 0);
  EXPECT_NE(at, std::string::npos) << start;
  if (at != std::string::npos) s.erase(at, s.find('\n', at) - at + 1);
  return s;
}

// `s` without the last data line of the first trace.
std::string DropLastDataLine(std::string s) {
  const size_t end = s.find("TRACE_END 0");
  const size_t start = s.rfind('\n', end - 2) + 1;
  s.erase(start, end - start);
  return s;
}

// The first data line after `marker` cut `keep` characters after its start.
std::string CutLineAfter(std::string s, const std::string& marker, size_t keep) {
  const size_t line = s.find(marker) + marker.size();
  s.erase(line + keep, s.find('\n', line) - line - keep);
  return s;
}

// The backtrace file with the value of one header record changed.
std::string Patch(std::string s, uint16_t index, uint8_t sub, uint32_t value) {
  for (size_t at = s.find("FileFormat"); at + 8 <= s.size(); ++at) {
    if (static_cast<uint8_t>(s[at + 1]) != (index & 0xFF) || static_cast<uint8_t>(s[at + 2]) != index >> 8 ||
        static_cast<uint8_t>(s[at + 3]) != sub || (s[at] & 0xF3) != 0x23)
      continue;
    for (int i = 0; i < 4; ++i) s[at + 4 + i] = static_cast<char>(value >> (8 * i));
    return s;
  }
  ADD_FAILURE() << "no record " << index;
  return s;
}

// An 8-byte record inserted after the text lines and the two count bytes.
std::string InsertRecord(std::string s, const std::string& record, bool beforeFrames) {
  const size_t frames = s.size() - 2 * 12 * 16;
  s.insert(beforeFrames ? frames : s.find("FileFormat:\t4\n") + 14 + 2, record);
  return s;
}

class CorruptTraceFile : public ::testing::Test {
 protected:
  void SetUp() override {
    TraceMake(TraceVariant::P0528, 12);
    ScopeSaveTraceToMem(log, SCOPE_TEXT_LOG);
    ScopeSaveTraceToMem(loz, SCOPE_TEXT_LOZ);
    lo1 = TraceLo1Bytes(16, false);
    TraceClearAll();
  }
  void TearDown() override { TraceClearAll(); }

  // A connected P0417 controller with header values of its own.
  void Connected() {
    TraceClearAll();
    ubMcFlag3 |= MC_FLAG3_FW_P0417;
    ubScopeFlag |= SCOPE_FLAG_P0417_TRACE;
    udScopeFwVersion = 135u << 16 | 4;
    uwScopeRamtype = 0x0011;
    CtrlCmdLogDataContainerP417Init();
    sLogDataContainer.entries[3].udData = 777;
    sScopeDataContainer.entries[7].udData = 12300;
  }
  void ExpectConnectedUnchanged() {
    EXPECT_EQ(ubMcFlag3 & (MC_FLAG3_FW_P0417 | MC_FLAG3_FW_QUILL), MC_FLAG3_FW_P0417);
    EXPECT_TRUE(ubScopeFlag & SCOPE_FLAG_P0417_TRACE);
    EXPECT_EQ(udScopeFwVersion, 135u << 16 | 4);
    EXPECT_EQ(uwScopeRamtype, 0x0011);
    EXPECT_EQ(sLogDataContainer.ubLastEntry, 9);  // still the P0417 layout
    EXPECT_EQ(sLogDataContainer.entries[3].udData, 777u);
    EXPECT_EQ(sScopeDataContainer.entries[7].udData, 12300u);
    EXPECT_FALSE(ubMcFlag2 & MC_FLAG2_TRACE_PRESENT);
    EXPECT_EQ(iScopeTraceMaxFrames, -1);
    EXPECT_EQ(scScope[0].pFrames, nullptr);
  }

  std::string log, loz, lo1;
  TempDir dir;
};

TEST_F(CorruptTraceFile, EachKindIsRejectedWithItsReasonOrHasTheFieldIgnored) {
  const std::string longLine(5000, 'x');
  const struct {
    const char* kind;
    std::string name;     // its extension chooses the reader
    std::string bytes;
    const char* reason;   // nullptr: accepted, with the frames below
    int frames = 12;
  } cases[] = {
      {"truncated stream", "a.loz", TraceCompress(loz).substr(0, TraceCompress(loz).size() / 2), "no end code"},
      {"no end code", "a.loz", TraceCompress(loz).substr(0, TraceCompress(loz).size() - 3), "no end code"},
      {"bad codes", "a.loz", "\xFF\xF0\x00", "bad code"},
      {"expansion too large", "a.loz", TraceCompress(std::string(9u << 20, 'a')), "too large"},
      {"not a trace text", "a.logzip", TraceCompress("hello"), "no TRACE_START"},
      {"no TRACE_START", "a.log", DropLine(log, "TRACE_START 0"), "no TRACE_START"},
      {"sample time 0", "a.log", Replace(log, "SampleTimeTrace0:\t1.00", "SampleTimeTrace0:\t0.00"), "sample time 0"},
      {"no TRACE_END 0", "a.log", DropLine(log, "TRACE_END 0"), "no TRACE_END 0"},
      {"no TRACE_START 1", "a.loz", TraceCompress(DropLine(loz, "TRACE_START 1")), "no TRACE_START 1"},
      {"too few data lines", "a.log", DropLastDataLine(log), "11 data lines, 12 announced"},
      {"too few raw bytes", "a.log", CutLineAfter(log, "Rohdaten\n", 130), "not a data line"},
      {"short raw line", "a.loz", TraceCompress(CutLineAfter(loz, "Sample Time [ms]:\t1.00\n", 30)),
       "fewer than 16 raw bytes"},
      {"empty raw line", "a.loz", TraceCompress(Replace(loz, "TRACE_START 0\nSample Time [ms]:\t1.00\n",
                                                   "TRACE_START 0\nSample Time [ms]:\t1.00\n\n")),
       "empty raw line"},
      {"frame count 0", "a.log", Replace(log, "RecordsTrace0:\t12", "RecordsTrace0:\t0"), "no frames"},
      {"frame count too large", "a.log", Replace(log, "RecordsTrace0:\t12", "RecordsTrace0:\t70000"), "out of range"},
      {"three traces", "a.log", Replace(log, "NumberOfTraces:\t2", "NumberOfTraces:\t3"), "3 traces"},
      {"unknown FileFormat", "a.log", Replace(log, "FileFormat:\t4", "FileFormat:\t9"), "unknown FileFormat 9"},
      {"data line without tabs", "a.log", Replace(log, "0A00\t", "0A00 "), "not a data line"},
      {"unknown extension", "a.txt", log, "not a trace file"},
      {"backtrace without FileFormat", "a.lo1", Replace(lo1, "FileFormat:", "FileFormat "), "no FileFormat line"},
      {"frame length below 16", "a.lo1", Patch(lo1, 0x210C, 0, 8), "frame length 8"},
      {"frame length above 43", "a.lo1", Patch(lo1, 0x210C, 0, 50), "frame length 50"},
      {"too few frame bytes", "a.lo1", lo1.substr(0, lo1.size() - 10), "bytes of frames"},
      {"backtrace without frames", "a.lo1", Patch(lo1, 0x2115, 0, 0), "trace 0: no frames"},
      {"more frames than bytes", "a.lo1", Patch(lo1, 0x2A00, 4, 0xFFFF), "bytes of frames"},
      {"unknown object among the records", "a.lo1",
       InsertRecord(lo1, std::string("\x2B\x00\x50\x00\x01\x00\x00\x00", 8), false), nullptr, 24},
      {"first frame like an unknown record", "a.lo1",
       InsertRecord(Patch(lo1, 0x2115, 0, 13), std::string("\x2B\x00\x50\x00\x01\x02\x03\x04", 8) + std::string(8, '\0'), true),
       nullptr, 25},
      {"over-long header line", "a.log", Replace(log, "PARAMETERS_START", "X" + longLine + "\nPARAMETERS_START"), nullptr},
      {"over-long data line", "a.log", Replace(log, "\nTRACE_END 0", longLine + "\nTRACE_END 0"), nullptr},
      {"unknown header key", "a.loz", TraceCompress(Replace(loz, "PARAMETERS_END", "NEW_KEY:\t12\nPARAMETERS_END")), nullptr},
      {"numbers beyond 32 bits", "a.log",
       Replace(log, "PARAMETERS_END",
               "MOTOR_UZK [V]:\t92233720368547757.00\nANA0 @ 20 mA [Bar]:\t9223372036854775807\nPARAMETERS_END"),
       nullptr},
      {"second Firmware line", "a.log", Replace(log, "PARAMETERS_END", "Firmware:\tP0417-01\nPARAMETERS_END"), nullptr},
      {"second RAMTYPE line", "a.log", Replace(log, "PARAMETERS_END", "RAMTYPE:\tRam K5 (0x0080)\nPARAMETERS_END"),
       nullptr},
      {"ram type without (", "a.log", Replace(log, " (0x0031)", " 0x0031"), nullptr},
      {"date without -", "a.log", Replace(log, "2024-03-05", "20240305"), nullptr},
      {"unknown firmware", "a.log", Replace(log, "Firmware:\tP0235", "Firmware:\tP0999"), nullptr},
      {"one-trace format announcing a second trace", "a.log", Replace(log, "FileFormat:\t4", "FileFormat:\t3"),
       nullptr},
      {"CR LF line ends", "a.log", [&] {
         std::string crlf;
         for (char c : log) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
         return crlf;
       }(), nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    Connected();
    const std::string path = dir.Write(c.name, c.bytes);
    const int32_t frames = ScopeLoadFile(path);
    if (!c.reason) {
      EXPECT_EQ(frames, c.frames) << ScopeFileReason();
      // A text decides the variant even without a firmware it knows, and a
      // trace the record does not hold has no frames.
      if (c.name != "a.lo1") {
        EXPECT_STREQ(ScopeFileVariantName(), "P0528");
        EXPECT_NE(uwScopeRamtype, 0x0011) << "the controller's ram type";
      }
      for (int t = ubScopeNumOfTraces; t < 2; ++t) EXPECT_EQ(scScope[t].uwFrames, 0) << "trace " << t;
      continue;
    }
    EXPECT_EQ(frames, -1);
    EXPECT_NE(ScopeFileReason().find(c.reason), std::string::npos) << ScopeFileReason();
    ExpectConnectedUnchanged();
  }
}

// Bits flipped, bytes changed, dropped, doubled, cut: every load ends with a
// result, a rejected one with a reason and the controller's state kept.
TEST_F(CorruptTraceFile, MutatedFilesLoadOrAreRejectedWithAReason) {
  const std::string seeds[] = {log, TraceCompress(loz), lo1};
  const char* names[] = {"m.log", "m.loz", "m.lo1"};
  std::mt19937 rng(99);
  int rejected = 0;
  for (int i = 0; i < 1500; ++i) {
    std::string s = seeds[i % 3];
    for (int k = 1 + static_cast<int>(rng() % 3); k > 0 && !s.empty(); --k) {
      const size_t at = rng() % s.size();
      switch (rng() % 5) {
        case 0: s[at] = static_cast<char>(s[at] ^ (1 << (rng() % 8))); break;
        case 1: s[at] = static_cast<char>(rng()); break;
        case 2: s.erase(at, 1 + rng() % 40); break;
        case 3: s.insert(at, s.substr(at, 1 + rng() % 40)); break;
        default: s.resize(at); break;
      }
    }
    Connected();
    if (ScopeLoadFile(dir.Write(names[i % 3], s)) >= 0) continue;
    ++rejected;
    EXPECT_FALSE(ScopeFileReason().empty());
    ExpectConnectedUnchanged();
    if (HasFailure()) break;
  }
  EXPECT_GT(rejected, 300);
}

// A Quill ram type overrules the firmware whether its line comes before the
// Firmware line or after it, as a saved copy has it.
TEST_F(CorruptTraceFile, TheVariantDoesNotDependOnTheOrderOfItsLines) {
  const std::string written = Replace(log, " (0x0031)", " (0x0081)");
  const std::string before = Replace(log, "Firmware:", "RAMTYPE:\tRam K1 (0x0081)\nFirmware:");
  struct Loaded {
    int32_t frames;
    std::string variant;
    uint8_t traces, flag5;
    uint16_t ramtype, postTrigger;
  } loaded[2];
  for (int i = 0; i < 2; ++i) {
    Connected();
    const int32_t frames = ScopeLoadFile(dir.Write("q.log", i ? before : written));
    loaded[i] = {frames, ScopeFileVariantName(), ubScopeNumOfTraces, ubMcFlag5, uwScopeRamtype, uwScopePostTrgTime};
  }
  EXPECT_EQ(loaded[0].variant, "Quill");
  EXPECT_EQ(loaded[1].frames, loaded[0].frames) << ScopeFileReason();
  EXPECT_EQ(loaded[1].variant, loaded[0].variant);
  EXPECT_EQ(loaded[1].traces, loaded[0].traces);
  EXPECT_EQ(loaded[1].flag5, loaded[0].flag5);
  EXPECT_EQ(loaded[1].ramtype, loaded[0].ramtype);
  EXPECT_EQ(loaded[1].postTrigger, loaded[0].postTrigger);
}

}  // namespace
