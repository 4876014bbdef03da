// Raw frame conversion per firmware variant, on hand-built frames. Built
// into a program of its own so the sanitizer build can run it alone
// (label "untrusted").
#include <gtest/gtest.h>

#include <vector>

#include "engine/Mcycle.h"
#include "scope/ScopeConvert.h"
#include "scope/ScopeNames.h"
#include "scope/ScopeTrace.h"

namespace {

void Put16(ScopeFrame& f, int at, int v) {
  f.aubRaw[at] = static_cast<uint8_t>(v);
  f.aubRaw[at + 1] = static_cast<uint8_t>(v >> 8);
}

class Conversion : public ::testing::Test {
 protected:
  void SetUp() override {
    ubMcFlag3 = ubMcFlag4 = 0;
    uwScopeRamtype = 0x30;
    uwScopeLmsResol = uwScopeMotResol = 10;
  }
  void TearDown() override {
    ScopeFramesReplace(t, 0);
    ubMcFlag3 = ubMcFlag4 = 0;
  }
  // A trace of n frames in an array of exactly `capacity` records.
  ScopeFrame* Trace(size_t n, size_t capacity) {
    EXPECT_TRUE(ScopeFramesReplace(t, capacity));
    t.uwFrames = static_cast<uint16_t>(n);
    return t.pFrames;
  }
  // P0528 frames: w0 = 100 i on command frames (mux 0, 2) and 1000 + 10 i on
  // motor frames (1, 3), ram 2000 + i, ANA1 200 + 40 i, ANA2 300 + 8 i,
  // ANA3 500 - 4 i on their frames, ram type 0x1234 and status 0x5678.
  ScopeFrame* P0528(size_t n, int phase = 0) {
    ScopeFrame* r = Trace(n, n);
    for (size_t i = 0; i < n; ++i) {
      const int mux = static_cast<int>((i + phase) % 4);
      const int k = static_cast<int>(i);
      Put16(r[i], 0, mux % 2 ? 1000 + 10 * k : 100 * k);
      Put16(r[i], 2, 2000 + k);
      Put16(r[i], 4, 0x0A00 + k);
      Put16(r[i], 6, 0x1000 + k);
      Put16(r[i], 8, 0x0200 + k);
      Put16(r[i], 10, 191 + k);
      const int w6[4] = {200 + 40 * k, 300 + 8 * k, 500 - 4 * k, 0};
      const uint8_t b14[4] = {0x34, 0x12, 0x78, 0x56};
      Put16(r[i], 12, w6[mux]);
      r[i].aubRaw[14] = b14[mux];
      r[i].aubRaw[15] = static_cast<uint8_t>(mux);
    }
    return r;
  }
  ScopeTraceDesc t;
};

TEST_F(Conversion, P0417ScalesPositionsTowardZero) {
  struct Case {
    uint16_t resol;
    int raw, expected;
  };
  const Case cases[] = {{10, 1234, 1234}, {10, -1234, -1234}, {5, 1234, 617}, {5, -1235, -617}, {5, -1, 0},
                        {20, 20000, -25536}};  // 40000 cut to 16 bits
  for (const Case& c : cases) {
    SCOPED_TRACE(c.raw);
    uwScopeLmsResol = c.resol;
    uwScopeMotResol = 10;
    ScopeFrame* r = Trace(1, 1);
    Put16(r[0], 0, c.raw);
    Put16(r[0], 2, c.raw);
    Put16(r[0], 4, 0x0A01);
    Put16(r[0], 8, 0x3FFF);
    Put16(r[0], 10, 0x0155);
    Put16(r[0], 12, 956);
    ScopeFrameConvertP0417(t);
    EXPECT_EQ(r[0].swRam, c.expected);
    EXPECT_EQ(r[0].swCmdpos, static_cast<int16_t>(c.raw));
    EXPECT_EQ(r[0].uwMcState, 0x0A01);
    EXPECT_EQ(r[0].uwDigIn, 0x3FFF);
    EXPECT_EQ(r[0].uwDigOut, 0x0155);
    EXPECT_EQ(r[0].uwAna0, 956);
  }
}

TEST_F(Conversion, P0528SpreadsPositionsAndMultiplexedChannels) {
  constexpr size_t n = 12;
  const ScopeFrame* r = P0528(n);
  ScopeFrameConvertP0528(t);
  for (size_t i = 0; i < n; ++i) {
    SCOPED_TRACE(i);
    const int k = static_cast<int>(i);
    // Midpoints between the frames that carry a position; the last frame
    // repeats the command position before it.
    EXPECT_EQ(r[i].swCmdpos, 100 * (i == n - 1 ? k - 1 : k));
    EXPECT_EQ(r[i].swMotpos, 1000 + 10 * (i == 0 ? 1 : k));
    EXPECT_EQ(r[i].swRam, 2000 + k);
    EXPECT_EQ(r[i].uwMcState, 0x0A00 + k);
    EXPECT_EQ(r[i].uwDigIn, 0x1000 + k);
    EXPECT_EQ(r[i].uwDigOut, 0x0200 + k);
    EXPECT_EQ(r[i].uwAna0, 191 + k);
    EXPECT_EQ(r[i].ubMux, i % 4);
    // Quarter steps; the first records copy the first sample, the last three
    // repeat record n - 4.
    const int tail = i >= n - 3 ? static_cast<int>(n - 4) : k;
    EXPECT_EQ(r[i].uwAna1, 200 + 40 * tail);
    EXPECT_EQ(r[i].uwAna2, 300 + 8 * (i == 0 ? 1 : tail));
    EXPECT_EQ(r[i].uwAna3, 500 - 4 * (i < 2 ? 2 : tail));
    EXPECT_EQ(r[i].uwRamtype, 0x1234);
    EXPECT_EQ(r[i].uwStatus, 0x5678);
  }
}

TEST_F(Conversion, P0528FirstRecordsTakeTheAssembledRamTypeWhateverThePhase) {
  for (int phase = 0; phase < 4; ++phase) {
    SCOPED_TRACE(phase);
    const ScopeFrame* r = P0528(10, phase);
    ScopeFrameConvertP0528(t);
    for (size_t i = 0; i < 10; ++i) EXPECT_EQ(r[i].uwRamtype, 0x1234) << i;
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(r[i].uwStatus, 0x5678) << i;
  }
}

TEST_F(Conversion, PositionsInterleaveUnlessExpertModeOnAStandardRam) {
  struct Case {
    bool expert, quill;
    uint16_t ramtype;
    bool interleaved;
  };
  const Case cases[] = {{false, false, 0x10, true}, {true, false, 0x10, false}, {true, false, 0x00, false},
                        {true, false, 0x61, false}, {true, true, 0x10, true},   {true, false, 0x30, true},
                        {true, false, 0x7F, true},  {true, false, 0x90, true},  {true, false, 0xA1, true},
                        {true, false, 0xB0, true},  {true, false, 0xC0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ramtype);
    ubMcFlag4 = c.expert ? MC_FLAG4_EXPERT_MODE : 0;
    ubMcFlag3 = c.quill ? MC_FLAG3_FW_QUILL : 0;
    uwScopeRamtype = c.ramtype;
    EXPECT_EQ(ScopePositionsInterleaved(), c.interleaved);
    const ScopeFrame* r = P0528(6);
    ScopeFrameConvertP0528(t);
    if (c.interleaved) {
      EXPECT_EQ(r[2].swCmdpos, c.quill ? 8000 - 200 : 200);
    } else {
      EXPECT_EQ(r[3].swPosWord, 1030);
      EXPECT_EQ(r[3].swCmdpos, 0);
      EXPECT_EQ(r[3].swMotpos, 0);
    }
  }
}

TEST_F(Conversion, MuxIndexAboveThreeLeavesTheMultiplexedChannels) {
  ScopeFrame* r = P0528(12);
  r[5].aubRaw[15] = 7;
  r[5].uwAna2 = 4321;
  r[5].uwRamtype = 0xBEEF;
  ScopeFrameConvertP0528(t);
  EXPECT_EQ(r[5].ubMux, 7);
  EXPECT_EQ(r[5].uwRamtype, 0xBEEF);
  // Frame 5 carries no ANA2 sample: its raw word is not taken as one.
  EXPECT_EQ(r[5].uwAna2, 4321);
}

TEST_F(Conversion, QuillMirrorsPositions) {
  ubMcFlag3 = MC_FLAG3_FW_QUILL;
  ScopeFrame* r = P0528(6);
  Put16(r[4], 2, 0);  // a missing ram position
  ScopeFrameConvertP0528(t);
  EXPECT_EQ(r[2].swCmdpos, 8000 - 200);
  EXPECT_EQ(r[3].swMotpos, 8000 - 1030);
  EXPECT_EQ(r[1].swRam, 8000 - 2001);
  EXPECT_EQ(r[4].swRam, 8000);
}

TEST_F(Conversion, QuillRamGapsAreBridged) {
  constexpr int G = 8000;  // missing
  struct Case {
    const char* what;
    std::vector<int> ram, expected;
  };
  std::vector<int> long19 = {500, 1000};
  long19.insert(long19.end(), 19, G);
  long19.insert(long19.end(), {3000, G, 3000});
  std::vector<int> long18 = {500, 1000};
  long18.insert(long18.end(), 18, G);
  long18.push_back(2900);
  std::vector<int> bridged18 = {500};
  for (int k = 0; k < 20; ++k) bridged18.push_back(1000 + k * 100);
  const Case cases[] = {
      {"5-frame gap", {500, 1000, G, G, G, G, G, 2000, 2000}, {500, 1000, 1166, 1332, 1499, 1666, 1833, 2000, 2000}},
      {"gap to the end", {500, 1000, 1200, G, G, G}, {500, 1000, 1200, 1200, 1200, 1200}},
      {"19-frame gap stops the filling", long19, long19},
      {"18-frame gap", long18, bridged18},
      {"gap at frame 0", {G, G, 1500, 1600}, {1500, 1500, 1500, 1600}},
      {"frame 1 has no earlier anchor", {700, G, 1500}, {700, 1500, 1500}},
      {"nothing known", {G, G, G}, {G, G, G}},
      {"one frame", {G}, {G}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScopeFrame* r = Trace(c.ram.size(), c.ram.size());
    for (size_t i = 0; i < c.ram.size(); ++i) r[i].swRam = static_cast<int16_t>(c.ram[i]);
    ScopeFrameConvertQuillRam(t);
    std::vector<int> got;
    for (size_t i = 0; i < c.ram.size(); ++i) got.push_back(r[i].swRam);
    EXPECT_EQ(got, c.expected);
  }
}

TEST_F(Conversion, ShortTracesStayInsideTheirRecords) {
  // Arrays of exactly the trace's length: the sanitizer build sees any read
  // before record 0 or after the last.
  for (size_t n = 0; n <= 4; ++n) {
    SCOPED_TRACE(n);
    for (bool quill : {false, true}) {
      ubMcFlag3 = quill ? MC_FLAG3_FW_QUILL : 0;
      ScopeFrame* r = P0528(n);
      ScopeFrameConvertP0528(t);
      ScopeFrameConvertQuillRam(t);
      ScopeFrameConvertP0417(t);
      if (n > 0) {
        EXPECT_EQ(r[0].ubMux, 0);
      }
    }
    if (n >= 3) {
      P0528(n);
      ScopeFrameConvertP0528(t);
      EXPECT_EQ(t.pFrames[n - 1].uwRamtype, t.pFrames[n - 3].uwRamtype);
    }
  }
  // A frame count beyond the array converts what the array holds.
  Trace(3, 3);
  t.uwFrames = 500;
  ScopeFrameConvertP0528(t);
  ScopeFrameConvertP0417(t);
  ScopeFrameConvertQuillRam(t);
  t.uwFrames = 0;
}

TEST(ScopeNames, RamTypesAndMachineCycles) {
  const uint16_t named[SCOPE_RAMTYPE_NAMED_COUNT] = {0x00, 0x01, 0x02, 0x03, 0x0F, 0x10, 0x11, 0x1F, 0x20,
                                                     0x21, 0x2F, 0x30, 0x31, 0x32, 0x3F, 0x4F, 0x50, 0x51,
                                                     0x60, 0x61, 0x70, 0x7F, 0x80, 0x81, 0x82, 0x83, 0x84,
                                                     0x90, 0x91, 0x92, 0x93, 0x94, 0xA0, 0xA1};
  std::vector<std::string> names;
  for (uint16_t code : named) {
    const std::string name = ScopeExtractRamtype(code);
    EXPECT_NE(name.rfind("0x", 0), 0u) << code;
    for (const std::string& other : names) EXPECT_NE(name, other) << code;
    names.push_back(name);
  }
  for (uint16_t code : {0x04, 0x12, 0x34, 0x85, 0xB0, 0xFF, 0x1234})
    EXPECT_EQ(ScopeExtractRamtype(code), "0x" + [&] {
      char t[8];
      std::snprintf(t, sizeof t, "%04X", code);
      return std::string(t);
    }());
  struct Cycle {
    uint16_t state;
    const char* name;
  };
  for (const Cycle& c : {Cycle{0x0A00, "PUNCH"}, {0x1401, "FORM"}, {0x15FF, "PUNCH"}, {0x1E00, "SEEKPOS"},
                         {0x2800, "HOME"}, {0x2900, "SET HOME ABS"}, {0x3200, "PRESS"}, {0x3C00, "HOVER"},
                         {0x4600, "MARK"}, {0x1234, "0x1234"}, {0x0000, "0x0000"}})
    EXPECT_STREQ(ScopeExtractMcycle(c.state), c.name);
  EXPECT_STRNE(ScopeExtractMcycle(0x5000), "0x5000");
}

}  // namespace
